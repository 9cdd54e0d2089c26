// The configuration sheets as the client opens them, offscreen, against the
// instrument simulator: what the pages find, what OK and Cancel keep, the
// measurement window around a sheet, the barometer step, the first
// installation, and the USB description dialog without a device. Pictures
// of every page land in the build's artifacts.

#include "shell/tests/AppFixture.h"
#include "shell/tests/StandIns.h"

#include "common/CommandNumbers.h"
#include "platform/framework/Profile.h"
#include "platform/ftdi/FtdiDevice.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "platform/portkit/tests/support/TestWindow.h"
#include "shell/app/sheets/OwnPropertySheet.h"
#include "testing/Pictures.h"
#include "testing/SimulatorProcess.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <functional>

namespace {

class ConfigurationSheets : public TAppFixture {
protected:
  void SetUp() override {
    Windows = StandIns.Factories([this] { return App ? static_cast<TEventHandler*>(App->GetClient()) : nullptr; });
    Store = &Recorder;
    Dialogs.SelectInstrument = [](const std::string&, const std::array<std::string, 3>&) { return 5881; };
  }

  std::unique_ptr<TSimulatorProcess> Simulator(const QStringList& arguments) {
    auto simulator = std::make_unique<TSimulatorProcess>("halvetra-lungsim", arguments, Folder / "simulator.log");
    EXPECT_FALSE(simulator->Path.empty());
    return simulator;
  }
  std::string Key(const char* section, const char* key) {
    return TProfile(section, (Folder / "Halvetra.ini").string()).GetString(key, "<none>");
  }
  std::string Text(int number) { return App->GetMessages().LoadStringA(number); }

  // Routes the command; `inside` runs on the modal sheet, which it must close.
  void WithSheet(unsigned command, const std::function<void(TOwnPropertySheet&)>& inside) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* sheet = dynamic_cast<TOwnPropertySheet*>(QApplication::activeModalWidget());
      ASSERT_NE(sheet, nullptr);
      seen = true;
      inside(*sheet);
      if (sheet->isVisible())
        sheet->reject();
    });
    EXPECT_TRUE(Route(command));
    EXPECT_TRUE(seen);
  }
  static void Pictures(TOwnPropertySheet& sheet, const std::string& name) {
    for (int page = 0; page < sheet.Tabs()->count(); ++page) {
      sheet.Tabs()->setCurrentIndex(page);
      QApplication::processEvents();
      SavePicture(sheet, "sheet-" + name + "-" + std::to_string(page + 1) + ".png");
    }
    sheet.Tabs()->setCurrentIndex(0);
  }
  template <class T>
  static T* Control(QWidget& sheet, int id) {
    T* control = sheet.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
  }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    emit edit->textEdited(text);
    emit edit->editingFinished();
  }

  TStandInWindows StandIns;
  TStoreRecorder Recorder;
};

