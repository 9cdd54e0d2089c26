#include "platform/portkit/tests/LinkTestFixture.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/LinkTexts.h"

#include <cmath>

using namespace InstrumentProtocol;

namespace {

int IdentifyRequests(const TFakeDevice& device) {
  int count = 0;
  for (const TFrame& frame : device.Written())
    count += frame.Type == TFrameType::Identify;
  return count;
}

TEST_F(LinkTest, APortCheckStoresTheVersionAndCapabilitiesTheInstrumentReports) {
  Device->Identity = {Version, 0x71, CapabilityNebulizer | CapabilityShutter, ChannelFlow | ChannelHelium};
  ASSERT_TRUE(Link.TestSerialPort());
  EXPECT_TRUE(Link.CheckPassed);
  EXPECT_TRUE(Link.PortInUse);
  EXPECT_EQ(Link.PortConfig.VersionOfHardware, 0x71);
  EXPECT_EQ(Link.InstrumentType, 0x71);
  EXPECT_FALSE(Link.HasRhinomanometer);
  EXPECT_TRUE(Link.HasNebulizer);
  EXPECT_TRUE(Link.HasShutter);
  EXPECT_EQ(TMeasureInterrupt::HardwareMode, CapabilityNebulizer | CapabilityShutter);
  EXPECT_EQ(IdentifyRequests(*Device), 1);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(LinkTest, AnInstrumentThatDoesNotAnswerFailsTheCheckAfterThreeQuestions) {
  Device->AnswerIdentify = false;
  const std::int64_t before = Clock->NowMs();
  EXPECT_FALSE(Link.TestSerialPort());
  EXPECT_EQ(Link.LastPortError, Texts.Format(TEXT_PORT_NO_ANSWER, {"COM1 (fake)"}));
  EXPECT_EQ(IdentifyRequests(*Device), 3);
  EXPECT_GE(Clock->NowMs() - before, 3 * TMeasureInterrupt::IdentifyTimeoutMs);
  EXPECT_FALSE(Link.CheckPassed);
  EXPECT_FALSE(Link.PortInUse) << "the port is closed again";
  EXPECT_TRUE(Sink.Messages.empty()) << "the port test leaves the telling to its caller";

  EXPECT_FALSE(Link.VerifySerialPort(false));
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_FALSE(Link.VerifySerialPort(true));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Link.LastPortError);
  EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Stop);
}

TEST_F(LinkTest, SamplesOfAStreamingInstrumentDoNotHideItsAnswer) {
  TBytes stream;
  for (std::uint8_t i = 0; i < 5; ++i) {
    TSample sample;
    sample.Sequence = i;
    AppendSample(stream, sample);
  }
  Device->Send(stream);  // already streaming when the check begins
  EXPECT_TRUE(Link.TestSerialPort());
  EXPECT_GE(Device->Purges, 1);
}

TEST_F(LinkTest, AnInstrumentOfAnotherProtocolVersionIsRefused) {
  Device->Identity.ProtocolVersion = 2;
  EXPECT_FALSE(Link.TestSerialPort());
  EXPECT_EQ(Link.LastPortError, Texts.Format(TEXT_PORT_OTHER_PROTOCOL, {"COM1 (fake)", "2"}));
}

TEST_F(LinkTest, EveryReasonAPortCannotBeOpenedHasItsOwnText) {
  struct Case {
    TPortFailure kind;
    short port;
    std::string expected;
  };
  Link.PortConfig.USBDescription = {'S', 'p', 'i', 'r', 'o'};
  const Case cases[] = {
      {TPortFailure::Missing, 0, Texts.Format(TEXT_PORT_MISSING, {"COM1 (fake)"})},
      {TPortFailure::Busy, 0, Texts.Format(TEXT_PORT_BUSY, {"COM1 (fake)"})},
      {TPortFailure::Denied, 0, Texts.Format(TEXT_PORT_DENIED, {"COM1 (fake)", "detail"})},
      {TPortFailure::NotSerial, 0, Texts.Format(TEXT_PORT_NOT_SERIAL, {"COM1 (fake)"})},
      {TPortFailure::BadBaudRate, 0, Texts.Format(TEXT_PORT_BAD_BAUD_RATE, {"detail"})},
      {TPortFailure::NotConfigured, 0, Texts.Format(TEXT_PORT_NOT_CONFIGURED, {"COM1 (fake)"})},
      {TPortFailure::UnknownPort, 9, Texts.Format(TEXT_PORT_UNKNOWN, {"COM1 (fake)"})},
      {TPortFailure::Other, 0, Texts.Format(TEXT_PORT_CANNOT_OPEN, {"COM1 (fake)", "detail"})},
      {TPortFailure::Missing, PORT_USB, Texts.Format(TEXT_USB_MISSING, {"Spiro"})},
      {TPortFailure::NotConfigured, PORT_USB, Texts.LoadStringA(TEXT_USB_NO_DESCRIPTION)},
  };
  for (const Case& c : cases) {
    OpenFailure = {c.kind, "detail"};
    Link.PortConfig.Port = c.port;
    EXPECT_FALSE(Link.TestSerialPort());
    EXPECT_EQ(Link.LastPortError, c.expected) << static_cast<int>(c.kind);
    EXPECT_EQ(Link.LastPortError.find('#'), std::string::npos) << "a text of the store: " << Link.LastPortError;
  }
}

