// The printed graphs' scale and the FVC's largest breath, as the window's
// painter draws them on a printed page.

#include "measure/report/MeasurePrintout.h"
#include "measure/report/PainterCurves.h"
#include "measure/screen/PressureChart.h"
#include "measure/report/TestPrintout.h"
#include "measure/tests/BoxCalibrationRecordings.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "platform/portkit/plethysmography/Trial.h"
#include "testing/RecordingSurface.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

class PainterCurvesTest : public MeasureCoreTest {
protected:
  PainterCurvesTest() : Colours(TMeasurePrintout::PrintColours()), Painter(Core, Colours, Texts, nullptr) {
    TMeasureData::MeasureMode = MEASURE_FVC;
  }
  ~PainterCurvesTest() override { TMeasureData::MeasureMode = MEASURE_FVC; }

  void Values(short kind, short slot, float volume, float flow = 0.0f) {
    Core.GetAktBuffer(kind, slot)[0] = volume;
    if (kind == MEASURE_FVC)
      Core.GetAktBuffer(kind, slot)[7] = flow;
  }

  // The calibration page printed from line 100 on.
  TRecordingSurface PrintedCalibrationPage() {
    TRecordingSurface surface({1000, 1400});
    TPrintCanvas canvas(surface, 1.0f, 1.0f);
    canvas.PrintY = 100;
    TTestPrintout printout(Core, Texts, &Curves);
    printout.PrintCalibration(canvas);
    return surface;
  }

  // Six strokes of a 3 L syringe, in and out in turn: each a half sine of
  // 1 s whose peak flow 1.5 pi = 4.71 L/s moves 1.5 pi x 2 / pi = 3 L.
  void WriteSyringeStrokes() {
    Core.CalFlow.assign(TMeasureData::CurveBufferSamples, 0.0f);
    Core.CalVolume.assign(TMeasureData::CurveBufferSamples, 0.0f);
    std::size_t n = 0;
    for (int stroke = 0; stroke < 6; ++stroke)
      for (int i = 0; i < 100; ++i, ++n)
        Core.CalFlow[n] = static_cast<float>((stroke % 2 == 0 ? -1.5 : 1.5) * std::numbers::pi *
                                             std::sin(std::numbers::pi * (i + 0.5) / 100.0));
    Core.SampleCount[MEASURE_CALIBRATION][0] = static_cast<short>(n);
  }

  TUtil Colours;
  TMeasurePainter Painter;
  TPainterCurves Curves{Painter};
};

bool InsideFrame(const TRecordingSurface::TCall& call, const TRect& frame) {
  return std::all_of(call.Points.begin(), call.Points.end(), [&](const TPoint& p) {
    return p.X >= frame.Left && p.X <= frame.Right && p.Y >= frame.Top && p.Y <= frame.Bottom;
  });
}

// The steps' limits: volume 12, 8, 4, 2 L and flow 16, 16, 8, 4 L/s.
TEST_F(PainterCurvesTest, ZoomStepFitsTheLargerOfActualAndPre) {
  struct Case {
    short kind;
    float actualVolume, actualFlow, preVolume, preFlow;
    short step;
  };
  const Case cases[] = {
      {MEASURE_FVC, 1.8f, 3.5f, 0.0f, 0.0f, 3},
      {MEASURE_FVC, 1.8f, 6.0f, 0.0f, 0.0f, 2},    // the flow needs step 2
      {MEASURE_FVC, 3.0f, 6.0f, 5.0f, 9.0f, 1},    // the pre test needs step 1
      {MEASURE_FVC, 13.0f, 6.0f, 2.0f, 3.0f, 0},   // above 12 L: step 0 whatever the other needs
      {MEASURE_FVC, 4.0f, 17.0f, 0.0f, 0.0f, 0},   // above 16 L/s
      {MEASURE_VC, 3.9f, 0.0f, 0.0f, 0.0f, 2},
      {MEASURE_DFC, 8.0f, 0.0f, 0.0f, 0.0f, 1},
      {MEASURE_MVV, 120.0f, 0.0f, 0.0f, 0.0f, 1},  // the ventilation graph's one scale
      {MEASURE_MVV, 0.0f, 0.0f, 0.0f, 0.0f, 3},
  };
  for (const Case& c : cases) {
    Values(c.kind, 0, c.actualVolume, c.actualFlow);
    Values(c.kind, 3, c.preVolume, c.preFlow);
    Core.TrialOrder = {1, 0, 0};
    Curves.CalculatePrintZoom(c.kind, false, false);
    EXPECT_EQ(Core.ZoomLevel, c.step) << c.kind << " " << c.actualVolume << " " << c.actualFlow;
  }
}