TEST_F(ConfigurationSheets, CancelKeepsTheSettingsAndTheMeasurementWindowKeepsAWorkingPort) {
  const auto spirometer = Simulator({});
  Folder.Write("Halvetra.ini", "[Program]\nFirstInstall=0\n[Serial Ports]\nCOM2=" + spirometer->Path +
                                   "\n[Hardware]\nInstall=1\nDemo=0\nPort=1\nPump=3\n");
  Start("");
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1");
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  ASSERT_TRUE(Route(CM_MEASURE_FVC));
  ASSERT_TRUE(StandIns.Measure);
  TMeasureInterrupt& link = StandIns.Measure->Interrupt;
  ASSERT_TRUE(link.PortInUse) << "the window holds the port";
  const TInstallFlags flags = App->GetInstallFlags();
  Recorder.Calls.clear();

  WithSheet(CM_HARDWARE_SETUP, [&](TOwnPropertySheet& sheet) {
    EXPECT_EQ(sheet.windowTitle().toStdString(), Text(83));
    EXPECT_EQ(Control<QLabel>(sheet, 5280)->text().toStdString(), Text(35)) << "the test met no lock";
    Type(Control<QLineEdit>(sheet, 5316), "7");
    Pictures(sheet, "hardware");
    sheet.Tabs()->setCurrentIndex(3);  // the service page
    Control<QPushButton>(sheet, 5283)->click();
    EXPECT_EQ(Control<QPushButton>(sheet, 5283)->text(), "Stop");
  });
  EXPECT_EQ(Key("Hardware", "Pump"), "3") << "Cancel writes nothing";
  EXPECT_EQ(Key("Hardware", "Demo"), "0") << "a working instrument stays live";
  EXPECT_EQ(App->GetInstallFlags().HardwareMode, flags.HardwareMode);
  EXPECT_EQ(Recorder.Calls, (std::vector<std::string>{"write 0", "read 0"}));
  EXPECT_EQ(StandIns.Measure->Log.Calls.back(), "ChangeButtonColor");
  EXPECT_EQ(TMeasureData::MeasureMode, MEASURE_FVC) << "the service link ended and gave the statics back";

  // The window's port was checked again and streams.
  ASSERT_TRUE(link.PortInUse);
  link.InitHandler();
  EXPECT_TRUE(RunUntil(
      [&] {
        link.ReadDataFromSerialPortToBuffer(TMeasureData::IdCommDev);
        return TMeasureData::InterruptIndex > 20;
      },
      5000));
  link.KillHandler();
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(ConfigurationSheets, OkWritesThePagesAndTheBarometerOffsetOfThePlethysmograph) {
  const auto plethysmograph = Simulator({"--instrument", "plethysmograph", "--pressure", "1013"});
  Folder.Write("Halvetra.ini", "[Program]\nFirstInstall=0\n[Serial Ports]\nCOM1=" + plethysmograph->Path +
                                   "\n[Hardware Plethysmograph]\nInstall=1\nDemo=0\nPort=0\n");
  Start("");
  WithSheet(CM_PLETHYSMOGRAPH_SETUP, [&](TOwnPropertySheet& sheet) {
    EXPECT_EQ(Control<QLabel>(sheet, 5280)->text().toStdString(), Text(35));
    Pictures(sheet, "plethysmograph");
    sheet.Tabs()->setCurrentIndex(3);
    Type(Control<QLineEdit>(sheet, 5900), "1020");
    Type(Control<QLineEdit>(sheet, 5901), "7");  // TGV loops: 1 to 5
    sheet.accept();
  });
  // 1013 hPa is word 1660 on the newer scale, read back as 1013.18 hPa.
  EXPECT_EQ(Key("Plethysmograph Parameters", "BarometerOffset"), "6");
  EXPECT_EQ(Key("Plethysmograph Parameters", "NumberOfTGV"), "5");
  EXPECT_EQ(Key("Hardware Plethysmograph", "Demo"), "0");
  EXPECT_TRUE(App->GetInstallFlags().PlethysmographInstalled);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(ConfigurationSheets, TheDiffusionSheetWritesItsParametersAndItsPagesArePictured) {
  const auto diffusion = Simulator({"--instrument", "diffusion"});
  Folder.Write("Halvetra.ini", "[Program]\nFirstInstall=0\n[Serial Ports]\nCOM3=" + diffusion->Path +
                                   "\n[Hardware Diffusion Test]\nInstall=1\nDemo=0\nPort=2\n");
  Start("");
  WithSheet(CM_DIFFUSION_SETUP, [&](TOwnPropertySheet& sheet) {
    Pictures(sheet, "diffusion-test");
    sheet.Tabs()->setCurrentIndex(3);
    Type(Control<QLineEdit>(sheet, 5838), "5,5");
    EXPECT_EQ(Control<QLineEdit>(sheet, 5838)->text(), "5.00");
    Type(Control<QLineEdit>(sheet, 5837), "8,0");
    sheet.accept();
  });
  EXPECT_EQ(Key("Diffusion Capacity Parameters", "OriginalHeConcentration"), "5.00");
  EXPECT_EQ(Key("Diffusion Capacity Parameters", "BreathHoldTime"), "8.0");
  EXPECT_TRUE(App->GetInstallFlags().DiffusionInstalled);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(ConfigurationSheets, AFirstInstallationOpensTheThreeInstrumentSheets) {
  Dialogs.ConfigurationSheets = {};
  Folder.Write("Halvetra.ini", "[Program]\nFirstInstall=1\n");
  std::vector<std::string> titles;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* sheet = dynamic_cast<TOwnPropertySheet*>(QApplication::activeModalWidget())) {
      titles.push_back(sheet->windowTitle().toStdString());
      sheet->reject();
    }
  });
  closer.start(0);
  Start("");
  closer.stop();
  const auto plain = [this](int number) {
    std::string text = Text(number);
    std::erase(text, '&');
    return text;
  };
  EXPECT_EQ(titles, (std::vector<std::string>{plain(83), plain(425), plain(483)}));
  EXPECT_EQ(TProfile("Program", (Folder / "Halvetra.ini").string()).GetInt("FirstInstall", -1), 0);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(ConfigurationSheets, TheUsbDescriptionDialogWithoutADeviceSaysFtOpenFailed) {
  if (!TFtdiDevice::ListDescriptions().Descriptions.empty())
    GTEST_SKIP() << "an FTDI device is attached; this test must not program it";
  Start();
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    seen = true;
    EXPECT_EQ(Control<QComboBox>(*dialog, 5630)->currentText(), "USB Spirometer");
    SavePicture(*dialog, "usb-description.png");
    for (const int button : {5632, 5633}) {
      Control<QPushButton>(*dialog, button)->click();
      ASSERT_EQ(Sink.Messages.size(), 1u) << button;
      EXPECT_EQ(Sink.Messages[0].Text.rfind("FT_Open failed!\n", 0), 0u) << Sink.Messages[0].Text;
      EXPECT_GT(Sink.Messages[0].Text.size(), std::string("FT_Open failed!\n").size()) << "with the library's reason";
      Sink.Messages.clear();
    }
    EXPECT_EQ(Control<QLineEdit>(*dialog, 5634)->text(), "");
    dialog->close();
  });
  EXPECT_TRUE(Route(CM_USB_DESCRIPTION));
  EXPECT_TRUE(seen);
}

}  // namespace

