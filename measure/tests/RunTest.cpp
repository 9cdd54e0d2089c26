// One trial from the start button to the evaluated result on the core:
// the start, the ready machine fed as the link feeds it, the stop and the
// measure log, with a fake instrument on a manual clock and a fake client.

#include "measure/tests/LinkedCoreFixture.h"

#include "common/CommandNumbers.h"
#include "platform/framework/BinaryStream.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"

#include <fstream>
#include <iterator>

namespace {

constexpr float Step = 8.7890625f;  // mL/s of one count of the link

class TRunCore final : public TMeasureCore {
public:
  using TMeasureCore::TMeasureCore;
  void PostToSelf(unsigned msg, TParam1 wParam, TParam2 lParam) override { Posted.push_back({msg, wParam, lParam}); }
  bool AllocateLogBuffers() override { return !LogMemoryFails && TMeasureCore::AllocateLogBuffers(); }
  std::string BtpsRecordBytes() const override { return "BTPS-RECORD-17byt"; }
  void BtpsConditions(float& temperatureC, float& pressureHpa) const override {
    temperatureC = 20.0f;
    pressureHpa = 1050.0f;
  }
  std::vector<TSentMessage> Posted;
  bool LogMemoryFails = false;
};

class RunTest : public LinkedCoreTest<TRunCore> {
protected:
  RunTest() : LinkedCoreTest(MEASURE_FVC) {
    Core.HomeFolder = Folder.Path();
    Core.SetIniFile("");
    Core.SetMeasureMode(MEASURE_FVC);
  }

  // The start button with a live instrument: CmStart, then the deferred start.
  void StartLive(unsigned id = CM_START) {
    Core.HasInstrument = true;
    Core.CmStart(id);
    ASSERT_EQ(Core.Posted.back(), (TSentMessage{WM_DO_START, id, 0}));
    Core.CmDoStart(id);
    ASSERT_EQ(Core.StartId, id);
  }

  // The link hands on samples with an index that advances only once the
  // trial has begun.
  void Feed(const std::vector<int>& counts) {
    for (const int count : counts) {
      Core.CmReady(Index, count);
      if (TMeasureInterrupt::FlagBegin)
        ++Index;
    }
  }

  unsigned Index = 0;
};

// Where the trial begins, by the scaled flow after the zero: FlowZero
// moves a count of the link onto the exact threshold.
TEST_F(RunTest, BreathStartThresholds) {
  struct Case {
    short mode;
    float flowZero;
    std::vector<int> counts;
    bool started;
  };
  const std::vector<Case> cases{
      {MEASURE_FVC, -2.5234375f, {-7, -7, -7}, false},  // -59 mL/s
      {MEASURE_FVC, -1.5234375f, {-7}, true},           // -60 mL/s
      {MEASURE_VC, -1.5234375f, {-7}, true},
      {MEASURE_FVC, 0.0f, {200, 100}, false},           // inspirations never start a blast
      {MEASURE_MVV, 0.0f, {-100, -200}, false},         // an expiration without an inspiration first
      {MEASURE_MVV, 7.4453125f, {69, -100}, false},     // +599 mL/s
      {MEASURE_MVV, 6.4453125f, {69, -100}, true},      // +600 mL/s
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " zero " << c.flowZero);
    Core.SetMeasureMode(c.mode);
    Core.FlowZero = c.flowZero;
    Index = 0;
    StartLive();
    Feed(c.counts);
    EXPECT_EQ(TMeasureInterrupt::FlagBegin, c.started);
    EXPECT_EQ(Core.SampleCount[static_cast<std::size_t>(c.mode)][0], c.started ? 1 : 0);
    // Nothing before the start is kept: the first stored sample is the start.
    if (c.started)
      EXPECT_NEAR(Core.Flow[0][0], (static_cast<float>(c.counts.back()) * Step - c.flowZero) * 0.001f, 1e-6f);
    else
      EXPECT_EQ(Core.Flow[0][0], 0.0f);
    Core.CmStop();
    EXPECT_FALSE(Core.IsRunning());
  }
}

