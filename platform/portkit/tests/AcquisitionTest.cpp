#include "platform/portkit/tests/LinkTestFixture.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/LinkSteps.h"
#include "platform/portkit/LinkTexts.h"

#include <algorithm>

using namespace InstrumentProtocol;

namespace {

TSample AllChannelsSample(std::uint8_t sequence) {
  TSample sample;
  sample.Sequence = sequence;
  sample.Set(ChannelFlow, -300);
  sample.Set(ChannelMouthPressure, 150);
  sample.Set(ChannelBoxPressure, -70);
  sample.Set(ChannelNasalPressure, 90);
  sample.Set(ChannelLinePressure, 1100);
  sample.Set(ChannelHelium, 40000);
  sample.Set(ChannelCarbonMonoxide, 2458);
  return sample;
}

long Packed(int low, int high) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16) |
                                   static_cast<std::uint16_t>(low));
}

TEST_F(LinkTest, InitHandlerSwitchesTheStreamOnAndKillHandlerOff) {
  Start();
  ASSERT_TRUE(Link.IsAcquiring());
  EXPECT_TRUE(Device->Watched());
  Link.KillHandler();
  EXPECT_FALSE(Device->Watched());
  std::vector<bool> stream;
  for (const TFrame& frame : Device->Written())
    if (const auto on = ReadStream(frame))
      stream.push_back(*on);
  EXPECT_EQ(stream, (std::vector<bool>{true, false}));
  EXPECT_TRUE(Link.PortInUse) << "the port stays open for the next trial";
}

