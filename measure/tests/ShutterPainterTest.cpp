// The shutter diagram as the window's painter draws it: its axes and
// labels, crosses only inside the diagram while a test runs, the final
// curve as segments after it.

#include "measure/report/PainterCurves.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/ShutterPainter.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "platform/basekit/PrintCanvas.h"
#include "testing/RecordingSurface.h"

#include <algorithm>

namespace {

class ShutterPainterTest : public MeasureCoreTest {
protected:
  ShutterPainterTest() : Painter(Core, Colours, Texts, nullptr) {
    TMeasureData::MeasureMode = MEASURE_SHUTTER;
    Core.ZoomLevel = 1;
    Painter.Display.ScreenMode = 1;
    Painter.Display.Grid = 0;
    Core.Flow[0].assign(6010, 0.0f);
    Core.Third[0].assign(6010, 0.0f);
  }
  ~ShutterPainterTest() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  void Curve(std::initializer_list<std::pair<float, float>> points) {
    std::size_t i = 0;
    for (const auto& [flow, pressure] : points) {
      Core.Flow[0][i] = flow;
      Core.Third[0][i] = pressure;
      ++i;
    }
    Core.SampleCount[MEASURE_SHUTTER][0] = static_cast<short>(i);
  }

  TUtil Colours;
  TMeasurePainter Painter;
};

TEST_F(ShutterPainterTest, TheAxesCarryTheFlowAndPressureScales) {
  TRecordingSurface surface({800, 600});
  ShutterPainter::DrawKoordinata(Painter, surface);
  const auto texts = surface.Texts();
  const auto has = [&](const std::string& text) { return std::find(texts.begin(), texts.end(), text) != texts.end(); };
  EXPECT_TRUE(has("[L/s]"));
  EXPECT_TRUE(has("[kPa]"));
  EXPECT_TRUE(has(" 4.0")) << "the top of the flow scale at factor 1";
  EXPECT_TRUE(has("-4.0"));
  EXPECT_TRUE(has(" 1.2")) << "positive pressures to the left";
  EXPECT_FALSE(has(" 0.0")) << "no label at the zero";
}

TEST_F(ShutterPainterTest, AfterTheTestTheCurveIsDrawnAsSegments) {
  Curve({{0.5f, -0.15f}, {0.8f, -0.24f}, {-0.5f, 0.15f}});
  TRecordingSurface surface({800, 600});
  ShutterPainter::DrawCurves(Painter, surface);
  const auto lines = surface.OfKind(TRecordingSurface::TKind::Line);
  ASSERT_EQ(lines.size(), 3u) << "a single point, then two segments";
  // (0.8 L/s, -0.24 kPa): 157 + 0.24 x 93.3 = 179.4, 165 - 0.8 x 21 = 148.2.
  EXPECT_EQ(lines[1].Points[1], (TPoint{179, 148}));
}

TEST_F(ShutterPainterTest, DuringTheTestCrossesOnlyInsideTheDiagram) {
  Curve({{0.5f, -0.15f}, {0.5f, -3.0f}});
  Core.StartId = 2011;
  Core.TrialIndex = 0;
  TRecordingSurface surface({800, 600});
  ShutterPainter::DrawAcross(Painter, surface, 0, 0);
  EXPECT_EQ(surface.OfKind(TRecordingSurface::TKind::Line).size(), 2u) << "a cross of two strokes";
  TRecordingSurface outside({800, 600});
  ShutterPainter::DrawAcross(Painter, outside, 0, 1);
  EXPECT_TRUE(outside.OfKind(TRecordingSurface::TKind::Line).empty()) << "3 kPa is off the diagram";
  Core.StartId = 0;
}

// The metronome: at a scale of 1.6 x 1.5 the marks (10, 82) and (277, 82)
// with their 30-pixel circles fall at (16, 123)-(64, 168) and
// (443, 123)-(491, 168); the mark of the tick is light red, the other light
// green, so the colours swap from tick to tick.
TEST_F(ShutterPainterTest, TheMetronomesCirclesSwapColoursAtEveryTick) {
  Painter.Display.XScale = 1.6f;
  Painter.Display.YScale = 1.5f;
  const TRect left{16, 123, 64, 168};
  const TRect right{443, 123, 491, 168};
  const TColor red{255, 0, 0};
  const TColor green{0, 255, 0};
  struct TTick {
    short State;
    TRect Red;
    TRect Green;
  };
  Core.StartId = 2011;
  for (const TTick& tick : {TTick{0, left, right}, TTick{1, right, left}}) {
    SCOPED_TRACE(tick.State);
    TRecordingSurface surface({1280, 900});
    ShutterPainter::DrawCircle(Painter, surface, tick.State);
    const auto circles = surface.OfKind(TRecordingSurface::TKind::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0].Rect, tick.Red);
    EXPECT_EQ(circles[0].Pen.Color, red) << "outlined and filled alike";
    EXPECT_TRUE(circles[0].Filled);
    EXPECT_EQ(circles[0].Color, red);
    EXPECT_EQ(circles[1].Rect, tick.Green);
    EXPECT_EQ(circles[1].Pen.Color, green);
    EXPECT_EQ(circles[1].Color, green);
  }

  // The enlarged diagram covers the marks; after the test nothing ticks.
  Painter.Display.ScreenMode = 0;
  TRecordingSurface enlarged({1280, 900});
  ShutterPainter::DrawCircle(Painter, enlarged, 0);
  EXPECT_TRUE(enlarged.Calls.empty());
  Painter.Display.ScreenMode = 1;
  Core.StartId = 0;
  TRecordingSurface stopped({1280, 900});
  ShutterPainter::DrawCircle(Painter, stopped, 0);
  EXPECT_TRUE(stopped.Calls.empty());
}

// On paper the scale is the largest that holds the curve: ±4 L/s and
// ±1.2 kPa fill the area at index 1 exactly; the block's diagram stands
// 25 units in from the left, its origin 84 below the print line.
TEST_F(ShutterPainterTest, ThePrintedBlockTakesTheScaleThatHoldsTheCurve) {
  Curve({{-4.0f, 1.2f}, {-1.0f, 0.3f}, {1.0f, -0.3f}, {4.0f, -1.2f}, {-4.0f, 1.2f}});
  Core.TrialOrder = {1, 0, 0};
  Core.GetAktBuffer(MEASURE_SHUTTER, 0)[0] = 0.3f;
  TPainterCurves curves(Painter);
  curves.CalculatePrintZoom(MEASURE_SHUTTER, false, false);
  EXPECT_EQ(Core.ZoomLevel, 1);
  TRecordingSurface surface({1000, 1400});
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  canvas.PrintY = 300;
  curves.DrawAxes(canvas, MEASURE_SHUTTER, false);
  curves.DrawSlot(canvas, MEASURE_SHUTTER, 0, 0, false, true, false);
  const auto lines = surface.OfKind(TRecordingSurface::TKind::Line);
  // The last segment ends at the closing point (-4 L/s, 1.2 kPa):
  // x = 182 - 1.2 x 93.3 = 70.04, y = 384 + 84 = 468.
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().Points.back(), (TPoint{70, 468}));
  Painter.Display.Printing = false;
}

}  // namespace
