#include "special/provocation/NebulizerRun.h"

#include "special/tests/ProvocationFixture.h"

#include <vector>

namespace {

// The measurement window's link as the run sees it: the instrument counts
// a sprayed sample for every sample while the compressor is on.
struct TFakeLink final : TNebulizerLink {
  void Begin() override { ++Begun; }
  void End() override {
    ++Ended;
    EndWord = false;  // the link forgets its end-of-run word as it stops
  }
  bool TakesControlWords() const override { return Extended; }
  void SendWord(unsigned short word) override { Words.push_back(word); }
  void SetCompressor(bool on) override { Compressor = on; }
  unsigned short DoseCounter() const override { return Counter; }
  bool EndOfRun() const override { return EndWord; }
  void SetEndOfRun() override { EndWord = true; }
  void Wait(int milliseconds) override { Waited += milliseconds; }

  bool Extended = true;
  int Begun = 0;
  int Ended = 0;
  std::vector<unsigned short> Words;
  bool Compressor = false;
  unsigned short Counter = 0;
  bool EndWord = false;
  int Waited = 0;
};

struct NebulizerTest : ProvocationFixture {
  TFakeLink Link;

  // Feeds samples at 100 a second, the patient breathing in at -300 Pa.
  // Stops at the sample that ends the run; gives how many were fed.
  unsigned Breathe(TNebulizerRun& run, unsigned from, unsigned count, TNebulizerRun::TReady* last = nullptr) {
    for (unsigned i = from; i < from + count; ++i) {
      if (Link.Compressor)
        ++Link.Counter;
      const TNebulizerRun::TReady ready = run.Ready(i, -300);
      if (last)
        *last = ready;
      if (ready.Stopped)
        return i - from + 1;
    }
    return count;
  }
};

}  // namespace

TEST_F(NebulizerTest, ItSpraysOnlyWhileBreathingInBeyondTheThreshold) {
  WriteIni("Histamine", "Type=2\nQueue=1\nMode=1\n");
  TProvocationModel model = Open();
  model.StepDose = 1.0f;
  TNebulizerRun run(model);
  run.SetLink(&Link);
  ASSERT_TRUE(run.Start());
  for (const auto& [pressure, on] : {std::pair{-250L, true}, {-200L, false}, {-201L, true}, {300L, false}, {0L, false}}) {
    run.Ready(5, pressure);
    EXPECT_EQ(Link.Compressor, on) << pressure;
  }
}

// Dose step 1 runs 120 s whatever the dose: the countdown starts at "120 s"
// and the run ends at the sample of 120.00 s; the next sample stops it and
// asks for the next step.
TEST_F(NebulizerTest, TypeOneEndsAfter120Seconds) {
  WriteIni("Histamine", "Type=1\nQueue=1,2\nMode=1\nAccum=1\n");
  TProvocationModel model = Open();
  model.AddDataToProvListBox({3, 0, 0});
  TNebulizerRun run(model);
  run.SetLink(&Link);
  ASSERT_TRUE(run.Start());
  EXPECT_EQ(Link.Words, std::vector<unsigned short>{0xEF7F});
  TNebulizerRun::TReady ready;
  ready = run.Ready(1, -300);
  EXPECT_EQ(ready.Countdown, "120 s");
  // Redrawn once a whole second has passed since the last drawing (0.01 s).
  EXPECT_FALSE(run.Ready(100, -300).Countdown.has_value());
  ready = run.Ready(101, -300);
  EXPECT_EQ(ready.Countdown, "119 s");
  Link.Counter = 0;
  // Samples 102 to 11999 go on; 12000 ends the run (120 s).
  EXPECT_EQ(Breathe(run, 102, 11898), 11898u);
  EXPECT_FALSE(Link.EndWord);
  run.Ready(12000, -300);
  EXPECT_TRUE(Link.EndWord);
  EXPECT_FALSE(Link.Compressor);
  EXPECT_EQ(Link.Waited, 20);
  ready = run.Ready(12001, -300);
  EXPECT_TRUE(ready.Stopped);
  EXPECT_TRUE(ready.StepDone);
  EXPECT_EQ(Link.Words, (std::vector<unsigned short>{0xEF7F, 0xAF7F}));
  EXPECT_EQ(Link.Ended, 1);
  // 11898 sprayed samples of 0.12 ml/min: 11898 x 0.12 / 6000 = 0.23796 ml.
  EXPECT_NEAR(model.AccumulatedDose(), 0.23796f, 1e-5f);
  // The program clears the running flag as it takes the step.
  EXPECT_TRUE(model.NebulizerRunning());
}

