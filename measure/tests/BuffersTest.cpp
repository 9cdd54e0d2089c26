#include "measure/tests/MeasureCoreFixture.h"

#include "common/CommandNumbers.h"
#include "predicted/Predicted.h"

#include <algorithm>
#include <set>

namespace {

// The parts the window builds over the core, observed.
class TObservedCore final : public TMeasureCore {
public:
  using TMeasureCore::TMeasureCore;
  bool BtpsValid = true;
  std::size_t CurvesBeforeFailure = 1000;  // allocations that succeed before memory runs out
  int BtpsCalls = 0;
  int IndexReads = 0;
  std::vector<std::string> ShownNotes;

  using TMeasureCore::PlethyShared;
  using TMeasureCore::PlethySlots;
  using TMeasureCore::PrePlethyShared;
  using TMeasureCore::PrePlethyValues;

protected:
  bool CalculatedBTPS(short) override {
    ++BtpsCalls;
    return BtpsValid;
  }
  void ReadIndexOfParams() override { ++IndexReads; }
  bool AllocateCurve(TCurve& curve, std::size_t samples) override {
    if (curve.empty() && CurvesBeforeFailure-- == 0)
      return false;
    return TMeasureCore::AllocateCurve(curve, samples);
  }
  void ShowNote(const std::string& note) override { ShownNotes.push_back(note); }
};

class Buffers : public MeasureCoreTest {
protected:
  Buffers() : Window(&Texts, &Client, MEASURE_FVC) { Window.SetIniFile(Ini.string()); }

  // A trial as the storage subsystem loads it: curves, count, record, date.
  void LoadTrial(short kind, short slot, float leading, short samples) {
    ASSERT_TRUE(Window.AllocateSpiroBuffer(slot, kind, true));
    std::fill_n(Window.GetSpiroFlowBuffer(slot), samples, leading);
    std::fill_n(Window.GetSpiroVolumeBuffer(slot), samples, leading * 2.0f);
    Window.SetBufferSize(kind, slot, samples);
    std::fill_n(Window.GetAktBuffer(kind, slot), TMeasureCore::GetNumberOfParams(kind), leading);
    Window.SetMeasureDate(kind, slot, 2025, 6, 1);
    Window.SetMeasureTime(kind, slot, 8, 30, 0);
  }

  TObservedCore Window;
};

TEST_F(Buffers, CopyToPreviousMovesTheWholeTrial) {
  LoadTrial(MEASURE_FVC, 1, 4.5f, 300);
  Window.GetRefBuffer(MEASURE_FVC, 0)[0] = 4.1f;
  Window.CopyAktToPreBuffer(MEASURE_FVC, 1);

  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 3), 300);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_FVC, 3)[18], 4.5f);
  EXPECT_EQ(Window.GetRefBuffer(MEASURE_FVC, 3)[0], 4.1f);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(3)[299], 4.5f);
  EXPECT_EQ(Window.GetSpiroVolumeBuffer(3)[0], 9.0f);
  unsigned short year = 0, month = 0, day = 0;
  Window.GetMeasureDate(MEASURE_FVC, 3, &year, &month, &day);
  EXPECT_EQ(year, 2025);

  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 1), 0);
  const float* record = Window.GetAktBuffer(MEASURE_FVC, 1);
  EXPECT_TRUE(std::all_of(record, record + 19, [](float v) { return v == 0.0f; }));
  EXPECT_EQ(Window.GetSpiroFlowBuffer(1)[0], 0.0f);
  Window.GetMeasureDate(MEASURE_FVC, 1, &year, &month, &day);
  EXPECT_EQ(year, 0);
  EXPECT_EQ(Window.GetRefBuffer(MEASURE_FVC, 0)[0], 0.0f);  // no equations: nothing computed
}

