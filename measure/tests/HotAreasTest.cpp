// Where the idle measurement screen answers the mouse.

#include "measure/core/HotAreas.h"

#include "common/MeasureMode.h"

#include <gtest/gtest.h>

namespace {

TEST(HotAreas, PointsOnEveryBorderBelongToNoArea) {
  struct Case {
    int x, y;
    bool listVisible;
    THotArea area;
  };
  THotState s;  // FVC, list shown, design scale
  for (const Case c : {Case{9, 68, true, THotArea::CurveSmall}, Case{8, 100, true, THotArea::None},
                       Case{310, 274, true, THotArea::CurveSmall}, Case{311, 100, true, THotArea::None},
                       Case{100, 275, true, THotArea::None}, Case{322, 69, true, THotArea::TableTitle},
                       Case{321, 69, true, THotArea::None}, Case{419, 85, true, THotArea::TableTitle},
                       Case{420, 85, true, THotArea::None}, Case{739, 446, false, THotArea::CurveLarge},
                       Case{740, 446, false, THotArea::None}, Case{400, 67, false, THotArea::None}}) {
    s.ListVisible = c.listVisible;
    EXPECT_EQ(HitTest(s, c.x, c.y), c.area) << c.x << "," << c.y;
  }
}

TEST(HotAreas, AreasScaleWithTheWindowAndFollowTheTestKind) {
  THotState s;
  s.XScale = 1.6f;  // 1280 / 800
  s.YScale = 1.3333f;
  EXPECT_EQ(HitTest(s, 400, 300), THotArea::CurveSmall);  // (250, 225) in design pixels
  EXPECT_EQ(HitTest(s, 498, 300), THotArea::None);        // beyond 311 × 1.6
  for (const short type : {MEASURE_VC, MEASURE_MVV, MEASURE_DFC}) {
    s.MeasureType = type;
    EXPECT_EQ(HitTest(s, 400, 300), THotArea::None) << type;
  }
  s = {};
  s.TitleLow = true;
  EXPECT_EQ(HitTest(s, 350, 75), THotArea::None);
  EXPECT_EQ(HitTest(s, 350, 110), THotArea::TableTitle);
  s.TableZoomed = true;
  s.ZoomColumnWidth = 60;
  s.ZoomColumns = 5;  // the title row ends at 308
  EXPECT_EQ(HitTest(s, 300, 110), THotArea::TableTitle);
  EXPECT_EQ(HitTest(s, 320, 110), THotArea::CurveLarge);
  EXPECT_EQ(HitTest(s, 320, 460), THotArea::None);
}

TEST(HotAreas, CursorChangesOnlyOnEnteringAndClicksSwapTheCurveAreas) {
  THotState s;
  THotMove move = MouseMove(s, THotArea::None, 100, 100);
  EXPECT_EQ(move.Area, THotArea::CurveSmall);
  EXPECT_EQ(move.Cursor, CursorCurveSmall);
  EXPECT_FALSE(MouseMove(s, move.Area, 101, 100).Cursor);
  EXPECT_EQ(MouseMove(s, move.Area, 600, 300).Cursor, 0);  // left: the arrow again

  THotClick click = MouseDown(s, THotArea::CurveSmall);
  EXPECT_EQ(click.Area, THotArea::CurveLarge);
  EXPECT_EQ(click.Cursor, CursorCurveLarge);
  EXPECT_EQ(click.Action, THotAction::Screen);
  EXPECT_EQ(MouseDown(s, THotArea::TableTitle).Action, THotAction::ParameterChoice);
  s.TableZoomed = true;
  EXPECT_EQ(MouseDown(s, THotArea::CurveLarge).Action, THotAction::ZoomTable);

  // While a test runs the arrow stays and a click changes nothing.
  s = {};
  s.Idle = false;
  EXPECT_EQ(HitTest(s, 100, 100), THotArea::None);
  EXPECT_FALSE(MouseMove(s, THotArea::None, 100, 100).Cursor);
  click = MouseDown(s, THotArea::CurveSmall);
  EXPECT_EQ(click.Area, THotArea::None);
  EXPECT_EQ(click.Action, THotAction::None);
  EXPECT_EQ(click.Cursor, 0);
}

}  // namespace
