// The "Audio" configuration and service pages against halvetra-audiosim on
// a pseudo-terminal, as the operator tests and services an audiometer.

#include "audiometry/window/AudioConfigPage.h"
#include "audiometry/window/AudioServicePage.h"
#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorProcess.h"
#include "testing/TemporaryFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class AudioPages : public ::testing::Test {
protected:
  AudioPages() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
  }
  ~AudioPages() override { Sink.ExpectAllTaken(); }
  std::string Ini(const std::string& device, const std::string& audio) {
    return Folder.Write("Halvetra.ini", "[Serial Ports]\nCOM2=" + device + "\n[Audio]\n" + audio).string();
  }
  static std::string Status(const QWidget& page, int id) {
    return page.findChild<QLabel*>(QString::number(id))->text().toStdString();
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
};

const TAudioConfigPage::TUsbList NoUsb = [] { return std::vector<std::string>{}; };

TEST_F(AudioPages, ThePortTestOfTheConfigurationPage) {
  {
    TSimulatorProcess simulator("halvetra-audiosim", {"--version", "1"}, Folder / "audiosim.log");
    ASSERT_FALSE(simulator.Path.empty());
    const std::string ini = Ini(simulator.Path, "Install=1\nDemo=1\nPort=1\n");
    TAudioConfigPage page(0, &Texts, ini, nullptr, NoUsb);
    page.show();
    SavePicture(page, "audio-config-page.png");
    page.findChild<QComboBox*>("5281")->setCurrentIndex(3);  // COM2
    page.CBNComPortChange(3);
    page.BNCheckComPort();
    EXPECT_EQ(Status(page, 5280), Texts.LoadStringA(35));
    EXPECT_EQ(TProfile("Audio", ini).GetInt("Demo", -1), 0);
    EXPECT_EQ(TProfile("Audio", ini).GetInt("Port", -1), 1);
  }
  TSimulatorProcess silent("halvetra-audiosim", {"--silent"}, Folder / "audiosim.log");
  ASSERT_FALSE(silent.Path.empty());
  // Opening on a configured port tests it at once.
  const std::string ini = Ini(silent.Path, "Install=1\nDemo=0\nPort=1\n");
  TAudioConfigPage page(0, &Texts, ini, nullptr, NoUsb);
  EXPECT_EQ(Status(page, 5280), Texts.LoadStringA(30) + " " + Texts.LoadStringA(163) + "\n\t" + Texts.LoadStringA(32) +
                                    "\n\t" + Texts.LoadStringA(33));
  EXPECT_EQ(TProfile("Audio", ini).GetInt("Demo", -1), 1);
  EXPECT_EQ(TProfile("Audio", ini).GetInt("Install", -1), 1);
}

TEST_F(AudioPages, TheServicePageSendsACommandAndCountsTheAnswers) {
  TSimulatorProcess simulator("halvetra-audiosim", {"--version", "2"}, Folder / "audiosim.log");
  ASSERT_FALSE(simulator.Path.empty());
  TAudioServicePage idle(0, &Texts, Ini(simulator.Path, "Install=1\nDemo=1\n"), nullptr);
  idle.BNStartStop();
  EXPECT_FALSE(idle.IsStarted());
  EXPECT_EQ(Status(idle, 5315), Texts.LoadStringA(143));

  TAudioServicePage page(0, &Texts, Ini(simulator.Path, "Install=1\nDemo=0\nPort=1\n"), nullptr);
  page.show();
  // 1000 Hz (code 0x10) at 0 dB HL is value 23 with the page's corrections.
  page.findChild<QCheckBox*>("5606")->setChecked(true);
  page.findChild<QLineEdit*>("5610")->setText("0");
  EXPECT_EQ(page.findChild<QLineEdit*>("5613")->text().toStdString(), "23");
  page.findChild<QCheckBox*>("5603")->setChecked(true);  // 0x12 names no frequency
  EXPECT_EQ(page.findChild<QLineEdit*>("5610")->text().toStdString(), "");
  page.findChild<QCheckBox*>("5603")->setChecked(false);

  page.BNSend();  // not started: nothing is written
  page.BNStartStop();
  ASSERT_TRUE(page.IsStarted());
  page.findChild<QCheckBox*>("5297")->setChecked(true);  // 0x82: right channel
  page.BNSend();
  const QDeadlineTimer deadline(5000);
  while (Status(page, 5294) == "0" && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_NE(Status(page, 5294), "0") << "the audiometer's answer was counted";
  EXPECT_TRUE(page.findChild<QCheckBox*>("5324")->isChecked()) << "0x20 follows the level command";
  SavePicture(page, "audio-service-page.png");
  SendMessage(&page, WM_COMMAND, CM_STOP);
  EXPECT_FALSE(page.IsStarted());

  bool sent = false;
  for (const std::string& line : simulator.Log())
    sent = sent || line.find("82 10 17") != std::string::npos;
  EXPECT_TRUE(sent) << "the composed command 0x82 0x10 23 reached the audiometer";
}

}  // namespace
