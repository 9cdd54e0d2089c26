#pragma once

// What the system's painting code draws on: a window's frame image, a
// printer page, a PDF, a picture in memory, or a recording for the tests.
// The painting routines know only this interface, so one routine serves
// them all. Coordinates are device pixels of the surface; the callers scale
// the 800 x 600 reference layout to them (see TUtil).

#include "platform/basekit/Color.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Left and top inside, right and bottom outside, as the system's
// rectangles are: (8, 8, 99, 59) is 91 pixels wide.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

enum class TPenStyle { Solid, Dash, Dot, DashDot, Null };

struct TPen {
  TColor Color;
  int Width = 1;
  TPenStyle Style = TPenStyle::Solid;
  friend bool operator==(const TPen&, const TPen&) = default;
};

// A font by face and height in device pixels. The faces are the system's
// ("Courier New", "Times New Roman"); a surface maps them to the fonts it
// has. Weight as the system gives it: 400 normal, 700 bold.
struct TFontSpec {
  std::string Face = "Courier New";
  int PixelHeight = 15;
  int Weight = 700;
  friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

enum class TTextAlign { Left, Centre, Right };

// A text's look. Without an opaque background only the glyphs are drawn.
struct TTextStyle {
  TFontSpec Font;
  TColor Color;
  TColor Background;
  bool Opaque = true;
  TTextAlign Align = TTextAlign::Left;
  friend bool operator==(const TTextStyle&, const TTextStyle&) = default;
};

// How a picture meets what is under it: SrcCopy replaces, SrcPaint ORs the
// picture's colour bits onto the destination (black leaves it as it was),
// which is how flames on black are laid over a drawn candle.
enum class TRasterOp { SrcCopy, SrcPaint };

// A picture a surface can draw; the surfaces that draw pixels know their
// own kind of picture and draw nothing for another.
class TPicture {
public:
  virtual ~TPicture() = default;
  virtual const std::string& Name() const = 0;
  virtual TSize Size() const = 0;
};

// Where the painting code finds its pictures by name ("BOARD800_600"):
// the program's resources, or a set of sized stand-ins in tests. Nothing
// comes back for a picture that is missing; the painting skips it.
class TPictureSource {
public:
  virtual ~TPictureSource() = default;
  virtual std::shared_ptr<const TPicture> Load(std::string_view name) const = 0;
};

class TDrawSurface {
public:
  virtual ~TDrawSurface() = default;

  // The surface's size in device pixels.
  virtual TSize Size() const = 0;

  // Lines and outlines take the current pen.
  virtual void SetPen(const TPen& pen) = 0;
  virtual void Line(TPoint from, TPoint to) = 0;
  virtual void Polyline(std::span<const TPoint> points) = 0;
  // The outline of a rectangle, nothing filled.
  virtual void FrameRect(const TRect& rect) = 0;
  virtual void FillRect(const TRect& rect, TColor color) = 0;
  // The ellipse inside a rectangle (a circle in a square), outlined with the
  // current pen and, given a colour, filled with it.
  virtual void Ellipse(const TRect& box, std::optional<TColor> fill) = 0;

  // A text with its top left corner at `at`; with an opaque style the box
  // of the text is filled with the background first.
  virtual void TextAt(TPoint at, std::string_view text, const TTextStyle& style) = 0;
  // A text on one line inside a rectangle, aligned by the style and centred
  // vertically; the rectangle is filled first when the style is opaque.
  virtual void TextInRect(const TRect& rect, std::string_view text, const TTextStyle& style) = 0;
  // The size a text takes in a font, in device pixels.
  virtual TSize MeasureText(std::string_view text, const TFontSpec& font) const = 0;

  // A picture scaled to `target` by nearest neighbour (no smoothing, so
  // black stays black for SrcPaint).
  virtual void DrawPicture(const TPicture& picture, const TRect& target, TRasterOp op) = 0;

  // Keeps drawing inside `rect` until ResetClip.
  virtual void SetClip(const TRect& rect) = 0;
  virtual void ResetClip() = 0;
};
