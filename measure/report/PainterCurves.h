#pragma once

// The printed graph blocks drawn by the window's own painter: the screen's
// axes, scales and curves with the printout's halved time scale, its print
// line in place of the screen's top, and the other trials dashed.

#include "measure/screen/MeasurePainter.h"
#include "measure/report/TestPrintout.h"
#include "platform/portkit/spirometry/Extremes.h"

#include <utility>

class TPainterCurves final : public TPrintedCurves {
public:
  explicit TPainterCurves(TMeasurePainter& painter) : Painter(painter) {}

  void CalculatePrintZoom(short kind, bool provocation, bool upperLimit) override;
  void DrawAxes(TPrintCanvas& canvas, short kind, bool secondDiagram) override;
  void DrawSlot(TPrintCanvas& canvas, short kind, short slot, int pen, bool dotted, bool wholeFvc,
                bool secondDiagram) override;
  void DrawPressureLines(TPrintCanvas& canvas) override;
  void SaveScreenState() override;
  void RestoreScreenState() override;

  // The samples of the largest breath of an FVC curve from its turning
  // points: the pair of a maximum and the minimum after it with the
  // largest positive fall (the earlier one of equal falls), from that
  // maximum to the next one; the whole curve of `samples` when no fall is
  // positive.
  static std::pair<int, int> LargestLoop(const spirometry::Extremes& extremes, int samples);

private:
  void Prepare(const TPrintCanvas& canvas, short kind, bool secondDiagram);

  TMeasurePainter& Painter;
  short SavedZoom = 1;
  TMeasureDisplay SavedDisplay;
};
