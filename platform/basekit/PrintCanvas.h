#pragma once

// A printed page: a drawing surface with the two factors that scale the
// 800-unit layout to it, and the current print line. Every printed block
// draws through it, so one routine paints a printer page, a PDF, a preview
// page, a picture or a recording.

#include "platform/basekit/DrawSurface.h"

#include <string>
#include <string_view>
#include <vector>

class TPrintCanvas {
public:
  // The printed columns and their rules, in layout units.
  static constexpr int Left = 51;
  static constexpr int Right = 741;
  static constexpr int TextPoints = 9;
  static constexpr TColor Shade{223, 223, 223};

  TPrintCanvas(TDrawSurface& surface, float scaleX, float scaleY, std::string face = "Courier New");

  TDrawSurface& Surface;
  float ScaleX;
  float ScaleY;
  std::string Face;          // the font face of the printed texts
  bool ColourDevice = true;  // the device shows colours (not a grey-scale printer)
  int PrintY = 0;            // the current print line, layout units

  TFontSpec Font(int points = TextPoints) const;
  TRect Scale(const TRect& layout) const;
  int ScaleXOf(int x) const;
  int ScaleYOf(int y) const;

  // One line of text in a layout rectangle, vertically centred, glyphs
  // only. With `fillBand` the whole row width (51 to 741) takes the
  // background first.
  void Text(std::string_view text, int left, int top, int right, int bottom, TTextAlign align,
            bool fillBand = false, TColor background = TColor::White(), TColor colour = TColor::Black(),
            int points = TextPoints);

  // A word-wrapped text in a device rectangle; the height it takes, in
  // device units. With `draw` false it is only measured.
  int WrappedText(std::string_view text, const TRect& device, bool draw, int points = TextPoints);
  // The lines a text wraps into at a device width: at blanks, a word wider
  // than the line cut where it reaches the edge.
  std::vector<std::string> Wrap(std::string_view text, int width, const TFontSpec& font) const;

  // A line in layout units with the frame pen of `width`.
  void Line(int x1, int y1, int x2, int y2, int width = 1, TColor colour = TColor::Black());
  // A rule of pen width 2 across the printed columns.
  void Rule(int y);
  // The five column rules from y - 3, h + 6 long.
  void DrawTableColumn(int y, int height);
};