TEST_F(PainterCurvesTest, UpperLimitOfNormalWidensTheScale) {
  // FVC 1.8 L and PEF 3.5 L/s fit step 3; the upper limit of the
  // predicted PEF, 7.0 + 1.64 x 1.2 = 8.968, truncated to 8, needs step 2.
  Values(MEASURE_FVC, 0, 1.8f, 3.5f);
  Values(MEASURE_FVC, 3, 0.0f, 0.0f);
  Core.TrialOrder = {1, 0, 0};
  Core.GetRefBuffer(MEASURE_FVC, 0)[0] = 1.5f;
  Core.GetRsdBuffer(MEASURE_FVC)[0] = 0.1f;
  Core.GetRefBuffer(MEASURE_FVC, 0)[7] = 7.0f;
  Core.GetRsdBuffer(MEASURE_FVC)[7] = 1.2f;
  Curves.CalculatePrintZoom(MEASURE_FVC, false, false);
  EXPECT_EQ(Core.ZoomLevel, 3);
  Curves.CalculatePrintZoom(MEASURE_FVC, false, true);
  EXPECT_EQ(Core.ZoomLevel, 2);
}

// Turning points: the start level, then minima and maxima in turn; the
// entry at `count` is the running extreme.
TEST_F(PainterCurvesTest, LargestBreathFromTheTurningPoints) {
  struct Case {
    const char* name;
    std::vector<std::pair<float, std::uint16_t>> points;  // volume, sample; the last is the running one
    std::pair<int, int> range;
  };
  const Case cases[] = {
      // Falls 0 - (-0.5) = 0.5 at point 0 and 3.0 - (-2.0) = 5.0 at point 2:
      // from point 2 (sample 150) to point 4 (sample 300).
      {"the blast", {{0.0f, 0}, {-0.5f, 50}, {3.0f, 150}, {-2.0f, 200}, {2.5f, 300}, {2.0f, 350}}, {150, 300}},
      // Two equal falls: the earlier loop.
      {"equal falls", {{1.0f, 0}, {0.0f, 40}, {1.0f, 80}, {0.0f, 120}, {1.0f, 160}}, {0, 80}},
      // The largest fall is the last pair: it ends at the running extreme.
      {"last breath", {{0.0f, 0}, {-0.2f, 30}, {4.0f, 100}, {-1.0f, 180}}, {100, 180}},
      // No positive fall: the whole curve.
      {"rising only", {{0.0f, 0}, {0.0f, 60}}, {0, 399}},
  };
  for (const Case& c : cases) {
    spirometry::Extremes extremes;
    extremes.count = static_cast<std::int16_t>(c.points.size() - 1);
    for (std::size_t i = 0; i < c.points.size(); ++i)
      extremes.points[i] = {c.points[i].first, 0.0f, c.points[i].second};
    EXPECT_EQ(TPainterCurves::LargestLoop(extremes, 400), c.range) << c.name;
  }
}

