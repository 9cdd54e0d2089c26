#include "platform/basekit/ui/PainterSurface.h"

#include "platform/basekit/ui/ImagePicture.h"
#include "platform/basekit/ui/ScreenFont.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QVarLengthArray>

#include <algorithm>

namespace {

QColor ToQColor(TColor color) { return QColor(color.R, color.G, color.B); }

QRect ToQRect(const TRect& rect) { return QRect(rect.Left, rect.Top, rect.Width(), rect.Height()); }

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::PenStyle ToQtStyle(TPenStyle style) {
  switch (style) {
  case TPenStyle::Solid: return Qt::SolidLine;
  case TPenStyle::Dash: return Qt::DashLine;
  case TPenStyle::Dot: return Qt::DotLine;
  case TPenStyle::DashDot: return Qt::DashDotLine;
  case TPenStyle::Null: return Qt::NoPen;
  }
  return Qt::SolidLine;
}

int ToQtAlign(TTextAlign align) {
  switch (align) {
  case TTextAlign::Left: return Qt::AlignLeft;
  case TTextAlign::Centre: return Qt::AlignHCenter;
  case TTextAlign::Right: return Qt::AlignRight;
  }
  return Qt::AlignLeft;
}

// The picture with its black pixels transparent: what OR-painting it onto
// a light page leaves visible.
QImage WithoutBlack(const QImage& image) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) == 0)
        line[x] = 0;
  }
  return out;
}

}  // namespace

TPainterSurface::TPainterSurface(QPainter& painter)
    : Painter(painter), DeviceSize{painter.window().width(), painter.window().height()} {
  Painter.setRenderHint(QPainter::Antialiasing, false);
  Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  Painter.setBrush(Qt::NoBrush);
}

void TPainterSurface::SetPen(const TPen& pen) {
  QPen qpen(ToQColor(pen.Color));
  qpen.setWidth(std::max(1, pen.Width));
  qpen.setStyle(ToQtStyle(pen.Style));
  qpen.setCapStyle(Qt::FlatCap);
  qpen.setJoinStyle(Qt::MiterJoin);
  Painter.setPen(qpen);
}

void TPainterSurface::Line(TPoint from, TPoint to) { Painter.drawLine(from.X, from.Y, to.X, to.Y); }

void TPainterSurface::Polyline(std::span<const TPoint> points) {
  QVarLengthArray<QPoint, 256> qpoints;
  qpoints.reserve(static_cast<qsizetype>(points.size()));
  for (const TPoint& p : points)
    qpoints.append(QPoint(p.X, p.Y));
  Painter.drawPolyline(qpoints.data(), static_cast<int>(qpoints.size()));
}

void TPainterSurface::FrameRect(const TRect& rect) {
  if (rect.IsEmpty())
    return;
  // The outline inside the rectangle, as the right and bottom edges are outside it.
  Painter.drawRect(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
}

void TPainterSurface::Ellipse(const TRect& box, std::optional<TColor> fill) {
  if (box.IsEmpty())
    return;
  // Inside the box as FrameRect's outline is; the brush only for this shape.
  Painter.setBrush(fill ? QBrush(ToQColor(*fill)) : QBrush(Qt::NoBrush));
  Painter.drawEllipse(QRect(box.Left, box.Top, box.Width() - 1, box.Height() - 1));
  Painter.setBrush(Qt::NoBrush);
}

void TPainterSurface::FillRect(const TRect& rect, TColor color) {
  if (!rect.IsEmpty())
    Painter.fillRect(ToQRect(rect), ToQColor(color));
}

void TPainterSurface::DrawText(const QRect& box, int flags, std::string_view text, const TTextStyle& style) {
  if (style.Opaque)
    Painter.fillRect(box, ToQColor(style.Background));
  const QPen pen = Painter.pen();
  Painter.setFont(MakeFont(style.Font));
  Painter.setPen(ToQColor(style.Color));
  Painter.drawText(box, flags | Qt::TextSingleLine, ToQString(text));
  Painter.setPen(pen);
}

void TPainterSurface::TextAt(TPoint at, std::string_view text, const TTextStyle& style) {
  const TSize size = MeasureText(text, style.Font);
  DrawText(QRect(at.X, at.Y, size.Width, size.Height), Qt::AlignLeft | Qt::AlignTop, text, style);
}

void TPainterSurface::TextInRect(const TRect& rect, std::string_view text, const TTextStyle& style) {
  DrawText(ToQRect(rect), ToQtAlign(style.Align) | Qt::AlignVCenter, text, style);
}

TSize TPainterSurface::MeasureText(std::string_view text, const TFontSpec& font) const {
  const QFontMetrics metrics(MakeFont(font), Painter.device());
  return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

void TPainterSurface::DrawPicture(const TPicture& picture, const TRect& target, TRasterOp op) {
  const auto* image = dynamic_cast<const TImagePicture*>(&picture);
  if (!image || target.IsEmpty())
    return;
  const QRect box = ToQRect(target);
  if (op == TRasterOp::SrcCopy) {
    Painter.drawImage(box, image->GetImage());
    return;
  }
  const QPaintEngine* engine = Painter.paintEngine();
  if (engine && engine->hasFeature(QPaintEngine::RasterOpModes)) {
    const auto mode = Painter.compositionMode();
    Painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    Painter.drawImage(box, image->GetImage());
    Painter.setCompositionMode(mode);
  } else {
    Painter.drawImage(box, WithoutBlack(image->GetImage()));
  }
}

void TPainterSurface::SetClip(const TRect& rect) { Painter.setClipRect(ToQRect(rect)); }

void TPainterSurface::ResetClip() { Painter.setClipping(false); }
