#include "measure/TestPrintout.h"

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
  void DrawAxes(TPrintCanvas& canvas, short kind, bool) override { Axes.emplace_back(kind, canvas.PrintY); }
  void DrawSlot(TPrintCanvas& canvas, short kind, short slot, int pen, bool dotted, bool, bool) override {
    Slots.push_back({kind, slot, pen, dotted, canvas.PrintY});
  }
  void SaveScreenState() override { ++Saved; }
  void RestoreScreenState() override { ++Restored; }

  int Zooms = 0, Saved = 0, Restored = 0;
  std::vector<std::pair<short, int>> Axes;
  std::vector<TSlot> Slots;
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
  EXPECT_TRUE(has("YYYY.MM.DD.")) << "the pre test without a date prints the picture";
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Act. "), 1);

  // A second printout of the same page draws its legend again; a second
  // page of the same printout does not.
  Surface.Calls.clear();
  Canvas.PrintY = 44;
  Printout.PrintMeasure(Canvas, 2);
  const auto later = Surface.Texts();
  EXPECT_EQ(std::count(later.begin(), later.end(), "Act. "), 0);
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
