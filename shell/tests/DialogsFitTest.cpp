// Every dialog and window of the program fits a 1280×800 screen, frame
// included. Those that need the program's tables are reached through its
// commands; the others are built on their own. One picture of each lands
// in the build's artifacts for a person to look at.

#include "shell/tests/AppFixture.h"

#include "audiometry/window/AudioMeter.h"
#include "audiometry/window/AudioSheetPages.h"
#include "common/CommandNumbers.h"
#include "measure/window/Btps.h"
#include "measure/window/BtpsEdit.h"
#include "measure/window/ParamDialog.h"
#include "measure/window/SelectInstrument.h"
#include "patients/DoctorInput.h"
#include "patients/SheetFrame.h"
#include "patients/WaitingDialog.h"
#include "platform/basekit/ui/DdeDialog.h"
#include "shell/app/AudioMeterFactory.h"
#include "shell/app/GreetingDialog.h"
#include "shell/app/HelpWindow.h"
#include "shell/app/InitWindow.h"
#include "shell/app/MainFrame.h"
#include "records/window/MyInputDialog.h"
#include "shell/settings/ProjectVersion.h"
#include "trend/TrendDialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QSize Screen(1280, 800);

// Shows the window as the user would see it; false when its frame leaves
// the screen's size.
void ExpectFits(QWidget& window, const std::string& name) {
  if (!window.isVisible())
    window.show();
  QApplication::processEvents();
  const QSize size = window.frameGeometry().size();
  EXPECT_LE(size.width(), Screen.width()) << name;
  EXPECT_LE(size.height(), Screen.height()) << name;
  EXPECT_GT(size.width(), 0) << name;
  SavePicture(window, "fit-1280x800-" + name + ".png");
}

class DialogsFit : public TAppFixture {
protected:
  // Routes the command and checks the modal dialog it runs, then closes it.
  void ExpectModalFits(unsigned command, const std::string& name) {
    SCOPED_TRACE(name);
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      seen = true;
      ExpectFits(*dialog, name);
      if (auto* modal = qobject_cast<QDialog*>(dialog))
        modal->reject();
      else
        dialog->close();
    });
    EXPECT_TRUE(Route(command));
    EXPECT_TRUE(seen);
  }
};

TEST_F(DialogsFit, EveryDialogTheCommandsOpen) {
  Dialogs.AudioSheetPages = AudioSheetPageFactory;
  Folder.Write("Halvetra.ini", "[StartUp]\nPageType=1\n");
  Start();
  App->GetFrame()->showNormal();
  App->GetFrame()->setGeometry(QRect(QPoint(0, 0), Screen));
  CreateDatabase();
  AddPatient("Anna Kovacs", "A-1");

  const struct {
    unsigned Command;
    const char* Name;
  } withoutSheet[] = {
      {CM_START_UP_SETTINGS, "start-up-settings"}, {CM_DATABASE_LOCATION, "database-location"},
      {CM_ABOUT, "about"},
      {CM_INSTITUTE, "institute"},                 {CM_NEW_DATABASE, "database-create-and-select"},
      {CM_HARDWARE_SETUP, "sheet-hardware"},       {CM_DIFFUSION_SETUP, "sheet-diffusion-test"},
      {CM_PLETHYSMOGRAPH_SETUP, "sheet-plethysmograph"}, {CM_USB_DESCRIPTION, "usb-description"},
      {CM_AUTOMATIC_SETUP, "automatic-sequence"},  {CM_AUDIO_CALIBRATION, "audio-calibration"},
      {CM_AUDIO_SETUP, "sheet-audio"},
  };
  for (const auto& c : withoutSheet)
    ExpectModalFits(c.Command, c.Name);

  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  ASSERT_NE(Client().GetPatient(), nullptr);
  QApplication::processEvents();
  const struct {
    unsigned Command;
    const char* Name;
  } withSheet[] = {
      {CM_PATIENT_SEARCH, "patient-search"},
      {CM_PATIENT_LIST, "patient-list"},
      {CM_BROWSE_MEASUREMENTS, "browse-measurements"},
  };
  for (const auto& c : withSheet)
    ExpectModalFits(c.Command, c.Name);

  // The test tool box stays open beside its button until a choice is made.
  ASSERT_TRUE(Route(CM_MEASURE_MENU));
  auto* toolBox = App->GetFrame()->findChild<QDialog*>("TSubMenu");
  ASSERT_NE(toolBox, nullptr);
  ExpectFits(*toolBox, "test-tool-box");
  Route(CM_MEASURE_MENU_CLOSE);
}