// The stages' three plethysmograph trials printed side by side: the same
// resistance loop (flow 0.8 sin(a) L/s against 0.25 sin(a + 0.3) kPa) in
// each, within ±1 of the narrowest range, so at scale 0.25 (the loop ±1
// scaled kPa across, narrow enough for three side by side). From the frame's
// left edge at x 90, 42 per scaled kPa: the first trial's left end 0.2 right
// of the axis (90 + 8.4), the second's right end at 2.3 (90 + 96.6), the
// third's at 3.8 (90 + 159.6), truncated. Dashed, the second trial draws
// every other pair of segments.
TEST_F(PainterCurvesTest, TheStagesPlethysmographLoopsPrintSideBySide) {
  Core.SetMeasureMode(MEASURE_PLETHY);
  for (std::size_t t = 0; t < 3; ++t) {
    for (auto* curve : {&Core.Flow[t], &Core.Volume[t], &Core.BoxPressure[t], &Core.MouthPressure[t]})
      curve->assign(400, 0.0f);
    TPlethySlot& slot = *Core.GetPlethySlot(static_cast<short>(t));
    slot.BeginResistanceLoop = 10;
    slot.EndResistanceLoop = 110;
    for (std::size_t i = 10; i < 110; ++i) {
      const double a = 2.0 * std::numbers::pi * static_cast<double>(i - 10) / 100.0;
      Core.Flow[t][i] = static_cast<float>(0.8 * std::sin(a));
      Core.BoxPressure[t][i] = static_cast<float>(0.25 * std::sin(a + 0.3));
    }
    Core.SampleCount[MEASURE_PLETHY][t] = 200;
    Values(MEASURE_PLETHY, static_cast<short>(t), 6.0f);
  }
  // As the printout of the stages sets it.
  Painter.Display.ProvocationPrint = true;
  Curves.CalculatePrintZoom(MEASURE_PLETHY, true, false);
  EXPECT_FLOAT_EQ(Painter.Display.PlethyPrint.ResistanceScale, 0.25f);
  const auto across = [&](short slot, bool dashed) {
    TRecordingSurface surface({1000, 1400});
    TPrintCanvas canvas(surface, 1.0f, 1.0f);
    Curves.DrawSlot(canvas, MEASURE_PLETHY, slot, 1, dashed, false, false);
    int left = 10000, right = -1;
    const auto lines = surface.OfKind(TRecordingSurface::TKind::Line);
    for (const auto& call : lines)
      for (const TPoint p : call.Points) {
        left = std::min(left, p.X);
        right = std::max(right, p.X);
      }
    return std::tuple{left, right, lines.size(), lines.empty() ? TColor{} : lines.front().Pen.Color};
  };
  const auto [left0, right0, lines0, pen0] = across(0, false);
  const auto [left1, right1, lines1, pen1] = across(1, false);
  const auto [left2, right2, lines2, pen2] = across(2, false);
  EXPECT_EQ(left0, 98);
  EXPECT_EQ(right1, 186);
  EXPECT_EQ(right2, 249);
  EXPECT_EQ(lines0, lines1);
  EXPECT_EQ(right0 - left0, right1 - left1) << "one loop, one width";
  // The first trial in the legend's colour of the actual result, the
  // others each in a colour of its own.
  EXPECT_EQ(pen0, ResultCells::LightBlue);
  EXPECT_NE(pen1, pen0);
  EXPECT_NE(pen2, pen0);
  EXPECT_NE(pen2, pen1);
  const auto [leftDashed, rightDashed, linesDashed, penDashed] = across(1, true);
  EXPECT_NEAR(static_cast<double>(linesDashed), lines1 / 2.0, 2.0);
  Core.SetMeasureMode(MEASURE_FVC);
}