TEST_F(LinkTest, ADeviceOnAPortOfItsOwnIsCheckedOnThatPort) {
  EXPECT_TRUE(Link.TestConfiguration(2, 4, true));
  EXPECT_EQ(Link.PortConfig.Port, 4);
  EXPECT_EQ(Link.PortConfig.Type, 2);
  EXPECT_EQ(Link.PortConfig.DelayCycle, 2);
}

// A configuration page checks a port with a link of its own while the
// window's link keeps its device: the window's next run must still be heard.
TEST_F(LinkTest, AnotherLinksPortCheckDoesNotDeafenTheWindow) {
  ASSERT_TRUE(Link.TestSerialPort());
  {
    TMeasureInterrupt page(0xFFFF, &Texts);
    page.SetClock(Clock);
    page.SetDeviceOpener([this](const PORT_CONFIG&, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
      name = "COM2 (fake)";
      return std::make_unique<TFakeTransport>(std::make_shared<TFakeDevice>(Clock.get()), name);
    });
    ASSERT_TRUE(page.TestSerialPort());
  }
  TMeasureData::pThis = &Window;
  Link.InitHandler();
  Device->SendFlow({7});
  ProcessPosted();
  ASSERT_EQ(Window.Samples.size(), 1u);
  EXPECT_EQ(Window.Samples[0].Value, 7);
}

TEST_F(LinkTest, RestoreSerialPortClosesAndTheNextStartOpensAgain) {
  Start();
  Link.RestoreSerialPort();
  EXPECT_FALSE(Link.PortInUse);
  EXPECT_FALSE(Link.IsAcquiring());
  EXPECT_FALSE(Device->Watched());
  Link.InitHandler();
  EXPECT_EQ(Opened, 2);
  EXPECT_TRUE(Link.IsAcquiring());
}

// Without an instrument the replay answers the port check and sends the
// current trial's demonstration samples, one every 10 ms.
TEST_F(LinkTest, TheDemonstrationReplaysTheTrialOneSampleEvery10Ms) {
  Link.HasInstrument = false;
  Link.PortConfig.VersionOfHardware = 97;  // a diffusion unit in demonstration
  ASSERT_TRUE(Link.TestDemo());
  EXPECT_TRUE(Link.CheckPassed);
  EXPECT_FALSE(Link.PortInUse);
  EXPECT_EQ(Link.InstrumentType, 97);

  Link.TrialIndex = 1;
  Link.Flow[1].assign(TMeasureData::CurveBufferSamples, 0.0f);
  for (int i = 0; i < 300; ++i)
    Link.Flow[1][static_cast<std::size_t>(i)] = -0.02f * static_cast<float>(i);  // L/s
  Link.SampleCount[MEASURE_FVC][1] = 300;
  Window.OnSample = [](const TSampleMessage&) { TMeasureInterrupt::FlagBegin = true; };  // demonstration data start at once
  TMeasureData::pThis = &Window;
  Link.InitHandler();

  for (int tick = 0; tick < 100; ++tick) {
    Clock->Advance(10);
    ProcessPosted();
  }
  EXPECT_EQ(Window.Samples.size(), 100u) << "one second";

  Clock->Advance(3000);  // the rest of the trial at once
  ProcessPosted();
  ASSERT_EQ(Window.Samples.size(), 400u);
  for (std::size_t i = 0; i < Window.Samples.size(); ++i) {
    const long expected = i < 300 ? std::lround(-0.02 * static_cast<double>(i) * 1000.0 / FlowMlpsPerCount) : 0;
    ASSERT_EQ(Window.Samples[i], (TSampleMessage{WM_DATA_READY, static_cast<unsigned>(i), expected})) << i;
  }
  EXPECT_FALSE(Link.AnyEndFlag());

  Link.CmSendToSerialPort(0xEB7F, 2);  // the BTPS sensors, as a polled reading asks
  Clock->Advance(10);
  ProcessPosted();
  EXPECT_EQ(Link.RawTemperature, SensorWords({}, 97).Temperature);
  Link.KillHandler();
  Clock->Advance(100);
  ProcessPosted();
  EXPECT_EQ(Window.Samples.size(), 401u) << "the replay stops with the stream";
}

}  // namespace
