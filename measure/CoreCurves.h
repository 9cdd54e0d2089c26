#pragma once

// TCoreCurves: the printed graphs drawn straight from the core's curve
// buffers: a frame with its zero lines, the flow-volume loop and the
// volume-time curve of a slot, scaled by the print zoom step. It serves a
// printout until the measurement window's own painting takes its place.

#include "measure/TestPrintout.h"

class TMeasureCore;

class TCoreCurves final : public TPrintedCurves {
public:
  // The zoom steps' largest volume (L) and flow (L/s), step 0 to 3.
  static constexpr float VolumeLimits[4] = {12.0f, 8.0f, 4.0f, 2.0f};
  static constexpr float FlowLimits[4] = {16.0f, 16.0f, 8.0f, 4.0f};
  static constexpr int SamplesPerSecond = 100;

  explicit TCoreCurves(TMeasureCore& core) : Core(core) {}

  void CalculatePrintZoom(short kind, bool provocation, bool upperLimit) override;
  void DrawAxes(TPrintCanvas& canvas, short kind, bool fvcBesideVolume) override;
  void DrawSlot(TPrintCanvas& canvas, short kind, short slot, int pen, bool dotted, bool wholeFvc,
                bool fvcBesideVolume) override;
  void SaveScreenState() override { SavedStep = ZoomStep; }
  void RestoreScreenState() override { ZoomStep = SavedStep; }

  short ZoomStep = 3;

  // The graph rectangles of a block whose top is `top` (layout units).
  static TRect FlowVolumeRect(int top);
  static TRect VolumeTimeRect(int top);

private:
  TMeasureCore& Core;
  short SavedStep = 3;
  int Top = 0;  // the axes' top, layout units
};