// Several samples may come with one notification; the window's own start
// detection, which sets FlagBegin, must take effect for the very next one.
TEST_F(LinkTest, SamplesArriveInOrderAndTheIndexAdvancesOnlyOnceTheTrialHasBegun) {
  Start();
  Window.OnSample = [](const TSampleMessage& s) {
    if (s.Value * FlowMlpsPerCount <= -60.0)  // an expiration of 60 mL/s starts the trial
      TMeasureInterrupt::FlagBegin = true;
  };
  Device->SendFlow({2, -1, 5, -7, -100, -400, -350});
  EXPECT_TRUE(Window.Samples.empty()) << "delivered only through the event loop";
  ProcessPosted();

  const std::vector<TSampleMessage> expected{
      {WM_DATA_READY, 0, 2},    {WM_DATA_READY, 0, -1},   {WM_DATA_READY, 0, 5},   {WM_DATA_READY, 0, -7},
      {WM_DATA_READY, 1, -100}, {WM_DATA_READY, 2, -400}, {WM_DATA_READY, 3, -350}};
  EXPECT_EQ(Window.Samples, expected);
  EXPECT_EQ(Window.Notifications, 1);
  EXPECT_EQ(TMeasureData::InterruptIndex, 4);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(LinkTest, TheMeasureModeAndStepChooseMessageAndValue) {
  Device->Identity.HardwareVersion = 0x71;  // a diffusion unit
  Start();
  struct Case {
    const char* what;
    short measureMode;
    short testMode;
    short deviceKind;
    TSampleMessage expected;
  };
  const Case cases[] = {
      {"plain flow", MEASURE_FVC, 0, 1, {WM_DATA_READY, 0, -300}},
      {"calibration strokes", MEASURE_CALIBRATION, 0, 1, {WM_DATA_READY, 0, -300}},
      {"rhinomanometry", MEASURE_RHINO, 0, 1, {WM_RHINO_DATA_READY, 0, Packed(-300, 90)}},
      {"plethysmography", MEASURE_PLETHY, 0, 4, {WM_PLETHY_DATA_READY, 0, -300}},
      {"box leak test", MEASURE_PLETHY, StepBoxLeakPump, 4, {WM_PLETHY_DATA_READY, 0, -70}},
      {"shutter", MEASURE_SHUTTER, 0, 1, {WM_DATA_READY, 0, Packed(-300, 150)}},
      {"gas zero", MEASURE_DFC, StepGasZero, 3, {WM_DATA_READY, 0, Packed(40000, 2458)}},
      {"gas analysis", MEASURE_DFC, StepGasAnalysis, 3, {WM_DATA_READY, 0, Packed(40000, 2458)}},
      {"Fleisch line pump", MEASURE_CALIBRATION, StepFleischPumpUp, 3, {WM_DATA_READY, 0, 1100}},
      {"bag washing out", MEASURE_DFC, StepWashOutSlow, 3, {WM_DATA_READY, 0, 1100}},
      {"breath hold", MEASURE_DFC, StepBreathHold, 3, {WM_DATA_READY, 0, -300}},
  };
  std::uint8_t sequence = 0;
  for (const Case& c : cases) {
    TMeasureData::MeasureMode = c.measureMode;
    TMeasureInterrupt::TestMode = c.testMode;
    Link.DeviceKind = c.deviceKind;
    Window.Samples.clear();
    Device->SendSample(AllChannelsSample(sequence++));
    ProcessPosted();
    ASSERT_EQ(Window.Samples.size(), 1u) << c.what;
    EXPECT_EQ(Window.Samples[0], c.expected) << c.what;
  }
}

TEST_F(LinkTest, ThePlethysmographCalibrationRunsOnItsOwnMessage) {
  Device->Identity.HardwareVersion = 0x11;
  Start();
  TMeasureData::MeasureMode = MEASURE_CALIBRATION;
  Device->SendSample(AllChannelsSample(0));
  ProcessPosted();
  ASSERT_EQ(Window.Samples.size(), 1u);
  EXPECT_EQ(Window.Samples[0].Message, WM_PLETHY_DATA_READY);
}

TEST_F(LinkTest, LostSamplesAreFilledInUpToTenAndEndTheRunBeyond) {
  Start();
  TMeasureInterrupt::FlagBegin = true;
  TBytes stream;
  for (const auto& [sequence, flow] : std::vector<std::pair<int, int>>{{0, 100}, {4, 500}, {5, 600}}) {
    TSample sample;
    sample.Sequence = static_cast<std::uint8_t>(sequence);
    sample.Set(ChannelFlow, flow);
    AppendSample(stream, sample);
  }
  Device->Send(stream);
  ProcessPosted();
  std::vector<long> values;
  for (const TSampleMessage& s : Window.Samples)
    values.push_back(s.Value);
  EXPECT_EQ(values, (std::vector<long>{100, 200, 300, 400, 500, 600}));
  EXPECT_EQ(Window.Samples.back().Index, 5u) << "time runs on through the filled-in samples";
  EXPECT_EQ(Link.InterpolatedSamples(), 3u);
  EXPECT_FALSE(Link.AnyEndFlag());

  TSample far;
  far.Sequence = 17;  // 11 lost after sequence 5
  far.Set(ChannelFlow, 0);
  Device->SendSample(far);
  ProcessPosted();
  EXPECT_EQ(Link.EndSamplesLost, 1);
  EXPECT_TRUE(Window.Stopped);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.Format(TEXT_LINK_SAMPLES_LOST, {"COM1 (fake)", "11"}));
  EXPECT_EQ(Window.Samples.size(), 7u) << "the samples so far are kept";
}

TEST_F(LinkTest, NoiseAndCorruptedFramesAreCountedAndTheSamplesGoOn) {
  Start();
  TMeasureInterrupt::FlagBegin = true;
  TBytes stream{0x00, 0xA5, 0x13};
  for (std::uint8_t sequence = 0; sequence < 4; ++sequence) {
    TSample sample;
    sample.Sequence = sequence;
    sample.Set(ChannelFlow, sequence * 10);
    TBytes frame;
    AppendSample(frame, sample);
    if (sequence == 2)
      frame[8] ^= 0x01;  // corrupted on the line: filled in from its neighbours
    stream.insert(stream.end(), frame.begin(), frame.end());
    stream.push_back(0xEE);
  }
  Device->Send(stream);
  ProcessPosted();
  ASSERT_EQ(Window.Samples.size(), 4u);
  EXPECT_EQ(Window.Samples[2].Value, 20);
  EXPECT_EQ(Link.RejectedFrames(), 1u);
  EXPECT_GE(Link.NoiseBytes(), 7u);
  EXPECT_FALSE(Link.AnyEndFlag());
}

