#include "measure/screen/PlethyGeometry.h"

#include <algorithm>

namespace PlethyGeometry {

namespace {

std::size_t Step(short zoomLevel) { return static_cast<std::size_t>(std::clamp<short>(zoomLevel, 0, 3)); }

constexpr int NormalLeft = 40;
constexpr int FullLeft = 80;
constexpr int LoopTop = 75;
constexpr int NormalWidth = 252;
constexpr int NormalHeight = 90;
constexpr int NormalTgvTop = 180;
constexpr int FullTgvTop = 270;

TLoopFrame Frame(int left, int top, int size) {
  const int width = NormalWidth * size;
  const int height = NormalHeight * size;
  return {{left, top, left + width, top + height}, top + height / 2, size};
}

int Truncated(float v) { return static_cast<int>(v); }

}  // namespace

TFactors Factors(short zoomLevel) {
  static constexpr std::array<TFactors, 4> Table{{{1.0f, 1.5f, 1.0f, 1.5f, 1.5f, 1.5f},
                                                  {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f},
                                                  {0.5f, 0.5f, 1.0f, 0.5f, 0.5f, 0.5f},
                                                  {0.25f, 0.25f, 1.0f, 0.25f, 0.25f, 0.25f}}};
  return Table[Step(zoomLevel)];
}

TRanges Ranges(short zoomLevel) {
  static constexpr std::array<TRanges, 4> Table{
      {{6.0f, 6.0f, 6.0f, 180.0f}, {4.0f, 4.0f, 4.0f, 120.0f}, {2.0f, 2.0f, 2.0f, 60.0f}, {1.0f, 1.0f, 1.0f, 30.0f}}};
  return Table[Step(zoomLevel)];
}

TLoopFrame ResistanceFrame(short screenMode) {
  return screenMode == 0 ? Frame(FullLeft, LoopTop, 2) : Frame(NormalLeft, LoopTop, 1);
}

TLoopFrame TgvFrame(short screenMode) {
  return screenMode == 0 ? Frame(FullLeft, FullTgvTop, 2) : Frame(NormalLeft, NormalTgvTop, 1);
}

// On paper the two loops stand side by side under their titles, in the
// height of the exported picture below its legend. The offsets end the
// previous result's loop at four scaled units across; the frames are wider
// so that an actual loop wider than that still shows whole.
constexpr int PrintedWidth = 280;
constexpr int PrintedHeight = 168;

TLoopFrame PrintedFrame(int left, int top) {
  return {{left, top, left + PrintedWidth, top + PrintedHeight}, top + PrintedHeight / 2, 1};
}

TLoopFrame PrintedResistanceFrame(int top) { return PrintedFrame(90, top); }

TLoopFrame PrintedTgvFrame(int top) { return PrintedFrame(420, top); }

TPoint PrintedResistancePoint(const TLoopFrame& frame, float scale, float offsetKPa, float alveolarKPa, float flowLps) {
  return {frame.Area.Left + Truncated((alveolarKPa / scale + offsetKPa) * PrintResistanceXPerKPa),
          frame.AxisY - Truncated(flowLps / scale * PrintResistanceYPerLps)};
}

TPoint PrintedTgvPoint(const TLoopFrame& frame, float scale, float offsetPa, float boxPa, float mouthKPa) {
  return {frame.Area.Left + Truncated((boxPa / scale + offsetPa) * PrintTgvXPerPa),
          frame.AxisY + Truncated(mouthKPa / scale * PrintTgvYPerKPa)};
}

TPoint ResistancePoint(const TLoopFrame& frame, const TFactors& factors, float alveolarKPa, float flowLps) {
  const auto size = static_cast<float>(frame.Size);
  return {frame.Area.Left + Truncated((alveolarKPa / factors[4] + ResistanceShiftKPa) * ResistanceXPerKPa * size),
          frame.AxisY - Truncated(flowLps * ResistanceYPerLps * size / factors[3])};
}

TPoint TgvPoint(const TLoopFrame& frame, const TFactors& factors, float boxPa, float mouthKPa) {
  const auto size = static_cast<float>(frame.Size);
  return {frame.Area.Left + Truncated((boxPa / factors[4] + TgvShiftPa) * TgvXPerPa * size),
          frame.AxisY + Truncated(mouthKPa * TgvYPerKPa * size / factors[5])};
}

bool Inside(const TLoopFrame& frame, TPoint p) {
  return p.X >= frame.Area.Left && p.X <= frame.Area.Right && p.Y >= frame.Area.Top && p.Y <= frame.Area.Bottom;
}

}  // namespace PlethyGeometry
