#include "measure/screen/ShutterGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace ShutterGeometry {

TFactors Factors(short scaleIndex) {
  static constexpr std::array<float, 4> Steps{1.5f, 1.0f, 0.5f, 0.25f};
  if (scaleIndex < 0 || scaleIndex > 3)
    return {};
  const float f = Steps[static_cast<std::size_t>(scaleIndex)];
  return {f, f, 1.0f, f};
}

TDiagram Diagram(short zoomState) {
  if (zoomState == 1)
    return {Layout[1], Layout[5], Layout[6], 1};
  return {Layout[0], Layout[3], Layout[4], 2};
}

TPoint CurvePoint(const TDiagram& diagram, const TFactors& factors, float flowLps, float pressureKpa) {
  const float x = static_cast<float>(diagram.Origin.X) -
                  pressureKpa * PixelsPerKpa * static_cast<float>(diagram.Size) / factors.Pressure;
  const float y =
      static_cast<float>(diagram.Origin.Y) - flowLps * PixelsPerLps * static_cast<float>(diagram.Size) / factors.Flow;
  return {static_cast<int>(x), static_cast<int>(y)};
}

bool InsideDrawing(const TDiagram& diagram, TPoint p) {
  return p.X > diagram.TopLeft.X && p.X < diagram.BottomRight.X && p.Y > diagram.TopLeft.Y &&
         p.Y < diagram.BottomRight.Y;
}

bool IsPointInTheArea(short area, int x, int y) {
  if (area < 0 || area >= static_cast<short>(Layout.size()))
    return false;
  const TPoint centre = Layout[static_cast<std::size_t>(area)];
  return std::abs(x - centre.X) <= AreaHalfWidth && std::abs(y - centre.Y) <= AreaHalfHeight;
}

bool IsPointOutOfArea(std::span<const float> flowLps, std::span<const float> pressureKpa, short scaleIndex) {
  const std::size_t n = std::min(flowLps.size(), pressureKpa.size());
  float lowest = 10.0f;
  float lowestPressure = 0.0f;
  float highest = 0.0f;
  float highestPressure = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    if (flowLps[i] < lowest) {
      lowest = flowLps[i];
      lowestPressure = pressureKpa[i];
    }
    if (flowLps[i] > highest) {
      highest = flowLps[i];
      highestPressure = pressureKpa[i];
    }
  }
  const TDiagram normal = Diagram(1);
  const TFactors factors = Factors(scaleIndex);
  const TPoint low = CurvePoint(normal, factors, lowest == 10.0f ? 0.0f : lowest, lowestPressure);
  const TPoint high = CurvePoint(normal, factors, highest, highestPressure);
  return !IsPointInTheArea(1, low.X, low.Y) || !IsPointInTheArea(1, high.X, high.Y);
}

short FittingScaleIndex(std::span<const float> flowLps, std::span<const float> pressureKpa) {
  for (short index = 3; index > 0; --index)
    if (!IsPointOutOfArea(flowLps, pressureKpa, index))
      return index;
  return 0;
}

}  // namespace ShutterGeometry