// A few frames damaged on the line are filled in without a word; more than
// 5 of the 100 samples of one second are a bad line: the user is warned once,
// the trial is marked, and the run goes on with every sample kept.
TEST_F(LinkTest, ALineThatDamagesMoreThanFivePercentOfASecondIsReportedAndMarksTheTrial) {
  Start();
  TMeasureInterrupt::FlagBegin = true;
  Link.TrialIndex = 2;
  std::uint8_t sequence = 0;
  // Sends `count` samples, the frame before each `lostEvery`-th one lost.
  const auto send = [&](int count, int lostEvery) {
    TBytes stream;
    for (int i = 1; i <= count; ++i) {
      if (lostEvery && i % lostEvery == 0)
        ++sequence;
      TSample sample;
      sample.Sequence = sequence++;
      sample.Set(ChannelFlow, -100);
      AppendSample(stream, sample);
    }
    Device->Send(stream);
    ProcessPosted();
  };

  // Five lost in the first second, then a clean second: nothing to say.
  send(95, 19);
  EXPECT_EQ(Link.InterpolatedSamples(), 5u);
  send(100, 0);
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_FALSE(Link.BadLine[2]);

  // Five more within a second are still healed quietly; the sixth is not.
  send(100, 20);
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_EQ(Link.FilledInLastSecond(), 5u);
  send(1, 1);
  EXPECT_EQ(Link.FilledInLastSecond(), 6u);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.Format(TEXT_LINK_NOISY, {"COM1 (fake)", "5"}));
  EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Warning);
  EXPECT_TRUE(Link.BadLine[2]);
  EXPECT_FALSE(Link.BadLine[0] || Link.BadLine[1] || Link.BadLine[3]);

  // The run goes on and says it once; every sample, filled in or not, is there.
  send(200, 4);
  EXPECT_TRUE(Link.IsAcquiring());
  EXPECT_FALSE(Link.AnyEndFlag());
  EXPECT_FALSE(Window.Stopped);
  EXPECT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Window.Samples.size(), (95u + 5) + 100 + (100 + 5) + (1 + 1) + (200 + 50));
  EXPECT_EQ(TMeasureData::InterruptIndex, Window.Samples.size());

  // The next trial in that slot starts unmarked, and the next acquisition
  // may warn again.
  Link.ClearBuffer(2);
  EXPECT_FALSE(Link.BadLine[2]);
  Link.KillHandler();
  Link.InitHandler();
  TMeasureInterrupt::FlagBegin = true;
  send(20, 2);
  EXPECT_EQ(Sink.Messages.size(), 2u);
  EXPECT_TRUE(Link.BadLine[2]);
}

TEST_F(LinkTest, AHungUpDeviceEndsTheRunWithOneMessageAndKeepsTheSamples) {
  Start();
  Device->SendFlow({-100, -200, -300});
  Device->HangUp("Input/output error");
  ProcessPosted();
  EXPECT_EQ(Window.Samples.size(), 3u);
  EXPECT_EQ(Link.EndPortLost, 1);
  EXPECT_TRUE(Window.Stopped);
  EXPECT_FALSE(Link.IsAcquiring());
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.Format(TEXT_LINK_PORT_LOST, {"COM1 (fake)", "Input/output error"}));
  EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Stop);

  // Nothing more: the silence that follows is no second message.
  Clock->Advance(5000);
  ProcessPosted();
  EXPECT_EQ(Sink.Messages.size(), 1u);
}

TEST_F(LinkTest, ASilentInstrumentEndsTheRunAfterTwoSeconds) {
  Start();
  for (int i = 0; i < 150; ++i) {  // 1.5 s of samples, then nothing
    Device->SendFlow({0});
    Clock->Advance(10);
    ProcessPosted();
  }
  Clock->Advance(1900);
  ProcessPosted();
  EXPECT_FALSE(Link.AnyEndFlag()) << "1.9 s without data is not yet silence";
  Clock->Advance(250);
  ProcessPosted();
  EXPECT_EQ(Link.EndSilence, 1);
  EXPECT_TRUE(Window.Stopped);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.Format(TEXT_LINK_SILENT, {"COM1 (fake)", "2"}));
  EXPECT_EQ(Window.Samples.size(), 150u);
}

