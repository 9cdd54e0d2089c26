#pragma once

// Whether each command of the measurement window may be used, is ticked
// and, for the rhinomanometry start buttons, what it says: pure functions
// of the window's state, so that a tool bar asks them as often as it likes
// and tests ask them with any state at all.

#include "platform/framework/CommandEnabler.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class TMessage;

struct TEnablerState {
  short MeasureType = 0;   // the window's test kind
  short MeasureMode = 0;   // the current mode: 7 during a calibration
  bool Running = false;
  // Another window drives the instrument link (the provocation's
  // nebulizer): the window is not idle, though no test of its own runs.
  bool LinkLent = false;
  bool BigTable = false;
  bool ZeroDue = true;
  bool GasAnalysis = false;
  short ScreenMode = 1;
  short ResultKind = 1;    // 1 test results, 0 calibration results
  bool PrePost = false;
  bool InstrumentAttached = false;
  bool ZeroCommand = true;
  bool RhinoZero = true;
  unsigned short InstrumentType = 0;
  bool CalibrationValid = false;
  float ReferenceIvc = 0.0f;
  std::array<short, 3> TrialOrder{};
  bool AnimationSwitch = false;
  bool AnimationOn = false;
  std::int32_t PatientAge = 0;
  bool Grid = false;
  bool Dirty = false;
  bool RhinoResults = false;
  bool AnteriorStarted = false;
  bool PosteriorStarted = false;
  bool WashingOutDone = false;
  bool GasCommandGiven = false;
  bool ShutterClosed = false;
  short ProgressCounter = 0;
  short StatusWord = 1;
  bool FlagBegin = false;
  short TestMode = 0;
  // Whether each resistance-loop slot holds a loop with a first value.
  std::array<bool, 3> ResistanceLoop{};
};

struct TEnableAnswer {
  bool Enabled = false;
  std::optional<int> Check;
  std::optional<std::string> Text;
};

// The answer for a command of the window; nothing for a command it has no
// enabler for. `texts` gives the rhinomanometry start captions.
std::optional<TEnableAnswer> CommandEnable(const TEnablerState& state, unsigned id, const TMessage* texts = nullptr);

// Puts an answer into the enabler the framework asks with.
void Apply(const TEnableAnswer& answer, TCommandEnabler& enabler);
