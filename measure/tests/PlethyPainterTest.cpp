// The plethysmograph's screen as the window's painter draws it on a
// recording surface: the zoom table, where a sample falls in each loop (by
// hand), the axes with their units, the loops closed and kept inside
// their frames, and nothing drawn for a trial without its buffers.

#include "measure/screen/MeasurePainter.h"
#include "measure/screen/PlethyGeometry.h"
#include "measure/screen/PlethyPainter.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "testing/RecordingSurface.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using PlethyGeometry::TLoopFrame;

// The axis divisors of each zoom step, as the display's table gives them.
TEST(PlethyGeometryTable, TheZoomStepsDivideTheAxesAsTabled) {
  const std::array<PlethyGeometry::TFactors, 4> expected{{{1.0f, 1.5f, 1.0f, 1.5f, 1.5f, 1.5f},
                                                          {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f},
                                                          {0.5f, 0.5f, 1.0f, 0.5f, 0.5f, 0.5f},
                                                          {0.25f, 0.25f, 1.0f, 0.25f, 0.25f, 0.25f}}};
  for (short zoom = 0; zoom < 4; ++zoom)
    EXPECT_EQ(PlethyGeometry::Factors(zoom), expected[static_cast<std::size_t>(zoom)]) << zoom;
  EXPECT_EQ(PlethyGeometry::Factors(7), expected[3]) << "out of range reads as the nearest step";
  EXPECT_EQ(PlethyGeometry::Ranges(0).BoxPa, 180.0f);
  EXPECT_EQ(PlethyGeometry::Ranges(3).FlowLps, 1.0f);
}

// Worked by hand from the plot units (25.2 per kPa and 7.5 per L/s across
// and up; 1.4 per Pa and 7.5 per kPa), the shifts (2 kPa, 30 Pa) and the
// frames' left edges and axes (40 / 120 and 225 beside the table, 80 / 165
// full size, twice the units).
TEST(PlethyGeometryTable, SamplesFallWhereTheUnitsPutThem) {
  const PlethyGeometry::TFactors one = PlethyGeometry::Factors(1);
  struct TCase {
    short ScreenMode;
    bool Resistance;
    float X, Y;  // kPa and L/s, or Pa and kPa
    TPoint Expected;
  };
  const TCase cases[] = {
      // 40 + (0.5 + 2) x 25.2 = 103; 120 - 2 x 7.5 = 105
      {1, true, 0.5f, 2.0f, {103, 105}},
      // 80 + 2.5 x 25.2 x 2 = 206; 165 - 2 x 7.5 x 2 = 135
      {0, true, 0.5f, 2.0f, {206, 135}},
      // 40 + (-1 + 2) x 25.2 = 65.2; 120 + 1 x 7.5 = 127.5, truncated
      {1, true, -1.0f, -1.0f, {65, 127}},
      // 40 + (10 + 30) x 1.4 = 96; 225 + 1 x 7.5 = 232.5
      {1, false, 10.0f, 1.0f, {96, 232}},
      // 80 + (10 + 30) x 1.4 x 2 = 192; 360 + 1 x 7.5 x 2 = 375
      {0, false, 10.0f, 1.0f, {192, 375}},
  };
  for (const TCase& c : cases) {
    const TPoint p = c.Resistance
                         ? PlethyGeometry::ResistancePoint(PlethyGeometry::ResistanceFrame(c.ScreenMode), one, c.X, c.Y)
                         : PlethyGeometry::TgvPoint(PlethyGeometry::TgvFrame(c.ScreenMode), one, c.X, c.Y);
    EXPECT_EQ(p, c.Expected) << c.ScreenMode << (c.Resistance ? " resistance " : " TGV ") << c.X << ", " << c.Y;
  }
}

class PlethyPainterTest : public MeasureCoreTest {
protected:
  PlethyPainterTest() : Painter(Core, Colours, Texts, nullptr) {
    TMeasureData::MeasureMode = MEASURE_PLETHY;
    Core.ZoomLevel = 1;
    Painter.Display.ScreenMode = 1;
    Painter.Display.Grid = 0;
    for (auto* curve : {&Core.Flow[0], &Core.Volume[0], &Core.BoxPressure[0], &Core.MouthPressure[0]})
      curve->assign(6010, 0.0f);
  }
  ~PlethyPainterTest() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  // A resistance loop of 100 samples (an ellipse of `flowLps` and
  // `alveolarKPa`) and after it a TGV loop of 50 (`boxPa` against 1 kPa).
  void Loops(float flowLps, float alveolarKPa, float boxPa) {
    TPlethySlot& slot = *Core.GetPlethySlot(0);
    slot.BeginResistanceLoop = 10;
    slot.EndResistanceLoop = 110;
    slot.BeginTGVLoop = 120;
    slot.EndTGVLoop = 170;
    for (int i = 10; i < 110; ++i) {
      const double a = 2.0 * std::numbers::pi * (i - 10) / 100.0;
      Core.Flow[0][static_cast<std::size_t>(i)] = static_cast<float>(flowLps * std::sin(a));
      Core.BoxPressure[0][static_cast<std::size_t>(i)] = static_cast<float>(alveolarKPa * std::sin(a + 0.3));
    }
    for (int i = 120; i < 170; ++i) {
      const double a = 2.0 * std::numbers::pi * (i - 120) / 50.0;
      Core.MouthPressure[0][static_cast<std::size_t>(i)] = static_cast<float>(std::sin(a));
      Core.BoxPressure[0][static_cast<std::size_t>(i)] = static_cast<float>(-boxPa * std::sin(a));
    }
    Core.SampleCount[MEASURE_PLETHY][0] = 200;
  }

