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
#include <array>
#include <vector>

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

// No text of the diagram's axes or of the live volume strip stands on
// another, at every zoom, in both layouts and on every screen's scale
// (800 x 600, 1024 x 768, 1280 x 800, 1366 x 768, 1280 x 1024,
// 1920 x 1080): the strip's unit "[L]" once stood on its top label "8".
TEST_F(ShutterPainterTest, NoTextOfTheAxesOrTheStripStandsOnAnother) {
  struct TScreenScale {
    float X;
    float Y;
  };
  const std::array<TScreenScale, 6> scales{{{1.0f, 1.0f},
                                            {1.28f, 1.28f},
                                            {1.6f, 800.0f / 600.0f},
                                            {1366.0f / 800.0f, 1.28f},
                                            {1.6f, 1024.0f / 600.0f},
                                            {2.4f, 1.8f}}};
  for (const TScreenScale& scale : scales)
    for (const short layout : {short{1}, short{0}})
      for (short zoom = 0; zoom <= 3; ++zoom) {
        SCOPED_TRACE(testing::Message() << scale.X << " x " << scale.Y << ", layout " << layout << ", zoom " << zoom);
        Painter.Display.XScale = scale.X;
        Painter.Display.YScale = scale.Y;
        Painter.Display.ScreenMode = layout;
        Core.ZoomLevel = zoom;
        TRecordingSurface strip({2000, 1200});
        ShutterPainter::DrawVolumeKoordinata(Painter, strip);
        EXPECT_EQ(strip.OverlappingTexts(), std::vector<std::string>{}) << "the volume strip";
        const auto texts = strip.Texts();
        EXPECT_NE(std::find(texts.begin(), texts.end(), "[L]"), texts.end());
        TRecordingSurface axes({2000, 1200});
        ShutterPainter::DrawKoordinata(Painter, axes);
        if (layout == 1)
          ShutterPainter::DrawVolumeKoordinata(Painter, axes);
        EXPECT_EQ(axes.OverlappingTexts(), std::vector<std::string>{}) << "the diagram's axes";
      }
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

// Each trial's curve in its own pen: on the screen the three trials and the
// previous result in the window's curve pens (trial colours 4, 5 and 6,
// the previous result's 8); with the comparison shown, only the chosen
// trial and the previous result.
TEST_F(ShutterPainterTest, EachCurveInItsPenAndTheComparisonShowsTheChosenTrialAndThePrevious) {
  const std::array<TColor, 4> colours{Colours.GetColor(4), Colours.GetColor(5), Colours.GetColor(6),
                                      Colours.GetColor(8)};
  for (std::size_t slot = 0; slot < 4; ++slot) {
    Core.Flow[slot].assign(6010, 0.0f);
    Core.Third[slot].assign(6010, 0.0f);
    Core.Flow[slot][1] = 0.5f + 0.1f * static_cast<float>(slot);
    Core.Third[slot][1] = -0.15f;
    Core.SampleCount[MEASURE_SHUTTER][slot] = 2;
  }
  const auto pensDrawn = [&] {
    TRecordingSurface surface({800, 600});
    ShutterPainter::DrawCurves(Painter, surface);
    std::vector<TColor> drawn;
    for (const auto& line : surface.OfKind(TRecordingSurface::TKind::Line))
      if (drawn.empty() || !(drawn.back() == line.Pen.Color))
        drawn.push_back(line.Pen.Color);
    return drawn;
  };
  EXPECT_EQ(pensDrawn(), (std::vector<TColor>{colours[0], colours[1], colours[2]}));
  Painter.Display.PrePost = true;
  Core.TrialOrder = {2, 1, 3};
  EXPECT_EQ(pensDrawn(), (std::vector<TColor>{colours[1], colours[3]})) << "trial 2 and the previous result";
  Painter.Display.PrePost = false;
}

// On paper a dashed curve moves its pattern every second segment: the
// previous result toggles there (drawn, off, off, drawn, drawn, off, off,
// drawn for eight segments); compared stages draw the second trial so and
// the third in steps of four on, one off... ; the first trial is solid.
// The pens: the previous result and a compared second trial in the
// previous result's pen (colour 8 of the printout), a compared third trial
// in the third trial's (6), all others in the first trial's (4).
TEST_F(ShutterPainterTest, OnPaperTheOtherCurvesAreDashedInTheirPens) {
  struct TCase {
    short Trial;
    bool Compared;
    std::size_t Colour;
    std::vector<bool> Drawn;
  };
  const std::vector<bool> everySecond{true, false, false, true, true, false, false, true};
  const std::vector<bool> solid(8, true);
  const std::vector<TCase> cases{
      {0, false, 4, solid},      {1, false, 4, solid},        {3, false, 8, everySecond},
      {1, true, 8, everySecond}, {2, true, 6, std::vector<bool>{true, true, true, true, true, true, true, false}},
      {0, true, 4, solid},
  };
  Painter.Display.Printing = true;
  Painter.Display.PrintLine = 300;
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "trial " << c.Trial << (c.Compared ? " compared" : ""));
    const auto slot = static_cast<std::size_t>(c.Trial);
    Core.Flow[slot].assign(6010, 0.0f);
    Core.Third[slot].assign(6010, 0.0f);
    for (std::size_t i = 0; i < 8; ++i) {
      Core.Flow[slot][i] = 0.1f * static_cast<float>(i + 1);  // every segment has a length
      Core.Third[slot][i] = -0.03f * static_cast<float>(i + 1);
    }
    Painter.Display.StageView = c.Compared;
    Painter.ResetDashes();
    std::vector<bool> drawn;
    for (int i = 0; i < 8; ++i) {
      TRecordingSurface surface({1000, 1400});
      ShutterPainter::DrawAcross(Painter, surface, c.Trial, i, true);
      const auto lines = surface.OfKind(TRecordingSurface::TKind::Line);
      drawn.push_back(!lines.empty());
      if (!lines.empty()) {
        EXPECT_EQ(lines[0].Pen.Color, Colours.GetColor(c.Colour));
      }
    }
    EXPECT_EQ(drawn, c.Drawn);
  }
  Painter.Display.StageView = false;
  Painter.Display.Printing = false;
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