TEST_F(Buffers, PlethysmographMembersTravelWithTheTrial) {
  Window.SetMeasureMode(MEASURE_PLETHY);
  LoadTrial(MEASURE_PLETHY, 0, 6.0f, 50);
  std::fill_n(Window.GetSpiroBoxPressureBuffer(0), 50, 0.7f);
  TPlethySlot& slot = *Window.GetPlethySlot(0);
  slot.Values = {1.5f, 2.5f};
  slot.SelectedLoop = 2;
  slot.LoopCount = 4;
  slot.Loops[14] = {10, 20, {1.0f, 2.0f, 3.0f}};
  Window.SetBeginResistanceLoop(0, 11);
  Window.SetEndTGVLoop(0, 44);
  Window.PlethyShared = 9.0f;

  Window.CopyAktToPreBuffer(MEASURE_PLETHY, 0);
  EXPECT_EQ(Window.PrePlethyValues[1], 2.5f);
  EXPECT_EQ(Window.PrePlethyShared, 9.0f);
  EXPECT_EQ(Window.GetBeginResistanceLoop(3), 11);
  EXPECT_EQ(Window.GetEndTGVLoop(3), 44);
  EXPECT_EQ(Window.GetSpiroBoxPressureBuffer(3)[49], 0.7f);
  EXPECT_EQ(Window.PlethyShared, 0.0f);
  const TPlethySlot& emptied = *Window.GetPlethySlot(0);
  EXPECT_EQ(emptied.Values[0], 0.0f);
  EXPECT_EQ(emptied.SelectedLoop, 0);
  EXPECT_EQ(emptied.LoopCount, 0);
  EXPECT_EQ(emptied.Loops[14].End, 0);
  EXPECT_EQ(emptied.BeginResistanceLoop, 0);
  EXPECT_EQ(Window.GetSpiroBoxPressureBuffer(0)[0], 0.0f);
}

TEST_F(Buffers, ClearingAShutterTrialEmptiesItsPressure) {
  Window.SetMeasureMode(MEASURE_SHUTTER);
  LoadTrial(MEASURE_SHUTTER, 2, 1.0f, 10);
  std::fill_n(Window.GetSpiroPressureBuffer(2), 10, 300.0f);
  Window.ClearAktBuffer(MEASURE_SHUTTER, 2);
  EXPECT_EQ(Window.GetSpiroPressureBuffer(2)[9], 0.0f);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(2)[9], 0.0f);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_SHUTTER, 2), 0);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_SHUTTER, 2)[0], 0.0f);
  Window.ClearAktBuffer(MEASURE_RHINO, 0);  // no record for that kind: nothing happens
}

TEST_F(Buffers, AllocationNeedsValidBtps) {
  Window.BtpsValid = false;
  EXPECT_FALSE(Window.AllocateBuffers(0, MEASURE_FVC, false));
  EXPECT_EQ(Window.GetSpiroFlowBuffer(0), nullptr);
  EXPECT_TRUE(Sink.Messages.empty());
  Window.BtpsValid = true;
  EXPECT_TRUE(Window.AllocateBuffers(0, MEASURE_FVC, false));
  EXPECT_NE(Window.GetSpiroVolumeBuffer(0), nullptr);
}

TEST_F(Buffers, CalibrationBuffersByInstrumentAndKeepFlag) {
  Window.InstrumentType = 0x20;
  Window.SetBufferSize(MEASURE_CALIBRATION, 0, 400);
  EXPECT_TRUE(Window.AllocateBuffers(2, MEASURE_CALIBRATION, false));
  EXPECT_EQ(Window.CalFlow.size(), 6010u);
  EXPECT_EQ(Window.CalVolume.size(), 6010u);
  EXPECT_EQ(Window.PressureA.size(), 1510u);
  EXPECT_EQ(Window.PressureB.size(), 1510u);
  EXPECT_EQ(Window.TrialIndex, 2);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_CALIBRATION, 0), 0);
  EXPECT_EQ(Window.BtpsCalls, 0);

  // A calibration that goes on keeps what it measured so far.
  Window.CalFlow[5] = 3.0f;
  Window.SetBufferSize(MEASURE_CALIBRATION, 0, 6);
  Window.KeepCalibrationBuffers = true;
  EXPECT_TRUE(Window.AllocateBuffers(0, MEASURE_CALIBRATION, false));
  EXPECT_EQ(Window.CalFlow[5], 3.0f);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_CALIBRATION, 0), 6);

  TObservedCore plain(&Texts, &Client);
  EXPECT_TRUE(plain.AllocateBuffers(0, MEASURE_CALIBRATION, false));
  EXPECT_TRUE(plain.PressureA.empty());
}

