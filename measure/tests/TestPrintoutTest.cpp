#include "measure/report/TestPrintout.h"

#include "common/CommandNumbers.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSurface.h"

#include <algorithm>

namespace {

// Notes what the painting was asked to draw.
class TFakeCurves final : public TPrintedCurves {
public:
  struct TSlot {
    short Kind, Slot;
    int Pen;
    bool Dotted;
    int Y;
  };
  void CalculatePrintZoom(short, bool, bool) override { ++Zooms; }
  void DrawAxes(TPrintCanvas& canvas, short kind, bool secondDiagram) override {
    Axes.emplace_back(kind, canvas.PrintY);
    AxesSecondDiagram.push_back(secondDiagram);
  }
  void DrawSlot(TPrintCanvas& canvas, short kind, short slot, int pen, bool dotted, bool, bool secondDiagram) override {
    Slots.push_back({kind, slot, pen, dotted, canvas.PrintY});
    SlotsSecondDiagram.push_back(secondDiagram);
  }
  void DrawPressureLines(TPrintCanvas& canvas) override { PressureLines.push_back(canvas.PrintY); }
  void SaveScreenState() override { ++Saved; }
  void RestoreScreenState() override { ++Restored; }

  int Zooms = 0, Saved = 0, Restored = 0;
  std::vector<std::pair<short, int>> Axes;
  std::vector<TSlot> Slots;
  std::vector<int> PressureLines;
  // The further diagram asked with each call (the FVC's volume-time
  // diagram, the body box's panels).
  std::vector<bool> AxesSecondDiagram, SlotsSecondDiagram;
};

class TestPrintoutTest : public MeasureCoreTest {
protected:
  TestPrintoutTest() {
    Printout.PrintSelection.fill(0);
    Core.SetDateFormatStr("YYYY.MM.DD.");
    Core.SetTimeFormatStr("HH:MM:SS");
    // The stored FVC: trial 1 with a pre test, FVC 3.00 of 4.00 predicted.
    Core.TrialOrder = {1, 0, 0};
    Core.GetAktBuffer(MEASURE_FVC, 0)[0] = 3.0f;
    Core.GetAktBuffer(MEASURE_FVC, 3)[0] = 2.8f;
    Core.GetRefBuffer(MEASURE_FVC, 0)[0] = 4.0f;
    Core.SetMeasureDate(MEASURE_FVC, 0, 2026, 12, 10);
    Core.SetMeasureTime(MEASURE_FVC, 0, 0, 30, 5);  // first hour of the day
  }

  int Messages2007() const {
    return static_cast<int>(std::count_if(Client.Sent.begin(), Client.Sent.end(),
                                          [](const TSentMessage& m) { return m.Msg == WM_MEASURE_MODE_CHANGED; }));
  }

