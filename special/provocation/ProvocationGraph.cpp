#include "special/provocation/ProvocationGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ProvocationGraph {

int ZoomFactor(short zoomState) {
  switch (zoomState) {
  case 1:
    return 2;
  case 2:
    return 5;
  default:
    return 1;
  }
}

double YOfPercent(double percent, short zoomState) {
  constexpr float Factor = 0.7f;  // the design's single-precision factor
  return ZeroY - percent * static_cast<double>(Factor) * ZoomFactor(zoomState);
}

double CalculateStepX(const std::vector<TProvStep>& steps, int line) {
  if (line < 0 || static_cast<std::size_t>(line) >= steps.size())
    return 1.0;
  const double dose = ProvocationStep::ShownDose(steps[static_cast<std::size_t>(line)]);
  return dose == 0.0 ? 1.0 : dose;
}

int XFactor(const std::vector<TProvStep>& steps) {
  if (steps.size() <= 1)
    return AxisLength;
  const double factor = AxisLength / CalculateStepX(steps, static_cast<int>(steps.size()) - 1);
  return static_cast<int>(std::min(factor, 1.0e6));
}

TPoint PointOf(const std::vector<TProvStep>& steps, int line, std::size_t parameter, short zoomState) {
  int percent = ProvocationStep::ShownChange(steps.at(static_cast<std::size_t>(line)), parameter);
  if (percent == 0)
    percent = 1;
  const double x = line == 0 ? OriginX : OriginX + CalculateStepX(steps, line) * XFactor(steps);
  return {x, YOfPercent(percent, zoomState)};
}

std::optional<TSegment> ClipToBand(TSegment s, double top, double bottom) {
  const auto clip = [&](TPoint& end, const TPoint& other) {
    const double border = end.Y < top ? top : (end.Y > bottom ? bottom : end.Y);
    if (border == end.Y)
      return;
    // Along the segment; a vertical one stays vertical.
    if (other.Y != end.Y)
      end.X = end.X + (other.X - end.X) * (border - end.Y) / (other.Y - end.Y);
    end.Y = border;
  };
  if ((s.From.Y < top && s.To.Y < top) || (s.From.Y > bottom && s.To.Y > bottom))
    return std::nullopt;
  clip(s.From, s.To);
  clip(s.To, s.From);
  return s;
}

std::vector<TSegment> Curve(const std::vector<TProvStep>& steps, std::size_t parameter, short zoomState) {
  std::vector<TSegment> segments;
  for (std::size_t i = 1; i < steps.size(); ++i) {
    const TSegment segment{PointOf(steps, static_cast<int>(i) - 1, parameter, zoomState),
                           PointOf(steps, static_cast<int>(i), parameter, zoomState)};
    if (const auto clipped = ClipToBand(segment, AreaTop, AreaBottom))
      segments.push_back(*clipped);
  }
  return segments;
}

double MarkerX(const std::vector<TProvStep>& steps, int selectedLine) {
  if (selectedLine <= 0 || static_cast<std::size_t>(selectedLine) >= steps.size())
    return OriginX;
  return OriginX + CalculateStepX(steps, selectedLine) * XFactor(steps);
}

std::optional<int> LimitY(short limit, short zoomState) {
  const double y = std::trunc(YOfPercent(limit, zoomState));
  if (y > AxisTop && y < AxisTop + AxisHeight)
    return static_cast<int>(y);
  return std::nullopt;
}

std::array<std::string, 5> YLabels(short zoomState) {
  std::array<std::string, 5> labels;
  const int zoom = ZoomFactor(zoomState);
  for (int k = 0; k < 5; ++k) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%+-4d", (100 - 50 * k) / zoom);
    labels[static_cast<std::size_t>(k)] = text.data();
  }
  labels[0] += "[%]";
  return labels;
}

}  // namespace ProvocationGraph
