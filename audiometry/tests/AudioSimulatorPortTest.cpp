// The audiometer link against halvetra-audiosim on a real pseudo-terminal,
// through the termios port, as the program meets an audiometer.

#include "audiometry/link/AudioInterrupt.h"
#include "audiometry/threshold/AudioTest.h"
#include "audiometry/threshold/QtAudioHost.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/SerialPort.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorProcess.h"
#include "testing/TemporaryFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <span>
#include <vector>
#include <sstream>

namespace {

// The audiometer simulator on its pseudo-terminal.
class TAudioSimulator : public TSimulatorProcess {
public:
  TAudioSimulator(QStringList arguments, const std::filesystem::path& log)
      : TSimulatorProcess("halvetra-audiosim", std::move(arguments), log) {}
};

// The program's serial port with the moment of each write noted: the
// simulator stamps a command when it is scheduled to read it, which a loaded
// machine delays, while the program's own pacing is what it wrote when.
class TStampedPort final : public TTransport {
public:
  explicit TStampedPort(std::unique_ptr<TTransport> port) : Port(std::move(port)) { Clock.start(); }

  std::string Name() const override { return Port->Name(); }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override { return Port->Read(buffer); }
  bool Write(std::span<const std::uint8_t> bytes) override {
    Written.push_back({Clock.elapsed(), std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    return Port->Write(bytes);
  }
  bool WaitForData(int timeoutMs) override { return Port->WaitForData(timeoutMs); }
  void Purge() override { Port->Purge(); }
  void Watch(std::function<void()> ready) override { Port->Watch(std::move(ready)); }
  const std::string& Error() const override { return Port->Error(); }

  struct TWrite {
    qint64 Ms;
    std::vector<std::uint8_t> Bytes;
  };
  // Shared with the test, which outlives the link's hold on the port.
  std::shared_ptr<std::vector<TWrite>> Log = std::make_shared<std::vector<TWrite>>();

private:
  std::unique_ptr<TTransport> Port;
  QElapsedTimer Clock;
  std::vector<TWrite>& Written = *Log;
};

class AudioSimulatorPort : public ::testing::Test {
protected:
  AudioSimulatorPort() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
    Link.Install = true;
    Link.Port = 1;
  }
  void PointCom2At(const std::string& path) {
    Link.SerialPortsIniFile = Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM2=" + path + "\n").string();
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
  TAudioInterrupt Link{TAudioData::ModeWindow, &Texts};
};

// Both rates without a termios constant reach the audiometer and back.
TEST_F(AudioSimulatorPort, ThePortTestFindsTheAudiometerAndItsVersion) {
  for (const int rate : {3, 4}) {
    TAudioSimulator simulator({"--version", "1"}, Folder / "audiosim.log");
    ASSERT_FALSE(simulator.Path.empty());
    PointCom2At(simulator.Path);
    Link.BaudRate = rate;
    TAudioInterrupt::HwVersion = 0;
    EXPECT_TRUE(Link.VerifySerialPort(true)) << rate;
    EXPECT_EQ(TAudioInterrupt::HwVersion, 1);
    EXPECT_TRUE(Sink.Messages.empty());
    const auto log = simulator.Log();
    ASSERT_EQ(log.size(), 10u);
    EXPECT_NE(log[0].find("C0 00 00 00"), std::string::npos);
  }
}

TEST_F(AudioSimulatorPort, ASilentBusyOrMissingPortIsReported) {
  TAudioSimulator silent({"--silent"}, Folder / "audiosim.log");
  PointCom2At(silent.Path);
  EXPECT_FALSE(Link.VerifySerialPort(true));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text.substr(0, Texts.LoadStringA(29).size()), Texts.LoadStringA(29));

  Sink.Messages.clear();
  TPortError error;
  const auto holder = TSerialPort::Open(silent.Path, "another program", 9600, error);
  ASSERT_TRUE(holder);
  EXPECT_FALSE(Link.VerifySerialPort(false));
  ASSERT_EQ(Sink.Messages.size(), 1u) << "the failed open, and nothing more when not asked to show";
  EXPECT_EQ(Sink.Messages[0].Caption, "OpenComm");
  EXPECT_NE(Sink.Messages[0].Text.find("COM2 (" + silent.Path + ")"), std::string::npos) << Sink.Messages[0].Text;

  Sink.Messages.clear();
  PointCom2At((Folder / "ttyNone").string());
  EXPECT_FALSE(Link.OpenSerialPort());
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Caption, "OpenComm");
  EXPECT_NE(Sink.Messages[0].Text.find("No such file or directory"), std::string::npos) << Sink.Messages[0].Text;
}

// A manual test in real time through the program's own timers and waits:
// version 2 shapes the onset with gaps of 10 and 180 ms, and the listener's
// press is stored as the threshold.
TEST(AudioSimulatorRealTime, AManualTestShapesTheOnsetAndTakesTheResponse) {
  TTemporaryFolder folder;
  TRecordingSink sink;
  TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  texts.SetSink(&sink);
  TAudioSimulator simulator({"--version", "2", "--right", "1000=30", "--latency", "100"}, folder / "audiosim.log");
  ASSERT_FALSE(simulator.Path.empty());
  const auto ini = folder.Write("Halvetra.ini", "[Serial Ports]\nCOM2=" + simulator.Path +
                                                    "\n[Audio]\nAlgorithm=0\nSignalMode=0\nStepTimer=2\n");
  struct : TAudioView {
    int LevelField() override { return 40; }
  } view;
  TAudioTest* current = nullptr;
  TQtAudioHost host([&](int id) { current->EvTimer(static_cast<unsigned>(id)); });
  TAudioTest test(&texts, ini.string(), host, view);
  current = &test;
  test.Install = true;
  test.Port = 1;
  std::shared_ptr<std::vector<TStampedPort::TWrite>> written;
  test.SetDeviceOpener([&](const TAudioInterrupt&, TPortError& error, std::string& name) -> std::unique_ptr<TTransport> {
    name = "COM2 (" + simulator.Path + ")";
    auto port = TSerialPort::Open(simulator.Path, name, 9600, error);
    if (!port)
      return nullptr;
    auto stamped = std::make_unique<TStampedPort>(std::move(port));
    written = stamped->Log;
    return stamped;
  });
  ASSERT_TRUE(test.VerifySerialPort(true));
  ASSERT_EQ(TAudioInterrupt::HwVersion, 2);
  ASSERT_TRUE(test.CreateStepTimer());

  test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
  const QDeadlineTimer deadline(10000);
  while (!test.GetFlagTable(0, TAudioTest::Actual)[4] && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  ASSERT_TRUE(test.GetFlagTable(0, TAudioTest::Actual)[4]) << "the listener's press reached the test";
  EXPECT_EQ(test.GetTable(0, TAudioTest::Actual)[4], 40);
  test.CmStop();
  test.KillStepTimer();

  // The onset: muted at 0, muted at the level 10 ms later, sounding 180 ms
  // after that (40 dB at 1000 Hz is level 102, 0x66).
  std::vector<std::pair<long, std::string>> onset;
  for (const std::string& line : simulator.Log()) {
    std::istringstream in(line);
    long ms = 0;
    std::string command;
    std::getline(in >> ms >> std::ws, command);
    if (command.starts_with("86 10") || command.starts_with("82 10 66"))
      onset.emplace_back(ms, command);
  }
  ASSERT_GE(onset.size(), 3u);
  EXPECT_EQ(onset[0].second, "86 10 00 00");
  EXPECT_EQ(onset[1].second, "86 10 66 00");
  EXPECT_EQ(onset[2].second, "82 10 66 00");
  // The gaps as the program wrote them: the simulator stamps a command when
  // it is scheduled to read it, and on a loaded machine that is tens of
  // milliseconds late now and then, which no bound on its stamps survives.
  // A wait never ends early, so the lower bounds are exact; the upper ones
  // only catch a wait of the wrong length (the program itself may be held
  // back a while after a wait has ended).
  ASSERT_TRUE(written);
  std::vector<qint64> sent;
  for (const TStampedPort::TWrite& write : *written)
    if (write.Bytes.size() >= 3 && write.Bytes[1] == 0x10 &&
        (write.Bytes[0] == 0x86 || (write.Bytes[0] == 0x82 && write.Bytes[2] == 0x66)))
      sent.push_back(write.Ms);
  ASSERT_GE(sent.size(), 3u);
  const qint64 first = sent[1] - sent[0];
  const qint64 second = sent[2] - sent[1];
  EXPECT_GE(first, 10);
  EXPECT_LT(first, 180);
  EXPECT_GE(second, 180);
  EXPECT_LT(second, 400);
  EXPECT_TRUE(sink.Messages.empty());
}

}  // namespace
