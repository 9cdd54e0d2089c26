#pragma once

// Where the plethysmograph's two loops lie in the 800 x 600 layout and
// where a sample falls in them: the resistance loop (flow against alveolar
// pressure) above the TGV loop (mouth against box pressure), at the zoom
// step's axis divisors. The screen, the printout and the factor search of
// the evaluation (which scores the loops on these coordinates) share it.

#include "platform/basekit/DrawSurface.h"

#include <array>

namespace PlethyGeometry {

// The axis divisors of a zoom step: 0 and 1 the calibration signals, 2 the
// calibration time, 3 the loop's flow, 4 the pressure of both loops, 5 the
// mouth pressure of the TGV loop.
using TFactors = std::array<float, 6>;
TFactors Factors(short zoomLevel);

// The axis ranges of a zoom step (0 to 3): flow and alveolar pressure
// (L/s, kPa), mouth pressure (kPa), box pressure (Pa).
struct TRanges {
  float FlowLps = 0.0f;
  float AlveolarKPa = 0.0f;
  float MouthKPa = 0.0f;
  float BoxPa = 0.0f;
};
TRanges Ranges(short zoomLevel);

// One loop's frame: its vertical axis on the left edge, its horizontal axis
// at mid-height. `Size` is 2 in the full-size layout, 1 beside the table.
struct TLoopFrame {
  TRect Area;
  int AxisY = 0;
  int Size = 1;
};
// `screenMode` 0 the full-size layout, 1 the graphs beside the table.
TLoopFrame ResistanceFrame(short screenMode);
TLoopFrame TgvFrame(short screenMode);
// The same frames on paper, below the printer's line `top`: each as high
// as ±4 scaled L/s (kPa), the range every printed scale brings its loops
// into, and 6.67 scaled kPa (200 scaled Pa) wide.
TLoopFrame PrintedResistanceFrame(int top);
TLoopFrame PrintedTgvFrame(int top);

// Plot units across and up.
inline constexpr float ResistanceXPerKPa = 25.2f;
inline constexpr float ResistanceYPerLps = 7.5f;
inline constexpr float TgvXPerPa = 1.4f;
inline constexpr float TgvYPerKPa = 7.5f;
// The loops are drawn shifted right so that both branches show.
inline constexpr float ResistanceShiftKPa = 2.0f;
inline constexpr float TgvShiftPa = 30.0f;

// A resistance-loop sample: alveolar pressure from the loop's first sample
// (kPa) across, flow up.
TPoint ResistancePoint(const TLoopFrame& frame, const TFactors& factors, float alveolarKPa, float flowLps);
// A TGV-loop sample: box pressure from the loop's first sample (Pa) across,
// mouth pressure (kPa) along the vertical.
TPoint TgvPoint(const TLoopFrame& frame, const TFactors& factors, float boxPa, float mouthKPa);
// Plot units on paper, per scaled unit.
inline constexpr float PrintResistanceXPerKPa = 42.0f;
inline constexpr float PrintResistanceYPerLps = 21.0f;
inline constexpr float PrintTgvXPerPa = 1.4f;
inline constexpr float PrintTgvYPerKPa = 21.0f;

// The same samples on paper: divided by the printout's scale of the loop,
// shifted right by the trial's offset (kPa, Pa).
TPoint PrintedResistancePoint(const TLoopFrame& frame, float scale, float offsetKPa, float alveolarKPa, float flowLps);
TPoint PrintedTgvPoint(const TLoopFrame& frame, float scale, float offsetPa, float boxPa, float mouthKPa);
// Inside the frame, edges included.
bool Inside(const TLoopFrame& frame, TPoint p);

}  // namespace PlethyGeometry
