#pragma once

// Where the graph blocks of a printed test go: how high the graph area is
// on the first and the second page, which block goes on which page and how
// many pages the printout takes. All heights are layout units of the
// 800-unit page.

#include <array>

namespace ReportLayout {

// The graph blocks, in the order the printout keeps them.
enum TBlock { Fvc = 0, Vc, Mvv, Dfc, Shutter, Plethy, BlockCount };

// The heights of the blocks in their page column.
inline constexpr int FvcBlockHeight = 376;
inline constexpr int VolumeBlockHeight = 200;  // VC, MVV, DFC, and FVC beside a volume graph
inline constexpr int ShutterBlockHeight = 168;
inline constexpr int PlethyBlockHeight = 224;
inline constexpr int TwoPlethyBlockHeight = 404;  // with the second plethysmograph graph
inline constexpr int GraphGap = 40;               // above the first graph of a page
inline constexpr int EndMargin = 60;              // a one-page report ending closer to the page end takes two

struct TGraphs {
  std::array<bool, BlockCount> Printed{};
  bool SecondPlethyGraph = false;  // entry 12 of the print selection
  bool FvcBesideVolume = false;
};

struct TReportKind {
  int GraphHeight1 = 0;
  int GraphHeight2 = 0;
  short PageCount = 1;
  std::array<short, BlockCount> BlockPage{1, 1, 1, 1, 1, 1};
  int Y = 0;  // the print line after the graphs
};

// Places the printed graph blocks; `pageHeight` and `usedHeight` (the
// header and the text part) in layout units.
TReportKind CalculateKindOfReport(const TGraphs& graphs, int pageHeight, int usedHeight);

// FVC printed and at most one of the VC, MVV and DFC graphs.
bool FvcBesideVolume(const std::array<bool, BlockCount>& printed);

}  // namespace ReportLayout
