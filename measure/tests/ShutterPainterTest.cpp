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
