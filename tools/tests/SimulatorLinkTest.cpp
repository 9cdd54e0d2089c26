// The instrument link against the simulator on a real pseudo-terminal,
// through the termios port, the way the program meets an instrument.

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/LinkTexts.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "platform/portkit/tests/support/TestWindow.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorProcess.h"
#include "testing/TemporaryFolder.h"
#include "tools/lungmodel/LungModel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

class SimulatorLink : public ::testing::Test {
protected:
  SimulatorLink() {
    TMeasureInterrupt::ResetStatics();
    TMeasureData::pThis = nullptr;
    TMeasureData::MeasureMode = MEASURE_FVC;
    TMeasureInterrupt::FlagBegin = false;
    Texts.SetSink(&Sink);
  }
  ~SimulatorLink() override { TMeasureData::pThis = nullptr; }

  // Starts the simulator and points COM1 of a fresh ini file at it.
  void StartSimulator(const QStringList& arguments) {
    Simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / "simulator.log");
    ASSERT_FALSE(Simulator->Path.empty()) << "the simulator printed no device";
    Ini = Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + Simulator->Path + "\n").string();
    Configure(Link);
  }
  void Configure(TMeasureInterrupt& link) const {
    link.SerialPortsIniFile = Ini;
    link.PortConfig.Port = 0;
    link.HasInstrument = true;
  }
  void StartAcquisition() {
    ASSERT_TRUE(Link.TestSerialPort()) << Link.LastPortError;
    TMeasureData::pThis = &Window;
    Link.InitHandler();
  }
  void Send(std::uint16_t word) {
    ASSERT_TRUE(Link.CmSendToSerialPort(word, 2));
    TMeasureData::LastSentData = word;
  }
  std::string Com1() const { return "COM1 (" + Simulator->Path + ")"; }

  TTemporaryFolder Folder;
  std::string Ini;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  std::unique_ptr<TSimulatorProcess> Simulator;  // outlives the link, which closes the port first
  TMeasureInterrupt Link{MEASURE_FVC, &Texts};
  TTestWindow Window{Link};
};

TEST_F(SimulatorLink, ThePortCheckReadsTheVersionAndCapabilities) {
  StartSimulator({"--instrument", "diffusion", "--capabilities", "2"});
  ASSERT_TRUE(Link.TestSerialPort()) << Link.LastPortError;
  EXPECT_EQ(Link.PortConfig.VersionOfHardware, 0x70);
  EXPECT_EQ(Link.InstrumentType, 0x70);
  EXPECT_TRUE(Link.HasNebulizer);
  EXPECT_FALSE(Link.HasShutter);
  EXPECT_EQ(TMeasureInterrupt::HardwareMode, 2);
  EXPECT_TRUE(Link.PortInUse);
}

