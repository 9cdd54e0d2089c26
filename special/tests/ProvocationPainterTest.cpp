#include "special/provocation/ProvocationPainter.h"

#include "platform/basekit/Message.h"
#include "platform/basekit/Util.h"
#include "special/provocation/ProvocationLayout.h"
#include "special/tests/ProvocationFixture.h"
#include "testing/RecordingSurface.h"

#include <algorithm>

namespace {

using TKind = TRecordingSurface::TKind;

struct PainterTest : ProvocationFixture {
  TMessage English{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources" / "lang"};
  TUtil Colors;
  PREDICTED_DATA Patient = [] {
    PREDICTED_DATA p;
    p.SetName("Kovacs Anna");
    p.Age = 42;
    p.Height = 165;
    p.Weight = 58;
    return p;
  }();

  TRecordingSurface Paint(const TProvocationModel& model, bool grid = true) {
    TRecordingSurface surface;
    ProvocationPainter::Paint(surface, {model, English, Patient, Colors, 1.0f, 1.0f, 1, grid, nullptr, ""});
    return surface;
  }

  // The full-width lines (from x 15, 720 long) drawn with a pen of `colour`.
  static std::vector<int> LimitLines(const TRecordingSurface& surface, TColor colour) {
    std::vector<int> ys;
    for (const auto& call : surface.OfKind(TKind::Line))
      if (call.Pen.Color == colour && call.Pen.Width == 1 && call.Points[0].X == 15 && call.Points[1].X == 735 &&
          call.Points[0].Y == call.Points[1].Y)
        ys.push_back(call.Points[0].Y);
    return ys;
  }

  TProvocationModel Falling() {
    WriteIni("Histamine", "Type=0\nConcentration=2.5\nAccum=1\n", "Param1=FVC02\nLimit1=-20\nParam2=PL04\nLimit2=-99\n");
    TProvocationModel model = Open();
    model.AddDataToProvListBox({3.00f, 0.2f, 0});
    for (const auto& [dose, fev1] : {std::pair{0.10f, 2.70f}, {0.30f, 2.50f}, {0.70f, 2.35f}}) {
      model.SetAccumulatedDose(dose);
      model.AddDataToProvListBox({fev1, 0.2f, 0});
    }
    return model;
  }
};

}  // namespace

TEST_F(PainterTest, LimitLinesLieWhereTheGraphPutsThem) {
  TProvocationModel model = Falling();
  const TColor first = Colors.GetColor(TUtil::Trial1);
  const TColor second = Colors.GetColor(TUtil::Trial2);
  // -20 % at y 377, -99 % at y 433 at zoom state 0; at zoom state 1 the
  // -99 % line lies beyond the axis and is not drawn.
  EXPECT_EQ(LimitLines(Paint(model), first), std::vector<int>{377});
  EXPECT_EQ(LimitLines(Paint(model), second), std::vector<int>{433});
  model.ZoomState = 1;
  // 364 + 20 x 0.699999988 x 2 = 391.99999952, cut to 391.
  EXPECT_EQ(LimitLines(Paint(model), first), std::vector<int>{391});
  EXPECT_TRUE(LimitLines(Paint(model), second).empty());
}

TEST_F(PainterTest, TheCrossedParameterIsHeadedBlackOnItsColour) {
  const TRecordingSurface surface = Paint(Falling());
  const auto texts = surface.OfKind(TKind::TextInRect);
  const auto head = [&](const std::string& name) {
    return *std::find_if(texts.begin(), texts.end(), [&](const auto& call) { return call.Text == name; });
  };
  // FEV1 fell by 22 % past -20 %; Raw did not move.
  EXPECT_EQ(head("FEV1,0").Style.Color, TColor::Black());
  EXPECT_EQ(head("FEV1,0").Style.Background, Colors.GetColor(TUtil::Trial1));
  EXPECT_EQ(head("Raw").Style.Color, Colors.GetColor(TUtil::Trial2));
  // The header rows are half the space above the list: (102 - 67) x 0.5 = 17.
  EXPECT_EQ(head("FEV1,0").Rect, (TRect{412, 67, 513, 84}));
}

TEST_F(PainterTest, TheSetupPanelShowsWhatTheSetupHolds) {
  const TRecordingSurface surface = Paint(Falling());
  const std::vector<std::string> texts = surface.Texts();
  for (const std::string& expected :
       {English.LoadStringA(352), English.LoadStringA(349) + ":", std::string("Histamine"),
        English.LoadStringA(351), English.LoadStringA(339), std::string("2.5 mg/ml"), std::string("[ml]"),
        std::string("[mg/ml]"), std::string("+100[%]"), std::string("-100"),
        English.Format(50, {"Kovacs Anna", "42", "165", "58"})})
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  // Typed doses show no head; no maximum shows no maximum row.
  EXPECT_EQ(std::find(texts.begin(), texts.end(), English.LoadStringA(346) + ":"), texts.end());
  EXPECT_EQ(std::find(texts.begin(), texts.end(), English.LoadStringA(355) + ":"), texts.end());
}

TEST_F(PainterTest, CurvesGridAndMarker) {
  TProvocationModel model = Falling();
  const TColor first = Colors.GetColor(TUtil::Trial1);
  const auto curve = [&](const TRecordingSurface& surface) {
    std::vector<std::pair<TPoint, TPoint>> lines;
    for (const auto& call : surface.OfKind(TKind::Line))
      if (call.Pen.Color == first && call.Pen.Width == 2)
        lines.emplace_back(call.Points[0], call.Points[1]);
    return lines;
  };
  const auto lines = curve(Paint(model));
  ASSERT_EQ(lines.size(), 3u);
  // Last dose 0.70: 720 / 0.7 -> 1028 pixels a unit; the last point at
  // x 15 + 0.7 x 1028 = 734.6 and y 364 + 22 x 0.7 = 379.4 (cut to 734, 379).
  EXPECT_EQ(lines.back().second, (TPoint{734, 379}));
  EXPECT_EQ(lines.front().first.X, 15);

  const auto dashes = [&](bool grid) {
    const TColor colour = Colors.GetColor(TUtil::Grid);
    const auto all = Paint(model, grid).OfKind(TKind::Line);
    return std::count_if(all.begin(), all.end(), [&](const auto& call) { return call.Pen.Color == colour; });
  };
  // Five rows of 720 / 6 = 120 dashes and eleven columns of 140 / 6 -> 24.
  EXPECT_EQ(dashes(true), 5 * 120 + 11 * 24);
  EXPECT_EQ(dashes(false), 0);

  model.SelectedLine = 2;
  const TColor axis = Colors.GetColor(TUtil::Axis);
  const auto markers = Paint(model).OfKind(TKind::Line);
  // 15 + 0.3 x 1028 = 323.4: the marker from 294 down 140 at x 323.
  EXPECT_TRUE(std::any_of(markers.begin(), markers.end(), [&](const auto& call) {
    return call.Pen.Color == axis && call.Points[0] == TPoint{323, 294} && call.Points[1] == TPoint{323, 434};
  }));
}

// The list's pixels by screen class suit 4:3 screens; at 1280 x 800
// (vertical scale 1.333) the class-4 list (170 to 461) would cover the
// graph, which starts at 283 x 1.333 = 377.3: it ends at 378. With the
// vertical scale 1.333 of an 800-wide screen the class-1 list would start
// at 102, leaving 35 / 1.333 = 26 design units for the two header rows:
// it starts at 101 x 1.333 = 134.7. At 800 x 600 the table's rectangle stands.
TEST(ProvocationLayout, TheListStaysBetweenTheHeadersAndTheGraph) {
  EXPECT_EQ(ProvocationLayout::ListRectOnScreen(1, 1.0f), (TRect{320, 102, 742, 284}));
  EXPECT_EQ(ProvocationLayout::ListRectOnScreen(4, 1.3333334f), (TRect{512, 170, 1187, 378}));
  EXPECT_EQ(ProvocationLayout::ListRectOnScreen(1, 1.3333334f), (TRect{320, 134, 742, 284}));
}

TEST_F(PainterTest, ScaledToTheScreen) {
  const TProvocationModel model = Falling();
  TRecordingSurface surface({1600, 1200});
  ProvocationPainter::Paint(surface, {model, English, Patient, Colors, 2.0f, 2.0f, 5, true, nullptr, "0.060"});
  const auto fills = surface.OfKind(TKind::FillRect);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0].Rect, (TRect{16, 566, 1482, 912}));  // the graph area doubled
  const auto texts = surface.OfKind(TKind::TextAt);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Text, "0.060");
  EXPECT_EQ(texts[0].Points[0], (TPoint{22, 36}));
}