TEST_F(RunTest, FlowDividedByItsFactorsAndIntegrated) {
  Core.ExpFactor = 1.25f;
  Core.InspFactor = 0.8f;
  Core.InspGasFactor = 0.5f;
  TMeasureInterrupt::ConstansOfBTPS[0] = 1.1f;
  StartLive();
  Feed({-128, -128, 64});
  const float out = -128.0f * Step * 0.001f / 1.25f;       // -0.9 L/s
  const float in = 64.0f * Step * 0.001f / 1.1f / 0.8f;     // 0.6392 L/s
  EXPECT_FLOAT_EQ(Core.Flow[0][0], out);
  EXPECT_FLOAT_EQ(Core.Flow[0][2], in);
  EXPECT_FLOAT_EQ(Core.Volume[0][2], (out + out + in) * 0.01f);
  EXPECT_EQ(Core.SampleCount[MEASURE_FVC][0], 3);
  // Under the gas word the inspiration has its own factor; no factor of 0 divides.
  TMeasureData::LastSentData = 0xEF62;
  Core.InspGasFactor = 0.0f;
  Feed({64});
  EXPECT_FLOAT_EQ(Core.Flow[0][3], 64.0f * Step * 0.001f / 1.1f);
  Core.CmStop();
}

// The diffusion test gas comes dry from its cylinder: its inspiration is
// taken from ATPD to BTPS at the panel's 20 degC and 1050 hPa,
// 1050 / (1050 - 62.66) x 310.15 / 293.15 = 1.125136, not divided by the
// room air's factor (here 1.1); the room air before it keeps that factor.
TEST_F(RunTest, TheDryTestGasIsTakenToBtpsFromAtpd) {
  Core.InspFactor = 0.8f;
  Core.InspGasFactor = 0.5f;
  TMeasureInterrupt::ConstansOfBTPS[0] = 1.1f;
  Core.SetMeasureMode(MEASURE_DFC);
  StartLive();
  EXPECT_NEAR(Core.DryGasBtpsFactor, 1.125136f, 5e-6f);
  Core.CmStop();
  TakeMessage();  // a start without a manoeuvre

  // The scaling of the live flow, on the FVC curve where it is easy to see:
  // room air, then the gas word's inspiration.
  Core.SetMeasureMode(MEASURE_FVC);
  StartLive();
  TMeasureData::LastSentData = 0;
  Feed({-128, 64});
  EXPECT_FLOAT_EQ(Core.Flow[0][1], 64.0f * Step * 0.001f / 1.1f / 0.8f);
  TMeasureData::LastSentData = 0xEF62;
  Feed({64});
  EXPECT_NEAR(Core.Flow[0][2], 64.0f * Step * 0.001f * 1.125136f / 0.5f, 1e-5f);
  Core.CmStop();
}

TEST_F(RunTest, StartWordThenThePurgeAfterTwoHundredMilliseconds) {
  Core.InstrumentType = 0x01;
  Core.PortConfig.Port = PORT_USB;
  StartLive();
  EXPECT_EQ(Device->WrittenWords().back(), 0xEF7D);
  EXPECT_EQ(TMeasureData::LastSentData, 0xEF7D);
  EXPECT_TRUE(Core.ReceiveFlag);
  Clock->Advance(199);
  EXPECT_TRUE(Core.ReceiveFlag);
  Clock->Advance(1);
  EXPECT_FALSE(Core.ReceiveFlag);
  Core.CmStop();
}

TEST_F(RunTest, SecondStartIsIgnoredAndADueCalibrationComesFirst) {
  StartLive();
  Core.Posted.clear();
  Core.CmStart(CM_START + 1);
  EXPECT_TRUE(Core.Posted.empty());
  EXPECT_EQ(Core.StartId, CM_START);
  Core.CmStop();

  Core.SetIniFile((Folder / "Halvetra.ini").string());
  Core.CalibrationInterval = 1;  // hours; never calibrated
  Sink.Answer = IDYES;
  Core.CmStart(CM_START);
  EXPECT_NE(TakeMessage().find(Texts.LoadStringA(147)), std::string::npos);
  EXPECT_EQ(Core.Posted.back(), (TSentMessage{WM_COMMAND, CM_CALIBRATION, 0}));
  EXPECT_FALSE(Core.IsRunning());
  // Answered No: the trial starts all the same.
  Sink.Answer = IDNO;
  Core.CmStart(CM_START);
  TakeMessage();
  EXPECT_EQ(Core.Posted.back(), (TSentMessage{WM_DO_START, CM_START, 0}));
}

