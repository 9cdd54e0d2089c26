#include "testing/RecordingSurface.h"

#include <algorithm>
#include <cmath>

TRecordingSurface::TCall& TRecordingSurface::Add(TKind kind) {
  TCall& call = Calls.emplace_back();
  call.Kind = kind;
  call.Pen = CurrentPen;
  return call;
}

void TRecordingSurface::SetPen(const TPen& pen) {
  CurrentPen = pen;
  Add(TKind::Pen);
}

void TRecordingSurface::Line(TPoint from, TPoint to) { Add(TKind::Line).Points = {from, to}; }

void TRecordingSurface::Polyline(std::span<const TPoint> points) {
  Add(TKind::Polyline).Points.assign(points.begin(), points.end());
}

void TRecordingSurface::FrameRect(const TRect& rect) { Add(TKind::FrameRect).Rect = rect; }

void TRecordingSurface::FillRect(const TRect& rect, TColor color) {
  TCall& call = Add(TKind::FillRect);
  call.Rect = rect;
  call.Color = color;
}

void TRecordingSurface::Ellipse(const TRect& box, std::optional<TColor> fill) {
  TCall& call = Add(TKind::Ellipse);
  call.Rect = box;
  call.Filled = fill.has_value();
  call.Color = fill.value_or(TColor{});
}

void TRecordingSurface::TextAt(TPoint at, std::string_view text, const TTextStyle& style) {
  TCall& call = Add(TKind::TextAt);
  call.Points = {at};
  call.Text = text;
  call.Style = style;
}

void TRecordingSurface::TextInRect(const TRect& rect, std::string_view text, const TTextStyle& style) {
  TCall& call = Add(TKind::TextInRect);
  call.Rect = rect;
  call.Text = text;
  call.Style = style;
}

TSize TRecordingSurface::MeasureText(std::string_view text, const TFontSpec& font) const {
  int characters = 0;
  for (const char c : text)
    characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  const int advance = static_cast<int>(std::lround(0.6 * font.PixelHeight));
  return {characters * advance, font.PixelHeight};
}

void TRecordingSurface::DrawPicture(const TPicture& picture, const TRect& target, TRasterOp op) {
  TCall& call = Add(TKind::Picture);
  call.Rect = target;
  call.Text = picture.Name();
  call.Op = op;
}

void TRecordingSurface::SetClip(const TRect& rect) { Add(TKind::Clip).Rect = rect; }

void TRecordingSurface::ResetClip() { Add(TKind::ResetClip); }

std::vector<TRecordingSurface::TCall> TRecordingSurface::OfKind(TKind kind) const {
  std::vector<TCall> out;
  for (const auto& call : Calls)
    if (call.Kind == kind)
      out.push_back(call);
  return out;
}

std::vector<std::string> TRecordingSurface::Texts() const {
  std::vector<std::string> out;
  for (const auto& call : Calls)
    if (call.Kind == TKind::TextAt || call.Kind == TKind::TextInRect)
      out.push_back(call.Text);
  return out;
}

TRect TRecordingSurface::TextFootprint(const TCall& text) const {
  const TSize size = MeasureText(text.Text, text.Style.Font);
  if (text.Kind == TKind::TextAt && !text.Points.empty())
    return {text.Points[0].X, text.Points[0].Y, text.Points[0].X + size.Width, text.Points[0].Y + size.Height};
  const TRect& box = text.Rect;
  const int left = text.Style.Align == TTextAlign::Left     ? box.Left
                   : text.Style.Align == TTextAlign::Right  ? box.Right - size.Width
                                                            : box.Left + (box.Width() - size.Width) / 2;
  const int top = box.Top + (box.Height() - size.Height) / 2;
  return {left, top, left + size.Width, top + size.Height};
}

std::vector<std::string> TRecordingSurface::OverlappingTexts() const {
  std::vector<TCall> texts = OfKind(TKind::TextInRect);
  const std::vector<TCall> at = OfKind(TKind::TextAt);
  texts.insert(texts.end(), at.begin(), at.end());
  std::vector<std::string> out;
  for (std::size_t i = 0; i < texts.size(); ++i)
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      const TRect a = TextFootprint(texts[i]);
      const TRect b = TextFootprint(texts[j]);
      if (!a.IsEmpty() && !b.IsEmpty() && a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom &&
          b.Top < a.Bottom)
        out.push_back("\"" + texts[i].Text + "\" / \"" + texts[j].Text + "\"");
    }
  return out;
}
