#include "measure/report/ReportLayout.h"

namespace ReportLayout {

namespace {

int VolumeGraphs(const std::array<bool, BlockCount>& printed) { return printed[Vc] + printed[Mvv] + printed[Dfc]; }

class TPlacer {
public:
  TPlacer(const TGraphs& graphs, int pageHeight, int y) : Graphs(graphs), H(pageHeight) { Kind.Y = y; }

  bool Fits(int n) const { return Kind.Y + n < H; }
  void ToPage2(std::initializer_list<TBlock> blocks) {
    for (TBlock b : blocks)
      Kind.BlockPage[b] = 2;
  }

  void PlaceSpirometry() {
    const auto& p = Graphs.Printed;
    const int volumes = VolumeGraphs(p);
    const bool allThree = volumes == 3;
    const bool pair = volumes == 2;
    // A pair of V and M moves M to the second page, any other pair D.
    const TBlock secondOfPair = p[Vc] && p[Mvv] ? Mvv : Dfc;
    int& y = Kind.Y;
    int& g1 = Kind.GraphHeight1;
    int& g2 = Kind.GraphHeight2;
    short& n = Kind.PageCount;

    if (!p[Fvc] && !p[Shutter]) {
      if (allThree) {
        if (Fits(540)) { g1 = 540; y += 540; }
        else if (Fits(340)) { g1 = 340; g2 = 140; ToPage2({Dfc}); n = 2; y += 480; }
        else if (Fits(140)) { g1 = 140; g2 = 340; ToPage2({Mvv, Dfc}); n = 2; y += 480; }
        else { g2 = 540; ToPage2({Vc, Mvv, Dfc}); n = 2; y += 540; }
      } else if (pair) {
        if (Fits(340)) { g1 = 340; y += 340; }
        else if (Fits(140)) { g1 = 140; g2 = 140; n = 2; y += 280; ToPage2({secondOfPair}); }
        else { g2 = 340; ToPage2({Vc, Mvv, Dfc}); n = 2; y += 340; }
      } else if (volumes == 1) {
        if (Fits(140)) { g1 = 140; y += 140; }
        else { g2 = 140; ToPage2({Vc, Mvv, Dfc}); n = 2; y += 140; }
      }
      return;
    }
    if (!p[Fvc]) {  // the shutter graph, and the volume graphs beside it
      if (Fits(168)) {
        if (allThree && Fits(540)) { g1 = 540; y += 540; }
        else if (allThree && Fits(340)) { g1 = 340; g2 = 140; ToPage2({Dfc}); n = 2; y += 480; }
        else if (allThree) { g1 = 168; g2 = 340; ToPage2({Mvv, Dfc}); n = 2; y += 648; }
        else if (pair && Fits(340)) { g1 = 340; y += 340; }
        else if (pair) { g1 = 168; g2 = 140; n = 2; y += 308; ToPage2({secondOfPair}); }
        else { g1 = 168; y += 168; }
      } else {
        ToPage2({Vc, Mvv, Dfc, Shutter});
        n = 2;
        if (allThree) { g2 = 540; y += 540; }
        else if (pair) { g2 = 340; y += 340; }
        // The shutter graph alone (or with one volume graph) still needs its
        // own height on the second page.
        else { g2 = 168; y += 168; }
      }
      return;
    }
    if (Fits(336)) {
      const int y0 = y;
      g1 = 336;
      if (!p[Shutter]) {
        if (allThree && y0 + 536 < H) { g1 = 536; y = y0 + 536; }
        else if (allThree) { ToPage2({Dfc}); n = 2; g2 = 140; y = y0 + 476; }
        else y = y0 + 336;
      } else if (y0 + 544 < H) {
        g1 = 544;
        y = y0 + 544;
      } else {
        ToPage2({Shutter});
        n = 2;
        g2 = 168;
        if (allThree)
          ToPage2({Dfc});
        y = y0 + 504;
      }
      return;
    }
    ToPage2({Fvc, Vc, Mvv, Dfc});
    n = 2;
    g2 = 336;
    if (!p[Shutter] && allThree) { g2 = 536; y += 536; }
    else if (p[Shutter]) { ToPage2({Shutter}); g2 = 544; y += 544; }
    else y += 336;
  }

  void PlacePlethy() {
    if (!Graphs.Printed[Plethy])
      return;
    const int height = Graphs.SecondPlethyGraph ? TwoPlethyBlockHeight : PlethyBlockHeight;
    int& y = Kind.Y;
    bool otherOnPage2 = false;
    for (int b = Fvc; b < Plethy; ++b)
      otherOnPage2 = otherOnPage2 || (Graphs.Printed[b] && Kind.BlockPage[b] == 2);
    if (!otherOnPage2) {
      if (Fits(height)) {
        if (Kind.GraphHeight1 != 0) {
          y += GraphGap;
          Kind.GraphHeight1 += GraphGap;
        }
        if (Fits(height)) {
          y += height;
          Kind.GraphHeight1 += height;
          Kind.PageCount = 1;
          Kind.BlockPage[Plethy] = 1;
        } else {
          y += height - GraphGap;
          Kind.GraphHeight1 -= GraphGap;
          Kind.GraphHeight2 = height;
          Kind.PageCount = 2;
          Kind.BlockPage[Plethy] = 2;
        }
      } else {
        Kind.GraphHeight2 = height;
        y += height;
        Kind.PageCount = 2;
        Kind.BlockPage[Plethy] = 2;
      }
      return;
    }
    Kind.GraphHeight2 += height + GraphGap;
    Kind.BlockPage[Plethy] = 2;
    Kind.PageCount = 2;
    y += height + GraphGap;
    if (Graphs.SecondPlethyGraph) {
      const auto onPage2 = [&](TBlock b) { return Graphs.Printed[b] && Kind.BlockPage[b] == 2; };
      const int a = onPage2(Fvc) + onPage2(Shutter);
      const int b = onPage2(Vc) + onPage2(Mvv) + onPage2(Dfc) + (Graphs.FvcBesideVolume && onPage2(Fvc));
      if (a > 1 || b > 2)
        Kind.PageCount = 3;
    }
  }

  TReportKind Finish() {
    if (Kind.PageCount == 1 && H < Kind.Y + EndMargin)
      Kind.PageCount = 2;
    return Kind;
  }

private:
  const TGraphs& Graphs;
  int H;
  TReportKind Kind;
};

}  // namespace

bool FvcBesideVolume(const std::array<bool, BlockCount>& printed) {
  return printed[Fvc] && VolumeGraphs(printed) <= 1;
}

TReportKind CalculateKindOfReport(const TGraphs& graphs, int pageHeight, int usedHeight) {
  TPlacer placer(graphs, pageHeight, usedHeight);
  placer.PlaceSpirometry();
  placer.PlacePlethy();
  return placer.Finish();
}

}  // namespace ReportLayout
