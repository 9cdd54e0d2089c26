#pragma once

// The dose-response graph of the provocation window in the 800 x 600
// design: the percent change of each parameter against the dose. The
// window scales what this gives; the numbers are the design's.

#include "special/provocation/ProvocationStep.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace ProvocationGraph {

inline constexpr int OriginX = 15;
inline constexpr int AxisTop = 294;     // +100 % at zoom 1
inline constexpr int AxisHeight = 140;
inline constexpr int ZeroY = 364;       // 0 %
inline constexpr int AxisLength = 720;
inline constexpr int AreaTop = 283;     // the graph area clips the curves
inline constexpr int AreaBottom = 456;

struct TPoint {
  double X = 0.0;
  double Y = 0.0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};
struct TSegment {
  TPoint From;
  TPoint To;
};

// Zoom state 0, 1, 2 gives the factor 1, 2, 5.
int ZoomFactor(short zoomState);
// 364 - p x 0.7 x zoom, with 0.7 a single-precision number.
double YOfPercent(double percent, short zoomState);

// The dose of a line as the graph places it: 0 is taken as 1.
double CalculateStepX(const std::vector<TProvStep>& steps, int line);
// Pixels per dose unit: the whole part of 720 / the last line's dose with
// more than one line (a last dose of 0 taken as 1), else 720.
int XFactor(const std::vector<TProvStep>& steps);
// A line's point of parameter k: the baseline on the y axis, later lines
// at their dose; a change shown as 0 is plotted as 1.
TPoint PointOf(const std::vector<TProvStep>& steps, int line, std::size_t parameter, short zoomState);
// Parameter k's curve, each segment clipped to the graph area's top and
// bottom along itself.
std::vector<TSegment> Curve(const std::vector<TProvStep>& steps, std::size_t parameter, short zoomState);
// Clips a segment to y in [top, bottom]; nothing when it lies wholly beyond.
std::optional<TSegment> ClipToBand(TSegment segment, double top, double bottom);

// The x of the marker at the selected line.
double MarkerX(const std::vector<TProvStep>& steps, int selectedLine);
// The y of a limit line (whole, cut toward zero); nothing unless it lies
// strictly inside the y axis.
std::optional<int> LimitY(short limit, short zoomState);
// The five y labels from the top: "%+-4d" of 100, 50, 0, -50, -100 divided
// by the zoom factor, the first followed by "[%]".
std::array<std::string, 5> YLabels(short zoomState);

}  // namespace ProvocationGraph