TEST_F(PainterCurvesTest, LargestBreathOnlyUnlessTheWholeCurveIsAsked) {
  Core.SetMeasureMode(MEASURE_FVC);
  ASSERT_TRUE(Core.AllocateSpiroBuffer(0, MEASURE_FVC, true));
  float* flow = Core.GetSpiroFlowBuffer(0);
  // Tidal breathing (0.5 L in 1 s each way), a full breath in to 3 L,
  // the blast down to -0.5 L, back in to 3 L and breathing out again: the
  // largest fall is the blast's, samples 399 to 549.
  int n = 0;
  const auto run = [&](float lps, int samples) {
    for (int i = 0; i < samples; ++i)
      flow[n++] = lps;
  };
  run(-0.5f, 100);
  run(0.5f, 100);
  run(-0.5f, 100);
  run(3.5f, 100);
  run(-7.0f, 50);
  run(3.5f, 100);
  run(-0.5f, 100);
  Core.SetBufferSize(MEASURE_FVC, 0, static_cast<short>(n));
  Values(MEASURE_FVC, 0, 3.5f, 7.0f);
  TRecordingSurface largest({1000, 1400}), whole({1000, 1400});
  TPrintCanvas largestCanvas(largest, 1.0f, 1.0f), wholeCanvas(whole, 1.0f, 1.0f);
  Curves.DrawSlot(largestCanvas, MEASURE_FVC, 0, 1, false, false, false);
  Curves.DrawSlot(wholeCanvas, MEASURE_FVC, 0, 1, false, true, false);
  const auto blue = [](const TRecordingSurface& s) {
    std::size_t count = 0;
    for (const auto& call : s.OfKind(TRecordingSurface::TKind::Line))
      count += call.Pen.Color == ResultCells::LightBlue ? 1 : 0;
    return count;
  };
  EXPECT_GT(blue(largest), 0u);
  EXPECT_LT(blue(largest), blue(whole));
}

// A printed block draws the slot's volume integrated again from its flow,
// shifted to its lowest turn (and for the diffusion test and the box moved
// up by RV): one breath out of 1 L and back in, as the window holds it live
// (0 down to -1 L and back), prints from 0 up to 1 L, yet the window keeps
// its curve for the screen to repaint.
TEST_F(PainterCurvesTest, PrintingLeavesTheWindowsVolumeCurvesAsTheyWere) {
  for (const short kind : {MEASURE_FVC, MEASURE_VC, MEASURE_DFC, MEASURE_PLETHY, MEASURE_CALIBRATION}) {
    SCOPED_TRACE(kind);
    const bool calibration = kind == MEASURE_CALIBRATION;
    std::vector<float>& flow = calibration ? Core.CalFlow : Core.Flow[0];
    std::vector<float>& volume = calibration ? Core.CalVolume : Core.Volume[0];
    flow.assign(TMeasureData::CurveBufferSamples, 0.0f);
    volume.assign(TMeasureData::CurveBufferSamples, 0.0f);
    for (std::size_t i = 0; i < 200; ++i) {
      flow[i] = i < 100 ? -1.0f : 1.0f;
      volume[i] = -0.01f * static_cast<float>(i < 100 ? i : 200 - i);
    }
    if (kind == MEASURE_PLETHY) {
      // The box's loop over the breath, for the block to draw.
      for (auto* curve : {&Core.BoxPressure[0], &Core.MouthPressure[0]})
        curve->assign(200, 0.0f);
      for (std::size_t i = 0; i < 200; ++i)
        Core.BoxPressure[0][i] = 0.25f * static_cast<float>(std::sin(2.0 * std::numbers::pi * i / 200.0 + 0.3));
      Core.GetPlethySlot(0)->BeginResistanceLoop = 0;
      Core.GetPlethySlot(0)->EndResistanceLoop = 200;
    }
    Core.SampleCount[kind][0] = 200;
    Core.GetAktBuffer(calibration ? MEASURE_FVC : kind, 0)[0] = 1.0f;
    Core.AktParams[MEASURE_DFC][0][5] = 1.5f;                      // its RV
    Core.AktParams[MEASURE_PLETHY][0][plethysmography::RV] = 2.0f;
    Core.InstrumentType = 0;
    Core.TrialOrder = {1, 0, 0};
    const std::vector<float> held = volume;
    TRecordingSurface surface({1000, 1400});
    TPrintCanvas canvas(surface, 1.0f, 1.0f);
    Curves.CalculatePrintZoom(kind, false, false);
    Curves.DrawSlot(canvas, kind, 0, 1, false, true, false);
    EXPECT_FALSE(surface.OfKind(TRecordingSurface::TKind::Line).empty()) << "the block was drawn";
    EXPECT_EQ(volume, held);
  }
  Core.SetMeasureMode(MEASURE_FVC);
}