  static bool Within(const TRect& r, TPoint p) {
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
  }

  TUtil Colours;
  TMeasurePainter Painter;
};

TEST_F(PlethyPainterTest, TheAxesCarryTheUnitsOfBothLoopsAndThePanel) {
  TRecordingSurface surface({800, 600});
  PlethyPainter::DrawKoordinata(Painter, surface);
  const auto texts = surface.Texts();
  for (const char* unit : {"[L/s]", "[kPa]", "[Pa]", "[L]", "[s]"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), unit), texts.end()) << unit;
  EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("[kPa]")), 2) << "the resistance and the TGV loop";
  TRecordingSurface full({800, 600});
  Painter.Display.ScreenMode = 0;
  PlethyPainter::DrawKoordinata(Painter, full);
  const auto fullTexts = full.Texts();
  EXPECT_EQ(std::find(fullTexts.begin(), fullTexts.end(), "[s]"), fullTexts.end()) << "no panel at full size";
}

// Every segment of the loops lies inside its frame, in both layouts and at
// every zoom step, and each loop is closed: one segment more than its
// samples less one.
TEST_F(PlethyPainterTest, TheLoopsAreClosedAndStayInsideTheirFrames) {
  Loops(1.0f, 0.2f, 8.0f);
  for (const short layout : {short{0}, short{1}})
    for (short zoom = 0; zoom < 4; ++zoom) {
      SCOPED_TRACE("layout " + std::to_string(layout) + " zoom " + std::to_string(zoom));
      Painter.Display.ScreenMode = layout;
      Core.ZoomLevel = zoom;
      TRecordingSurface surface({800, 600});
      for (int i = 1; i < 200; ++i)
        PlethyPainter::DrawCurve(Painter, surface, 0, i);
      const TLoopFrame res = PlethyGeometry::ResistanceFrame(layout);
      const TLoopFrame tgv = PlethyGeometry::TgvFrame(layout);
      int inRes = 0, inTgv = 0;
      for (const auto& line : surface.OfKind(TRecordingSurface::TKind::Line)) {
        const bool r = Within(res.Area, line.Points[0]) && Within(res.Area, line.Points[1]);
        const bool t = Within(tgv.Area, line.Points[0]) && Within(tgv.Area, line.Points[1]);
        const bool panel = layout == 1 && line.Points[0].Y >= 283;
        EXPECT_TRUE(r || t || panel) << line.Points[0].X << "," << line.Points[0].Y << " - " << line.Points[1].X
                                     << "," << line.Points[1].Y;
        inRes += r && !panel;
        inTgv += t && !panel;
      }
      // 1 L/s and 0.2 kPa, 8 Pa and 1 kPa fit every zoom step's frame but
      // the largest, where the flow (1 x 7.5 / 0.25 x size) reaches the edge.
      if (zoom < 3) {
        EXPECT_GT(inRes, 10);
        EXPECT_GT(inTgv, 10);
      }
      // The resistance loop closes on its first sample (flow 0, 0.2 sin 0.3
      // = 0.0591 kPa): at full size and zoom 1, 80 + 2.0591 x 25.2 x 2 =
      // 183.8 across, the axis 165 up.
      if (layout == 0 && zoom == 1) {
        const auto lines = surface.OfKind(TRecordingSurface::TKind::Line);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [](const auto& line) { return line.Points[1] == TPoint{183, 165}; }));
      }
    }
}

// A loop far larger than the widest range is cut at its frame, not drawn
// across the window.
TEST_F(PlethyPainterTest, ALoopBeyondTheRangeIsCutAtTheFrame) {
  Loops(40.0f, 30.0f, 2000.0f);
  Core.ZoomLevel = 3;
  TRecordingSurface surface({800, 600});
  for (int i = 1; i < 200; ++i)
    PlethyPainter::DrawCurve(Painter, surface, 0, i);
  const TLoopFrame res = PlethyGeometry::ResistanceFrame(1);
  const TLoopFrame tgv = PlethyGeometry::TgvFrame(1);
  for (const auto& line : surface.OfKind(TRecordingSurface::TKind::Line))
    for (const TPoint p : line.Points)
      EXPECT_TRUE(Within(res.Area, p) || Within(tgv.Area, p) || p.Y >= 283) << p.X << "," << p.Y;
}

TEST_F(PlethyPainterTest, ATrialWithoutItsBuffersDrawsNothing) {
  Loops(1.0f, 0.2f, 8.0f);
  Core.MouthPressure[0].clear();
  TRecordingSurface surface({800, 600});
  for (int i = 1; i < 200; ++i)
    PlethyPainter::DrawCurve(Painter, surface, 0, i);
  EXPECT_TRUE(surface.OfKind(TRecordingSurface::TKind::Line).empty());
}

}  // namespace