  TFakeCurves Curves;
  TTestPrintout Printout{Core, Texts, &Curves};
  TRecordingSurface Surface{{800, 1200}};
  TPrintCanvas Canvas{Surface, 1.0f, 1.0f};
};

TEST_F(TestPrintoutTest, WithoutGraphsOnePageOfText) {
  Printout.PrintSelection[0] = 1;  // the FVC table
  Core.SetMeasureMode(MEASURE_VC);
  const int height = Printout.CalculateMeasureHeight(Canvas, 1000, 128);
  // Title 30; FVC shows its parameters by default: 11 each and 5.
  const int shown = static_cast<int>(std::count_if(Core.GetParamStruct(0), Core.GetParamStruct(0) + 19,
                                                   [](unsigned f) { return f != 0; }));
  EXPECT_EQ(height, 30 + 11 * shown + 5);
  EXPECT_EQ(Printout.TextHeight, height);
  EXPECT_EQ(Printout.PageCount, 1);
  EXPECT_EQ(Core.GetMeasureMode(), MEASURE_VC) << "the window keeps its kind";
  EXPECT_EQ(Messages2007(), 2 * 6 + 1);  // every kind twice (results, then curves), then back
}

TEST_F(TestPrintoutTest, FvcPageDrawsTablesGraphLegendOnceAndTitles) {
  Printout.PrintSelection[0] = 1;
  Printout.PrintSelection[7] = 1;
  Printout.Notes.Current = "Good effort.";
  const int height = Printout.CalculateMeasureHeight(Canvas, 1000, 128);
  EXPECT_TRUE(Printout.GraphPrinted[ReportLayout::Fvc]);
  EXPECT_TRUE(Printout.FvcBesideVolume);
  EXPECT_EQ(Printout.GraphHeight1, 336);
  EXPECT_EQ(height, Printout.TextHeight + 40 + 336);

  Canvas.PrintY = 128;
  Printout.PrintMeasure(Canvas, 1);
  EXPECT_EQ(Canvas.PrintY, 128 + height);
  ASSERT_EQ(Curves.Axes.size(), 1u);
  EXPECT_EQ(Curves.Axes[0].second, 128 + Printout.TextHeight + 40);
  ASSERT_EQ(Curves.Slots.size(), 2u);
  EXPECT_EQ(Curves.Slots[0].Slot, 0);
  EXPECT_EQ(Curves.Slots[0].Pen, 1);
  EXPECT_EQ(Curves.Slots[1].Slot, 3);
  EXPECT_EQ(Curves.Slots[1].Pen, 2);
  EXPECT_TRUE(Curves.Slots[1].Dotted);
  EXPECT_EQ(Curves.Saved, 1);
  EXPECT_EQ(Curves.Restored, 1);

  const auto texts = Surface.Texts();
  const auto has = [&](const std::string& t) { return std::find(texts.begin(), texts.end(), t) != texts.end(); };
  EXPECT_TRUE(has("Flow-volume curve"));
  EXPECT_TRUE(has("Volume-time curve"));
  EXPECT_TRUE(has("Good effort."));
  EXPECT_TRUE(has("2026.12.10."));
  EXPECT_TRUE(has("00:30:05")) << "a time in the first hour of the day is a time";
  EXPECT_FALSE(has("YYYY.MM.DD.")) << "the pre test without a date prints no date, not the date's picture";
  EXPECT_FALSE(has("HH:MM:SS"));
  EXPECT_TRUE(has("Change")) << "the pre test's results are printed beside the actual ones";
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Act. "), 1);

  // A second printout of the same page draws its legend again; a second
  // page of the same printout does not.
  Surface.Calls.clear();
  Canvas.PrintY = 44;
  Printout.PrintMeasure(Canvas, 2);
  const auto later = Surface.Texts();
  EXPECT_EQ(std::count(later.begin(), later.end(), "Act. "), 0);
}

// The body box's graph asks the painting for its panels, and prints their
// title, only when the second graph is chosen.
TEST_F(TestPrintoutTest, TheBoxGraphAsksForItsPanelsWithTheSecondGraphOnly) {
  Core.GetAktBuffer(MEASURE_PLETHY, 0)[0] = 6.0f;  // TLC: the trial holds a result
  Printout.ExtraTests = 4;
  Printout.PrintSelection[11] = 1;
  for (const bool second : {false, true}) {
    SCOPED_TRACE(second ? "second graph" : "loops only");
    Printout.PrintSelection[TTestPrintout::SecondPlethyEntry] = second ? 1 : 0;
    Curves = {};
    Surface.Calls.clear();
    Printout.CalculateMeasureHeight(Canvas, 2000, 128);
    Canvas.PrintY = 128;
    Printout.PrintMeasure(Canvas, 1);
    ASSERT_EQ(Curves.Axes.size(), 1u);
    EXPECT_EQ(Curves.Axes[0].first, MEASURE_PLETHY);
    EXPECT_EQ(Curves.AxesSecondDiagram[0], second);
    ASSERT_EQ(Curves.Slots.size(), 2u) << "the actual trial and the previous result";
    for (const bool asked : Curves.SlotsSecondDiagram)
      EXPECT_EQ(asked, second);
    const auto texts = Surface.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Flow-volume and volume-time curves"), second ? 1 : 0);
  }
}

// A trial the instrument link ended early is printed with a line under its
// table saying so; once the slot holds another trial the line is gone.
TEST_F(TestPrintoutTest, ATrialTheLinkCutShortSaysSoUnderItsTable) {
  Printout.PrintSelection[0] = 1;  // the FVC table
  const int whole = Printout.CalculateMeasureHeight(Canvas, 1000, 128);
  Core.LinkCut.Record(MEASURE_FVC, 0, {Core.MeasureDate[MEASURE_FVC][0], Core.MeasureTime[MEASURE_FVC][0]}, true);
  const int marked = Printout.CalculateMeasureHeight(Canvas, 1000, 128);
  EXPECT_EQ(marked, whole + 11 + 2);  // one row and its gap
  Canvas.PrintY = 128;
  Printout.PrintMeasure(Canvas, 1);
  EXPECT_EQ(Canvas.PrintY, 128 + marked);
  const std::string remark = "Trial 1: cut short by the instrument link";
  const auto texts = Surface.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), remark), 1);

  Core.SetMeasureTime(MEASURE_FVC, 0, 0, 31, 0);  // another trial in the slot
  Surface.Calls.clear();
  EXPECT_EQ(Printout.CalculateMeasureHeight(Canvas, 1000, 128), whole);
  Canvas.PrintY = 128;
  Printout.PrintMeasure(Canvas, 1);
  const auto later = Surface.Texts();
  EXPECT_EQ(std::count(later.begin(), later.end(), remark), 0);
}