TEST_F(LinkTest, AFaultReportedByTheInstrumentEndsTheRun) {
  Start();
  TBytes fault;
  AppendFault(fault, 3);
  Device->Send(fault);
  ProcessPosted();
  EXPECT_EQ(Link.EndInstrumentFault, 1);
  EXPECT_TRUE(Window.Stopped);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.Format(TEXT_LINK_FAULT, {"COM1 (fake)", "3"}));
}

TEST_F(LinkTest, AnOverflowingInputQueueEndsTheRun) {
  Link.PortConfig.InputBuffer = 256;
  Start();
  TBytes burst;
  for (int i = 0; i < 40; ++i) {  // 440 bytes before the window had a chance to read
    TSample sample;
    sample.Sequence = static_cast<std::uint8_t>(i);
    AppendSample(burst, sample);
  }
  Device->Send(burst);
  ProcessPosted();
  EXPECT_EQ(Link.EndOverrun, 1);
  EXPECT_EQ(Link.OverrunBytes(), burst.size() - 256);
  EXPECT_TRUE(Window.Stopped);
  EXPECT_EQ(Sink.Messages.size(), 1u);
}

TEST_F(LinkTest, SamplesStillQueuedWhenTheRunStopsAreNotDelivered) {
  Start();
  Device->SendFlow({1, 2, 3});
  SendMessage(&Window, WM_COMMNOTIFY, static_cast<TParam1>(TMeasureData::IdCommDev), 0);  // decoded and posted
  Link.KillHandler();
  ProcessPosted();
  EXPECT_TRUE(Window.Samples.empty());
}

TEST_F(LinkTest, AWindowThatClosesWhileSamplesAreQueuedIsLeftAlone) {
  Start();
  auto window = std::make_unique<TTestWindow>(Link);
  TMeasureData::pThis = window.get();
  Device->SendFlow({1, 2, 3});
  SendMessage(window.get(), WM_COMMNOTIFY, static_cast<TParam1>(TMeasureData::IdCommDev), 0);
  window.reset();
  ProcessPosted();  // must not reach the destroyed window
  EXPECT_FALSE(TMeasureData::pThis);
}

TEST_F(LinkTest, APolledReadCountsEverySampleAndFillsTheZeroRings) {
  Start();
  TMeasureData::pThis = nullptr;
  TMeasureData::MeasureMode = MEASURE_ZERO;
  for (int k = 0; k < 225; ++k) {
    TSample sample;
    sample.Sequence = static_cast<std::uint8_t>(k);
    sample.Set(ChannelFlow, k);
    sample.Set(ChannelMouthPressure, -k);
    Device->SendSample(sample);
    Link.ReadDataFromSerialPortToBuffer(static_cast<TParam1>(TMeasureData::IdCommDev));
  }
  EXPECT_EQ(TMeasureData::InterruptIndex, 225);
  ProcessPosted();
  EXPECT_TRUE(Window.Samples.empty()) << "nothing is posted while the caller polls";
  // The rings hold the last 100 samples: 125 to 224, in mL/s and Pa.
  std::vector<float> flows(TMeasureData::ZeroBuffer.begin(), TMeasureData::ZeroBuffer.begin() + 100);
  std::sort(flows.begin(), flows.end());
  EXPECT_FLOAT_EQ(flows.front(), 125 * 8.7890625f);
  EXPECT_FLOAT_EQ(flows.back(), 224 * 8.7890625f);
  EXPECT_FLOAT_EQ(*std::max_element(TMeasureData::ZeroPressureBuffer.begin(), TMeasureData::ZeroPressureBuffer.begin() + 100),
                  -125 * 2.44140625f);
}