// The start word begins a forced manoeuvre of FVC 5.20 L: it arrives at 100
// samples a second and integrates, as the window does it, to 5.20 L.
TEST_F(SimulatorLink, AForcedManoeuvreArrivesAt100HzWithTheModelsVolume) {
  StartSimulator({"--manoeuvre", "fvc", "--trigger", "word", "--fvc", "5.2", "--fev1", "4.3", "--pef", "10.5",
                  "--lead-in", "1.0"});
  LungModel::TPatient patient;
  patient.FvcL = 5.2;
  patient.Fev1L = 4.3;
  patient.PefLps = 10.5;
  const std::size_t afterBlast = LungModel::ForcedManoeuvre(patient).size() - 250;

  std::vector<qint64> arrivals;
  QElapsedTimer clock;
  clock.start();
  double zeroMlps = 0.0;
  std::size_t start = 0;
  Window.OnSample = [&](const TSampleMessage& s) {
    arrivals.push_back(clock.elapsed());
    const std::size_t n = Window.Samples.size();
    if (n == 50) {  // half a second at rest: the zero, as the window takes it
      for (std::size_t i = 0; i < 50; ++i)
        zeroMlps += Window.Samples[i].Value * 8.7890625 / 50.0;
    }
    if (!TMeasureInterrupt::FlagBegin && n > 50 && s.Value * 8.7890625 - zeroMlps <= -60.0) {
      TMeasureInterrupt::FlagBegin = true;
      start = n - 1;
    }
  };
  StartAcquisition();
  ASSERT_TRUE(RunUntil([&] { return Window.Samples.size() >= 60; }, 10000));
  Send(0xEF7F);
  ASSERT_TRUE(RunUntil([&] { return start > 0 && Window.Samples.size() >= start + afterBlast; }, 30000))
      << Window.Samples.size() << " samples";
  Link.KillHandler();

  double volumeL = 0.0;
  std::size_t end = start;
  for (; end < Window.Samples.size() && Window.Samples[end].Value * 8.7890625 - zeroMlps <= 60.0; ++end) {
    ASSERT_EQ(Window.Samples[end].Index, end - start) << "the trial's own index";
    volumeL += (Window.Samples[end].Value * 8.7890625 - zeroMlps) * 0.01 / 1000.0;
  }
  EXPECT_NEAR(volumeL, -5.2, 0.010);

  const double seconds = (arrivals.back() - arrivals[start]) / 1000.0;
  const double rate = static_cast<double>(arrivals.size() - 1 - start) / seconds;
  EXPECT_NEAR(rate, 100.0, 5.0) << "samples a second";
  EXPECT_EQ(Link.RejectedFrames(), 0u);
  EXPECT_EQ(Link.InterpolatedSamples(), 0u);
  EXPECT_FALSE(Link.AnyEndFlag());
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(SimulatorLink, EveryCommandWordAppearsInTheSimulatorsLogInOrder) {
  StartSimulator({});
  StartAcquisition();
  Send(0xEF7F);
  Send(0xEB7F);  // the BTPS sensors
  ASSERT_TRUE(RunUntil([&] { return Link.RawPressure != 0; }, 10000));
  const auto words = InstrumentProtocol::SensorWords({}, 0);  // the simulator's room: 25 °C, 1013 hPa, 50 %
  EXPECT_EQ(Link.RawTemperature, words.Temperature);
  EXPECT_EQ(Link.RawPressure, words.Pressure);
  EXPECT_EQ(Link.RawHumidity, words.Humidity);
  Send(0xEF7F);
  ASSERT_TRUE(Link.CmSendToSerialPort(9, 1));
  ASSERT_TRUE(Link.CmSendToSerialPort(1, 1));
  Send(0xAF7F);
  Link.KillHandler();
  ASSERT_TRUE(RunUntil([&] { const auto log = Simulator->Log(); return !log.empty() && log.back() == "stream off"; }, 10000));
  const std::vector<std::string> expected{"identify",    "stream on",   "word 0xEF7F", "word 0xEB7F", "word 0xEF7F",
                                          "byte 0x09",   "byte 0x01",   "word 0xAF7F", "stream off"};
  EXPECT_EQ(Simulator->Log(), expected);
}

// The ini names the link once; every run of the simulator points it at its
// new device, and takes it away when it ends. A file that is not a link is
// never overwritten.
TEST_F(SimulatorLink, TheLinkLeadsToTheDeviceWhileTheSimulatorRuns) {
  const std::filesystem::path link = Folder / "halvetra-lung";
  for (int run = 0; run < 2; ++run) {
    Simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", QStringList{"--link", QString::fromStdString(link.string())},
                                                    Folder / "simulator.log");
    ASSERT_FALSE(Simulator->Path.empty());
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), Simulator->Path);
    Ini = Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + link.string() + "\n").string();
    {
      TMeasureInterrupt port{MEASURE_FVC, &Texts};
      Configure(port);
      EXPECT_TRUE(port.TestSerialPort()) << port.LastPortError;
    }
    Simulator.reset();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  }
  Folder.Write("halvetra-lung", "a file of the user's\n");
  TSimulatorProcess refused("halvetra-lungsim", {"--link", QString::fromStdString(link.string())}, Folder / "refused.log");
  EXPECT_TRUE(refused.Path.empty());
  ASSERT_TRUE(refused.Process.state() == QProcess::NotRunning || refused.Process.waitForFinished(5000));
  EXPECT_EQ(refused.Process.exitCode(), 1);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST_F(SimulatorLink, ASimulatorThatStopsMidTrialEndsTheRunAndKeepsTheSamples) {
  // These tests count frames, not their pace: the simulator's clock runs
  // ten times faster (the pace has a test of its own above).
  StartSimulator({"--manoeuvre", "fvc", "--lead-in", "0.5", "--stop-after", "400", "--speed", "10"});
  StartAcquisition();
  Send(0xEF7F);
  ASSERT_TRUE(RunUntil([&] { return Window.Stopped; }, 20000)) << "the end of the line must reach the window";
  EXPECT_EQ(Link.EndPortLost, 1);
  EXPECT_FALSE(Link.IsAcquiring());
  EXPECT_EQ(Window.Samples.size(), 400u) << "every sample the simulator sent";
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find(Com1()), std::string::npos) << Sink.Messages[0].Text;
  EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Stop);
  ASSERT_TRUE(Simulator->Process.state() == QProcess::NotRunning || Simulator->Process.waitForFinished(5000));
  EXPECT_EQ(Simulator->Log().back(), "stopped after 400 samples");
}

