#include "audiometry/link/AudioInterrupt.h"
#include "audiometry/tests/support/FakeAudioPort.h"
#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using TCommand = TFakeAudioPort::TCommand;

// Records what the link posts to its window.
class TPostBox final : public TEventHandler {
public:
  std::vector<std::pair<unsigned, TParam1>> Posted;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    Posted.emplace_back(msg, wParam);
    return 0;
  }
};

class AudioLinkTest : public ::testing::Test {
protected:
  AudioLinkTest() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
    Link.Install = true;
    Link.SetDeviceOpener([this](const TAudioInterrupt&, TPortError& error, std::string& name) {
      ++Opens;
      name = "COM2 (/dev/ttyS1)";
      if (OpenFailure.Kind != TPortFailure::None) {
        error = OpenFailure;
        return std::unique_ptr<TTransport>();
      }
      return std::unique_ptr<TTransport>(std::make_unique<TFakeAudioTransport>(Port));
    });
    // The audiometer answers the identification request while the link waits.
    Link.SetWait([this](int) {
      const auto commands = Port->Commands();
      if (!commands.empty() && commands.back()[0] == 0xC0 && Identity)
        Port->Send({*Identity});
    });
  }
  ~AudioLinkTest() override {
    Link.CloseSerialPort();
    TAudioInterrupt::pThis = nullptr;
  }

  TRecordingSink Sink;
  TMessage Texts;
  TAudioInterrupt Link{TAudioData::ModeWindow, &Texts};
  std::shared_ptr<TFakeAudioPort> Port = std::make_shared<TFakeAudioPort>();
  TPortError OpenFailure;
  std::optional<std::uint8_t> Identity;
  int Opens = 0;
};

TEST_F(AudioLinkTest, CommandsAreFourBytesAndNothingIsWrittenWithoutAnOpenPort) {
  TAudioInterrupt::SendDataToSerialPort(0x88, 16, 100);
  EXPECT_TRUE(Port->Commands().empty());

  Link.InputBuffer = 0;  // a hand-edited "InputBuffer" below 1 gives the default
  ASSERT_TRUE(Link.OpenSerialPort());
  EXPECT_EQ(Link.InputBuffer, 32767);
  EXPECT_EQ(Port->ModemLog, (std::vector<std::string>{"DTR+", "RTS+"}));
  TAudioInterrupt::SendDataToSerialPort(0x8A, 64, 102);
  TAudioInterrupt::SendDataToSerialPort(0x183, 0x110, 0x1FF);  // only the low 8 bits travel
  EXPECT_EQ(Port->Commands(), (std::vector<TCommand>{{0x8A, 64, 102, 0}, {0x83, 0x10, 0xFF, 0}}));

  Link.CloseSerialPort();
  EXPECT_EQ(Port->ModemLog, (std::vector<std::string>{"DTR+", "RTS+", "DTR-", "RTS-"}));
  EXPECT_EQ(TAudioInterrupt::IdCommDev(), nullptr);
  TAudioInterrupt::SendDataToSerialPort(0x83, 16, 0);
  EXPECT_EQ(Port->Commands().size(), 2u);
  EXPECT_TRUE(Sink.Messages.empty());
}

// Every answer byte reaches the owner once and in order, also when a read
// wraps the ring or fills it exactly from its start.
TEST_F(AudioLinkTest, TheRingHandsOnEveryByteAcrossItsWrap) {
  TAudioInterrupt service(TAudioData::ModeService, &Texts);
  service.SetDeviceOpener([this](const TAudioInterrupt&, TPortError&, std::string&) {
    return std::unique_ptr<TTransport>(std::make_unique<TFakeAudioTransport>(Port));
  });
  service.InputBuffer = 4;
  std::vector<std::pair<int, int>> shown;
  service.ServiceDisplay = [&](std::uint8_t answer, int count) { shown.emplace_back(answer, count); };
  service.InitHandler();
  ASSERT_TRUE(service.PortOpen);

  Port->Send({1, 2, 3, 4});  // fills the ring from its start
  Port->Send({5, 6, 7});
  Port->Send({8, 9, 10});  // wraps
  Port->Send({11, 12, 13, 14, 15, 16});  // more than the ring holds at once
  std::vector<std::pair<int, int>> expected;
  for (int i = 1; i <= 16; ++i)
    expected.emplace_back(i, i);
  EXPECT_EQ(shown, expected);
  service.KillHandler();
}

