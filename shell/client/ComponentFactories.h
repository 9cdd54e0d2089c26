#pragma once

// Where the client gets its component windows: one factory per kind, given
// by the library that builds the window (or by a test). A kind without a
// factory is not available yet. Each factory makes the window's widget
// with `parent` and answers it with its contract; the frame the client
// puts around the widget owns it.

#include "audiometry/AudioMeterWindow.h"
#include "common/PredictedData.h"
#include "measure/core/MeasureWindow.h"
#include "shell/settings/ScreenScale.h"
#include "special/ProvocationWindow.h"
#include "trend/TrendWindow.h"

#include <functional>
#include <string>

class QWidget;
class TMessage;

template <class TContract>
struct TMadeWindow {
  QWidget* Widget = nullptr;
  TContract* Window = nullptr;
};

// What every component window is made with.
struct TWindowArgs {
  TScreenScale Scale;
  TMessage* Texts = nullptr;
  std::string IniPath;
  PREDICTED_DATA Patient{};
  std::string DateFormat;  // the trend's
};

struct TMeasureWindowArgs {
  TWindowArgs Common;
  short MeasureType = 0;  // 0 FVC to 6 rhinomanometry
  short Language = 0;
  float Correction = 1.0f;  // the patient's predicted-value factor
  bool StageView = false;
  bool HasParent = true;  // rhinomanometry opens without the client as parent
};

struct TComponentFactories {
  std::function<TMadeWindow<TMeasureWindow>(const TMeasureWindowArgs&, QWidget* parent)> Measure;
  std::function<TMadeWindow<TProvocationWindow>(const TWindowArgs&, QWidget* parent)> Provocation;
  std::function<TMadeWindow<TAudioMeterWindow>(const TWindowArgs&, QWidget* parent)> AudioMeter;
  std::function<TMadeWindow<TTrendWindow>(const TWindowArgs&, QWidget* parent)> Trend;
};
