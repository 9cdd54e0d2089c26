#pragma once

#include "platform/basekit/DrawSurface.h"

#include <string>
#include <vector>

// A drawing surface that notes every call, so that tests see what a
// painting routine drew, in which order, with which pen, font and colours,
// without a display. Texts measure as a fixed-pitch font whose characters
// are 0.6 of its height wide.
class TRecordingSurface final : public TDrawSurface {
public:
  enum class TKind { Pen, Line, Polyline, FrameRect, FillRect, Ellipse, TextAt, TextInRect, Picture, Clip, ResetClip };

  struct TCall {
    TKind Kind = TKind::Line;
    TPen Pen;                   // the pen in use (the new one for Pen)
    std::vector<TPoint> Points; // Line (2), Polyline, TextAt (1)
    TRect Rect;                 // FrameRect, FillRect, Ellipse, TextInRect, Picture, Clip
    TColor Color;               // FillRect, a filled Ellipse
    bool Filled = false;        // Ellipse
    std::string Text;           // texts; the picture's name
    TTextStyle Style;           // texts
    TRasterOp Op = TRasterOp::SrcCopy;
  };

  explicit TRecordingSurface(TSize size = {800, 600}) : SurfaceSize(size) {}

  TSize Size() const override { return SurfaceSize; }
  void SetPen(const TPen& pen) override;
  void Line(TPoint from, TPoint to) override;
  void Polyline(std::span<const TPoint> points) override;
  void FrameRect(const TRect& rect) override;
  void FillRect(const TRect& rect, TColor color) override;
  void Ellipse(const TRect& box, std::optional<TColor> fill) override;
  void TextAt(TPoint at, std::string_view text, const TTextStyle& style) override;
  void TextInRect(const TRect& rect, std::string_view text, const TTextStyle& style) override;
  TSize MeasureText(std::string_view text, const TFontSpec& font) const override;
  void DrawPicture(const TPicture& picture, const TRect& target, TRasterOp op) override;
  void SetClip(const TRect& rect) override;
  void ResetClip() override;

  std::vector<TCall> Calls;

  // The calls of one kind, in order.
  std::vector<TCall> OfKind(TKind kind) const;
  // The texts written, in order.
  std::vector<std::string> Texts() const;
  // The area a recorded text covers: its measured size from its point, or
  // placed in its rectangle as the painter surface places it (aligned
  // across, centred up and down).
  TRect TextFootprint(const TCall& text) const;
  // Every two texts whose footprints share a pixel, as "a" / "b".
  std::vector<std::string> OverlappingTexts() const;

private:
  TCall& Add(TKind kind);

  TSize SurfaceSize;
  TPen CurrentPen;
};

// A picture of a given size for the recording surface.
class TRecordedPicture final : public TPicture {
public:
  TRecordedPicture(std::string name, TSize size) : PictureName(std::move(name)), PictureSize(size) {}
  const std::string& Name() const override { return PictureName; }
  TSize Size() const override { return PictureSize; }

private:
  std::string PictureName;
  TSize PictureSize;
};
