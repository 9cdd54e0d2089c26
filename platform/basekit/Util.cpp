#include "platform/basekit/Util.h"

#include "platform/framework/Profile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

std::string ColorKey(std::size_t index) { return "Color" + std::to_string(index); }

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

TUtil::TUtil() : Colors(DefaultColors()), Delays(std::make_shared<TSleepingDelayClock>()) {}

// Curves and axes on a black plot, texts in navy on light grey panels; the
// three trials in yellow, green and cyan, the previous result in orange.
const TUtil::TColorList& TUtil::DefaultColors() {
  static const TColorList defaults{{
      {0, 0, 0},        // 0 plot background
      {0, 0, 128},      // 1 panel text
      {255, 255, 255},  // 2 axes and scales
      {96, 96, 96},     // 3 grid
      {255, 255, 0},    // 4 trial 1
      {0, 255, 0},      // 5 trial 2
      {0, 255, 255},    // 6 trial 3
      {255, 0, 255},    // 7 fourth curve
      {255, 128, 0},    // 8 previous result
      {255, 0, 0},      // 9 right ear, fifth curve
      {0, 128, 255},    // 10 left ear
      {128, 255, 128},  // 11 previous audiogram
      {255, 128, 255},  // 12 spare curve
      {128, 128, 255},  // 13 spare curve
      {255, 255, 128},  // 14 spare curve
      {192, 192, 192},  // 15 header background
      {0, 0, 0},        // 16 header text
      {192, 192, 192},  // 17 panels
      {255, 96, 96},    // 18 normal ranges
  }};
  return defaults;
}

void TUtil::ReadColors(std::string_view iniFile) {
  const TProfile profile(ColorSection, iniFile);
  for (std::size_t i = 0; i < ColorCount; ++i)
    Colors[i] = ParseColor(profile.GetString(ColorKey(i))).value_or(DefaultColors()[i]);
}

bool TUtil::WriteColor(std::string_view iniFile, std::size_t index) const {
  if (index >= ColorCount)
    return false;
  TProfile profile(ColorSection, iniFile);
  return profile.WriteString(ColorKey(index), FormatColor(Colors[index]));
}

TColor TUtil::GetColor(std::size_t index) const { return index < ColorCount ? Colors[index] : Colors[0]; }

void TUtil::SetColor(std::size_t index, TColor color) {
  if (index < ColorCount)
    Colors[index] = color;
}

std::optional<TColor> TUtil::ParseColor(std::string_view text) {
  std::array<std::uint8_t, 3> parts{};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const auto comma = text.find(',');
    if ((comma == std::string_view::npos) != (i == parts.size() - 1))
      return std::nullopt;
    const std::string_view part = TrimBlanks(text.substr(0, comma));
    int value = -1;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || error != std::errc() || end != part.data() + part.size() || value < 0 || value > 255)
      return std::nullopt;
    parts[i] = static_cast<std::uint8_t>(value);
    if (comma != std::string_view::npos)
      text.remove_prefix(comma + 1);
  }
  return TColor(parts[0], parts[1], parts[2]);
}

std::string TUtil::FormatColor(TColor color) {
  return std::to_string(color.R) + "," + std::to_string(color.G) + "," + std::to_string(color.B);
}

void TUtil::MsecDelay(int milliseconds) const {
  if (milliseconds > 0)
    Delays->Wait(std::chrono::milliseconds(milliseconds));
}

void TUtil::SetDelayClock(std::shared_ptr<TDelayClock> clock) {
  Delays = clock ? std::move(clock) : std::make_shared<TSleepingDelayClock>();
}

TPoint TUtil::Scale(float fx, float fy, TPoint point) {
  return {static_cast<int>(static_cast<float>(point.X) * fx), static_cast<int>(static_cast<float>(point.Y) * fy)};
}

TRect TUtil::Scale(float fx, float fy, const TRect& rect) {
  const TPoint topLeft = Scale(fx, fy, TPoint{rect.Left, rect.Top});
  const TPoint bottomRight = Scale(fx, fy, TPoint{rect.Right, rect.Bottom});
  return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

TFontSpec TUtil::LayoutFont(std::string_view face, double points, float fy, int weight) {
  const long pixels = std::lround(ReferencePixels(points) * static_cast<double>(fy));
  return {std::string(face), static_cast<int>(std::max(1L, pixels)), weight};
}

void TUtil::FillRect(TDrawSurface& surface, float fx, float fy, const TRect& rect, TColor color) {
  surface.FillRect(Scale(fx, fy, rect), color);
}

void TUtil::TextOutA(TDrawSurface& surface, float fx, float fy, int x, int y, std::string_view text,
                     TColor background, int points, std::string_view face, TColor textColor, short weight) {
  const TTextStyle style{LayoutFont(face, points, fy, weight), textColor, background, true, TTextAlign::Left};
  surface.TextAt(Scale(fx, fy, TPoint{x, y}), text, style);
}

void TUtil::TextRectOut(TDrawSurface& surface, float fx, float fy, const TRect& rect, std::string_view text,
                        TColor background, TColor textColor, int points, std::string_view face, int alignment,
                        short weight, bool opaque) {
  const TTextAlign align = alignment == 1 ? TTextAlign::Centre : alignment == 2 ? TTextAlign::Right : TTextAlign::Left;
  const TTextStyle style{LayoutFont(face, points, fy, weight), textColor, background, opaque, align};
  surface.TextInRect(Scale(fx, fy, rect), text, style);
}
