#include "trend/TrendPrintPlan.h"

#include "trend/TrendLine.h"

#include <gtest/gtest.h>

namespace {

// A page whose content may reach 1000, first page from 100, later pages
// from 50. The table header is 80 high, each row 18: the first page holds
// (1000 − 180) / 18 → 45 rows, a later page (1000 − 130) / 18 → 48.
// With two used slots the legend is 9 + 18 + 9 = 36, the graph block 196.
constexpr TTrendPrintLayout Layout{1000, 100, 50, false};
constexpr int GraphBlock = 36 + 160;

// Every row is printed once, in order, within its page; the graph once.
void ExpectPagesHoldEverything(const TTrendPrintPlan& plan, int rows, int pageBottom) {
  int next = 0;
  int graphs = 0;
  for (const TTrendPrintPage& page : plan.Pages) {
    EXPECT_EQ(page.FirstRow, next);
    next += page.RowCount;
    EXPECT_LE(page.End, pageBottom);
    EXPECT_TRUE(page.RowCount > 0 || page.GraphTop >= 0) << "an empty page";
    graphs += page.GraphTop >= 0;
  }
  EXPECT_EQ(next, rows);
  EXPECT_EQ(graphs, plan.GraphPage > 0 ? 1 : 0);
}

TEST(TrendPrintPlanTest, PagesAndHeightsByHand) {
  struct TCase {
    const char* Name;
    int Rows;
    int Graph;
    bool KeepSpace;
    int Pages;
    int GraphPage;
    int Final;
    int Total;
  };
  const TCase cases[] = {
    // 180 + 10 × 18 = 360, the graph below it ends at 556.
    {"one page", 10, GraphBlock, false, 1, 1, 556, 556},
    // 45 rows fill page 1 to 990; page 2: 50 + 80 + 5 × 18 = 220, + 196.
    {"page break", 50, GraphBlock, false, 2, 2, 416, 1416},
    // 45 rows end at 990: the graph goes to page 2 at 50.
    {"graph on the next page", 45, GraphBlock, false, 2, 2, 246, 1246},
    // 33 rows: 180 + 594 + 196 = 970, within 60 of the bottom: a second page.
    {"space kept", 33, GraphBlock, true, 2, 1, 50, 1050},
    {"space not needed", 30, GraphBlock, true, 1, 1, 916, 916},
    // No graph in relative mode: 46 rows, the last on page 2 at 130 + 18.
    {"no graph", 46, 0, false, 2, 0, 148, 1148},
    // 93 rows: 45 + 48, exactly full pages, then the graph on page 3.
    {"two full pages", 93, GraphBlock, false, 3, 3, 246, 2246},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTrendPrintLayout layout = Layout;
    layout.KeepSpaceAfter = c.KeepSpace;
    const TTrendPrintPlan plan = TrendPrint::Plan(c.Rows, c.Graph, layout);
    EXPECT_EQ(plan.PageCount, c.Pages);
    EXPECT_EQ(plan.GraphPage, c.GraphPage);
    EXPECT_EQ(plan.FinalHeight, c.Final);
    EXPECT_EQ(plan.TotalHeight, c.Total);
    ExpectPagesHoldEverything(plan, c.Rows, layout.PageBottom);
  }
}

TEST(TrendPrintPlanTest, EveryRowCountAroundThePageBoundaries) {
  for (int rows = 0; rows <= 100; ++rows) {
    SCOPED_TRACE(rows);
    const TTrendPrintPlan plan = TrendPrint::Plan(rows, GraphBlock, Layout);
    ExpectPagesHoldEverything(plan, rows, Layout.PageBottom);
    EXPECT_EQ(plan.TotalHeight, plan.FinalHeight + Layout.PageBottom * (plan.PageCount - 1));
    EXPECT_EQ(static_cast<int>(plan.Pages.size()), plan.PageCount);
  }
}

TEST(TrendPrintPlanTest, APageTooShortForAnyRowStillMovesOn) {
  const TTrendPrintPlan plan = TrendPrint::Plan(3, 0, {150, 100, 50, false});
  EXPECT_EQ(plan.PageCount, 3);
  EXPECT_EQ(plan.Pages[2].FirstRow, 2);
}

TEST(TrendPrintPlanTest, LegendHeight) {
  EXPECT_EQ(TrendPrint::PenDemoHeight(0), 18);
  EXPECT_EQ(TrendPrint::PenDemoHeight(5), 63);
}

TEST(TrendPrintPlanTest, RowsAreCutIntoSevenCentredPieces) {
  const TTrendLine line = TrendLine::Make({"2024.03.05.", "09:15:00", {3.45f, 0, 2.10f, 0.85f, 12.5f}, 'P'},
                                          {100, 0, 110, 95, 100});
  const std::vector<std::tuple<std::string, int, int>> expected = {
    {"2024.03.05.   09:15:00", 51, 232}, {"   3.45  100%", 232, 328}, {"   0.00    0%", 328, 425},
    {"   2.10  110%", 425, 522},         {"   0.85   95%", 522, 620}, {"  12.50  100%", 620, 718},
    {" P", 718, 740}};
  const auto pieces = TrendPrint::CutStringForPrint(line);
  ASSERT_EQ(pieces.size(), expected.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    EXPECT_EQ(pieces[i].Text, std::get<0>(expected[i])) << i;
    EXPECT_EQ(pieces[i].Left, std::get<1>(expected[i])) << i;
    EXPECT_EQ(pieces[i].Right, std::get<2>(expected[i])) << i;
    // Each piece is what the line's text holds at its columns.
    if (i < 6) {
      EXPECT_EQ(line.Text.substr(i == 0 ? 0 : 22 + 13 * (i - 1), i == 0 ? 22 : 13), pieces[i].Text);
    }
  }

  // A value too wide for its column takes room in its own piece only.
  const TTrendLine wide = TrendLine::Make({"2024.03.05.", "09:15:00", {1234.5f, 2, 0, 0, 0}, 'O'}, {100, 100, 0, 0, 0});
  const auto widePieces = TrendPrint::CutStringForPrint(wide);
  EXPECT_EQ(widePieces[1].Text, " 1234.50  100%");
  EXPECT_EQ(widePieces[2].Text, "   2.00  100%");
  EXPECT_EQ(widePieces[6].Text, " O");
}

}  // namespace