TEST_F(Buffers, OutOfMemoryIsToldAndKeepsWhatWasAllocated) {
  Window.CurvesBeforeFailure = 1;
  EXPECT_FALSE(Window.AllocateBuffers(0, MEASURE_FVC, false));
  EXPECT_NE(Window.GetSpiroFlowBuffer(0), nullptr);
  EXPECT_EQ(Window.GetSpiroVolumeBuffer(0), nullptr);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.LoadStringA(3));
  EXPECT_EQ(Sink.Messages[0].Caption, Texts.LoadStringA(0));
  EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Stop);

  Window.CurvesBeforeFailure = 0;
  Window.InstrumentType = 0x01;
  EXPECT_FALSE(Window.AllocateBuffers(0, MEASURE_CALIBRATION, false));
  EXPECT_EQ(Sink.Messages.size(), 2u);
  Sink.Messages.clear();
}

TEST_F(Buffers, SendAsksTwiceBeforeGivingUp) {
  Client.Answers = {0, 0};
  EXPECT_FALSE(Window.Send(WM_RESTORE_BACKUP, MEASURE_VC, 2));
  EXPECT_EQ(Client.Sent.size(), 2u);
  EXPECT_EQ(Window.TrialIndex, 2);
  EXPECT_EQ(Window.BtpsCalls, 1);

  Client.Sent.clear();
  Client.Answers = {0, 5};
  EXPECT_TRUE(Window.Send(WM_SAVE_BACKUP, MEASURE_VC, 0));
  EXPECT_EQ(Client.Sent.size(), 2u);

  Client.Sent.clear();
  Client.Answers = {1};
  std::fill_n(Window.GetAktBuffer(MEASURE_MVV, 1), 2, 100.0f);
  Window.SetBufferSize(MEASURE_MVV, 1, 1200);
  EXPECT_TRUE(Window.Send(WM_LOAD_DEMO_DATA, MEASURE_MVV, 1));
  EXPECT_EQ(Client.Sent, (std::vector<TSentMessage>{{WM_LOAD_DEMO_DATA, MEASURE_MVV, 1}}));
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_MVV, 1)[0], 0.0f);  // a demonstration is evaluated afresh
  EXPECT_EQ(Window.DemoLimit, 1200);
}

TEST_F(Buffers, BestTrialByEachKindsCriterion) {
  struct TCase {
    short Kind;
    std::size_t Index;
  };
  // The trial with the larger criterion wins although its leading value is smaller.
  for (const TCase c : {TCase{MEASURE_DFC, 10}, TCase{MEASURE_PLETHY, 14}, TCase{MEASURE_SHUTTER, 3}}) {
    for (short slot = 0; slot < 3; ++slot)
      std::fill_n(Window.GetAktBuffer(c.Kind, slot), TMeasureCore::GetNumberOfParams(c.Kind), 1.0f);
    Window.GetAktBuffer(c.Kind, 0)[0] = 9.0f;
    Window.GetAktBuffer(c.Kind, 2)[c.Index] = 5.0f;
    Window.SearchTheBest(c.Kind);
    EXPECT_EQ(Window.TrialOrder[0], 3) << "kind " << c.Kind;
  }
  // FVC ranks by FVC + FEV1: 4 + 3 beats 5 + 1.
  float* first = Window.GetAktBuffer(MEASURE_FVC, 0);
  float* second = Window.GetAktBuffer(MEASURE_FVC, 1);
  first[0] = 5.0f;
  first[2] = 1.0f;
  second[0] = 4.0f;
  second[2] = 3.0f;
  Window.SearchTheBest(MEASURE_FVC);
  EXPECT_EQ(Window.TrialOrder[0], 2);
}

class RollOver : public Buffers {
protected:
  RollOver() {
    Window.StoredTest = true;
    LoadTrial(MEASURE_FVC, 0, 4.0f, 100);
    Window.SetNote(1, "after salbutamol");
    // The storage subsystem answers a restore by loading the kind's stored
    // results; this examination holds an FVC and a VC test.
    Client.OnMessage = [this](unsigned msg, TParam1 kind, TParam2) {
      if (msg == WM_RESTORE_BACKUP && kind == MEASURE_VC)
        LoadTrial(MEASURE_VC, 0, 3.2f, 80);
    };
  }
};