TEST_F(DialogsFit, EveryDialogBuiltOnItsOwn) {
  TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  texts.SetSink(&Sink);
  QWidget main;
  main.resize(Screen);
  main.show();

  TDoctorEntry doctor{"Dr. Maria Lindqvist-Oberhauser", "D-1234", "Hauptstrasse 12, 8010 Graz", true, false, true};
  TTDdeDialogStruct dde = TTDdeDialogStruct::From({'R', 'C', 65535, 2, "Spiro"});
  TParamFlags flags{};
  short trendSlot = 0;
  bool provoked = true;
  bool lysis = false;
  const TProjectRCVersion version(TVersionBlock{"Halvetra", "2.3.4", "Copyright the lab", "Test build"});

  const struct {
    const char* Name;
    std::function<std::unique_ptr<QWidget>()> Make;
  } cases[] = {
      {"greeting", [&] { return std::make_unique<TGreetingDialog>(version); }},
      {"doctor-input", [&] { return std::make_unique<TDoctorInput>(texts, &main, doctor); }},
      {"input", [&] { return std::make_unique<TMyInputDialog>(texts, &main, "Note", "Note of the test", "", 61); }},
      {"progress",
       [&] {
         return std::make_unique<TWaitingDialog>("Halvetra", "Opening the patient database",
                                                 "Opening the table Names ...", &main);
       }},
      {"select-instrument",
       [&] {
         return std::make_unique<TSelectInstrument>(&texts, &main, "Which instrument do you measure with?",
                                                    "Spirometer", "Body plethysmograph", "Diffusion");
       }},
      {"dde", [&] { return std::make_unique<TDdeDialog>(texts, &main, dde); }},
      {"trend-param", [&] { return std::make_unique<TTrendParam>(&texts, &trendSlot, &main); }},
      {"trend-filter", [&] { return std::make_unique<TTrendFilter>(&texts, &provoked, &lysis, &main); }},
      {"help", [&] { return std::make_unique<THelpWindow>("Help"); }},
      {"audio-config-page",
       [&] { return std::make_unique<TAudioConfigPage>(1, &texts, (Folder / "Halvetra.ini").string(), nullptr); }},
      {"audio-service-page",
       [&] { return std::make_unique<TAudioServicePage>(1, &texts, (Folder / "Halvetra.ini").string(), nullptr); }},
      {"audiometer",
       [&] {
         const std::string ini = (Folder / "Halvetra.ini").string();
         return std::make_unique<TAudioMeter>(Screen.width() / 800.0f, Screen.height() / 600.0f, &texts, ini,
                                              PREDICTED_DATA{}, false, nullptr);
       }},
      {"init-window",
       [&] {
         return std::make_unique<TInitWindow>(texts, nullptr, "",
                                              std::array<std::string, 4>{"Calibrate", "the", "instrument", "now"});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<QWidget> window = c.Make();
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    ExpectFits(*window, c.Name);
  }

  // The parameter choice of each kind of test; the plethysmograph's is the longest.
  const char* kinds[] = {"fvc", "vc", "mvv", "dfc", "plethy", "shutter"};
  for (short kind = 0; kind < 6; ++kind) {
    SCOPED_TRACE(kinds[kind]);
    TParam dialog(texts, &main, kind, flags);
    ExpectFits(dialog, std::string("param-") + kinds[kind]);
  }

  // The BTPS panel draws into the window that holds it, at the sheet's scale.
  const TSheetScale scale = SheetScale(Screen.width(), Screen.height());
  QWidget host;
  host.resize(static_cast<int>(720 * scale.X), static_cast<int>(36 * scale.Y));
  TBTPS panel(scale.X, scale.Y, &host, &texts, (Folder / "Halvetra.ini").string(), 0);
  host.show();
  QApplication::processEvents();
  const QRect used = host.childrenRect();
  EXPECT_LE(used.right(), Screen.width());
  EXPECT_LE(used.bottom(), Screen.height());
  SavePicture(host, "fit-1280x800-btps.png");
}

}  // namespace
