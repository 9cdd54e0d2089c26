#include "trend/TrendGeometry.h"

#include "platform/framework/DatePicture.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>

TTrendGraphFrame TTrendGraphFrame::Screen() { return {20, 289, 700, 283, 456}; }

TTrendGraphFrame TTrendGraphFrame::Print(double top) { return {50, top, 690, top, top + Height}; }

namespace TrendGeometry {
namespace {

std::optional<long long> Seconds(const TREND_DATA& data, std::string_view datePicture) {
  const TCalendarDate date = DatePicture::Read(data.Date, datePicture);
  const std::chrono::year_month_day ymd{std::chrono::year(date.Year),
                                        std::chrono::month(static_cast<unsigned>(date.Month)),
                                        std::chrono::day(static_cast<unsigned>(date.Day))};
  if (date.Year == 0 || !ymd.ok())
    return std::nullopt;
  int hour = 0, minute = 0, second = 0;
  if (data.Time.size() >= 8) {
    hour = std::atoi(data.Time.substr(0, 2).c_str());
    minute = std::atoi(data.Time.substr(3, 2).c_str());
    second = std::atoi(data.Time.substr(6, 2).c_str());
  }
  const long long days = std::chrono::sys_days(ymd).time_since_epoch().count();
  return days * 86400LL + hour * 3600LL + minute * 60LL + second;
}

}  // namespace

double CalculateStepX(const std::vector<TTrendLine>& lines, int index, std::string_view datePicture,
                      double axisWidth) {
  if (lines.size() <= 1)
    return axisWidth;
  if (index < 0 || index >= static_cast<int>(lines.size()))
    return 0;
  const auto first = Seconds(lines.front().Data, datePicture);
  const auto here = Seconds(lines[static_cast<std::size_t>(index)].Data, datePicture);
  if (!first || !here)
    return 0;
  return static_cast<double>(*here - *first);
}

std::vector<double> LineXs(const std::vector<TTrendLine>& lines, std::string_view datePicture,
                           const TTrendGraphFrame& frame) {
  std::vector<double> xs;
  const int count = static_cast<int>(lines.size());
  const double last = CalculateStepX(lines, count - 1, datePicture, frame.AxisWidth);
  const double factor = last > 0 ? frame.AxisWidth / last : 1.0;
  for (int i = 0; i < count; ++i) {
    const double x = frame.Origin + CalculateStepX(lines, i, datePicture, frame.AxisWidth) * factor;
    xs.push_back(std::clamp(x, frame.Origin, frame.Origin + frame.AxisWidth));
  }
  return xs;
}

double PercentY(int shownPercent, int zoomFactor, const TTrendGraphFrame& frame) {
  const int p = shownPercent != 0 ? shownPercent - 100 : 0;
  return frame.Top + TTrendGraphFrame::Height / 2 - p * 0.8 * zoomFactor;
}

std::optional<TTrendSegment> Clip(const TTrendSegment& segment, const TTrendGraphFrame& frame) {
  // Parametric clipping of both coordinates: t runs from From (0) to To (1).
  double t0 = 0, t1 = 1;
  const double dx = segment.To.X - segment.From.X;
  const double dy = segment.To.Y - segment.From.Y;
  const auto edge = [&](double p, double q) {
    if (p == 0)
      return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > t1)
        return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0)
        return false;
      t1 = std::min(t1, t);
    }
    return true;
  };
  const double left = frame.Origin, right = frame.Origin + frame.AxisWidth;
  if (!edge(-dx, segment.From.X - left) || !edge(dx, right - segment.From.X) ||
      !edge(-dy, segment.From.Y - frame.BandTop) || !edge(dy, frame.BandBottom - segment.From.Y))
    return std::nullopt;
  return TTrendSegment{{segment.From.X + t0 * dx, segment.From.Y + t0 * dy},
                       {segment.From.X + t1 * dx, segment.From.Y + t1 * dy}};
}

int PrintZoom(const std::vector<TTrendLine>& lines, const TREND_DATA& reference) {
  int zoom = 2;
  for (int slot = 0; slot < TrendSlots; ++slot) {
    if (reference.Values[slot] == 0.0f)
      continue;
    for (const TTrendLine& line : lines) {
      const int p = std::abs(TrendLine::ShownPercent(line.Percents[slot]));
      while (zoom > 0 && static_cast<long long>(p) * (zoom == 2 ? 5 : 2) > 100)
        --zoom;
    }
  }
  return zoom;
}

std::vector<TTrendSegment> DashPieces(const TTrendSegment& segment, int curve) {
  struct TPattern {
    double Period;
    std::vector<std::pair<double, double>> Stretches;
  };
  static const std::array<TPattern, 5> Patterns = {{
    {0, {}},
    {10, {{0, 5}}},
    {23, {{0, 10}, {15, 18}}},
    {29, {{0, 10}, {15, 18}, {21, 24}}},
    {35, {{0, 10}, {15, 18}, {21, 24}, {27, 30}}},
  }};
  if (curve <= 0 || curve >= static_cast<int>(Patterns.size()))
    return {segment};
  const TPattern& pattern = Patterns[static_cast<std::size_t>(curve)];
  const double dx = segment.To.X - segment.From.X;
  const double length = std::abs(dx);
  const auto at = [&](double along) {
    const double t = length > 0 ? along / length : 0;
    return TTrendPoint{segment.From.X + t * dx, segment.From.Y + t * (segment.To.Y - segment.From.Y)};
  };
  std::vector<TTrendSegment> pieces;
  double start = 0;
  for (; start + pattern.Period <= length; start += pattern.Period)
    for (const auto& [from, to] : pattern.Stretches)
      pieces.push_back({at(start + from), at(start + to)});
  if (start < length || pieces.empty())
    pieces.push_back({at(start), segment.To});
  return pieces;
}

std::optional<int> HeaderColumnAt(double x, double y, double margin) {
  constexpr std::array<double, 6> Bounds = {190, 290, 395, 498, 603, 705};
  if (y < 67 || y > 102)
    return std::nullopt;
  for (int column = 0; column < 5; ++column)
    if (x > Bounds[column] + margin && x < Bounds[column + 1] - margin)
      return column;
  return std::nullopt;
}

}  // namespace TrendGeometry
