#pragma once

// The drawing surface over a QPainter: a window's frame image, a printer
// page, a PDF or any QImage, whatever device the painter was begun on.
// Shapes are drawn without smoothing and pictures scaled by nearest
// neighbour, so colours stay exact where the system compares them.

#include "platform/basekit/DrawSurface.h"

#include <QPen>

class QPainter;

class TPainterSurface final : public TDrawSurface {
public:
  // The painter stays the caller's and must be active. The surface's size
  // is the painter's window (its logical coordinates).
  explicit TPainterSurface(QPainter& painter);

  TSize Size() const override { return DeviceSize; }
  // For windows that paint their printouts with the painter itself.
  QPainter& GetPainter() const { return Painter; }
  void SetPen(const TPen& pen) override;
  void Line(TPoint from, TPoint to) override;
  void Polyline(std::span<const TPoint> points) override;
  void FrameRect(const TRect& rect) override;
  void FillRect(const TRect& rect, TColor color) override;
  void Ellipse(const TRect& box, std::optional<TColor> fill) override;
  void TextAt(TPoint at, std::string_view text, const TTextStyle& style) override;
  void TextInRect(const TRect& rect, std::string_view text, const TTextStyle& style) override;
  TSize MeasureText(std::string_view text, const TFontSpec& font) const override;
  // SrcPaint ORs on devices that know raster operations (images, screens);
  // on a printer or PDF the picture's black parts are left out instead,
  // which looks the same over what is drawn there.
  void DrawPicture(const TPicture& picture, const TRect& target, TRasterOp op) override;
  void SetClip(const TRect& rect) override;
  void ResetClip() override;

private:
  void DrawText(const QRect& box, int flags, std::string_view text, const TTextStyle& style);

  QPainter& Painter;
  TSize DeviceSize;
};
