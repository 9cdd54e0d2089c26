#pragma once

// How the trend's print-out falls on pages. One plan serves both the total
// height that the print manager asks for beforehand and the pages that the
// printing then fills, so the two cannot disagree: every row and the graph
// land on exactly one page, and no page is left empty.
//
// Units are the trend's print units. A page's content may reach
// `pageBottom`; the first page starts at `firstTop`, every later page at
// `nextTop`. The table has a header of 80 and rows of 18; the graph block
// (legend and graph) is kept whole on one page.

#include <string>
#include <vector>

struct TTrendLine;

struct TTrendPrintPage {
  int FirstRow = 0;     // index of the page's first row
  int RowCount = 0;     // 0: no table on this page
  int TableTop = 0;     // where the table header starts
  int GraphTop = -1;    // where the legend starts; -1 when the graph is elsewhere
  int End = 0;          // where the page's content ends
};

struct TTrendPrintPlan {
  std::vector<TTrendPrintPage> Pages;
  int GraphPage = 0;    // 1-based; 0 when there is no graph
  int PageCount = 1;    // pages the manager prints (one more when space is kept)
  int FinalHeight = 0;  // where the trend ends on its last page
  int TotalHeight = 0;  // FinalHeight + pageBottom × (PageCount − 1)
};

struct TTrendPrintLayout {
  static constexpr int HeaderHeight = 80;
  static constexpr int RowHeight = 18;
  static constexpr int GraphHeight = 160;
  static constexpr int KeepSpace = 60;

  int PageBottom = 0;
  int FirstTop = 0;
  int NextTop = 0;
  bool KeepSpaceAfter = false;
};

namespace TrendPrint {

// Legend: 9 above, 9 per used slot, 9 below.
int PenDemoHeight(int usedSlots);

// `graphBlock` is the legend and graph height, 0 when no graph is printed.
TTrendPrintPlan Plan(int rowCount, int graphBlock, const TTrendPrintLayout& layout);

// The seven pieces a printed row is cut into: date and time, one per slot
// (value and percentage), the marker; each with the x bounds it is centred in.
struct TPiece {
  std::string Text;
  int Left = 0;
  int Right = 0;
};
std::vector<TPiece> CutStringForPrint(const TTrendLine& line);

// The x bounds of the print columns.
inline constexpr int PrintBounds[6] = {232, 328, 425, 522, 620, 718};

}  // namespace TrendPrint
