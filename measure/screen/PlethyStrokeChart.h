#pragma once

// The body box's syringe strokes against time, in the lower area of its
// calibration screen: the flow (6 units per L/s, twice that in the
// full-size layout) and the volume (14 units per L) about one time axis
// (12 units per second), each divided by the zoom step's divisor. Where
// the strokes that gave the flow factors end and the checked ones begin, a
// green line marks the sample and two captions name the two directions of
// the strokes. Drawn through the window's painter, so the frame, a PDF and
// the recording surface show the same picture.

#include "measure/screen/PlethyGeometry.h"
#include "platform/basekit/DrawSurface.h"

#include <cstddef>

class TMeasurePainter;

namespace PlethyStrokeChart {

inline constexpr float XPerSecond = 12.0f;
inline constexpr float YPerLps = 6.0f;
inline constexpr float YPerL = 14.0f;
inline constexpr int CaptionWidth = 150;
inline constexpr int CaptionHeight = 12;
inline constexpr TColor MarkerColor{0, 176, 0};

// Where the strokes stand: on the screen in the lower area (less a margin),
// on paper as high from the printer's line down.
struct TStrokeFrame {
  int Left = 15;     // the vertical axis; the time axis begins here
  int Top = 286;
  int Base = 368;    // both signals' zero
  int Bottom = 453;
  int Right = 738;
};
inline constexpr TStrokeFrame ScreenFrame{};
TStrokeFrame PrintedFrame(int printLine);
// Texts of the captions: above the axis the inspiratory, below it the
// expiratory strokes.
inline constexpr int InspirationCaption = 535;
inline constexpr int ExpirationCaption = 536;

// Where sample `sample` of the strokes falls: its flow and its volume, at
// the zoom step's divisors and the layout's size (2 full size and on
// paper, 1 beside the table).
struct TStrokePoints {
  TPoint Flow;
  TPoint Volume;
};
TStrokePoints PointsAt(const TStrokeFrame& frame, const PlethyGeometry::TFactors& factors, int size,
                       std::size_t sample, float flowLps, float volumeL);
// Inside the strokes' area, edges included.
bool Inside(const TStrokeFrame& frame, TPoint p);

// The time axis with its scale and unit, the vertical axis with the units
// of both signals; on the screen or, while the painter prints, on paper.
void DrawKoordinata(const TMeasurePainter& painter, TDrawSurface& surface);
// The segments of flow and volume that end at `sample`, each only when it
// moved and stays inside the area; at the marked sample (the calibration's
// first corrected one) the marker and the captions. False when nothing was
// drawn.
bool DrawSegment(const TMeasurePainter& painter, TDrawSurface& surface, int sample);

}  // namespace PlethyStrokeChart
