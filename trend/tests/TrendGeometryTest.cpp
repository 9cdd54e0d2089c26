#include "trend/TrendGeometry.h"

#include <gtest/gtest.h>

namespace {

std::vector<TTrendLine> Lines(std::initializer_list<std::pair<const char*, const char*>> moments,
                              std::vector<float> percents = {}) {
  std::vector<TTrendLine> lines;
  std::size_t i = 0;
  for (const auto& [date, time] : moments) {
    TREND_DATA data{date, time, {1, 0, 0, 0, 0}, ' '};
    std::array<float, TrendSlots> p{};
    p[0] = i < percents.size() ? percents[i] : 100;
    lines.push_back(TrendLine::Make(data, p));
    ++i;
  }
  return lines;
}

TEST(TrendGeometryTest, StepXCountsSecondsFromTheFirstLineInTheListsDatePicture) {
  // 1 March 08:00:00 to 2 March 09:30:15: 86400 + 5415 s. Over the end of
  // February of a leap year: 28 Feb to 1 Mar 2024 is 2 days.
  struct TCase {
    const char* Picture;
    std::vector<TTrendLine> Lines;
    double Seconds;
  };
  const TCase cases[] = {
    {"YYYY.MM.DD.", Lines({{"2024.03.01.", "08:00:00"}, {"2024.03.02.", "09:30:15"}}), 91815},
    {"DD/MM/YYYY", Lines({{"01/03/2024", "08:00:00"}, {"02/03/2024", "09:30:15"}}), 91815},
    {"YYYY.MM.DD.", Lines({{"2024.02.28.", "12:00:00"}, {"2024.03.01.", "12:00:00"}}), 172800},
    {"MM-DD-YYYY", Lines({{"12-31-2023", "23:59:59"}, {"01-01-2024", "00:00:01"}}), 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Picture);
    EXPECT_EQ(TrendGeometry::CalculateStepX(c.Lines, 0, c.Picture, 700), 0);
    EXPECT_EQ(TrendGeometry::CalculateStepX(c.Lines, 1, c.Picture, 700), c.Seconds);
  }
  // With one line the step is the axis width: 700 on screen, 690 in print.
  const auto one = Lines({{"2024.03.01.", "08:00:00"}});
  EXPECT_EQ(TrendGeometry::CalculateStepX(one, 0, "YYYY.MM.DD.", 700), 700);
  EXPECT_EQ(TrendGeometry::CalculateStepX(one, 0, "YYYY.MM.DD.", 690), 690);
}

TEST(TrendGeometryTest, LinesSpreadOverTheAxisAndEqualMomentsDivideByNothing) {
  const TTrendGraphFrame screen = TTrendGraphFrame::Screen();
  // Days 0, 1 and 4: the last line at the axis end, day 1 at a quarter.
  const auto spread = Lines({{"2024.01.01.", "00:00:00"}, {"2024.01.02.", "00:00:00"}, {"2024.01.05.", "00:00:00"}});
  EXPECT_EQ(TrendGeometry::LineXs(spread, "YYYY.MM.DD.", screen), (std::vector<double>{20, 195, 720}));
  EXPECT_EQ(TrendGeometry::LineXs(spread, "YYYY.MM.DD.", TTrendGraphFrame::Print(1000)),
            (std::vector<double>{50, 222.5, 740}));

  // Equal moments: factor 1, every line at the origin.
  const auto equal = Lines({{"2024.01.01.", "08:00:00"}, {"2024.01.01.", "08:00:00"}});
  EXPECT_EQ(TrendGeometry::LineXs(equal, "YYYY.MM.DD.", screen), (std::vector<double>{20, 20}));
  // The last line earlier than the first: factor 1, kept on the axis.
  const auto backwards = Lines({{"2024.01.01.", "08:00:10"}, {"2024.01.01.", "08:00:00"}});
  EXPECT_EQ(TrendGeometry::LineXs(backwards, "YYYY.MM.DD.", screen), (std::vector<double>{20, 20}));
  // A line after one that is not later: clipped at the axis end.
  const auto late = Lines({{"2024.01.01.", "08:00:00"}, {"2024.01.01.", "08:20:00"}, {"2024.01.01.", "08:00:00"}});
  EXPECT_EQ(TrendGeometry::LineXs(late, "YYYY.MM.DD.", screen), (std::vector<double>{20, 720, 20}));
  // One line sits at the axis end.
  EXPECT_EQ(TrendGeometry::LineXs(Lines({{"2024.01.01.", "08:00:00"}}), "YYYY.MM.DD.", screen),
            (std::vector<double>{720}));
}

TEST(TrendGeometryTest, PercentsMapOntoTheGraphByZoom) {
  // The 100 % line at 289 + 80; 0.8 units per percent times the zoom factor.
  const TTrendGraphFrame screen = TTrendGraphFrame::Screen();
  const std::tuple<int, int, double> cases[] = {
    {0, 1, 369},  {100, 1, 369}, {150, 1, 329}, {50, 1, 409},
    {150, 2, 289}, {110, 5, 329}, {90, 5, 409},  {-20, 1, 465},
  };
  for (const auto& [percent, zoom, y] : cases)
    EXPECT_DOUBLE_EQ(TrendGeometry::PercentY(percent, zoom, screen), y) << percent << " x" << zoom;
  EXPECT_DOUBLE_EQ(TrendGeometry::PercentY(150, 1, TTrendGraphFrame::Print(1000)), 1040);
}

TEST(TrendGeometryTest, SegmentsAreClippedToTheBand) {
  const TTrendGraphFrame screen = TTrendGraphFrame::Screen();
  // From the 100 % line up 200 units over 70: it leaves the band (top 283)
  // after 86 of its 200 units, at x 20 + 70 × 0.43.
  auto up = TrendGeometry::Clip({{20, 369}, {90, 169}}, screen);
  ASSERT_TRUE(up);
  EXPECT_EQ(up->From, (TTrendPoint{20, 369}));
  EXPECT_DOUBLE_EQ(up->To.Y, 283);
  EXPECT_NEAR(up->To.X, 50.1, 1e-9);
  // Both ends below the band, and a segment inside it.
  EXPECT_FALSE(TrendGeometry::Clip({{20, 500}, {90, 470}}, screen));
  auto inside = TrendGeometry::Clip({{100, 300}, {200, 400}}, screen);
  ASSERT_TRUE(inside);
  EXPECT_EQ(inside->To, (TTrendPoint{200, 400}));
  // Crossing the whole band downwards: both ends moved.
  auto across = TrendGeometry::Clip({{100, 200}, {200, 500}}, screen);
  ASSERT_TRUE(across);
  EXPECT_NEAR(across->From.Y, 283, 1e-9);
  EXPECT_NEAR(across->To.Y, 456, 1e-9);
  EXPECT_NEAR(across->From.X, 100 + 100 * 83.0 / 300, 1e-9);
}

TEST(TrendGeometryTest, PrintZoomFromTheShownPercentages) {
  // Stored percentages as they are: anything near 100 % gives index 0.
  const std::pair<std::vector<float>, int> cases[] = {
    {{100}, 0}, {{0, 0}, 2}, {{15, 20}, 2}, {{15, 21}, 1}, {{30}, 1}, {{50}, 1}, {{51}, 0}, {{-60}, 0},
  };
  TREND_DATA reference{"2024.01.01.", "08:00:00", {2.0f, 0, 0, 0, 0}, ' '};
  for (const auto& [percents, zoom] : cases) {
    std::vector<TTrendLine> lines;
    for (float p : percents)
      lines.push_back(TrendLine::Make(reference, {p, 0, 0, 0, 0}));
    EXPECT_EQ(TrendGeometry::PrintZoom(lines, reference), zoom) << percents.front();
  }
  // A slot whose reference value is 0 is not looked at.
  reference.Values[0] = 0;
  EXPECT_EQ(TrendGeometry::PrintZoom({TrendLine::Make(reference, {300, 0, 0, 0, 0})}, reference), 2);
}

std::vector<std::pair<double, double>> Xs(const std::vector<TTrendSegment>& pieces) {
  std::vector<std::pair<double, double>> xs;
  for (const TTrendSegment& piece : pieces)
    xs.emplace_back(piece.From.X, piece.To.X);
  return xs;
}

TEST(TrendGeometryTest, DashPatternsOfThePrintedCurves) {
  using X = std::vector<std::pair<double, double>>;
  const TTrendSegment flat{{100, 300}, {150, 300}};
  EXPECT_EQ(Xs(TrendGeometry::DashPieces(flat, 0)), (X{{100, 150}}));
  // Curve 1: 0-5 of every 10; 50 is five whole periods.
  EXPECT_EQ(Xs(TrendGeometry::DashPieces({{100, 300}, {125, 300}}, 1)),
            (X{{100, 105}, {110, 115}, {120, 125}}));
  // Curve 2: 0-10 and 15-18 of 23; two periods, then 46-50 solid.
  EXPECT_EQ(Xs(TrendGeometry::DashPieces(flat, 2)),
            (X{{100, 110}, {115, 118}, {123, 133}, {138, 141}, {146, 150}}));
  // Curve 3 (period 29): one period, the last 21 units solid.
  EXPECT_EQ(Xs(TrendGeometry::DashPieces(flat, 3)), (X{{100, 110}, {115, 118}, {121, 124}, {129, 150}}));
  // Curve 4 (period 35) shorter than a period: solid.
  EXPECT_EQ(Xs(TrendGeometry::DashPieces({{100, 300}, {120, 300}}, 4)), (X{{100, 120}}));
  // Along a slope the pieces stay on the segment.
  const auto sloped = TrendGeometry::DashPieces({{0, 0}, {10, 20}}, 1);
  ASSERT_EQ(sloped.size(), 1u);
  EXPECT_EQ(sloped[0].To, (TTrendPoint{5, 10}));
}

TEST(TrendGeometryTest, HeaderColumnsWithTheirMargin) {
  const std::tuple<double, double, double, int> cases[] = {
    {200, 80, 5, 0}, {193, 80, 5, -1}, {193, 80, 0, 0}, {650, 80, 5, 4}, {701, 80, 5, -1},
    {300, 66, 5, -1}, {300, 102, 5, 1}, {100, 80, 5, -1}, {410, 90, 5, 2}, {400, 90, 5, -1},
  };
  for (const auto& [x, y, margin, column] : cases) {
    const auto found = TrendGeometry::HeaderColumnAt(x, y, margin);
    EXPECT_EQ(found.value_or(-1), column) << x << "," << y;
  }
}

}  // namespace