TEST_F(RollOver, FirstTestMakesTheStoredOneThePrevious) {
  TPredicted predicted("", 0, 1.0f);
  predicted.PredictedAlgorithm = PREDICTED_CRAPO_HSU;
  Window.SetPredicted(&predicted);
  PREDICTED_DATA patient;
  patient.Age = 40;
  patient.Height = 175;
  patient.Weight = 70;
  patient.Sex = 1;
  Window.SetPredictedData(patient);
  Window.WatchHaveToCopyAktToPre();

  const std::vector<TSentMessage> expected{
      {WM_RESTORE_BACKUP, MEASURE_VC, 0},     {WM_SAVE_BACKUP, MEASURE_VC, 0},
      {WM_RESTORE_BACKUP, MEASURE_MVV, 0},    {WM_RESTORE_BACKUP, MEASURE_DFC, 0},
      {WM_RESTORE_BACKUP, MEASURE_PLETHY, 0}, {WM_RESTORE_BACKUP, MEASURE_SHUTTER, 0},
      {WM_RESTORE_BACKUP, MEASURE_FVC, 0},
  };
  EXPECT_EQ(Client.Sent, expected);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_FVC, 3)[0], 4.0f);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_FVC, 0)[0], 0.0f);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 3), 100);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_VC, 3)[0], 3.2f);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_VC, 0)[0], 0.0f);
  EXPECT_EQ(Window.GetNoteText(2), "after salbutamol");
  EXPECT_TRUE(Window.IsNoteSet(2));
  EXPECT_EQ(Window.GetNoteText(1), "");
  EXPECT_EQ(Window.PreAlgorithm, PREDICTED_CRAPO_HSU);
  EXPECT_EQ(Window.IndexReads, 1);
  // The predicted values are computed afresh for the new actual test.
  EXPECT_NE(Window.GetRefBuffer(MEASURE_FVC, 0)[0], 0.0f);
}

TEST_F(RollOver, WithoutAnActualNoteThePreviousNoteIsEmptied) {
  Window.SetNote(2, "an older note");
  Window.SetNote(1, "");
  Window.WatchHaveToCopyAktToPre();
  EXPECT_EQ(Window.GetNoteText(2), "");
  EXPECT_FALSE(Window.IsNoteSet(2));
  EXPECT_EQ(Window.GetNoteText(1), "");
}

TEST_F(RollOver, AnExistingPreviousResultStaysAndTheActualIsCleared) {
  std::fill_n(Window.GetAktBuffer(MEASURE_FVC, 3), 19, 3.0f);
  Window.WatchHaveToCopyAktToPre();
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_FVC, 3)[0], 3.0f);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_FVC, 0)[0], 0.0f);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 0), 0);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_VC, 3)[0], 0.0f);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_VC, 0)[0], 0.0f);
  EXPECT_EQ(Window.GetNoteText(1), "after salbutamol");
  EXPECT_EQ(Window.PreAlgorithm, -1);
  EXPECT_EQ(Window.IndexReads, 0);
  EXPECT_EQ(Client.Sent.size(), 7u);
}

TEST_F(RollOver, NothingHappensUnlessAStoredTestIsShownUnchanged) {
  Window.Dirty = true;
  Window.WatchHaveToCopyAktToPre();
  Window.Dirty = false;
  Window.StoredTest = false;
  Window.WatchHaveToCopyAktToPre();
  Window.StoredTest = true;
  Window.GetAktBuffer(MEASURE_FVC, 0)[0] = 0.0f;
  Window.WatchHaveToCopyAktToPre();
  EXPECT_TRUE(Client.Sent.empty());
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 0), 100);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_FVC, 3)[0], 0.0f);
}

