#include "platform/basekit/PrintCanvas.h"

#include "platform/basekit/Util.h"

#include <algorithm>

TPrintCanvas::TPrintCanvas(TDrawSurface& surface, float scaleX, float scaleY, std::string face)
    : Surface(surface), ScaleX(scaleX), ScaleY(scaleY), Face(std::move(face)) {}

// The layout's columns grow with the horizontal factor, the rows with the
// vertical one: a text scaled by the larger of the two would outgrow its
// column on a screen taller for its width, so it takes the smaller.
TFontSpec TPrintCanvas::Font(int points) const {
  return TUtil::LayoutFont(Face, points, std::min(ScaleX, ScaleY), 700);
}

TRect TPrintCanvas::Scale(const TRect& layout) const { return TUtil::Scale(ScaleX, ScaleY, layout); }

int TPrintCanvas::ScaleXOf(int x) const { return static_cast<int>(static_cast<float>(x) * ScaleX); }

int TPrintCanvas::ScaleYOf(int y) const { return static_cast<int>(static_cast<float>(y) * ScaleY); }

void TPrintCanvas::Text(std::string_view text, int left, int top, int right, int bottom, TTextAlign align,
                        bool fillBand, TColor background, TColor colour, int points) {
  if (fillBand)
    Surface.FillRect(Scale({Left, top, Right, bottom}), background);
  // Only the glyphs go on: a row keeps its band, and a text never covers
  // the rules or the texts beside it.
  const TTextStyle style{Font(points), colour, background, false, align};
  Surface.TextInRect(Scale({left, top, right, bottom}), text, style);
}

std::vector<std::string> TPrintCanvas::Wrap(std::string_view text, int width, const TFontSpec& font) const {
  std::vector<std::string> lines;
  const auto fits = [&](std::string_view line) { return Surface.MeasureText(line, font).Width <= width; };
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t feed = text.find('\n', start);
    std::string_view piece = text.substr(start, feed == std::string_view::npos ? std::string_view::npos : feed - start);
    if (!piece.empty() && piece.back() == '\r')
      piece.remove_suffix(1);
    while (!piece.empty()) {
      std::size_t take = piece.size();
      if (!fits(piece)) {
        // The longest head that fits; then back to its last blank.
        std::size_t lo = 1, hi = piece.size();
        while (lo < hi) {
          const std::size_t mid = (lo + hi + 1) / 2;
          if (fits(piece.substr(0, mid)))
            lo = mid;
          else
            hi = mid - 1;
        }
        take = lo;
        const std::size_t blank = piece.substr(0, take + 1).rfind(' ');
        if (blank != std::string_view::npos && blank > 0)
          take = blank;
      }
      std::string_view line = piece.substr(0, take);
      while (!line.empty() && line.back() == ' ')
        line.remove_suffix(1);
      lines.emplace_back(line);
      piece.remove_prefix(take);
      while (!piece.empty() && piece.front() == ' ')
        piece.remove_prefix(1);
    }
    if (feed == std::string_view::npos)
      break;
    start = feed + 1;
  }
  return lines;
}

int TPrintCanvas::WrappedText(std::string_view text, const TRect& device, bool draw, int points) {
  const TFontSpec font = Font(points);
  const int lineHeight = std::max(1, Surface.MeasureText("X", font).Height);
  const std::vector<std::string> lines = Wrap(text, device.Width(), font);
  if (draw) {
    const TTextStyle style{font, TColor::Black(), TColor::White(), false, TTextAlign::Left};
    int y = device.Top;
    for (const auto& line : lines) {
      Surface.TextInRect({device.Left, y, device.Right, y + lineHeight}, line, style);
      y += lineHeight;
    }
  }
  return static_cast<int>(lines.size()) * lineHeight;
}

void TPrintCanvas::Line(int x1, int y1, int x2, int y2, int width, TColor colour) {
  Surface.SetPen({colour, std::max(1, static_cast<int>(static_cast<float>(width) * std::min(ScaleX, ScaleY))),
                  TPenStyle::Solid});
  Surface.Line({ScaleXOf(x1), ScaleYOf(y1)}, {ScaleXOf(x2), ScaleYOf(y2)});
}

void TPrintCanvas::Rule(int y) { Line(Left, y, Right, y, 2); }

void TPrintCanvas::DrawTableColumn(int y, int height) {
  for (int x : {51, 251, 446, 611, 741})
    Line(x, y - 3, x, y - 3 + height + 6, 2);
}