TEST_F(RunTest, FailedStartsAreToldAndUndone) {
  Core.BtpsDevice = true;
  Core.BtpsTimerActive = true;
  Core.LogWriteEnable = 1;
  Core.LogMeasureMode = MEASURE_FVC;
  Core.LogMemoryFails = true;
  Core.CmStart(CM_START);
  EXPECT_EQ(TakeMessage(), Texts.LoadStringA(3));
  EXPECT_TRUE(Core.Posted.empty());
  EXPECT_TRUE(Core.BtpsTimerActive);
  EXPECT_TRUE(Core.LogBuffer[0].empty());

  // No demonstration data: the client does not answer, or answers with an empty slot.
  Core.LogMemoryFails = false;
  for (const TResult answer : {0, 1}) {
    Client.Answers = {answer};
    Core.CmStart(CM_START);
    Core.CmDoStart(CM_START);
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(10));
    EXPECT_FALSE(Core.IsRunning());
    EXPECT_TRUE(Core.BtpsTimerActive);
    EXPECT_TRUE(Core.LogBuffer[0].empty());
  }
}

// A damaged demonstration file is named once by the client; a missing one
// is told by the window. Either way the start is undone, and a curve the
// slot already held is not replayed as a new trial: it keeps its results.
TEST_F(RunTest, ADemonstrationFileThatIsMissingOrDamagedIsToldOnceAndStartsNothing) {
  Core.SampleCount[MEASURE_FVC][0] = 300;  // an earlier trial in the slot
  Core.AktParams[MEASURE_FVC][0][0] = 4.5f;
  for (const TResult answer : {DemoDataAnswer::Missing, DemoDataAnswer::Damaged}) {
    SCOPED_TRACE(answer);
    Client.Answers = {answer};
    Client.Sent.clear();
    Core.CmStart(CM_START);
    Core.CmDoStart(CM_START);
    EXPECT_EQ(std::count_if(Client.Sent.begin(), Client.Sent.end(),
                            [](const TSentMessage& m) { return m.Msg == WM_LOAD_DEMO_DATA; }),
              1);
    if (answer == DemoDataAnswer::Missing) {
      EXPECT_EQ(TakeMessage(), Texts.LoadStringA(10));
    }
    EXPECT_TRUE(Sink.Messages.empty());
    EXPECT_FALSE(Core.IsRunning());
    EXPECT_EQ(Core.SampleCount[MEASURE_FVC][0], 300);
    EXPECT_EQ(Core.AktParams[MEASURE_FVC][0][0], 4.5f) << "FVC of the trial";
  }
}

// A demonstration trial: the client fills the slot; the replay ends at the
// slot's count and never past the curve buffers.
TEST_F(RunTest, ReplayStopsAtItsEndAndAtTheBufferEnd) {
  struct Case {
    short count;
    unsigned lastStored;
  };
  // The link's countdown ends a trial at the buffers' 6,000 samples.
  for (const Case c : {Case{500, 499}, Case{7000, 5999}}) {
    SCOPED_TRACE(c.count);
    Client.OnMessage = [&](unsigned msg, TParam1 kind, TParam2 trial) {
      if (msg != WM_LOAD_DEMO_DATA)
        return;
      ASSERT_TRUE(Core.AllocateSpiroBuffer(static_cast<short>(trial), static_cast<short>(kind), true));
      std::fill(Core.Flow[0].begin(), Core.Flow[0].end(), 0.5f);
      Core.SampleCount[static_cast<std::size_t>(kind)][static_cast<std::size_t>(trial)] = c.count;
    };
    Core.SetMeasureMode(MEASURE_VC);
    Core.CmStart(CM_START);
    Core.CmDoStart(CM_START);
    ASSERT_TRUE(Core.IsRunning());
    for (unsigned i = 0; i <= c.lastStored; ++i)
      Core.CmReady(i, 0);
    EXPECT_EQ(Core.StopRequest, 0);
    Core.CmReady(c.lastStored + 1, 0);
    EXPECT_NE(Core.StopRequest, 0);
    const float volume = 0.005f * static_cast<float>(c.lastStored + 1);
    EXPECT_NEAR(Core.Volume[0][c.lastStored], volume, 1e-4f * volume);
    Core.CmReady(c.lastStored + 2, 0);  // the next sample stops and evaluates
    EXPECT_FALSE(Core.IsRunning());
    EXPECT_EQ(Core.SampleCount[MEASURE_VC][0], static_cast<short>(c.lastStored + 1));
  }
}