TEST_F(AudioLinkTest, IdentificationTakesAVersionByteOnly) {
  struct Case {
    std::optional<std::uint8_t> answer;
    bool found;
    int version;
  };
  const Case cases[] = {
      {0x82, true, 2},  {0x80, true, 0}, {0x81, true, 1},
      {0xC2, false, 9},  // bit 6 set: no identification
      {0x20, false, 9},  // "ready"
      {0xFF, false, 9},  // a reset
      {std::nullopt, false, 9},
  };
  for (const Case& c : cases) {
    TAudioInterrupt::HwVersion = 9;
    Identity = c.answer;
    EXPECT_EQ(Link.VerifySerialPort(false), c.found) << int(c.answer.value_or(0));
    EXPECT_EQ(Link.DevicePresent, c.found);
    EXPECT_EQ(TAudioInterrupt::HwVersion, c.version);
    EXPECT_FALSE(Link.PortOpen) << "the port test closes the port again";
    EXPECT_FALSE(Port->Open);
  }
  // Ten requests per test, each answered alike.
  EXPECT_EQ(Port->Commands().size(), 70u);
  EXPECT_EQ(Port->Commands().front(), (TCommand{0xC0, 0, 0, 0}));
  EXPECT_EQ(Link.GetMode(), TAudioData::ModeWindow) << "the owner mode is given back";
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(AudioLinkTest, AnAudiometerThatIsNotInstalledIsNeitherOpenedNorReported) {
  Link.Install = false;
  Identity = 0x82;
  EXPECT_FALSE(Link.VerifySerialPort(true));
  EXPECT_EQ(Opens, 0);
  EXPECT_TRUE(Sink.Messages.empty());
  Link.InitHandler();  // the window's own start opens nothing either
  EXPECT_FALSE(Link.PortOpen);
  Link.TestDemo();
  EXPECT_TRUE(Link.DevicePresent);
}

TEST_F(AudioLinkTest, FailuresNameTheirStepAndTheSystemsWords) {
  struct Case {
    int port;
    int baudRate;
    TPortError failure;
    std::string caption;  // empty: no message
    std::string text;
  };
  const Case cases[] = {
      {1, 3, {TPortFailure::Busy, "Device or resource busy"}, "OpenComm",
       "The system reports: COM2 (/dev/ttyS1): Device or resource busy"},
      {1, 3, {TPortFailure::Missing, "No such file or directory"}, "OpenComm",
       "The system reports: COM2 (/dev/ttyS1): No such file or directory"},
      {1, 3, {TPortFailure::NotSerial, "Inappropriate ioctl for device"}, "GetCommState",
       "The system reports: COM2 (/dev/ttyS1): Inappropriate ioctl for device"},
      {1, 7, {}, "OpenComm", "The system reports: The baud rate setting 7 is not one of 0 to 4."},
      {1, -1, {}, "OpenComm", "The system reports: The baud rate setting -1 is not one of 0 to 4."},
      {9, 3, {}, "OpenComm", "The system reports: Port 9 is none of COM1 to COM6 or USB."},
      {6, 3, {TPortFailure::Missing, "no device"}, "", ""},  // a USB device not attached: silent
      {6, 3, {TPortFailure::NotConfigured, ""}, "", ""},
  };
  for (const Case& c : cases) {
    Sink.Messages.clear();
    Link.Port = c.port;
    Link.BaudRate = c.baudRate;
    OpenFailure = c.failure;
    EXPECT_FALSE(Link.OpenSerialPort());
    EXPECT_FALSE(Link.PortOpen);
    EXPECT_EQ(TAudioInterrupt::IdCommDev(), nullptr);
    if (c.caption.empty()) {
      EXPECT_TRUE(Sink.Messages.empty());
      continue;
    }
    ASSERT_EQ(Sink.Messages.size(), 1u) << c.text;
    EXPECT_EQ(Sink.Messages[0].Caption, c.caption);
    EXPECT_EQ(Sink.Messages[0].Text, c.text);
    EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Stop);
  }

  Sink.Messages.clear();
  Link.ShowError(-1, "SetCommState");
  Link.ShowError(-12, "SetCommState");
  Link.ShowError(5, "CloseComm");
  ASSERT_EQ(Sink.Messages.size(), 3u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.LoadStringA(175));
  EXPECT_EQ(Sink.Messages[1].Text, Texts.LoadStringA(176));
  EXPECT_EQ(Sink.Messages[2].Text, "The system reports: Input/output error");
  Link.ShowError(5, "OpenComm", std::string(400, 'x'));
  EXPECT_EQ(Sink.Messages.back().Text.size(), 254u);
}