// A single test: no previous column, no change and no date pictures in the
// title, nothing printed in the previous and change columns of the rows.
TEST_F(TestPrintoutTest, ASingleTestPrintsNoPreviousColumnAndNoChange) {
  Core.GetAktBuffer(MEASURE_FVC, 3)[0] = 0.0f;
  Printout.PrintSelection[0] = 1;
  Printout.CalculateMeasureHeight(Canvas, 1000, 128);
  Canvas.PrintY = 128;
  Printout.PrintMeasure(Canvas, 1);
  const auto texts = Surface.Texts();
  const auto has = [&](std::string_view part) {
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(part) != std::string::npos; });
  };
  EXPECT_TRUE(has("2026.12.10."));
  EXPECT_TRUE(has(" 3.00"));
  for (const char* absent : {"YYYY", "HH:MM", "Change", "ABS."})
    EXPECT_FALSE(has(absent)) << absent;
}

// Without a previous test the title, the tables and the note box end at
// the actual column's rule and the legend names no previous curve; with
// one they reach the change column's rule and the legend has "Pre.".
TEST_F(TestPrintoutTest, PreviousColumnsAndLegendLineOnlyWithAPreviousTest) {
  struct Case {
    float pre;
    int right;
    long preLegend;
  };
  for (const Case c : {Case{0.0f, 446, 0}, Case{2.8f, 741, 1}}) {
    Core.GetAktBuffer(MEASURE_FVC, 3)[0] = c.pre;
    Printout.PrintSelection[0] = 1;  // the FVC table
    Printout.PrintSelection[7] = 1;  // and its graph
    Printout.Notes.Current = "Good effort.";
    Printout.CalculateMeasureHeight(Canvas, 1000, 128);
    Surface.Calls.clear();
    Canvas.PrintY = 128;
    Printout.PrintMeasure(Canvas, 1);
    const int textBottom = 128 + Printout.TextHeight;
    int right = 0;
    for (const auto& call : Surface.Calls) {
      if (call.Kind == TRecordingSurface::TKind::FillRect && call.Rect.Bottom <= textBottom)
        right = std::max(right, call.Rect.Right);
      if (call.Kind == TRecordingSurface::TKind::Line)
        for (const TPoint p : call.Points)
          if (p.Y <= textBottom)
            right = std::max(right, p.X);
    }
    EXPECT_EQ(right, c.right) << c.pre;
    const auto texts = Surface.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Act. "), 1) << c.pre;
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Pre. "), c.preLegend) << c.pre;
  }
}

// A stored diffusion test printed on a workstation without the diffusion
// unit (the print command names no extra test): its table is printed, not
// silently left out. Without a result there is no table to print.
TEST_F(TestPrintoutTest, AStoredDiffusionTestIsPrintedWithoutItsUnit) {
  Printout.ExtraTests = 0;
  Printout.PrintSelection[3] = 1;  // the DFC table
  Core.SetMeasureMode(MEASURE_DFC);
  const int shown = static_cast<int>(std::count_if(Core.GetParamStruct(MEASURE_DFC),
                                                   Core.GetParamStruct(MEASURE_DFC) + 13,
                                                   [](unsigned f) { return f != 0; }));
  ASSERT_GT(shown, 0);
  EXPECT_EQ(Printout.CalculateMeasureHeight(Canvas, 1000, 128), 30) << "no diffusion result: the title alone";
  Core.GetAktBuffer(MEASURE_DFC, 0)[0] = 25.0f;
  EXPECT_EQ(Printout.CalculateMeasureHeight(Canvas, 1000, 128), 30 + 11 * shown + 5);
}

TEST_F(TestPrintoutTest, ProgressOnlyWhilePrinting) {
  int steps = 0;
  Printout.Progress = [&] { ++steps; };
  Printout.PrintSelection[0] = 1;
  Printout.CalculateMeasureHeight(Canvas, 1000, 128);
  Printout.PrintMeasure(Canvas, 1);
  EXPECT_EQ(steps, 0);
  Printout.NoProgress = false;
  Printout.PrintMeasure(Canvas, 1);
  EXPECT_EQ(steps, 5);  // page 1 without graphs
}

}  // namespace

