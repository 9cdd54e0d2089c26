#include "special/rhinomanometry/RhinoDiagram.h"

namespace {

constexpr float FlowUnits = 0.14f;       // per mL/s
constexpr float PressureUnits = 0.1867f; // per Pa
constexpr float VolumeUnits = 0.112f;    // per mL
constexpr float SecondUnits = 12.0f;

struct TBox {
  float Left, Top, Right, Bottom;
  bool Inside(TLayoutPoint p) const { return Left < p.X && p.X < Right && Top < p.Y && p.Y < Bottom; }
};

TBox DiagramBox(const TRhinoFrame& f) {
  return {45.0f * f.K(), f.Top, 269.0f * f.K(), f.Top + 168.0f * f.K()};
}

TBox ClipBox(const TRhinoFrame& f) {
  return f.ZoomState == 0 ? TBox{7.0f, 66.0f, 743.0f, 456.0f} : TBox{8.0f, 67.0f, 312.0f, 276.0f};
}

constexpr TBox VolumeStrip{8.0f, 283.0f, 741.0f, 456.0f};

}  // namespace

TRhinoFactors RhinoFactors(short scaleIndex) {
  static constexpr std::array<float, 4> Scales{1.5f, 1.0f, 0.5f, 0.25f};
  const float s = scaleIndex >= 0 && scaleIndex < 4 ? Scales[static_cast<std::size_t>(scaleIndex)] : 1.0f;
  return {s, s, 1.0f, s};
}

TLayoutPoint CurvePoint(const TRhinoFrame& frame, float flowMlps, float pressurePa, short side,
                        const TRhinoFactors& factors) {
  const TLayoutPoint origin = frame.Origin();
  const float flowOffset = frame.K() * flowMlps * FlowUnits / factors.Flow;
  const float pressureOffset = frame.K() * pressurePa * PressureUnits / factors.Pressure;
  return {origin.X - pressureOffset, origin.Y + (side == 1 ? -flowOffset : flowOffset)};
}

std::optional<TLayoutSegment> CurveSegment(const TRhinoFrame& frame, std::span<const float> flowMlps,
                                           std::span<const float> pressurePa, std::size_t sample, short side,
                                           const TRhinoFactors& factors) {
  if (sample >= flowMlps.size() || sample >= pressurePa.size())
    return std::nullopt;
  const TLayoutPoint to = CurvePoint(frame, flowMlps[sample], pressurePa[sample], side, factors);
  const TLayoutPoint from =
      sample == 0 ? frame.Origin() : CurvePoint(frame, flowMlps[sample - 1], pressurePa[sample - 1], side, factors);
  if (from == to)
    return std::nullopt;
  const TBox box = DiagramBox(frame);
  const bool inBox = box.Inside(from) && box.Inside(to);
  const bool inClip = frame.Running && ClipBox(frame).Inside(from) && ClipBox(frame).Inside(to);
  if (!inBox && !inClip)
    return std::nullopt;
  return TLayoutSegment{from, to};
}

std::optional<TLayoutSegment> VolumeSegment(std::span<const float> volumeMl, std::size_t sample,
                                            const TRhinoFactors& factors) {
  if (sample == 0 || sample >= volumeMl.size())
    return std::nullopt;
  const auto point = [&](std::size_t j) {
    return TLayoutPoint{15.0f + static_cast<float>(j) * 0.01f * SecondUnits / factors.Time,
                        406.0f - 56.0f - volumeMl[j] * VolumeUnits / factors.Volume};
  };
  const TLayoutPoint from = point(sample - 1);
  const TLayoutPoint to = point(sample);
  if (from == to || !VolumeStrip.Inside(from) || !VolumeStrip.Inside(to))
    return std::nullopt;
  return TLayoutSegment{from, to};
}