TEST_F(Buffers, DemonstrationCurvesVaryWithinTheirRanges) {
  Window.SetMeasureMode(MEASURE_SHUTTER);
  ASSERT_TRUE(Window.AllocateSpiroBuffer(0, MEASURE_SHUTTER, false));
  std::set<int> flowPercents;
  std::set<int> pressurePercents;
  for (unsigned seed = 0; seed < 3000; ++seed) {
    float* flow = Window.GetSpiroFlowBuffer(0);
    float* pressure = Window.GetSpiroPressureBuffer(0);
    std::fill_n(flow, 6010, 1.0f);
    for (int i = 0; i < 6; ++i)
      pressure[i] = i % 2 ? 5000.0f : 100.0f;
    Window.SetBufferSize(MEASURE_SHUTTER, 0, 4);
    Window.SeedRandom(seed);
    Window.DoRandom(0);
    flowPercents.insert(static_cast<int>(std::lround(flow[0] * 100.0f)));
    pressurePercents.insert(static_cast<int>(std::lround(pressure[0])));
    ASSERT_EQ(flow[0], flow[3]);
    ASSERT_EQ(flow[4], 1.0f) << "beyond the count";
    ASSERT_EQ(pressure[1], 5000.0f) << "a closure marker is no pressure";
    ASSERT_EQ(pressure[3], 5000.0f);
    ASSERT_EQ(pressure[2], pressure[0]);
    ASSERT_EQ(pressure[4], 100.0f) << "beyond the count";
  }
  EXPECT_EQ(*flowPercents.begin(), 75);
  EXPECT_EQ(*flowPercents.rbegin(), 149);
  EXPECT_EQ(flowPercents.size(), 75u);
  EXPECT_EQ(*pressurePercents.begin(), 50);
  EXPECT_EQ(*pressurePercents.rbegin(), 99);
  EXPECT_EQ(pressurePercents.size(), 50u);
}

TEST_F(Buffers, DemonstrationVariationByMode) {
  Window.SetMeasureMode(MEASURE_RHINO);
  ASSERT_TRUE(Window.AllocateSpiroBuffer(1, MEASURE_RHINO, false));
  Window.GetSpiroPressureBuffer(1)[0] = 5000.0f;
  Window.SetBufferSize(MEASURE_RHINO, 1, 1);
  Window.SeedRandom(1);
  Window.DoRandom(1);
  EXPECT_LT(Window.GetSpiroPressureBuffer(1)[0], 5000.0f);  // rhinomanometry has no markers

  Window.SetMeasureMode(MEASURE_PLETHY);
  ASSERT_TRUE(Window.AllocateSpiroBuffer(0, MEASURE_PLETHY, false));
  Window.GetSpiroFlowBuffer(0)[0] = 2.0f;
  Window.SetBufferSize(MEASURE_PLETHY, 0, 1);
  Window.DoRandom(0);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(0)[0], 2.0f);

  // Seeded once: two draws in a row differ somewhere.
  Window.SetMeasureMode(MEASURE_FVC);
  ASSERT_TRUE(Window.AllocateSpiroBuffer(0, MEASURE_FVC, false));
  Window.SetBufferSize(MEASURE_FVC, 0, 1);
  std::set<float> factors;
  for (int run = 0; run < 10; ++run) {
    Window.GetSpiroFlowBuffer(0)[0] = 1.0f;
    Window.DoRandom(0);
    factors.insert(Window.GetSpiroFlowBuffer(0)[0]);
  }
  EXPECT_GT(factors.size(), 1u);
}

TEST_F(Buffers, NotesAreCutAndStandInWhenEmpty) {
  Window.SetNote(1, "");
  EXPECT_EQ(Window.GetNoteText(1), Texts.LoadStringA(84));
  EXPECT_FALSE(Window.IsNoteSet(1));
  Window.SetNote(2, "");
  EXPECT_EQ(Window.GetNoteText(2), Texts.LoadStringA(85));
  Window.SetNote(2, "pre");
  EXPECT_EQ(Window.GetNoteText(2), "pre");
  EXPECT_TRUE(Window.IsNoteSet(2));

  const std::string long70(70, 'x');
  Window.SetNote(0, long70);
  EXPECT_EQ(Window.GetNoteText(0), std::string(60, 'x'));
  EXPECT_EQ(Window.ShownNotes.back(), std::string(60, 'x'));
  // A character is never split: 59 letters and a two-byte letter make 61 bytes.
  Window.SetNote(1, std::string(59, 'a') + "\xC3\xA9");
  EXPECT_EQ(Window.GetNoteText(1), std::string(59, 'a'));

  Window.Printing = true;
  Window.SetNote(0, "while printing");
  EXPECT_EQ(Window.ShownNotes.size(), 1u);
  EXPECT_EQ(Window.GetNoteText(0), "while printing");
  Window.SetNote(3, "ignored");
  EXPECT_EQ(Window.GetNoteText(3), "");
}

}  // namespace