TEST_F(SimulatorLink, NoiseBetweenFramesIsSkippedAndCounted) {
  StartSimulator({"--garbage-every", "10", "--speed", "10"});
  StartAcquisition();
  ASSERT_TRUE(RunUntil([&] { return Window.Samples.size() >= 200; }, 15000));
  Link.KillHandler();
  // A false start in every burst: each one rejected, no sample lost.
  EXPECT_GE(Link.RejectedFrames(), 19u);
  EXPECT_LE(Link.RejectedFrames(), Window.Samples.size() / 10);
  EXPECT_GE(Link.NoiseBytes(), 19u * 6);
  EXPECT_EQ(Link.InterpolatedSamples(), 0u);
  EXPECT_FALSE(Link.AnyEndFlag());
  for (const TSampleMessage& s : Window.Samples)
    ASSERT_LE(std::abs(s.Value), 1) << "at rest";
}

TEST_F(SimulatorLink, DamagedFramesAreRejectedAndTheirSamplesFilledIn) {
  StartSimulator({"--corrupt-every", "40", "--speed", "10"});
  StartAcquisition();
  ASSERT_TRUE(RunUntil([&] { return Window.Samples.size() >= 200; }, 15000));
  Link.KillHandler();
  EXPECT_GE(Link.RejectedFrames(), 4u);
  EXPECT_EQ(Link.InterpolatedSamples(), Link.RejectedFrames());
  EXPECT_FALSE(Link.AnyEndFlag());
  EXPECT_TRUE(Sink.Messages.empty()) << "one frame in 40 is healed without a word";
}

TEST_F(SimulatorLink, APortThatIsBusyOrMissingFailsTheCheckWithTheReason) {
  StartSimulator({});
  ASSERT_TRUE(Link.TestSerialPort());

  TMeasureInterrupt second(0xFFFF, &Texts);
  Configure(second);
  EXPECT_FALSE(second.TestSerialPort());
  EXPECT_EQ(second.LastPortError, Texts.Format(TEXT_PORT_BUSY, {Com1()}));

  TMeasureInterrupt missing(0xFFFF, &Texts);
  missing.SerialPortsIniFile = Folder.Write("Other.ini", "[Serial Ports]\nCOM3=/dev/ttyHalvetraNone\n").string();
  missing.PortConfig.Port = 2;
  EXPECT_FALSE(missing.VerifySerialPort(true));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.Format(TEXT_PORT_MISSING, {"COM3 (/dev/ttyHalvetraNone)"}));
}

}  // namespace