// The calibration page of each instrument family: only the diffusion unit
// gets the pressure chart, its curves in the two lines' pens inside the
// chart's printed rectangle.
TEST_F(PainterCurvesTest, CalibrationPagePressureChartOfTheDiffusionUnitOnItsLineScale) {
  Core.PressureA.assign(1510, 0.0f);
  Core.PressureB.assign(1510, 0.0f);
  // The Fleisch line pumped to 1000 Pa in 2 s, the balloon line to 800 Pa
  // in 1.5 s.
  for (std::size_t k = 0; k <= 200; ++k)
    Core.PressureA[k] = 5.0f * static_cast<float>(k);
  for (std::size_t k = 0; k <= 150; ++k)
    Core.PressureB[k] = 800.0f / 150.0f * static_cast<float>(k);
  Core.Lines.PressureSamples = {200, 150};
  Core.SyringeVolume = 3;
  const auto pens = Painter.Pens();
  const TPen fleisch = pens[PressureChart::FleischPen];
  const TPen balloon = pens[PressureChart::BalloonPen];
  ASSERT_FALSE(fleisch.Color == balloon.Color);
  struct Case {
    unsigned short type;
    bool chart;
  };
  // (The body box has its own chart on the pascal scale: below.)
  for (const Case c : {Case{0x00, false}, Case{0x60, true}, Case{0x70, true}}) {
    Core.InstrumentType = c.type;
    const TRecordingSurface surface = PrintedCalibrationPage();
    // The table's height (7 rows and two loss lines for the diffusion
    // unit, 4 or 6 rows else) and 40 below it: the chart's bottom lies
    // 140 + 48 + 170 further, its left edge at the right column's axis.
    const int rows = c.type == 0 ? 4 : (c.type & 0xE0) == 0x60 ? 7 : 6;
    const int printLine = 100 + 22 * rows + ((c.type & 0xE0) == 0x60 ? 40 : 0) + 40;
    const int left = 380, bottom = printLine + 358, top = bottom - 170, right = left + 255;
    std::vector<TPoint> fleischEnds, balloonEnds;
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line)) {
      const bool inside = std::all_of(call.Points.begin(), call.Points.end(), [&](const TPoint& p) {
        return p.X >= left && p.X <= right && p.Y >= top && p.Y <= bottom;
      });
      if (call.Pen.Color == fleisch.Color && inside)
        fleischEnds.push_back(call.Points.back());
      if (call.Pen.Color == balloon.Color && inside)
        balloonEnds.push_back(call.Points.back());
    }
    const auto texts = surface.Texts();
    const bool pa = std::find(texts.begin(), texts.end(), "[Pa]") != texts.end();
    EXPECT_EQ(pa, c.chart) << c.type;
    if (!c.chart) {
      EXPECT_TRUE(fleischEnds.empty() && balloonEnds.empty()) << c.type;
      continue;
    }
    // Segments ending at samples 2 to 200 and 2 to 150. The last points
    // by hand: 2 s at 17 units a second is 34 units right of the axis,
    // 1000 Pa x 0.12143 = 121.4 units up; 1.5 s is 25.5 units, 800 Pa
    // 97.1 units.
    ASSERT_EQ(fleischEnds.size(), 199u) << c.type;
    ASSERT_EQ(balloonEnds.size(), 149u) << c.type;
    EXPECT_EQ(fleischEnds.back(), (TPoint{left + 34, bottom - 121}));
    EXPECT_EQ(balloonEnds.back(), (TPoint{left + 25, bottom - 97}));
  }
}

