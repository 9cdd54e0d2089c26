// The settings push against the instrument simulator on pseudo-terminals:
// the port checks run on the links the program fills.

#include "shell/settings/SettingsPush.h"

#include "common/MeasureMode.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorProcess.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

class SettingsPushLink : public ::testing::Test {
protected:
  SettingsPushLink() {
    TMeasureInterrupt::ResetStatics();
    Texts.SetSink(&Sink);
  }

  std::unique_ptr<TSimulatorProcess> Start(const QStringList& arguments, const std::string& name) {
    auto simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / (name + ".log"));
    EXPECT_FALSE(simulator->Path.empty()) << "the simulator printed no device";
    return simulator;
  }
  static bool Identified(const TSimulatorProcess& simulator) {
    const auto log = simulator.Log();
    return std::find(log.begin(), log.end(), "identify") != log.end();
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
};

TEST_F(SettingsPushLink, TheSpirometersLinkIsCheckedOnItsPort) {
  const auto simulator = Start({}, "com2");
  const std::string ini = Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM2=" + simulator->Path +
                                                           "\n[Hardware]\nInstall=1\nDemo=0\nPort=1\nPump=2\n")
                              .string();
  TMeasureInterrupt link(MEASURE_FVC, &Texts);
  EXPECT_TRUE(SettingsPush::PushLink(link, SettingsPush::ReadSpirometerPort(ini, false), ini, true))
      << link.LastPortError;
  EXPECT_TRUE(link.CheckPassed);
  EXPECT_TRUE(link.PortInUse);
  EXPECT_EQ(link.PortConfig.Port, 1);
  EXPECT_EQ(link.StatusWord, 0);
  EXPECT_EQ(link.SyringeVolume, 2);
  EXPECT_TRUE(Identified(*simulator));
  EXPECT_TRUE(Sink.Messages.empty());
  link.RestoreSerialPort();
}

TEST_F(SettingsPushLink, TheNebulizerIsLookedForSectionBySectionUntilAnInstrumentDrivesOne) {
  const auto spirometer = Start({"--capabilities", "0"}, "hardware");
  const auto plethysmograph = Start({"--instrument", "plethysmograph", "--capabilities", "2"}, "plethysmograph");
  const auto diffusion = Start({"--instrument", "diffusion", "--capabilities", "2"}, "diffusion");
  const std::string ini =
      Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM1=" + spirometer->Path + "\nCOM2=" + plethysmograph->Path +
                                       "\nCOM3=" + diffusion->Path +
                                       "\n[Hardware]\nInstall=1\nDemo=0\nPort=0\n"
                                       "[Hardware Plethysmograph]\nInstall=1\nDemo=0\nPort=1\n"
                                       "[Hardware Diffusion Test]\nInstall=1\nDemo=0\nPort=2\n"
                                       "[Nebulizer]\nInstall=1\nPort=0\n")
          .string();
  // No measurement window: a link of its own.
  EXPECT_TRUE(SettingsPush::CheckNebulizer(nullptr, SettingsPush::ReadNebulizer(ini), ini, true, &Texts));
  EXPECT_TRUE(Identified(*spirometer));
  EXPECT_TRUE(Identified(*plethysmograph));
  EXPECT_FALSE(Identified(*diffusion));  // the search stopped before it
  EXPECT_TRUE(Sink.Messages.empty());

  // On the measurement window's link the same, and it is the nebulizer's now.
  TMeasureInterrupt link(MEASURE_FVC, &Texts);
  EXPECT_TRUE(SettingsPush::CheckNebulizer(&link, SettingsPush::ReadNebulizer(ini), ini, true, &Texts));
  EXPECT_EQ(link.DeviceKind, 2);
  EXPECT_EQ(link.PortConfig.Port, 1);
  link.RestoreSerialPort();

  // Not installed: nothing is asked.
  const std::string none = Folder.Write("None.ini", "[Nebulizer]\nInstall=0\n").string();
  EXPECT_FALSE(SettingsPush::CheckNebulizer(nullptr, SettingsPush::ReadNebulizer(none), none, true, &Texts));
}

TEST_F(SettingsPushLink, AnInstrumentThatHangsUpFailsTheCheckWithAClearMessage) {
  auto simulator = Start({}, "gone");
  const std::string ini = Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM2=" + simulator->Path +
                                                           "\n[Hardware]\nInstall=1\nDemo=0\nPort=1\n")
                              .string();
  // The instrument hangs up before the check. The test keeps its end of the
  // terminal open meanwhile, so that another simulator cannot be given the
  // same device name while the check runs.
  const int held = ::open(simulator->Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(held, 0);
  simulator.reset();
  TMeasureInterrupt link(MEASURE_FVC, &Texts);
  EXPECT_FALSE(SettingsPush::PushLink(link, SettingsPush::ReadSpirometerPort(ini, false), ini, true));
  ::close(held);
  EXPECT_FALSE(link.CheckPassed);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Text, link.LastPortError);
  EXPECT_FALSE(link.LastPortError.empty());
}

}  // namespace
