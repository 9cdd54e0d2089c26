#pragma once

// The calibration screen's pressure chart of the diffusion unit: line
// pressure (0 to 1400 Pa) against time (0 to 15 s) at the lower left of
// the screen, the two lines' curves as they are held, and the two loss
// lines. Drawn through the measurement painter, in the 800 x 600 layout.

#include "platform/basekit/DrawSurface.h"

#include <span>
#include <string_view>

class TMeasurePainter;

namespace PressureChart {

inline constexpr int OriginX = 17;      // left edge
inline constexpr int OriginY = 246;     // bottom edge
inline constexpr int WidthPx = 255;     // 15 s
inline constexpr int HeightPx = 170;    // 1400 Pa
inline constexpr float PxPerSecond = 17.0f;
inline constexpr float PxPerPa = 0.12143f;
inline constexpr int ExportShiftX = 358;  // the text-and-bitmap export's layout
inline constexpr int FleischPen = 6;      // the window's pens of the two lines
inline constexpr int BalloonPen = 7;

// The point of sample k of a line at `pa`, in layout pixels.
TPoint PointAt(std::size_t sample, float pa, int left = OriginX, int bottom = OriginY);

void DrawPressureKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, int left = OriginX,
                            int bottom = OriginY);
// The segment of a line's curve ending at sample k (from the origin for
// k = 0); nothing past the chart's width. `pen` is 6 or 7, the lines' pens.
void DrawPressureCurve(const TMeasurePainter& painter, TDrawSurface& surface, std::span<const float> buffer,
                       std::size_t sample, int pen, int left = OriginX, int bottom = OriginY);
// Every held sample of a line, from sample 1 to `last`.
void DrawPressureCurves(const TMeasurePainter& painter, TDrawSurface& surface, std::span<const float> buffer,
                        std::size_t last, int pen, int left = OriginX, int bottom = OriginY);
// "<label> 12 % " for each line, in bold "Courier New" 12.
void DrawPressureLoss(const TMeasurePainter& painter, TDrawSurface& surface, std::string_view fleischLabel,
                      short fleischLoss, std::string_view balloonLabel, short balloonLoss);

}  // namespace PressureChart