// The body box's calibration page: the rows of its constants and the chart
// of its leak test and pump swing on the 25 Pa scale (on the diffusion
// unit's 1400 Pa scale the whole swing would be one unit high).
TEST_F(PainterCurvesTest, CalibrationPageOfTheBoxShowsItsConstantsAndPascalChart) {
  WriteBoxCalibrationRecordings(Core);
  Core.SyringeVolume = 3;
  const TRecordingSurface surface = PrintedCalibrationPage();

  // The rows: PBOXref 100 x 1013 x 0.15 / 960 = 15.83 Pa expected, the
  // box's 16.62 Pa measured, their ratio 16.62 / 15.828 = 1.050; the leak's
  // time constant 5 s within the 4 to 10 s it must keep.
  const auto texts = surface.Texts();
  const auto has = [&](const std::string& text) { return std::find(texts.begin(), texts.end(), text) != texts.end(); };
  for (const char* text : {"Pbox", "15.83 Pa", "1.05", "16.62 Pa", "Tconst", "5.00 s "})
    EXPECT_TRUE(has(text)) << text;

  // Six rows (two of heads, two of volumes, two of the box) and 40 below:
  // the chart's bottom 358 further, its left edge at the right column.
  const int printLine = 100 + 22 * 6 + 40;
  const int left = 380, bottom = printLine + 358, top = bottom - 170, right = left + 255;
  EXPECT_TRUE(has("[Pa]"));
  EXPECT_TRUE(has("25") && has("20")) << "the pressure axis runs to 25 Pa";
  EXPECT_FALSE(has("1400")) << "not the diffusion unit's scale";
  const auto pens = Painter.Pens();
  std::vector<TPoint> leakEnds, pumpEnds;
  for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line)) {
    const bool inside = std::all_of(call.Points.begin(), call.Points.end(), [&](const TPoint& p) {
      return p.X >= left && p.X <= right && p.Y >= top && p.Y <= bottom;
    });
    if (call.Pen.Color == pens[PressureChart::FleischPen].Color && inside)
      leakEnds.push_back(call.Points.back());
    if (call.Pen.Color == pens[PressureChart::BalloonPen].Color && inside)
      pumpEnds.push_back(call.Points.back());
  }
  // Segments ending at samples 2 to 1499 of each recording, all inside.
  ASSERT_EQ(leakEnds.size(), 1498u);
  ASSERT_EQ(pumpEnds.size(), 1498u);
  // By hand, 17 units a second across and 6.8 units a pascal up: after
  // 5 s (sample 500) the leak is at 20 / e = 7.358 Pa, 85 units across and
  // 50.0 up; after 10 s at 20 / e^2 = 2.707 Pa, 170 across and 18.4 up.
  const auto near = [](TPoint got, TPoint want) {
    return std::abs(got.X - want.X) <= 1 && std::abs(got.Y - want.Y) <= 1;
  };
  EXPECT_TRUE(near(leakEnds[500 - 2], {left + 85, bottom - 50})) << leakEnds[498].X << "," << leakEnds[498].Y;
  EXPECT_TRUE(near(leakEnds[1000 - 2], {left + 170, bottom - 18})) << leakEnds[998].X << "," << leakEnds[998].Y;
  // The swing's crest 8 + 7.914 = 15.914 Pa is 108.2 units up, its trough
  // 0.086 Pa 0.6 units up.
  const auto [high, low] = std::minmax_element(pumpEnds.begin(), pumpEnds.end(),
                                               [](const TPoint& a, const TPoint& b) { return a.Y < b.Y; });
  EXPECT_NEAR(high->Y, bottom - 108, 1);
  EXPECT_NEAR(low->Y, bottom, 1);
}

