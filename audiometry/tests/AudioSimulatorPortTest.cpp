// The audiometer link against halvetra-audiosim on a real pseudo-terminal,
// through the termios port, as the program meets an audiometer.

#include "audiometry/link/AudioInterrupt.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/SerialPort.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>

namespace {

class TAudioSimulator {
public:
  TAudioSimulator(QStringList arguments, const std::filesystem::path& log) : LogPath(log) {
    arguments << "--log" << QString::fromStdString(log.string());
    Process.setProgram(QString(HALVETRA_BINARY_DIR) + "/bin/halvetra-audiosim");
    Process.setArguments(arguments);
    Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Process.start();
    const QDeadlineTimer deadline(10000);
    while (!Process.canReadLine() && !deadline.hasExpired() && Process.state() != QProcess::NotRunning)
      Process.waitForReadyRead(100);
    Path = Process.readLine().trimmed().toStdString();
  }
  ~TAudioSimulator() {
    Process.terminate();
    if (!Process.waitForFinished(5000))
      Process.kill();
  }
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::ifstream in(LogPath);
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }

  QProcess Process;
  std::string Path;
  std::filesystem::path LogPath;
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

}  // namespace
