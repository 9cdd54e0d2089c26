#pragma once

// Where the trend's curves lie, in 800 × 600 layout units: the time axis
// from the examinations' moments, the percent axis from the zoom, clipping
// to the plot band, the print zoom and the dash patterns of printed curves.

#include "trend/TrendLine.h"

#include <optional>
#include <string_view>
#include <vector>

struct TTrendPoint {
  double X = 0;
  double Y = 0;
  friend bool operator==(const TTrendPoint&, const TTrendPoint&) = default;
};

struct TTrendSegment {
  TTrendPoint From;
  TTrendPoint To;
};

// The graph's frame: on screen origin 20, top 289, axis 700 wide in 10
// divisions of 70; in print origin 50, the print y, 690 in divisions of 69.
struct TTrendGraphFrame {
  double Origin = 20;
  double Top = 289;
  double AxisWidth = 700;
  double BandTop = 283;     // curves are clipped to this band
  double BandBottom = 456;

  static constexpr double Height = 160;  // the 100 % line lies at Top + 80
  static TTrendGraphFrame Screen();
  static TTrendGraphFrame Print(double top);
  double Division() const { return AxisWidth / 10; }
};

namespace TrendGeometry {

// Seconds from line 0's moment to line `index`'s; the dates are read in
// `datePicture`, the times as "HH:MM:SS". With at most one line: the axis
// width (700 on screen, 690 in print). A date that cannot be read counts
// as line 0's moment.
double CalculateStepX(const std::vector<TTrendLine>& lines, int index, std::string_view datePicture,
                      double axisWidth);

// x of each line: origin + seconds × (axis width / seconds of the last
// line), or × 1 when the last line is not later than line 0; kept on the axis.
std::vector<double> LineXs(const std::vector<TTrendLine>& lines, std::string_view datePicture,
                           const TTrendGraphFrame& frame);

// y of a shown percentage: 0 (no value) lies on the 100 % line.
double PercentY(int shownPercent, int zoomFactor, const TTrendGraphFrame& frame);

// The part of a segment inside the band (and across the axis); nothing
// when it lies wholly outside.
std::optional<TTrendSegment> Clip(const TTrendSegment& segment, const TTrendGraphFrame& frame);

// The zoom index for printing: from 2 down while a used slot's shown
// percentage times the factor exceeds 100.
int PrintZoom(const std::vector<TTrendLine>& lines, const TREND_DATA& reference);

// The drawn stretches of one printed curve (0 solid; 1 to 4 dashed): within
// each whole period along x the pattern's stretches, the rest solid.
std::vector<TTrendSegment> DashPieces(const TTrendSegment& segment, int curve);

// The header column (0 to 4) under a point, with `margin` units kept
// inside each bound; nothing outside the columns.
std::optional<int> HeaderColumnAt(double x, double y, double margin);

}  // namespace TrendGeometry
