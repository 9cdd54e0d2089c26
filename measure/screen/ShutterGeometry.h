#pragma once

// Where the shutter test's pressure-flow diagram and volume strip lie in the
// 800 x 600 layout, and where a point of the curve falls in them, for the
// screen, the printout and the zoom choice alike.

#include <array>
#include <span>

namespace ShutterGeometry {

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// The layout table: 0 the diagram's origin in the enlarged layout, 1 in the
// normal one (and the centre of the area test), 2 the zero of the volume
// strip, 3-4 and 5-6 the diagram's drawing rectangle enlarged and normal,
// 7-8 the volume strip's rectangle.
inline constexpr std::array<TPoint, 9> Layout{{{314, 249},
                                               {157, 165},
                                               {15, 416},
                                               {7, 66},
                                               {743, 456},
                                               {8, 67},
                                               {312, 276},
                                               {8, 304},
                                               {741, 444}}};

inline constexpr float PixelsPerLps = 21.0f;
inline constexpr float PixelsPerKpa = 93.3f;
inline constexpr float PixelsPerLitre = 14.0f;
inline constexpr float PixelsPerSecond = 12.0f;
// Half the width and height of the area a curve must stay in.
inline constexpr int AreaHalfWidth = 112;
inline constexpr int AreaHalfHeight = 84;

// The factors of a scale index 0 to 3 (flow, volume, time, pressure); any
// other index reads as 1.
struct TFactors {
  float Flow = 1.0f;
  float Volume = 1.0f;
  float Time = 1.0f;
  float Pressure = 1.0f;
};
TFactors Factors(short scaleIndex);

// The layout of the zoom state: 1 the normal layout, any other the
// enlarged one (twice the size).
struct TDiagram {
  TPoint Origin;
  TPoint TopLeft;
  TPoint BottomRight;
  int Size = 1;  // k
};
TDiagram Diagram(short zoomState);

// A point of the curve in the diagram: positive pressures lie left of the
// origin, positive flows above it.
TPoint CurvePoint(const TDiagram& diagram, const TFactors& factors, float flowLps, float pressureKpa);
// Strictly inside the diagram's drawing rectangle: a cross drawn during the
// test must be.
bool InsideDrawing(const TDiagram& diagram, TPoint p);

// Within 112 by 84 pixels of the layout point `area`.
bool IsPointInTheArea(short area, int x, int y);
// The curve's lowest- and highest-flow points, mapped into the normal layout
// at `scaleIndex`: true when either leaves area 1.
bool IsPointOutOfArea(std::span<const float> flowLps, std::span<const float> pressureKpa, short scaleIndex);
// The scale index of the largest picture in which the curve fits, from
// index 3 (factor 0.25) down; 0, the smallest, when it fits in none.
short FittingScaleIndex(std::span<const float> flowLps, std::span<const float> pressureKpa);

}  // namespace ShutterGeometry
