#pragma once

// Where the pressure-flow diagram of rhinomanometry puts its curves, in the
// 800 × 600 layout before the window's screen factors: positive pressure
// (expiration) left of the origin, the left nostril's inspiration below and
// the right nostril's above it, so that each nostril keeps to its own two
// quadrants. And the live volume strip under it while a test runs.

#include <array>
#include <cstddef>
#include <optional>
#include <span>

struct TRhinoFactors {
  float Flow = 1.0f;
  float Volume = 1.0f;
  float Time = 1.0f;
  float Pressure = 1.0f;
};

// The factors of the window's scale index 0 to 3 (flow, volume and pressure
// 1.5, 1, 0.5, 0.25; time 1); any other index counts as 1.
TRhinoFactors RhinoFactors(short scaleIndex);

struct TLayoutPoint {
  float X = 0.0f;
  float Y = 0.0f;
  friend bool operator==(const TLayoutPoint&, const TLayoutPoint&) = default;
};

struct TLayoutSegment {
  TLayoutPoint From;
  TLayoutPoint To;
};

// The diagram of a zoom state (0 enlarged, k = 2; 1 normal, k = 1) with its
// top: 81 on the screen, the print position on paper.
struct TRhinoFrame {
  short ZoomState = 1;
  float Top = 81.0f;
  bool Running = false;  // a test runs: curves may use the wider clip

  float K() const { return ZoomState == 0 ? 2.0f : 1.0f; }
  TLayoutPoint Origin() const { return {157.0f * K(), Top + 84.0f * K()}; }
};

// The point of a sample: x = x0 - k·pressure·0.1867 / pressure factor,
// y = y0 ± k·flow·0.14 / flow factor (minus for the right side).
TLayoutPoint CurvePoint(const TRhinoFrame& frame, float flowMlps, float pressurePa, short side,
                        const TRhinoFactors& factors);

// The segment from sample - 1 (the origin for sample 0) to `sample`, or
// nothing: when the buffers do not reach it, when both ends are the same
// point, or when an end lies outside the diagram box (while a test runs,
// outside the clip rectangle of the zoom state), so that a curve leaving the
// box shows a gap rather than a line along its border.
std::optional<TLayoutSegment> CurveSegment(const TRhinoFrame& frame, std::span<const float> flowMlps,
                                           std::span<const float> pressurePa, std::size_t sample, short side,
                                           const TRhinoFactors& factors);

// The live volume strip: sample j at x = 15 + 0.12·j / time factor,
// y = 350 - 0.112·volume / volume factor; the segment to `sample` (> 0)
// when its ends differ and lie inside the strip.
std::optional<TLayoutSegment> VolumeSegment(std::span<const float> volumeMl, std::size_t sample,
                                            const TRhinoFactors& factors);
