// Where a printed graph block puts its diagrams: the flow-volume loop in
// the page's left column under its title, every volume-time diagram in the
// right column under its own, neither reaching into the other's axes, on
// the first page and on the second.

#include "measure/report/MeasurePrintout.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "testing/RecordingSurface.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int LeftRule = 51;
constexpr int ColumnEdge = 376;  // the right column's title starts here
constexpr int VolumeAxis = 380;  // the volume-time diagrams' axis, its ticks clear of the edge
constexpr int RightRule = 741;

class PrintedGraphBlockTest : public MeasureCoreTest {
protected:
  PrintedGraphBlockTest() {
    Test.PrintSelection.fill(0);
    Core.TrialOrder = {1, 0, 0};
    Core.SetMeasureMode(MEASURE_FVC);
    EXPECT_TRUE(Core.AllocateSpiroBuffer(0, MEASURE_FVC, true));
    float* flow = Core.GetSpiroFlowBuffer(0);
    // Quiet breathing, a full breath in and the blast out (3.5 L at 7 L/s):
    // the block's zoom step holds 4 L and 8 L/s.
    int n = 0;
    const auto run = [&](float lps, int samples) {
      for (int i = 0; i < samples; ++i)
        flow[n++] = lps;
    };
    run(-0.5f, 100);
    run(0.5f, 100);
    run(3.5f, 100);
    run(-7.0f, 50);
    run(0.5f, 100);
    for (const short kind : {MEASURE_FVC, MEASURE_VC, MEASURE_MVV}) {
      Core.SetBufferSize(kind, 0, static_cast<short>(n));
      Core.GetAktBuffer(kind, 0)[0] = 3.5f;
    }
    Core.GetAktBuffer(MEASURE_FVC, 0)[7] = 7.0f;
  }
  ~PrintedGraphBlockTest() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  // Prints every page of the block from `top`; the lines and texts of the
  // graph part of each page (below its graph top).
  struct TPage {
    std::vector<TRecordingSurface::TCall> Lines;
    std::vector<TRecordingSurface::TCall> Texts;
    int GraphTop = 0;
  };
  std::vector<TPage> Print(int pageHeight) {
    TRecordingSurface measuring{{800, 1200}};
    TPrintCanvas measure(measuring, 1.0f, 1.0f);
    Test.CalculateMeasureHeight(measure, pageHeight, 128);
    std::vector<TPage> pages;
    for (short page = 1; page <= Test.PageCount; ++page) {
      TRecordingSurface surface{{800, 1200}};
      TPrintCanvas canvas(surface, 1.0f, 1.0f);
      canvas.PrintY = page == 1 ? 128 : 44;
      // The graphs start 40 below the text part on page 1.
      const int graphTop = (page == 1 ? 128 + Test.TextHeight : 44) + 40;
      Test.PrintMeasure(canvas, page);
      TPage p;
      p.GraphTop = graphTop;
      for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line))
        if (std::min(call.Points[0].Y, call.Points[1].Y) >= graphTop)
          p.Lines.push_back(call);
      p.Texts = surface.OfKind(TRecordingSurface::TKind::TextInRect);
      pages.push_back(std::move(p));
    }
    return pages;
  }

  std::string Title(int id) { return Texts.LoadStringA(id); }

  TMeasurePrintout Printout{Core, Texts};
  TTestPrintout& Test = Printout.Test();
};

bool InLeftColumn(const TRecordingSurface::TCall& line) {
  return std::min(line.Points[0].X, line.Points[1].X) >= LeftRule &&
         std::max(line.Points[0].X, line.Points[1].X) < ColumnEdge;
}

bool InRightColumn(const TRecordingSurface::TCall& line) {
  return std::min(line.Points[0].X, line.Points[1].X) >= ColumnEdge &&
         std::max(line.Points[0].X, line.Points[1].X) <= RightRule;
}

TEST_F(PrintedGraphBlockTest, LoopLeftAndVolumeTimeRightUnderTheirTitles) {
  struct Case {
    const char* name;
    std::vector<int> graphs;  // PrintSelection entries
    int pageHeight;
    short graphPage;
    int volumeTimeDiagrams;  // in the right column, 200 apart
    int rightTitle;          // the text over the right column's first diagram
  };
  const Case cases[] = {
      {"FVC alone", {7}, 1000, 1, 1, 497},
      // The FVC's own volume-time curve first, the VC's 200 below it.
      {"FVC beside VC", {7, 8}, 1000, 1, 2, 497},
      // Beside two others the FVC has no volume-time curve of its own.
      {"FVC with VC and MVV", {7, 8, 9}, 1000, 1, 2, 75},
      {"FVC alone on page 2", {7}, 400, 2, 1, 497},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Test.PrintSelection.fill(0);
    for (const int entry : c.graphs)
      Test.PrintSelection[static_cast<std::size_t>(entry)] = 1;
    const std::vector<TPage> pages = Print(c.pageHeight);
    ASSERT_GE(static_cast<int>(pages.size()), c.graphPage);
    const TPage& page = pages[static_cast<std::size_t>(c.graphPage - 1)];
    ASSERT_FALSE(page.Lines.empty());

    // No line of the block crosses from one column into the other.
    for (const auto& line : page.Lines)
      EXPECT_TRUE(InLeftColumn(line) || InRightColumn(line))
          << line.Points[0].X << "," << line.Points[0].Y << " - " << line.Points[1].X << "," << line.Points[1].Y;

    // The first curve (light blue) is drawn in both: the loop on the left
    // within its 336 units, the volume-time curve on the right within the
    // first diagram's 140.
    std::size_t loop = 0, volumeTime = 0;
    for (const auto& line : page.Lines) {
      if (line.Pen.Color != ResultCells::LightBlue)
        continue;
      const int bottom = std::max(line.Points[0].Y, line.Points[1].Y);
      if (InLeftColumn(line)) {
        ++loop;
        EXPECT_LE(bottom, page.GraphTop + 336);
      } else {
        ++volumeTime;
        EXPECT_LE(bottom, page.GraphTop + 200 * c.volumeTimeDiagrams);
      }
    }
    EXPECT_GT(loop, 0u);
    EXPECT_GT(volumeTime, 0u);

    // Each column's vertical axis: the loop's flow axis on the left, the
    // volume axis of every volume-time diagram at the right column's edge.
    int volumeAxes = 0;
    for (const auto& line : page.Lines)
      if (line.Points[0].X == VolumeAxis && line.Points[1].X == VolumeAxis &&
          std::abs(line.Points[1].Y - line.Points[0].Y) == 140)
        ++volumeAxes;
    EXPECT_EQ(volumeAxes, c.volumeTimeDiagrams);

    // The titles head their columns, above the diagrams.
    const auto title = [&](const std::string& text) {
      const auto it = std::find_if(page.Texts.begin(), page.Texts.end(),
                                   [&](const TRecordingSurface::TCall& t) { return t.Text == text; });
      return it == page.Texts.end() ? TRect{} : it->Rect;
    };
    const TRect loopTitle = title(Title(74));
    const TRect volumeTitle = title(Title(c.rightTitle));
    EXPECT_EQ(loopTitle.Left, 71);
    EXPECT_LE(loopTitle.Bottom, page.GraphTop);
    EXPECT_EQ(volumeTitle.Left, ColumnEdge);
    EXPECT_LE(volumeTitle.Bottom, page.GraphTop);
  }
}

}  // namespace
