#pragma once

// Draws the trend page (on screen) and the trend print-out's pages with a
// QPainter whose coordinates are the 800 × 600 layout units.

#include "common/PredictedData.h"
#include "trend/TrendPrintPlan.h"

#include <QColor>

#include <array>
#include <string>

class QImage;
class QPainter;
class TMessage;
class TTrendModel;

// The colours of the trend page: plot and header background, header text,
// axes, grid and the five curves.
struct TTrendColors {
  QColor PlotBackground{0xFF, 0xFF, 0xE8};
  QColor HeaderBackground{0xFF, 0xFF, 0xFF};
  QColor HeaderText{0x00, 0x00, 0x80};
  QColor Axis{0x00, 0x00, 0x00};
  QColor Grid{0x80, 0x80, 0x80};
  std::array<QColor, 5> Curves{QColor(0x00, 0xC0, 0x00), QColor(0xC0, 0xA0, 0x00), QColor(0xC0, 0x00, 0xC0),
                               QColor(0xE0, 0x00, 0x00), QColor(0x00, 0x80, 0xC0)};
  // Curves on paper.
  static std::array<QColor, 5> PrintCurves();
};

struct TTrendPageContext {
  const TTrendModel& Model;
  const TMessage* Messages = nullptr;
  PREDICTED_DATA Patient;
  std::string DatePicture;
  TTrendColors Colors;
  const QImage* Background = nullptr;
};

namespace TrendPainter {

// The whole screen page; sets the model's curve-drawn flags.
void PaintScreen(QPainter& painter, const TTrendPageContext& context, std::array<bool, 5>& curveDrawn);

// One page (from 1) of the print-out as the plan lays it out.
void PaintPrintPage(QPainter& painter, const TTrendPageContext& context, const TTrendPrintPlan& plan, int page,
                    bool dottedLines);

// The patient line (texts 50 and 51).
std::string PatientLine(const TMessage* messages, const PREDICTED_DATA& patient);

}  // namespace TrendPainter