TEST_F(LinkTest, SensorWordsAndStatusInputsAreKept) {
  Start();
  TBytes stream;
  AppendSensors(stream, {1024, 1660, 1024});
  TSample sample;
  sample.Status = StatusDoorOpen;
  sample.Set(ChannelFlow, 5);
  sample.Set(ChannelMouthPressure, 40);
  sample.Set(ChannelBoxPressure, 9);
  AppendSample(stream, sample);
  Link.MouthPressureFactor = 0.6105f;
  Device->Send(stream);
  ProcessPosted();
  EXPECT_EQ(Link.RawTemperature, 1024);
  EXPECT_EQ(Link.RawPressure, 1660);
  EXPECT_EQ(Link.RawHumidity, 1024);
  EXPECT_EQ(Link.InstrumentStatus, StatusDoorOpen);
  EXPECT_EQ(TMeasureInterrupt::pIndicator[0], 5);
  EXPECT_EQ(TMeasureInterrupt::pIndicator[1], 24) << "40 counts in the page's mouth-pressure scale";
  EXPECT_EQ(TMeasureInterrupt::pIndicator[2], 9);
  EXPECT_EQ(TMeasureInterrupt::pIndicator[4], 1) << "the sample counter";
}

TEST_F(LinkTest, RawSamplesGoIntoTheLogAndPlethysmographBuffersAtTheirIndex) {
  Device->Identity.HardwareVersion = 0x11;
  Start();
  TMeasureData::MeasureMode = MEASURE_PLETHY;
  for (auto& buffer : Link.LogBuffer)
    buffer.assign(TMeasureData::LogBufferSamples, 0);
  Link.BoxPressure[0].assign(TMeasureData::CurveBufferSamples, 0.0f);
  Link.MouthPressure[0].assign(TMeasureData::CurveBufferSamples, 0.0f);
  TMeasureInterrupt::FlagBegin = true;
  for (int k = 0; k < 3; ++k) {
    TSample sample;
    sample.Sequence = static_cast<std::uint8_t>(k);
    sample.Set(ChannelFlow, 100 + k);
    sample.Set(ChannelBoxPressure, 200 + k);
    sample.Set(ChannelMouthPressure, 300 + k);
    Device->SendSample(sample);
  }
  ProcessPosted();
  EXPECT_EQ(Link.LogBuffer[0][2], 102);
  EXPECT_EQ(Link.LogBuffer[1][2], 202);
  EXPECT_EQ(Link.LogBuffer[2][2], 302);
  EXPECT_FLOAT_EQ(Link.BoxPressure[0][1], 201.0f);
  EXPECT_FLOAT_EQ(Link.MouthPressure[0][0], 300.0f);
}

// The provocation window runs the nebulizer through the measurement
// window's link: mouth pressure in Pa, time in hundredths, and the
// compressor switched as the provocation window decides.
class NebulizerTest : public LinkTest, public ::testing::WithParamInterface<short> {};

TEST_P(NebulizerTest, TheCompressorFollowsCompressorStateAndStopsWithTheRun) {
  const short version = GetParam();
  Device->Identity.HardwareVersion = static_cast<std::uint16_t>(version);
  Device->Identity.Capabilities = CapabilityNebulizer;
  ASSERT_TRUE(Link.TestSerialPort());
  Link.DeviceKind = 2;
  TTestWindow provocation(Link);
  provocation.OnSample = [](const TSampleMessage& s) {
    TMeasureInterrupt::CompressorState = s.Value < -200 ? 1 : 0;  // inspiration beyond the threshold
  };
  TMeasureData::pThis = &provocation;
  Link.InitHandler();
  TMeasureInterrupt::FlagBegin = true;
  std::uint8_t sequence = 0;
  for (const int mouth : {0, -100, -150, -150, -20}) {  // counts of 2.44140625 Pa
    TSample sample;
    sample.Sequence = sequence++;
    sample.Set(ChannelFlow, 50);
    sample.Set(ChannelMouthPressure, mouth);
    Device->SendSample(sample);
  }
  ProcessPosted();
  ASSERT_EQ(provocation.Samples.size(), 5u);
  EXPECT_EQ(provocation.Samples[1], (TSampleMessage{WM_DATA_READY, 1, -244}));
  EXPECT_EQ(TMeasureInterrupt::DoseCounter, 3) << "three samples sprayed";

  provocation.OnSample = nullptr;
  TMeasureInterrupt::CompressorState = 1;
  TSample last;
  last.Sequence = sequence;
  last.Set(ChannelMouthPressure, -300);
  Device->SendSample(last);
  ProcessPosted();
  Link.KillHandler();  // the run ends while the nebulizer sprays

  if (version == 0) {
    std::vector<int> bytes;
    for (const TFrame& frame : Device->Written())
      if (const auto byte = ReadControlByte(frame))
        bytes.push_back(*byte);
    EXPECT_EQ(bytes, (std::vector<int>{8, 0, 8, 0})) << "output 0 on and off";
  } else {
    EXPECT_EQ(Device->WrittenWords(), (std::vector<std::uint16_t>{0xFF7F, 0xEF7F, 0xFF7F, 0xEF7F}));
    EXPECT_EQ(TMeasureData::LastSentData, 0xEF7F);
  }
  EXPECT_EQ(TMeasureInterrupt::CompressorState, 0);
}