// The calibration page's loop: its flow axis runs from 16 L/s down to
// -12 L/s, so the volume axis crosses it 16/28 of the way down, at zero
// flow (printed with the curve screen's origin it fell below the flow
// axis's end).
TEST_F(PainterCurvesTest, CalibrationPageLoopAxesCrossAtZeroFlow) {
  Core.InstrumentType = 0;
  Core.SyringeVolume = 3;
  const TRecordingSurface surface = PrintedCalibrationPage();
  TRecordingSurface::TCall flowAxis, volumeAxis;
  int flowLength = 0, volumeLength = 0;
  for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line)) {
    const TPoint a = call.Points.front(), b = call.Points.back();
    if (std::max(a.X, b.X) >= 376)
      continue;  // the right column
    if (a.X == b.X && std::abs(b.Y - a.Y) > flowLength) {
      flowLength = std::abs(b.Y - a.Y);
      flowAxis = call;
    }
    if (a.Y == b.Y && std::abs(b.X - a.X) > volumeLength) {
      volumeLength = std::abs(b.X - a.X);
      volumeAxis = call;
    }
  }
  ASSERT_GT(flowLength, 0);
  ASSERT_GT(volumeLength, 0);
  const int top = std::min(flowAxis.Points.front().Y, flowAxis.Points.back().Y);
  EXPECT_NEAR(volumeAxis.Points.front().Y, top + flowLength * 16 / 28, 1);
  const int volumeLeft = std::min(volumeAxis.Points.front().X, volumeAxis.Points.back().X);
  EXPECT_EQ(volumeLeft, flowAxis.Points.front().X) << "the breathed-out volume starts at the flow axis";
}

// A spirometer's calibration page draws the strokes it holds: as a loop
// in the left column and against time in the right one, on the zoom step
// that holds 4.71 L/s and 3 L (step 2: 8 L/s, 4 L), the screen's zoom kept.
// By hand at step 2, printed from line 100: the table (4 rows of 22) and
// 40 below put the graphs' top at 228. Volume-time: 14 units a step of
// 0.5 L, so 3 L stands 84 units above the base line at 228 + 112 = 340.
// Loop: 28 units a 0.5 L step across from the flow axis at x 121, so 3 L
// is 168 units wide; 12 units a 0.5 L/s step up and down from the zero
// flow at 228 + 192 = 420, so 4.71 L/s is 113 units.
TEST_F(PainterCurvesTest, CalibrationPageDrawsItsStrokesAsLoopAndAgainstTime) {
  Core.InstrumentType = 0;
  Core.SyringeVolume = 3;
  Core.ZoomLevel = 3;
  WriteSyringeStrokes();
  const TRecordingSurface surface = PrintedCalibrationPage();
  EXPECT_EQ(Core.ZoomLevel, 3) << "the screen keeps its zoom";
  const TColor strokePen = Painter.Pens()[4].Color;
  const TRect loop{121, 228, 121 + 224, 228 + 336};
  const TRect volumeTime{380, 228, 741, 228 + 140};
  TRect loopSpan{10000, 10000, -1, -1}, timeSpan{10000, 10000, -1, -1};
  const auto widen = [](TRect& span, const TRecordingSurface::TCall& call) {
    for (const TPoint p : call.Points)
      span = {std::min(span.Left, p.X), std::min(span.Top, p.Y), std::max(span.Right, p.X), std::max(span.Bottom, p.Y)};
  };
  int outside = 0;
  for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line)) {
    if (!(call.Pen.Color == strokePen))
      continue;
    if (InsideFrame(call, loop))
      widen(loopSpan, call);
    else if (InsideFrame(call, volumeTime))
      widen(timeSpan, call);
    else
      ++outside;
  }
  EXPECT_EQ(outside, 0);
  EXPECT_NEAR(timeSpan.Top, 340 - 84, 1);
  EXPECT_NEAR(timeSpan.Bottom, 340, 1);
  EXPECT_NEAR(timeSpan.Left, 380, 1);
  EXPECT_NEAR(timeSpan.Right, 380 + 36, 1) << "6 s at 6 units a second";
  EXPECT_NEAR(loopSpan.Left, 121, 1);
  EXPECT_NEAR(loopSpan.Right, 121 + 168, 1);
  EXPECT_NEAR(loopSpan.Top, 420 - 113, 1);
  EXPECT_NEAR(loopSpan.Bottom, 420 + 113, 1);
  const auto texts = surface.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), Texts.LoadStringA(9490)), 0);
}