namespace {

TEST_F(ConfigurationSheets, ARhinomanometryWindowKeepsItsResultsThroughEitherSpirometerSheet) {
  Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=5\n");
  Start();
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1");
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  ASSERT_TRUE(Route(CM_MEASURE_RHINO));
  ASSERT_TRUE(StandIns.Measure);
  ASSERT_EQ(StandIns.Measure->GetMeasureType(), 6);
  for (const unsigned command : {CM_HARDWARE_SETUP, CM_DIFFUSION_SETUP}) {
    Recorder.Calls.clear();
    StandIns.Measure->Log.Calls.clear();
    WithSheet(command, [](TOwnPropertySheet& sheet) { sheet.accept(); });
    EXPECT_TRUE(Recorder.Calls.empty()) << "work file 6 is neither written nor read";
    EXPECT_EQ(StandIns.Measure->Log.Calls.back(), "SetMeasureMode 6");
  }
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(ConfigurationSheets, TheAudioSheetTakesTheAudiometersPagesFromItsFactory) {
  std::vector<std::string> calls;
  Dialogs.AudioSheetPages = [&calls](bool, TMessage&, const std::string&, TOwnPropertySheet& sheet) {
    sheet.AddPage(new TPropertyPage(&sheet), "Audiometer");
    TSheetPages pages;
    pages.Write = [&calls] { calls.push_back("write"); };
    pages.HaveToKillHandler = [&calls] { calls.push_back("kill"); };
    return pages;
  };
  Folder.Write("Halvetra.ini", "[Audio]\nInstall=0\n");
  Start();
  EXPECT_FALSE(App->GetInstallFlags().AudioInstalled);
  WithSheet(CM_AUDIO_SETUP, [](TOwnPropertySheet& sheet) {
    EXPECT_EQ(sheet.Tabs()->count(), 1);
    sheet.reject();
  });
  EXPECT_EQ(calls, std::vector<std::string>{"kill"});
  Folder.Write("Halvetra.ini", "[Audio]\nInstall=1\n");
  WithSheet(CM_AUDIO_SETUP, [](TOwnPropertySheet& sheet) { sheet.accept(); });
  EXPECT_EQ(calls, (std::vector<std::string>{"kill", "write", "kill"}));
  EXPECT_TRUE(App->GetInstallFlags().AudioInstalled);
  EXPECT_TRUE(Sink.Messages.empty());
}

}  // namespace

namespace {

// x = ((screen − sheet) / 2 + 4) down to a multiple of 8, y = (screen − sheet) / 2,
// each division truncated: 1280 × 800 and 533 × 330 give (373 + 4) → 376 and 235.
TEST(OwnPropertySheet, CentresOnTheScreenWithItsLeftEdgeOnAMultipleOfEight) {
  const struct {
    QSize Screen, Sheet;
    QPoint Want;
  } cases[] = {
      {{1280, 800}, {533, 330}, {376, 235}},
      {{1024, 768}, {700, 500}, {160, 134}},
      {{800, 600}, {801, 601}, {0, 0}},  // (−1 / 2 + 4) = 4 → 0; −1 / 2 = 0
  };
  for (const auto& c : cases)
    EXPECT_EQ(TOwnPropertySheet::CentredOn(c.Screen, c.Sheet), c.Want) << c.Sheet.width();
}

}  // namespace