TEST_P(NebulizerTest, ANewAcquisitionStartsWithTheCompressorOff) {
  Device->Identity.HardwareVersion = static_cast<std::uint16_t>(GetParam());
  Device->Identity.Capabilities = CapabilityNebulizer;
  ASSERT_TRUE(Link.TestSerialPort());
  TTestWindow measure(Link);
  TMeasureData::pThis = &measure;
  TMeasureInterrupt::CompressorState = 1;  // left by an earlier run
  Link.InitHandler();
  TMeasureInterrupt::FlagBegin = true;
  TSample sample;
  sample.Set(ChannelMouthPressure, -300);
  Device->SendSample(sample);
  ProcessPosted();
  ASSERT_EQ(measure.Samples.size(), 1u);
  EXPECT_EQ(TMeasureInterrupt::DoseCounter, 0);
  for (const TFrame& frame : Device->Written())
    EXPECT_NE(ReadControlByte(frame), std::optional<std::uint8_t>{8}) << "output 0 switched on";
  const std::vector<std::uint16_t> words = Device->WrittenWords();
  EXPECT_EQ(std::ranges::count(words, std::uint16_t{0xFF7F}), 0) << "the nebulizer word";
}

INSTANTIATE_TEST_SUITE_P(PlainAndExtendedInstrument, NebulizerTest, ::testing::Values(short{0}, short{0x71}));

TEST_F(LinkTest, CommandsGoOutAsFramesAndAFailingWriteEndsTheRun) {
  EXPECT_FALSE(Link.CmSendToSerialPort(0xEF7F, 2)) << "no device open";
  Start();
  EXPECT_TRUE(Link.CmSendToSerialPort(0xEF7D, 2));
  EXPECT_TRUE(Link.CmSendToSerialPort(0x0109, 1));  // one byte: the low one
  const auto frames = Device->Written();
  EXPECT_EQ(ReadControlWord(frames[frames.size() - 2]), 0xEF7D);
  EXPECT_EQ(ReadControlByte(frames.back()), 0x09);

  Device->FailWrites = true;
  EXPECT_FALSE(Link.CmSendToSerialPort(0xAF7F, 2));
  EXPECT_EQ(Link.EndPortLost, 1);
}

// The shutter test arms the series with LastSentData = 1: the byte goes out
// once, with the next sample handed on, and the end of the acquisition
// switches the series off before the stream.
TEST_F(LinkTest, TheShutterSeriesIsSwitchedOnOnceAndOffAtTheEnd) {
  TMeasureData::MeasureMode = MEASURE_SHUTTER;
  Start();
  const auto bytes = [&] {
    std::vector<int> found;
    for (const TFrame& frame : Device->Written())
      if (const auto value = ReadControlByte(frame))
        found.push_back(*value);
    return found;
  };
  Device->SendFlow({1, 2});
  ProcessPosted();
  EXPECT_TRUE(bytes().empty()) << "not armed";
  TMeasureData::LastSentData = 1;
  Device->SendFlow({3, 4, 5});
  ProcessPosted();
  EXPECT_EQ(bytes(), std::vector<int>{ByteShutterSeriesOn});
  EXPECT_TRUE(Link.ShutterRunning);
  Link.KillHandler();
  EXPECT_FALSE(Link.ShutterRunning);
  EXPECT_EQ(bytes(), (std::vector<int>{ByteShutterSeriesOn, ByteShutterSeriesOff}));
  EXPECT_FALSE(ReadStream(Device->Written().back()).value_or(true)) << "then the stream off";
  TMeasureData::MeasureMode = MEASURE_FVC;
  TMeasureData::LastSentData = 0xEF7F;
}