// A graph of the calibration page whose recording holds nothing says so
// inside its axes: the strokes' loop and volume-time graphs, and the
// diffusion unit's pressure chart.
TEST_F(PainterCurvesTest, CalibrationPageSaysWhichRecordingIsMissing) {
  struct Case {
    unsigned short type;
    bool strokes, pressures;
    long missing;
  };
  Core.SyringeVolume = 3;
  for (const Case c : {Case{0x00, false, false, 2}, Case{0x00, true, false, 0}, Case{0x70, true, false, 1},
                       Case{0x70, false, true, 2}, Case{0x70, true, true, 0}}) {
    Core.InstrumentType = c.type;
    Core.SampleCount[MEASURE_CALIBRATION][0] = 0;
    Core.Lines.PressureSamples = {0, 0};
    if (c.strokes)
      WriteSyringeStrokes();
    if (c.pressures) {
      Core.PressureA.assign(1510, 400.0f);
      Core.PressureB.assign(1510, 300.0f);
      Core.Lines.PressureSamples = {200, 150};
    }
    const auto texts = PrintedCalibrationPage().Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "No curve recorded"), c.missing)
        << c.type << " " << c.strokes << " " << c.pressures;
  }
}

// Printed curves keep to their diagrams' frames: a minute of breathing
// far larger than any zoom step holds (20 L/s, some 25 L a breath, drifting
// 0.4 L/s) is cut at the loop's frame and at the volume-time frame, for
// every kind with a volume graph.
TEST_F(PainterCurvesTest, PrintedCurvesStayInsideTheirFrames) {
  for (const short kind : {MEASURE_FVC, MEASURE_VC, MEASURE_MVV, MEASURE_DFC}) {
    Core.SetMeasureMode(kind);
    ASSERT_TRUE(Core.AllocateSpiroBuffer(0, kind, true));
    float* flow = Core.GetSpiroFlowBuffer(0);
    constexpr int Samples = 6000;
    for (int i = 0; i < Samples; ++i)
      flow[i] = static_cast<float>(20.0 * std::sin(2.0 * std::numbers::pi * i / 400.0) + 0.4);
    Core.SetBufferSize(kind, 0, Samples);
    Values(kind, 0, 14.0f, 20.0f);
    Core.TrialOrder = {1, 0, 0};
    TRecordingSurface surface({1000, 1400});
    TPrintCanvas canvas(surface, 1.0f, 1.0f);
    canvas.PrintY = 100;
    const bool beside = kind == MEASURE_FVC;
    Curves.SaveScreenState();
    Curves.CalculatePrintZoom(kind, false, false);
    Curves.DrawAxes(canvas, kind, beside);
    Curves.DrawSlot(canvas, kind, 0, 1, false, true, beside);
    Curves.RestoreScreenState();
    const TRect loop{121, 100, 121 + 224, 100 + 336};
    const TRect volumeTime{380, 100, 741, 100 + 140};
    int inLoop = 0, inTime = 0, outside = 0;
    for (const auto& call : surface.OfKind(TRecordingSurface::TKind::Line)) {
      if (!(call.Pen.Color == ResultCells::LightBlue))
        continue;
      if (beside && InsideFrame(call, loop))
        ++inLoop;
      else if (InsideFrame(call, volumeTime))
        ++inTime;
      else
        ++outside;
    }
    EXPECT_EQ(outside, 0) << kind;
    EXPECT_GT(inTime, 100) << kind;
    EXPECT_EQ(inLoop > 100, beside) << kind;
  }
  Core.SetMeasureMode(MEASURE_FVC);
}

}  // namespace