// Dose step 2 runs to the typed target: 0.06 ml of the purple head's
// 0.12 ml/min is 3000 samples; the run ends once less than 0.001 ml is
// left, (0.06 - n x 0.00002) x 1000 < 1, so after n = 2951 sprayed samples
// (2950 leaves exactly 0.001 ml, which single precision may put on either
// side).
TEST_F(NebulizerTest, TypeTwoEndsAtItsTarget) {
  WriteIni("Histamine", "Type=2\nQueue=1,2\nMode=1\n");
  TProvocationModel model = Open();
  model.AddDataToProvListBox({3, 0, 0});
  TNebulizerRun run(model);
  run.SetLink(&Link);
  model.StepDose = 0.06f;
  ASSERT_TRUE(run.Start());
  TNebulizerRun::TReady last;
  Breathe(run, 1, 5000, &last);
  EXPECT_GE(Link.Counter, 2950);
  EXPECT_LE(Link.Counter, 2951);
  EXPECT_TRUE(last.StepDone);
  EXPECT_NEAR(model.AccumulatedDose(), 0.06f, 1e-6f);  // the target stands

  // The model keeps the run until the program takes the next step, and the
  // next window's acquisition clears the link's end word: a sample still
  // queued for this run, the patient breathing in, must not switch the
  // compressor on for that acquisition, and no second stop adds the dose
  // again.
  ASSERT_TRUE(model.NebulizerRunning());
  Link.EndWord = false;
  EXPECT_FALSE(run.Ready(5001, -300).Handled);
  EXPECT_FALSE(Link.Compressor);
  EXPECT_EQ(run.Stop(), TNebulizerRun::TStopped::NotRunning);
  EXPECT_NEAR(model.AccumulatedDose(), 0.06f, 1e-6f);
  EXPECT_EQ(Link.Ended, 1);
}

TEST_F(NebulizerTest, AUserStopKeepsTheCountedDose) {
  WriteIni("Histamine", "Type=2\nQueue=1,2\nMode=1\nAccum=1\n");
  TProvocationModel model = Open();
  model.AddDataToProvListBox({3, 0, 0});
  model.SetAccumulatedDose(0.10f);
  TNebulizerRun run(model);
  run.SetLink(&Link);
  model.StepDose = 0.06f;
  ASSERT_TRUE(run.Start());
  Breathe(run, 1, 1501);  // 1500 sprayed: 1500 x 0.12 / 6000 = 0.03 ml
  EXPECT_EQ(run.Stop(), TNebulizerRun::TStopped::ByUser);
  EXPECT_NEAR(model.StepDose, 0.03f, 1e-6f);
  EXPECT_NEAR(model.AccumulatedDose(), 0.13f, 1e-6f);
  EXPECT_FALSE(model.NebulizerRunning());
  EXPECT_EQ(run.Stop(), TNebulizerRun::TStopped::NotRunning);
  EXPECT_FALSE(run.Ready(2000, -300).Handled);
}

TEST_F(NebulizerTest, NoLinkNoRunAndAPlainInstrumentGetsNoWords) {
  WriteIni("Histamine", "Type=2\nQueue=1\nMode=1\n");
  TProvocationModel model = Open();
  TNebulizerRun run(model);
  EXPECT_FALSE(run.Start());
  EXPECT_FALSE(model.NebulizerRunning());
  Link.Extended = false;
  run.SetLink(&Link);
  ASSERT_TRUE(run.Start());
  EXPECT_FALSE(run.Start());  // one run at a time
  run.Stop();
  EXPECT_TRUE(Link.Words.empty());
  EXPECT_EQ(Link.Waited, 0);
}

// Doses in mg: the counted volume times the step's concentration. The
// queue's second item 2 mg/ml, 3000 samples = 0.06 ml -> 0.12 mg.
TEST_F(NebulizerTest, DosesInMgTakeTheStepsConcentration) {
  WriteIni("Histamine", "Type=1\nQueue=1,2\nMode=1\n");
  TProvocationModel model = Open();
  model.Nebulizer.UnitOfDose = 1;
  model.AddDataToProvListBox({3, 0, 0});
  model.AddDataToProvListBox({3, 0, 0});
  TNebulizerRun run(model);
  run.SetLink(&Link);
  ASSERT_TRUE(run.Start());
  EXPECT_EQ(model.CurrentConcentration, 2.0f);
  Link.Counter = 3000;
  run.Ready(200, 0);
  EXPECT_NEAR(model.StepDose, 0.12f, 1e-6f);
}
