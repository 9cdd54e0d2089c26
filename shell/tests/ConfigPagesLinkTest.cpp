// The configuration pages' links against the instrument simulator on
// pseudo-terminals: port tests, the nebulizer test, the service page's
// outputs and the barometer reading, each seen in the simulator's log.

#include "shell/sheets/BarometerStep.h"
#include "shell/sheets/ConfigPageModel.h"
#include "shell/sheets/NebulizerPageModel.h"
#include "shell/sheets/ServicePageModel.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "platform/portkit/tests/support/TestWindow.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorProcess.h"
#include "testing/TemporaryFolder.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

// Lets the events run for `ms`: the pages' own waits.
void Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class ConfigPagesLink : public ::testing::Test {
protected:
  ConfigPagesLink() {
    TMeasureInterrupt::ResetStatics();
    Texts.SetSink(&Sink);
  }
  ~ConfigPagesLink() override { EXPECT_TRUE(Sink.Messages.empty()) << Sink.Messages.front().Text; }

  std::unique_ptr<TSimulatorProcess> Start(const QStringList& arguments, const std::string& name) {
    auto simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / (name + ".log"));
    EXPECT_FALSE(simulator->Path.empty()) << "the simulator printed no device";
    return simulator;
  }
  std::string Ini(const std::string& text) { return Folder.Write("Halvetra.ini", text).string(); }
  std::string Key(const char* section, const char* key) {
    return TProfile(section, (Folder / "Halvetra.ini").string()).GetString(key, "<none>");
  }
  static bool Logged(const TSimulatorProcess& simulator, const std::string& line) {
    const auto log = simulator.Log();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  static bool WaitLogged(const TSimulatorProcess& simulator, const std::string& line) {
    return RunUntil([&] { return Logged(simulator, line); }, 5000);
  }
  // The lines after the first "stream on": what the page sent while it ran.
  static std::vector<std::string> Sent(const TSimulatorProcess& simulator) {
    auto log = simulator.Log();
    const auto on = std::find(log.begin(), log.end(), "stream on");
    std::vector<std::string> lines(on == log.end() ? log.end() : on + 1, log.end());
    std::erase_if(lines, [](const std::string& l) { return l.rfind("word ", 0) != 0 && l.rfind("byte ", 0) != 0; });
    return lines;
  }
  TConfigPageModel Page(short kind) {
    return TConfigPageModel(false, Texts, (Folder / "Halvetra.ini").string(), kind, [] { return TFtdiDevice::TList{}; },
                            Folder.Path());
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
};

TEST_F(ConfigPagesLink, APortTestStoresWhatTheInstrumentReports) {
  const auto spirometer = Start({"--capabilities", "5"}, "spirometer");
  const auto diffusion = Start({"--instrument", "diffusion", "--capabilities", "2"}, "diffusion");
  Ini("[Serial Ports]\nCOM2=" + spirometer->Path + "\nCOM4=" + diffusion->Path +
      "\n[Hardware]\nInstall=1\nDemo=0\nPort=1\n[Hardware Diffusion Test]\nInstall=1\nDemo=1\n");

  TConfigPageModel page = Page(0);
  page.Setup();  // the stored port is tested at once
  EXPECT_EQ(page.Selected(), 3);
  EXPECT_EQ(page.StatusLine(), Texts.LoadStringA(35));
  EXPECT_TRUE(Logged(*spirometer, "identify"));
  EXPECT_EQ(Key("Hardware", "Install"), "1");
  EXPECT_EQ(Key("Hardware", "Demo"), "0");
  EXPECT_EQ(Key("Hardware", "Type"), "1");
  EXPECT_EQ(Key("Hardware", "Mode"), "5");
  EXPECT_EQ(Key("Hardware", "VersionOfHardware"), "0");

  // The diffusion unit: chosen, then tested; Mode from its capabilities.
  TConfigPageModel unit = Page(1);
  unit.Setup();
  EXPECT_FALSE(Logged(*diffusion, "identify")) << "DEMO is not tested";
  unit.SelectPort(5);
  EXPECT_FALSE(Logged(*diffusion, "identify")) << "choosing a port does not test it";
  unit.CheckComPort();
  EXPECT_EQ(unit.StatusLine(), Texts.LoadStringA(35));
  EXPECT_EQ(Key("Hardware Diffusion Test", "Port"), "3");
  EXPECT_EQ(Key("Hardware Diffusion Test", "Demo"), "0");
  EXPECT_EQ(Key("Hardware Diffusion Test", "Mode"), "2");
  EXPECT_EQ(Key("Hardware Diffusion Test", "VersionOfHardware"), std::to_string(0x70));
  EXPECT_EQ(TMeasureData::MeasureMode, 0) << "the statics come back after the test";
}

TEST_F(ConfigPagesLink, AnAbsentPortTurnsThePageToDemonstrationAndSaysWhy) {
  Ini("[Serial Ports]\nCOM3=" + (Folder / "no-such-port").string() + "\n[Hardware Plethysmograph]\nInstall=1\nDemo=0\nPort=2\n");
  TConfigPageModel page = Page(2);
  page.Setup();
  const std::string expected =
      Texts.LoadStringA(30) + " " + Texts.LoadStringA(163) + "\n\t" + Texts.LoadStringA(32) + "\n\t" + Texts.LoadStringA(33);
  EXPECT_EQ(page.StatusLine().substr(0, expected.size()), expected);
  EXPECT_EQ(Key("Hardware Plethysmograph", "Install"), "1");
  EXPECT_EQ(Key("Hardware Plethysmograph", "Demo"), "1");
  EXPECT_EQ(Key("Hardware Plethysmograph", "Mode"), "7");
  EXPECT_EQ(Key("Hardware Plethysmograph", "VersionOfHardware"), "0");
}

TEST_F(ConfigPagesLink, TheSpirometerSheetSendsANewerInstrumentToItsOwnSheet) {
  const auto plethysmograph = Start({"--instrument", "plethysmograph"}, "plethysmograph");
  Ini("[Serial Ports]\nCOM1=" + plethysmograph->Path + "\n[Hardware]\nInstall=0\n");
  TConfigPageModel page = Page(0);
  page.Setup();
  page.SelectPort(2);
  page.CheckComPort();
  EXPECT_EQ(page.StatusLine(), Texts.LoadStringA(473) + "\n\t- Diffusion test...\n\t- Plethysmograph...");
  EXPECT_EQ(Key("Hardware", "Install"), "0");
  EXPECT_EQ(Key("Hardware", "Demo"), "0");
  EXPECT_EQ(Key("Hardware", "VersionOfHardware"), std::to_string(0x11));
}

TEST_F(ConfigPagesLink, TheNebulizerPassesOnlyWhenTheInstrumentDrivesOne) {
  for (const bool drives : {true, false}) {
    SCOPED_TRACE(drives);
    const auto instrument = Start({"--capabilities", drives ? "2" : "0"}, "nebulizer");
    Ini("[Serial Ports]\nCOM2=" + instrument->Path +
        "\n[Hardware]\nInstall=1\nDemo=0\nPort=1\nMode=2\n[Nebulizer]\nInstall=1\nPort=1\n");
    TNebulizerPageModel page(false, Texts, (Folder / "Halvetra.ini").string(), 0);
    page.Setup();
    EXPECT_TRUE(Logged(*instrument, "identify"));
    EXPECT_EQ(page.StatusLine().substr(0, Texts.LoadStringA(drives ? 35 : 30).size()), Texts.LoadStringA(drives ? 35 : 30));
    EXPECT_EQ(Key("Nebulizer", "Install"), drives ? "1" : "0");
  }
}

class ServicePage : public ConfigPagesLink {
protected:
  std::unique_ptr<TServicePageModel> Page(short kind, bool words) {
    TServicePageModel::THooks hooks;
    hooks.SetTimer = [this](int id, int ms) {
      Timers[id] = ms;
      return true;
    };
    hooks.KillTimer = [this](int id) { Timers.erase(id); };
    hooks.Wait = [](int ms) { Wait(ms); };
    return std::make_unique<TServicePageModel>(false, Texts, (Folder / "Halvetra.ini").string(), kind, words, hooks);
  }
  std::map<int, int> Timers;  // the running timers and their times
};

TEST_F(ServicePage, TheSpirometersOutputsGoOutOneByteAtATime) {
  const auto spirometer = Start({}, "service");
  Ini("[Serial Ports]\nCOM2=" + spirometer->Path + "\n[Hardware]\nInstall=1\nDemo=0\nType=1\nPort=1\n");
  auto page = Page(0, false);
  page->Instrument = 1;  // the nebulizer cannot be served here
  page->StartStop();
  EXPECT_FALSE(page->IsRunning());
  EXPECT_EQ(page->MessageLine(), Texts.LoadStringA(143));
  page->Instrument = 0;
  page->StartStop();
  ASSERT_TRUE(page->IsRunning()) << page->MessageLine();
  EXPECT_EQ(TMeasureData::MeasureMode, -3);
  EXPECT_TRUE(page->SendEnabled());
  page->OnRow[3] = true;
  page->Send();
  page->OnRow[3] = false;
  page->OffRow[5] = true;
  page->Send();
  ASSERT_TRUE(WaitLogged(*spirometer, "byte 0x05"));
  ASSERT_TRUE(RunUntil([&] { return page->Indicators()[4] > 0; }, 5000)) << "the counter runs";
  page->StartStop();
  EXPECT_FALSE(page->IsRunning());
  EXPECT_EQ(Sent(*spirometer), (std::vector<std::string>{"byte 0x0B", "byte 0x05"}));
  EXPECT_EQ(TMeasureData::MeasureMode, 0);
}

TEST_F(ServicePage, WordsPulsesAndTheIdleWordWhenTheSheetClosesWhileRunning) {
  const auto plethysmograph = Start({"--instrument", "plethysmograph"}, "service");
  Ini("[Serial Ports]\nCOM5=" + plethysmograph->Path +
      "\n[Hardware Plethysmograph]\nInstall=1\nDemo=0\nType=1\nPort=4\nVersionOfHardware=17\n");
  auto page = Page(2, true);
  // Presets only change the boxes.
  page->SelectPreset(3);
  EXPECT_TRUE(page->WordBoxes[12]);
  EXPECT_FALSE(page->WordBoxes[14]);
  page->StartStop();
  ASSERT_TRUE(page->IsRunning()) << page->MessageLine();

  // Both pulse times 0: no timer.
  page->SelectPreset(1);
  page->SetPulseTimes("0", "0");
  page->Send();
  EXPECT_TRUE(Timers.empty());
  EXPECT_EQ(page->LastWord(), 0xEF7F);

  // Shutter (bit 0) and B valve (bit 1) pulse: the word goes out with both
  // clear, timer 5 brings bit 0 back, timer 6 bit 1.
  page->SetPulseTimes("200", "300");
  EXPECT_TRUE(page->PulseBoxEnabled[0]);
  EXPECT_FALSE(page->PulseBoxEnabled[7]);
  EXPECT_TRUE(page->PulseBoxEnabled[1]);
  page->WordBoxes[0] = page->WordBoxes[1] = false;
  page->PulseBoxes[0] = page->PulseBoxes[1] = true;
  page->Send();
  EXPECT_EQ(page->LastWord(), 0xEF7C);
  EXPECT_EQ(page->PulseMask(), 0x0003);
  EXPECT_EQ(Timers, (std::map<int, int>{{5, 200}, {6, 300}}));
  page->OnTimer(5);
  EXPECT_EQ(page->LastWord(), 0xEF7D);
  page->OnTimer(6);
  EXPECT_EQ(page->LastWord(), 0xEF7F);
  EXPECT_TRUE(Timers.empty());

  // The sheet closes while the page runs.
  page->HaveToKillHandler();
  EXPECT_FALSE(page->IsRunning());
  ASSERT_TRUE(WaitLogged(*plethysmograph, "stream off"));
  EXPECT_EQ(Sent(*plethysmograph), (std::vector<std::string>{"word 0xEF7F", "word 0xEF7C", "word 0xEF7D",
                                                              "word 0xEF7F", "word 0xAF7F"}));
  EXPECT_EQ(TMeasureData::LastSentData, 0xEF7F) << "the window's last word comes back";
}

TEST_F(ServicePage, APortThatDoesNotAnswerKeepsThePageStopped) {
  Ini("[Serial Ports]\nCOM1=" + (Folder / "gone").string() + "\n[Hardware Diffusion Test]\nInstall=1\nDemo=0\nType=1\nPort=0\n");
  auto page = Page(1, true);
  page->StartStop();
  EXPECT_FALSE(page->IsRunning());
  EXPECT_EQ(page->MessageLine().substr(0, Texts.LoadStringA(36).size()), Texts.LoadStringA(36));
  EXPECT_FLOAT_EQ(page->MouthPressureFactor(), 0.9765625f);
}

TEST_F(ConfigPagesLink, TheBarometerOffsetIsTheEnteredPressureLessTheInstrumentsReading) {
  // The newer sensor scale (version 0x11): a word counts 0.6103515625 hPa.
  // 1013 hPa is word round(1013 / 0.6103515625) = 1660, read back as
  // 1660 × 0.6103515625 = 1013.18359375 hPa; 1020 entered gives 6.8 → 6,
  // 1000 gives −13.18 → −13.
  for (const auto& [entered, offset] : {std::pair{1020, 6}, std::pair{1000, -13}}) {
    const auto plethysmograph = Start({"--instrument", "plethysmograph", "--pressure", "1013"}, "barometer");
    const std::string ini = Ini("[Serial Ports]\nCOM1=" + plethysmograph->Path +
                                "\n[Hardware Plethysmograph]\nInstall=1\nDemo=0\nPort=0\n");
    EXPECT_EQ(BarometerStep::Calibrate(ini, &Texts, entered, Wait), offset);
    ASSERT_TRUE(WaitLogged(*plethysmograph, "word 0xAF7F"));
    EXPECT_TRUE(Logged(*plethysmograph, "word 0xEB7F"));
  }
  // 700 hPa is outside the bounds.
  const auto low = Start({"--instrument", "plethysmograph", "--pressure", "700"}, "barometer");
  std::string ini = Ini("[Serial Ports]\nCOM1=" + low->Path + "\n[Hardware Plethysmograph]\nInstall=1\nDemo=0\nPort=0\n");
  EXPECT_EQ(BarometerStep::Calibrate(ini, &Texts, 1020, Wait), 0);
  // No port, a demonstration instrument, nothing entered.
  ini = Ini("[Serial Ports]\nCOM1=" + (Folder / "gone").string() + "\n[Hardware Plethysmograph]\nInstall=1\nDemo=0\nPort=0\n");
  EXPECT_EQ(BarometerStep::Calibrate(ini, &Texts, 1020, Wait), 0);
  ini = Ini("[Hardware Plethysmograph]\nInstall=1\nDemo=1\n");
  EXPECT_EQ(BarometerStep::Calibrate(ini, &Texts, 1020, Wait), 0);
}

TEST(BarometerStep, TheBoundsAreInclusiveAndTheScaleFollowsTheVersion) {
  // Old scale: 1250/4095 hPa a word; 3317 words = 1012.5 hPa.
  EXPECT_NEAR(BarometerStep::PressureOf(3317, 0x01), 1012.515, 0.001);
  EXPECT_NEAR(BarometerStep::PressureOf(1660, 0x11), 1013.18359375, 1e-4);
  EXPECT_EQ(BarometerStep::OffsetFor(1000, 800.0f), 200);
  EXPECT_EQ(BarometerStep::OffsetFor(1000, 1200.0f), -200);
  EXPECT_EQ(BarometerStep::OffsetFor(1000, 799.9f), 0);
  EXPECT_EQ(BarometerStep::OffsetFor(1000, 1200.1f), 0);
}

}  // namespace
