#pragma once

// The calibration screen's pressure chart: pressure against time (0 to
// 15 s) at the lower left of the screen, the two recordings' curves as
// they are held, and (for the diffusion unit) the two loss lines. The
// diffusion unit's line pressures run to 1400 Pa; the body box's leak test
// and pump swing stay within 25 Pa and have that scale. Drawn through the
// measurement painter, in the 800 x 600 layout.

#include "platform/basekit/DrawSurface.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

class TMeasureCore;
class TMeasurePainter;

namespace PressureChart {

inline constexpr int OriginX = 17;      // left edge
inline constexpr int OriginY = 246;     // bottom edge
inline constexpr int WidthPx = 255;     // 15 s
inline constexpr int HeightPx = 170;    // the scale's top pressure
inline constexpr float PxPerSecond = 17.0f;
inline constexpr int ExportShiftX = 358;  // the text-and-bitmap export's layout
inline constexpr int FleischPen = 6;      // the window's pens of the two recordings
inline constexpr int BalloonPen = 7;

// The pressure axis: its top, the step of its numbered ticks, and how many
// layout pixels a pascal rises.
struct TPressureScale {
  int TopPa = 0;
  int StepPa = 0;
  float PxPerPa = 0.0f;
};
inline constexpr TPressureScale LineScale{1400, 200, 0.12143f};
inline constexpr TPressureScale BoxScale{25, 5, 6.8f};

// The chart of the calibration of the core's instrument: its scale and the
// last held sample of each recording (the diffusion unit's two lines; the
// box's leak test and pump swing). None for a spirometer alone.
struct TCalibrationChart {
  TPressureScale Scale;
  std::array<std::size_t, 2> Held{};
  bool HasCurves() const { return Held[0] > 0 || Held[1] > 0; }
};
std::optional<TCalibrationChart> CalibrationChart(const TMeasureCore& core);

// The point of sample k of a recording at `pa`, in layout pixels.
TPoint PointAt(const TPressureScale& scale, std::size_t sample, float pa, int left = OriginX, int bottom = OriginY);

void DrawPressureKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TPressureScale& scale,
                            int left = OriginX, int bottom = OriginY);
// The segment of a recording's curve ending at sample k (from the origin
// for k = 0); nothing past the chart's width. `pen` is 6 or 7.
void DrawPressureCurve(const TMeasurePainter& painter, TDrawSurface& surface, const TPressureScale& scale,
                       std::span<const float> buffer, std::size_t sample, int pen, int left = OriginX,
                       int bottom = OriginY);
// Every held sample of a recording, from sample 1 to `last`.
void DrawPressureCurves(const TMeasurePainter& painter, TDrawSurface& surface, const TPressureScale& scale,
                        std::span<const float> buffer, std::size_t last, int pen, int left = OriginX,
                        int bottom = OriginY);
// The chart's axes and both recordings as held (the axes only once a
// recording has begun), in the pens of the two recordings.
void DrawCalibrationChart(const TMeasurePainter& painter, TDrawSurface& surface, const TCalibrationChart& chart,
                          int left = OriginX, int bottom = OriginY);
// Both recordings as held, without the axes.
void DrawHeldCurves(const TMeasurePainter& painter, TDrawSurface& surface, const TCalibrationChart& chart,
                    int left = OriginX, int bottom = OriginY);
// "<label> 12 % " for each line, in bold "Courier New" 12.
void DrawPressureLoss(const TMeasurePainter& painter, TDrawSurface& surface, std::string_view fleischLabel,
                      short fleischLoss, std::string_view balloonLabel, short balloonLoss);

}  // namespace PressureChart
