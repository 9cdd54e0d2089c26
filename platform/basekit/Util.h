#pragma once

// The helpers the system's windows share through their TUtil base: the
// colour list read from the settings file, the drawing operations that
// scale the 800 x 600 reference layout to a surface, the short waits, and
// the straight-line fits of the shutter test.

#include "platform/basekit/Color.h"
#include "platform/basekit/CurveModels.h"
#include "platform/basekit/DelayClock.h"
#include "platform/basekit/DrawSurface.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class TUtil {
public:
  // Section "Colors", keys "Color0" to "Color18", values "r,g,b".
  static constexpr std::size_t ColorCount = 19;
  static constexpr std::string_view ColorSection = "Colors";
  using TColorList = std::array<TColor, ColorCount>;

  // The roles of the entries the windows agree on.
  enum TColorRole : std::size_t {
    Background = 0,   // plot background
    Text = 1,         // text and frame lines on the panels
    Axis = 2,         // axes, scales, neutral values on the background
    Grid = 3,
    Trial1 = 4,       // trial n is entry 3 + n
    Trial2 = 5,
    Trial3 = 6,
    FourthCurve = 7,
    PreTest = 8,      // the previous result
    Panel = 17,       // panels, strips and table backgrounds
    NormalRange = 18  // the bands of the predicted normal ranges
  };

  TUtil();

  static const TColorList& DefaultColors();
  // Reads every entry; a missing or unreadable value takes its default.
  void ReadColors(std::string_view iniFile);
  // Stores one entry; false when the file cannot be written.
  bool WriteColor(std::string_view iniFile, std::size_t index) const;
  // Entry `index`; an index past the list gives the first entry.
  TColor GetColor(std::size_t index) const;
  void SetColor(std::size_t index, TColor color);
  const TColorList& GetColors() const { return Colors; }

  // "r,g,b" with three whole numbers of 0 to 255 (blanks around them allowed).
  static std::optional<TColor> ParseColor(std::string_view text);
  static std::string FormatColor(TColor color);

  // Waits `milliseconds` on the clock in use (nothing for 0 or less).
  void MsecDelay(int milliseconds) const;
  void SetDelayClock(std::shared_ptr<TDelayClock> clock);

  // There is no older platform to tell apart here.
  static constexpr bool IsOldWindows() { return false; }

  // --- Drawing in the reference layout -----------------------------------
  // Each coordinate is multiplied by its factor and truncated, as the
  // windows scale the 800 x 600 layout to the screen or the page.
  static TPoint Scale(float fx, float fy, TPoint point);
  static TRect Scale(float fx, float fy, const TRect& rect);
  // The layout's fonts are sized for a screen of 96 pixels per inch.
  static double ReferencePixels(double points) { return points * 96.0 / 72.0; }
  // A bold or normal font of `points` in the layout, scaled by fy.
  static TFontSpec LayoutFont(std::string_view face, double points, float fy, int weight);

  static void FillRect(TDrawSurface& surface, float fx, float fy, const TRect& rect, TColor color);
  // A text with its top left corner at the reference point, opaque on
  // `background`.
  static void TextOutA(TDrawSurface& surface, float fx, float fy, int x, int y, std::string_view text,
                       TColor background, int points, std::string_view face, TColor textColor, short weight);
  // A text on one line in the reference rectangle: alignment 0 left, 1
  // centred, 2 right; `opaque` fills the rectangle with the background first.
  static void TextRectOut(TDrawSurface& surface, float fx, float fy, const TRect& rect, std::string_view text,
                          TColor background, TColor textColor, int points, std::string_view face, int alignment,
                          short weight, bool opaque);

  // --- Straight-line fits of ten two-coefficient models ------------------
  // The shutter test's fits (CurveModels.h says what each call does).
  static constexpr int ModelCount = CurveModels::ModelCount;
  static bool Sgen(int model, std::span<const double> x, std::span<const double> y, std::span<double> out) {
    return CurveModels::Sgen(model, x, y, out);
  }
  static void Alfa(std::span<const double> data, double& a0, double& a1) { CurveModels::Alfa(data, a0, a1); }
  static double Korrelacio(double a1, std::span<const double> data) { return CurveModels::Korrelacio(a1, data); }
  static bool Abgen(int model, double a0, double a1, double& A, double& B) {
    return CurveModels::Abgen(model, a0, a1, A, B);
  }

private:
  TColorList Colors;
  std::shared_ptr<TDelayClock> Delays;
};