// The blast through the ready machine evaluates as the pipeline does.
TEST_F(RunTest, LiveFvcTrialIsEvaluatedAtTheStop) {
  using namespace spirometry::testing;
  Waveform w(3.0);
  w.Breathe(2, 0.5, 4.0).GlideTo(5.5, 2.0).Pause(0.4);
  w.Expire({0, 0, 0.08, 9.0, 0.5, 6}).Inspire({0, 0, 0.12, 6.0, 0.7, 4}).Pause(1.0);
  std::vector<short> counts = Quantise(w.Sample(0.0));
  StartLive();
  Client.Answers = {0};
  Feed(std::vector<int>(counts.begin(), counts.end()));
  Core.CmStop();
  RecordedTrial trial = Acquire(counts, MEASURE_FVC);
  const FvcEvaluation expected = EvaluateFvc(trial);
  ASSERT_TRUE(expected.found);
  for (std::size_t k = 0; k < expected.record.size(); ++k)
    EXPECT_EQ(Core.AktParams[MEASURE_FVC][0][k], expected.record[k]) << FvcParameterNames[k];
  EXPECT_TRUE(Core.Dirty);
}

TEST_F(RunTest, MeasureLogTakesTheNextNumberHoldsTheTrialAndGoesUnlessKept) {
  std::filesystem::create_directories(Folder / "Bad");
  for (const char* name : {"Fvc.001", "Fvc.002"})
    std::ofstream(Folder / "Bad" / name) << "x";
  Core.PredictedData.SetName("Kovacs Anna");
  Core.LogWriteEnable = 1;
  Core.LogMeasureMode = MEASURE_FVC;
  Core.InspFactor = 0.75f;
  StartLive();
  Feed({-100, -100, -100, -100});
  Core.LogBuffer[0][0] = -100;
  Core.LogBuffer[0][2] = 0x1234;
  const std::filesystem::path written = Core.WriteMeasureLog();
  EXPECT_EQ(written, Folder / "Bad" / "Fvc.003");
  std::ifstream in(written, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_EQ(bytes.size(), 121u + 2u * 4u);
  EXPECT_EQ(bytes.substr(0, 84), Core.PredictedData.ToBytes());
  EXPECT_EQ(bytes.substr(84, 17), "BTPS-RECORD-17byt");
  const std::string tail = bytes.substr(101);
  TBinaryReader reader(tail);
  EXPECT_EQ(reader.ReadFloat32(), 1.0f);   // BTPS factor
  EXPECT_EQ(reader.ReadFloat32(), 0.75f);  // inspiration
  EXPECT_EQ(reader.ReadFloat32(), 1.0f);   // expiration
  EXPECT_EQ(reader.ReadFloat32(), 0.0f);   // zero
  EXPECT_EQ(reader.ReadInt32(), 4);
  EXPECT_EQ(reader.ReadInt16(), -100);
  EXPECT_EQ(reader.ReadInt16(), 0);
  EXPECT_EQ(reader.ReadInt16(), 0x1234);

  // The stop writes the next one and deletes it again once evaluated,
  // unless every run is kept; the buffers go either way.
  Client.Answers = {0};
  Core.CmStop();
  EXPECT_FALSE(std::filesystem::exists(Folder / "Bad" / "Fvc.004"));
  EXPECT_TRUE(Core.LogBuffer[0].empty());
  Core.LogSaveAll = 1;
  StartLive();
  Feed({-100, -100});
  Core.CmStop();
  EXPECT_TRUE(std::filesystem::exists(Folder / "Bad" / "Fvc.004"));
}

TEST_F(RunTest, ClosingMidTrialStopsTheAcquisition) {
  auto core = std::make_unique<TRunCore>(&Texts, &Client, MEASURE_FVC);
  core->TMeasureInterrupt::SetClock(Clock);
  core->SetDeviceOpener([this](const PORT_CONFIG&, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
    name = "COM1";
    return std::make_unique<TFakeTransport>(Device, name);
  });
  core->HasInstrument = true;
  core->CmDoStart(CM_START);
  ASSERT_TRUE(core->IsAcquiring());
  core->CmReady(0, -100);
  core.reset();
  EXPECT_FALSE(Device->Watched());  // nothing reads the device for a gone window
  Device->SendFlow({-100, -100});   // and samples that still arrive go nowhere
  Clock->Advance(5000);
}

}  // namespace