TEST_F(AudioLinkTest, AnAudiometerThatDoesNotAnswerIsReportedWithWhatToCheck) {
  EXPECT_FALSE(Link.VerifySerialPort(true));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Caption, Texts.LoadStringA(0));
  EXPECT_EQ(Sink.Messages[0].Text, Texts.LoadStringA(29) + " " + Texts.LoadStringA(163) + "\n\t" +
                                       Texts.LoadStringA(31) + "\n\t" + Texts.LoadStringA(32) + "\n\t" +
                                       Texts.LoadStringA(33));
}

// Line errors are counted while the port is open and told once, when it
// closes; the first class with a count wins.
TEST_F(AudioLinkTest, LineErrorsAndAHangUpAreReportedWhenThePortCloses) {
  struct Case {
    TTransport::TLineErrors errors;
    bool hangUp;
    std::string text;
  };
  const auto t = [this](int n) { return Texts.LoadStringA(n); };
  const Case cases[] = {
      {{2, 1, 0}, false, t(164) + " " + t(165)},
      {{0, 1, 1}, false, t(166) + " " + t(167)},
      {{0, 0, 1}, false,
       t(168) + " " + t(163) + "\n\t" + t(169) + "\n\t" + t(33) + "\n\t" + t(170) + "\n\t" + t(171) + "\n\t  " + t(172)},
      {{}, true, Texts.Format(8130, {"COM2 (/dev/ttyS1)", "the device hung up"})},
      {{}, false, ""},
  };
  for (const Case& c : cases) {
    Sink.Messages.clear();
    ASSERT_TRUE(Link.OpenSerialPort());
    Port->PendingErrors = c.errors;
    if (c.hangUp) {
      Port->HangUp("the device hung up");
      Link.CommNotify(TAudioInterrupt::IdCommDev());
    } else {
      Link.CommNotify(TAudioInterrupt::IdCommDev());
    }
    EXPECT_EQ(Link.AnyLineError(), !c.text.empty());
    EXPECT_TRUE(Sink.Messages.empty()) << "nothing is shown while the port is open";
    Link.CloseSerialPort();
    if (c.text.empty()) {
      EXPECT_TRUE(Sink.Messages.empty());
      continue;
    }
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_EQ(Sink.Messages[0].Text, c.text);
    Port = std::make_shared<TFakeAudioPort>();
  }
}

// The window is told once that the port has something, and then gets each
// answer byte as WM_DATA_READY.
TEST_F(AudioLinkTest, TheWindowIsNotifiedOnceAndGetsEachAnswer) {
  TPostBox window;
  TAudioInterrupt::pThis = &window;
  ASSERT_TRUE(Link.OpenSerialPort());
  Port->Send({0x20});
  Port->Send({0x40, 0x00});
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(window.Posted.size(), 1u);
  EXPECT_EQ(window.Posted[0].first, WM_COMMNOTIFY);
  EXPECT_EQ(window.Posted[0].second, reinterpret_cast<TParam1>(TAudioInterrupt::IdCommDev()));

  Link.CommNotify(TAudioInterrupt::IdCommDev());
  QCoreApplication::sendPostedEvents();
  const std::vector<std::pair<unsigned, TParam1>> answers{
      {WM_COMMNOTIFY, reinterpret_cast<TParam1>(TAudioInterrupt::IdCommDev())},
      {WM_DATA_READY, 0x20}, {WM_DATA_READY, 0x40}, {WM_DATA_READY, 0x00}};
  EXPECT_EQ(window.Posted, answers);

  Port->Send({0xFF});  // read again: notified again
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(window.Posted.size(), 5u);
}

}  // namespace
