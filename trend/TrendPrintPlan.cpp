#include "trend/TrendPrintPlan.h"

#include "trend/TrendLine.h"

#include <cstdio>

namespace TrendPrint {

int PenDemoHeight(int usedSlots) { return 9 + 9 * usedSlots + 9; }

TTrendPrintPlan Plan(int rowCount, int graphBlock, const TTrendPrintLayout& layout) {
  using L = TTrendPrintLayout;
  TTrendPrintPlan plan;
  int row = 0;
  int y = layout.FirstTop;
  do {
    TTrendPrintPage page;
    page.FirstRow = row;
    page.TableTop = y;
    if (row < rowCount) {
      y += L::HeaderHeight;
      // A fresh page takes at least one row, so a page too short for any
      // row cannot hold the print-out up for ever.
      while (row < rowCount && (y + L::RowHeight <= layout.PageBottom || page.RowCount == 0)) {
        y += L::RowHeight;
        ++row;
        ++page.RowCount;
      }
    }
    page.End = y;
    plan.Pages.push_back(page);
    if (row < rowCount)
      y = layout.NextTop;
  } while (row < rowCount);

  if (graphBlock > 0) {
    TTrendPrintPage* last = &plan.Pages.back();
    if (last->RowCount > 0 && last->End + graphBlock > layout.PageBottom) {
      plan.Pages.push_back({rowCount, 0, layout.NextTop, -1, layout.NextTop});
      last = &plan.Pages.back();
    }
    last->GraphTop = last->End;
    last->End += graphBlock;
    plan.GraphPage = static_cast<int>(plan.Pages.size());
  }

  plan.PageCount = static_cast<int>(plan.Pages.size());
  plan.FinalHeight = plan.Pages.back().End;
  if (layout.KeepSpaceAfter && plan.PageCount == 1 &&
      layout.PageBottom - plan.FinalHeight < L::KeepSpace) {
    plan.PageCount = 2;
    plan.FinalHeight = layout.NextTop;
  }
  plan.TotalHeight = plan.FinalHeight + layout.PageBottom * (plan.PageCount - 1);
  return plan;
}

std::vector<TPiece> CutStringForPrint(const TTrendLine& line) {
  // The same texts as the line's columns hold, taken from the numbers, so a
  // value too wide for its column moves no other piece.
  std::vector<TPiece> pieces;
  pieces.push_back({TrendLine::MomentText(line.Data), 51, PrintBounds[0]});
  for (int slot = 0; slot < TrendSlots; ++slot)
    pieces.push_back({' ' + TrendLine::ValueText(line.Data.Values[slot]) + ' ' +
                          TrendLine::PercentText(line.Percents[slot]) + '%',
                      PrintBounds[slot], PrintBounds[slot + 1]});
  pieces.push_back({std::string(" ") + line.Data.Marker, PrintBounds[5], 740});
  return pieces;
}

}  // namespace TrendPrint