namespace {

bool Has(const std::vector<std::string>& texts, std::string_view text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST_F(TestPrintoutTest, CalibrationPageOfASpirometer) {
  Core.InstrumentType = 0;
  Core.SyringeVolume = 3;
  Core.InspFactor = 0.97f;
  Core.ExpFactor = 1.04f;
  Core.SyringeStrokeVolumes = {3.03f, 0.0f, 3.03f, 0.0f};  // no expiration measured
  Canvas.PrintY = 100;
  Printout.PrintCalibration(Canvas);
  const auto texts = Surface.Texts();
  for (const char* text : {"3000 ml", "0.97", "1.04", "3030 ml", "1.0 % "})
    EXPECT_TRUE(Has(texts, text)) << text;
  EXPECT_FALSE(Has(texts, "-100.0 % ")) << "nothing measured is no deviation";
  // The expiration not measured prints as missing, not as 0 ml off by 0.0 %.
  EXPECT_FALSE(Has(texts, "0 ml"));
  EXPECT_FALSE(Has(texts, "0.0 % "));
  EXPECT_TRUE(Has(texts, Texts.LoadStringA(537)));
  EXPECT_FALSE(Has(texts, Texts.LoadStringA(465))) << "two rows only";
  // Two header rows and two volume rows of 22, then 40 to the curve.
  ASSERT_EQ(Curves.Axes.size(), 1u);
  EXPECT_EQ(Curves.Axes[0], (std::pair<short, int>{MEASURE_CALIBRATION, 100 + 4 * 22 + 40}));
  ASSERT_EQ(Curves.Slots.size(), 1u);
  EXPECT_EQ(Curves.Slots[0].Kind, MEASURE_CALIBRATION);
  EXPECT_TRUE(Curves.PressureLines.empty()) << "a spirometer has no pressure lines";
}

// The volume rows of a spirometer's calibration: a stroke of 2.97 L on a
// 3 L syringe is (2970 / 3000 - 1) x 100 = -1.0 % off. A stroke that was
// not measured, or a syringe volume of 0, has no deviation: nothing is
// printed for it (it used to print "0.0 %", a perfect calibration).
TEST_F(TestPrintoutTest, CalibrationRowsPrintAMissingMeasurementAsMissing) {
  Core.InstrumentType = 0;
  Core.SyringeVolume = 3;
  Core.InspFactor = 1.0f;
  Core.ExpFactor = 1.0f;
  Core.SyringeStrokeVolumes[0] = 2.97f;
  Core.SyringeStrokeVolumes[1] = 0.0f;
  Canvas.PrintY = 100;
  Printout.WriteCalibTable(Canvas);
  auto texts = Surface.Texts();
  EXPECT_TRUE(Has(texts, "-1.0 % "));
  EXPECT_TRUE(Has(texts, "2970 ml"));
  EXPECT_FALSE(Has(texts, "0.0 % "));
  EXPECT_FALSE(Has(texts, "0 ml"));

  Surface.Calls.clear();
  Core.SyringeVolume = 0;
  Canvas.PrintY = 100;
  Printout.WriteCalibTable(Canvas);
  texts = Surface.Texts();
  EXPECT_TRUE(Has(texts, "2970 ml"));
  for (const std::string& text : texts)
    EXPECT_EQ(text.find('%'), std::string::npos) << "no deviation from a check volume of 0: " << text;
}

TEST_F(TestPrintoutTest, CalibrationPageOfADiffusionUnit) {
  Core.InstrumentType = 0x70;
  Core.SyringeVolume = 3;
  Core.InspFactor = 1.0f;
  Core.ExpFactor = 1.0f;
  Core.InspGasFactor = 0.9f;
  Core.CoConstans = 0.97f;
  Core.HeConstans = 1.02f;
  Core.MeasuredCo = 0.29f;
  Core.MeasuredHe = 4.9f;
  Core.FleischPressureLoss = 4;
  Core.BalloonPressureLoss = 7;
  Canvas.PrintY = 100;
  Printout.WriteCalibTable(Canvas);
  const auto texts = Surface.Texts();
  // The gas rows: reading, constant, and their product (0.29 x 0.97 =
  // 0.2813; 4.90 x 1.02 = 4.998).
  for (const char* text : {"0.29 % ", "0.97", "0.28 % ", "4.90 % ", "1.02", "5.00 % ", "0.90"})
    EXPECT_TRUE(Has(texts, text)) << text;
  const std::string fleisch = Texts.LoadStringA(442);
  const std::string balloon = Texts.LoadStringA(443);
  const std::size_t width = std::max(fleisch.size(), balloon.size());
  EXPECT_TRUE(Has(texts, fleisch + std::string(width - fleisch.size(), ' ') + " 4 % "));
  EXPECT_TRUE(Has(texts, balloon + std::string(width - balloon.size(), ' ') + " 7 % "));
  // Seven rows of 22 and the two loss lines of 20.
  EXPECT_EQ(Canvas.PrintY, 100 + 7 * 22 + 2 * 20);
}

}  // namespace