TEST_F(LinkTest, StartingWithAPortThatCannotBeOpenedTellsTheWindow) {
  OpenFailure = {TPortFailure::Missing, {}};
  TMeasureData::pThis = &Window;
  Link.InitHandler();
  ProcessPosted();
  EXPECT_EQ(Link.EndPortLost, 1);
  EXPECT_TRUE(Window.Stopped);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text,
            Texts.Format(TEXT_LINK_CANNOT_START, {Texts.Format(TEXT_PORT_MISSING, {"COM1 (fake)"})}));
}

TEST_F(LinkTest, ClearQueuesDropsWhatWaitsWithoutCallingItLost) {
  Start();
  Device->SendFlow({1, 2});
  Link.ClearQueues(static_cast<TParam1>(TMeasureData::IdCommDev));
  Device->SendFlow({3, 4});  // their sequence follows the dropped ones
  ProcessPosted();
  std::vector<long> values;
  for (const TSampleMessage& s : Window.Samples)
    values.push_back(s.Value);
  EXPECT_EQ(values, (std::vector<long>{3, 4}));
  EXPECT_EQ(Link.InterpolatedSamples(), 0u);
}

// The window reads its separate BTPS device by swapping in that device's
// port settings and presence around one acquisition.
TEST_F(LinkTest, SwappedPortSettingsOpenTheOtherDevice) {
  std::vector<short> ports;
  Link.SetDeviceOpener([&](const PORT_CONFIG& config, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
    ports.push_back(config.Port);
    name = "COM" + std::to_string(config.Port + 1);
    return std::make_unique<TFakeTransport>(Device, name);
  });
  Link.PortConfig.Port = 0;
  Start();
  Link.KillHandler();
  std::swap(Link.PortConfig, Link.BtpsPortConfig);
  Link.PortConfig.Port = 3;
  Link.InitHandler();
  EXPECT_TRUE(Link.PortInUse);
  Link.KillHandler();
  std::swap(Link.PortConfig, Link.BtpsPortConfig);
  Link.InitHandler();
  EXPECT_EQ(ports, (std::vector<short>{0, 3, 0}));

  Link.KillHandler();
  Link.HasInstrument = false;  // a BTPS device that is not there: its demonstration
  Link.InitHandler();
  EXPECT_FALSE(Link.PortInUse);
  EXPECT_TRUE(Link.IsAcquiring());
}

TEST_F(LinkTest, WhileTheReceiveFlagIsClearArrivingSamplesAreDropped) {
  Start();
  Link.ReceiveFlag = false;
  Device->SendFlow({1, 2, 3});
  Link.ReceiveFlag = true;
  Device->SendFlow({4, 5});
  ProcessPosted();
  std::vector<long> values;
  for (const TSampleMessage& s : Window.Samples)
    values.push_back(s.Value);
  EXPECT_EQ(values, (std::vector<long>{4, 5}));
  EXPECT_EQ(Link.InterpolatedSamples(), 0u);
}

TEST_F(LinkTest, ANotificationForAnotherDeviceIsIgnored) {
  Start();
  const auto device = static_cast<TParam1>(TMeasureData::IdCommDev);
  TMeasureData::pThis = nullptr;  // the bytes wait unread
  Device->SendFlow({1});
  Link.CommNotify(device + 1);
  Link.ReadDataFromSerialPortToBuffer(device);
  EXPECT_EQ(TMeasureData::InterruptIndex, 1) << "the sample was still waiting";
}

}  // namespace
