// The component windows in the client: opening, switching and closing them,
// their bars and merged menus, with stand-ins of the windows.

#include "shell/tests/AppFixture.h"
#include "shell/tests/StandIns.h"

#include "common/CommandNumbers.h"
#include "platform/framework/ui/CommandActions.h"
#include "patients/Patient.h"
#include "shell/app/CommandIcons.h"
#include "shell/app/ComponentBar.h"
#include "shell/bars/ChildMenus.h"
#include "shell/app/MainFrame.h"
#include "shell/app/MdiChild.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>
#include <QDialog>

namespace fs = std::filesystem;

namespace {

class ComponentWindows : public TAppFixture {
protected:
  void SetUp() override {
    Windows = StandIns.Factories([this] { return App ? static_cast<TEventHandler*>(App->GetClient()) : nullptr; });
    Store = &Recorder;
    Dialogs.SelectInstrument = [this](const std::string& title, const std::array<std::string, 3>& buttons) {
      Choices.push_back({title, buttons[0], buttons[1], buttons[2]});
      return Choice;
    };
  }

  // Starts with a database, the settings given, and the sheet open.
  void OpenSheet(const std::string& ini = "[Hardware]\nInstall=1\nMode=5\n[Audio]\nInstall=1\n") {
    Folder.Write("Halvetra.ini", ini);
    Start();
    CreateDatabase();
    AddPatient("Anna Kovacs", "A-1");
    ASSERT_TRUE(Route(CM_OPEN_PATIENT));
    ASSERT_NE(Client().GetPatientFrame(), nullptr);
  }

  // The texts of the main menu's popups, in order.
  std::vector<std::string> MenuTitles() {
    std::vector<std::string> titles;
    for (QAction* action : App->GetFrame()->menuBar()->actions())
      if (action->menu())
        titles.push_back(action->text().remove('&').toStdString());
    return titles;
  }
  std::string Text(int number) { return QString::fromStdString(App->GetMessages().LoadStringA(number)).remove('&').toStdString(); }

  std::vector<unsigned> MainBarIds() {
    std::vector<unsigned> ids;
    for (QAction* action : App->GetMainBar()->actions())
      if (const unsigned id = TCommandActions::CommandOf(action))
        ids.push_back(id);
    return ids;
  }

  bool Docked(int caption) { return Client().IsBarDocked(Client().GetBar(caption)); }

  void SavePicture(QWidget* widget, const std::string& name) {
    const fs::path artifacts = fs::path(HALVETRA_BINARY_DIR) / "artifacts";
    fs::create_directories(artifacts);
    EXPECT_TRUE(widget->grab().save(QString::fromStdString((artifacts / name).string())));
  }

  void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }

  TStandInWindows StandIns;
  TStoreRecorder Recorder;
  std::vector<std::array<std::string, 4>> Choices;  // the instrument choices asked
  int Choice = 5881;
};

TEST_F(ComponentWindows, TheSheetBringsItsBarsTestButtonsAndMenu) {
  OpenSheet();
  EXPECT_TRUE(Docked(BarLayouts::PatientBar1Caption));
  EXPECT_TRUE(Docked(BarLayouts::PatientBar2Caption));
  EXPECT_EQ(App->GetFrame()->toolBarArea(Client().GetBar(BarLayouts::PatientBar1Caption)), Qt::TopToolBarArea);
  EXPECT_EQ(App->GetFrame()->toolBarArea(Client().GetBar(BarLayouts::PatientBar2Caption)), Qt::BottomToolBarArea);
  const std::vector<unsigned> ids = MainBarIds();
  const std::vector<unsigned> tests{CM_MEASURE_MENU, CM_MEASURE_RHINO, CM_PROVOCATION, CM_AUDIOMETER, CM_FILEPRINT, CM_EXIT};
  ASSERT_GE(ids.size(), tests.size());
  EXPECT_EQ(std::vector<unsigned>(ids.end() - static_cast<long>(tests.size()), ids.end()), tests);
  // The sheet's popup joins between File and Help.
  const std::vector<std::string> titles = MenuTitles();
  ASSERT_GE(titles.size(), 3u);
  EXPECT_EQ(titles[1], Text(124));
  EXPECT_EQ(titles.back(), Text(121));
  SavePicture(App->GetFrame(), "main-window-sheet-bars.png");

  // The sheet goes: its bars, test buttons and popup go with it.
  Client().GetPatientFrame()->close();
  Settle();
  EXPECT_EQ(Client().GetBar(BarLayouts::PatientBar1Caption), nullptr);
  EXPECT_EQ(Client().GetBar(BarLayouts::PatientBar2Caption), nullptr);
  const std::vector<unsigned> after = MainBarIds();
  for (const unsigned id : {CM_MEASURE_MENU, CM_AUDIOMETER, CM_FILEPRINT})
    EXPECT_EQ(std::count(after.begin(), after.end(), id), 0) << id;
  const std::vector<std::string> menus = MenuTitles();
  EXPECT_EQ(std::count(menus.begin(), menus.end(), Text(124)), 0);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(ComponentWindows, FvcOpensAndVcSwitchesTheSameWindow) {
  OpenSheet();
  ASSERT_TRUE(Enabled(CM_MEASURE_FVC));
  ASSERT_TRUE(Route(CM_MEASURE_FVC));
  ASSERT_TRUE(StandIns.Measure);
  THalvetraMDIChild* frame = Client().GetMeasureFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->windowTitle().toStdString(), Text(79));
  // Demonstration installs every instrument: the user chose the first, the
  // rhinomanometer ([Hardware] Mode bit 0).
  ASSERT_EQ(Choices.size(), 1u);
  EXPECT_EQ(Choices[0], (std::array<std::string, 4>{App->GetMessages().LoadStringA(499), App->GetMessages().LoadStringA(404),
                                                   App->GetMessages().LoadStringA(426), App->GetMessages().LoadStringA(475)}));
  EXPECT_EQ(StandIns.Measure->Kind, 2);
  EXPECT_EQ(Recorder.Calls, std::vector<std::string>{"read 0"});
  // The comparison shown last may come back once the working file is in.
  EXPECT_EQ(std::count(StandIns.Measure->Log.Calls.begin(), StandIns.Measure->Log.Calls.end(), "RestorePrePost"), 1);
  EXPECT_TRUE(Docked(43));
  EXPECT_FALSE(Docked(BarLayouts::PatientBar1Caption));
  EXPECT_FALSE(Docked(BarLayouts::PatientBar2Caption));
  EXPECT_TRUE(Client().GetBar(43)->Button(CM_CAKE));
  // The measurement popup hangs under the tests popup.
  EXPECT_EQ(MenuTitles()[1], Text(124));
  SavePicture(App->GetFrame(), "measure-fvc.png");

  TStandInMeasure* window = StandIns.Measure;
  window->Mode = 0;
  ASSERT_TRUE(Enabled(CM_MEASURE_VC));
  ASSERT_TRUE(Route(CM_MEASURE_VC));
  EXPECT_EQ(StandIns.Measure, window);  // the same window
  EXPECT_EQ(Client().GetMeasureFrame(), frame);
  EXPECT_EQ(Recorder.Calls, (std::vector<std::string>{"read 0", "write 0", "read 1"}));
  EXPECT_EQ(window->Mode, 1);
  EXPECT_EQ(frame->windowTitle().toStdString(), Text(80));
  const auto& calls = window->Log.Calls;
  EXPECT_NE(std::find(calls.begin(), calls.end(), "SetZeroPending"), calls.end());
  // A switch of the test in the open window brings nothing back.
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "RestorePrePost"), 1);
  EXPECT_EQ(Client().subWindowList().size(), 2);

  // A work file that cannot be written keeps the window on its test.
  Recorder.FailWrite = true;
  Sink.Messages.clear();
  ASSERT_TRUE(Route(CM_MEASURE_MVV));
  EXPECT_EQ(window->Mode, 1);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_TRUE(Sink.Take(App->GetMessages().Format(6233, {App->GetMessages().LoadStringA(80)})));
}

TEST_F(ComponentWindows, ActivationSwapsBarsAndMenus) {
  OpenSheet("[Hardware]\nInstall=1\n[Audio]\nInstall=1\n");
  ASSERT_TRUE(Route(CM_TREND));  // a trend opens from the browser; here it is asked for directly
  Client().CmTrend();
  Client().CmAudiometer();
  Client().CmMeasure(CM_MEASURE_FVC);
  Client().CmPatientNote();
  struct Case {
    THalvetraMDIChild* frame;
    std::vector<int> bars;
    int popup;
  };
  const std::vector<Case> cases{
      {Client().GetPatientFrame(), {BarLayouts::PatientBar1Caption, BarLayouts::PatientBar2Caption}, 124},
      {Client().GetMeasureFrame(), {43}, 124},
      {Client().GetTrendFrame(), {250}, 250},
      {Client().GetAudioMeterFrame(), {315}, 315},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.frame, nullptr);
    Client().ActivateChild(c.frame);
    for (const int bar : {BarLayouts::PatientBar1Caption, BarLayouts::PatientBar2Caption, 43, 250, 315})
      EXPECT_EQ(Docked(bar), std::find(c.bars.begin(), c.bars.end(), bar) != c.bars.end())
          << c.frame->windowTitle().toStdString() << " bar " << bar;
    EXPECT_EQ(MenuTitles()[1], Text(c.popup)) << c.frame->windowTitle().toStdString();
    if (c.popup == 315)
      SavePicture(App->GetFrame(), "audiometer-bar-menu.png");
    if (c.popup == 250)
      SavePicture(App->GetFrame(), "trend-bar-menu.png");
  }
  // The note changes no bar; its own menu joins.
  Client().ActivateChild(Client().GetNoteFrame());
  EXPECT_TRUE(Docked(315));
  EXPECT_EQ(MenuTitles()[1], Text(251));
}

TEST_F(ComponentWindows, ClosingTheSheetClosesEveryWindowAndAsksOnce) {
  OpenSheet();
  Client().CmProvocation();
  ASSERT_NE(Client().GetProvocationFrame(), nullptr);
  Client().CmMeasure(CM_MEASURE_FVC);
  ASSERT_NE(Client().GetMeasureFrame(), nullptr);
  Client().CmTrend();
  Client().CmPatientNote();
  ASSERT_NE(Client().GetNoteFrame(), nullptr);
  StandIns.Measure->Unsaved = true;
  SavePicture(App->GetFrame(), "provocation-measure.png");

  // A measurement frame in a provocation cannot be closed by the user.
  EXPECT_FALSE(Client().GetMeasureFrame()->close());
  EXPECT_EQ(Sink.Messages.size(), 0u);

  const std::string workFile = App->GetWorkFiles().WorkFile(0);
  Folder.Write(workFile, "results");
  Sink.Answer = IDNO;
  Client().GetPatientFrame()->close();
  Settle();
  EXPECT_TRUE(Client().subWindowList().isEmpty());
  EXPECT_EQ(Client().GetMeasure(), nullptr);
  EXPECT_EQ(Client().GetTrend(), nullptr);
  EXPECT_EQ(Client().GetProvocation(), nullptr);
  EXPECT_FALSE(fs::exists(Folder / workFile));
  const std::string question = App->GetMessages().LoadStringA(288);
  EXPECT_EQ(std::count_if(Sink.Messages.begin(), Sink.Messages.end(),
                          [&](const TUserMessage& m) { return m.Text == question; }),
            1);
  Sink.Take(question);
}

TEST_F(ComponentWindows, ClosingTheNoteKeepsTheOthers) {
  OpenSheet();
  Client().CmMeasure(CM_MEASURE_FVC);
  Client().CmPatientNote();
  ASSERT_NE(Client().GetNoteFrame(), nullptr);
  Client().GetNoteFrame()->close();
  Settle();
  EXPECT_EQ(Client().GetNoteFrame(), nullptr);
  EXPECT_NE(Client().GetMeasureFrame(), nullptr);
  EXPECT_NE(Client().GetPatientFrame(), nullptr);
  EXPECT_TRUE(Docked(43) || Docked(BarLayouts::PatientBar1Caption));
}

TEST_F(ComponentWindows, TheAutomaticSequenceReachesAnOpenAudiometerWhenConfirmed) {
  bool confirm = false;
  int asked = 0;
  Dialogs.AutomaticSetup = [&] {
    ++asked;
    return confirm;
  };
  OpenSheet();
  Client().CmAudiometer();
  ASSERT_TRUE(Route(CM_AUTOMATIC_SETUP));
  confirm = true;
  ASSERT_TRUE(Route(CM_AUTOMATIC_SETUP));
  EXPECT_EQ(asked, 2);
  const auto& calls = StandIns.AudioMeter->Log.Calls;
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "ReadAutomaticSequence"), 1);
  // The windows' reports are mirrored on their bars.
  TComponentBar* audio = Client().GetBar(315);
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(SendMessage(&Client(), WM_SIGNAL_MODE_CHANGED, 0), 1);
  EXPECT_TRUE(audio->IsButtonDown(CM_SIGNAL_MODE1));
  EXPECT_EQ(SendMessage(&Client(), WM_MICROPHONE_CHANGED, 1), 1);
  EXPECT_TRUE(audio->IsButtonDown(CM_MICROPHONE));
  Client().CmTrend();
  TComponentBar* trend = Client().GetBar(250);
  ASSERT_NE(trend, nullptr);
  EXPECT_EQ(SendMessage(&Client(), WM_NORMREL_CHANGED, 1), 1);
  EXPECT_EQ(SendMessage(&Client(), WM_PREDICTED_CHANGED, 1), 1);
  EXPECT_TRUE(trend->IsButtonDown(CM_NORMREL));
  EXPECT_TRUE(trend->IsButtonDown(CM_PREDICTED));
  trend->SetButtonDown(CM_GRID, true);
  EXPECT_EQ(SendMessage(&Client(), WM_GRID_CHANGED), 1);  // the active trend's grid is off
  EXPECT_FALSE(trend->IsButtonDown(CM_GRID));
  Client().ActivateChild(Client().GetAudioMeterFrame());
  // Message 2035 outside the five windows does nothing.
  EXPECT_EQ(SendMessage(&Client(), WM_SHOW_CHILD_WINDOW, 7), 1);
  EXPECT_EQ(Client().activeSubWindow(), Client().GetAudioMeterFrame());
  EXPECT_EQ(SendMessage(&Client(), WM_SHOW_CHILD_WINDOW, 0), 1);
  EXPECT_EQ(Client().activeSubWindow(), Client().GetPatientFrame());
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(ComponentWindows, ASaveThatFailsAsTheWindowClosesKeepsItOpenWithItsWorkFiles) {
  OpenSheet();
  Client().CmMeasure(CM_MEASURE_FVC);
  StandIns.Measure->Unsaved = true;
  const std::string workFile = App->GetWorkFiles().WorkFile(0);
  Folder.Write(workFile, "results");
  Recorder.FailSave = true;
  Sink.Answer = IDYES;
  EXPECT_FALSE(Client().GetMeasureFrame()->close());
  Settle();
  EXPECT_NE(Client().GetMeasure(), nullptr);
  EXPECT_TRUE(fs::exists(Folder / workFile));
  EXPECT_EQ(Recorder.Calls.back(), "save");

  // Saved the next time: the window goes.
  Recorder.FailSave = false;
  EXPECT_TRUE(Client().GetMeasureFrame()->close());
  Settle();
  EXPECT_EQ(Client().GetMeasure(), nullptr);
  EXPECT_EQ(Client().GetBar(43), nullptr);

  // The sheet closes while the results cannot be saved: the measurement
  // stays with its work files, asked once.
  Client().CmMeasure(CM_MEASURE_FVC);
  StandIns.Measure->Unsaved = true;
  Folder.Write(workFile, "results");
  Recorder.FailSave = true;
  Sink.Messages.clear();
  Client().GetPatientFrame()->close();
  Settle();
  EXPECT_EQ(Client().GetPatientFrame(), nullptr);
  EXPECT_NE(Client().GetMeasure(), nullptr);
  EXPECT_TRUE(fs::exists(Folder / workFile));
  const std::string question = App->GetMessages().LoadStringA(288);
  EXPECT_EQ(std::count_if(Sink.Messages.begin(), Sink.Messages.end(),
                          [&](const TUserMessage& m) { return m.Text == question; }),
            1);
  Sink.Take(question);
}

TEST_F(ComponentWindows, OwnerButtonsTalkToTheirWindow) {
  Folder.Write("help/English/index.html", "<h1>Contents</h1>");  // help mode needs the pages
  OpenSheet();
  Client().CmMeasure(CM_MEASURE_FVC);
  TComponentBar* bar = Client().GetBar(43);
  ASSERT_NE(bar, nullptr);
  App->GetActions()->UpdateAll();
  QAction* grid = bar->Button(CM_GRID);
  ASSERT_NE(grid, nullptr);
  ASSERT_TRUE(grid->isChecked());

  // In context-help mode a toggle asks for help and does not toggle.
  App->CmHelpMode();
  ASSERT_TRUE(App->IsHelpMode());
  grid->trigger();
  EXPECT_TRUE(grid->isChecked());
  EXPECT_EQ(StandIns.Measure->Log.CountOf(WM_ASK_HELP_CONTEXT), 1);
  EXPECT_EQ(StandIns.Measure->Log.CountOf(CM_GRID), 0);
  App->LeaveHelpMode();
  // Pressed down it tells the window; the table buttons always do.
  grid->trigger();  // up
  grid->trigger();  // down
  EXPECT_EQ(StandIns.Measure->Log.CountOf(CM_GRID), 1);
  bar->Button(CM_TABLE2)->trigger();
  EXPECT_EQ(StandIns.Measure->Log.CountOf(CM_TABLE2), 1);
  // The mirrored state follows the window's report.
  StandIns.Measure->Cake = false;
  EXPECT_EQ(SendMessage(&Client(), WM_CAKE_CHANGED), 1);
  EXPECT_FALSE(bar->IsButtonDown(CM_CAKE));

  // The audiometer's slider: one command per move.
  Client().GetMeasureFrame()->close();
  Settle();
  Client().CmAudiometer();
  TComponentBar* audio = Client().GetBar(315);
  ASSERT_NE(audio, nullptr);
  ASSERT_NE(audio->Slider(), nullptr);
  for (int i = 1; i <= 5; ++i)
    audio->Slider()->setValue(40 + i);
  EXPECT_EQ(StandIns.AudioMeter->Log.CountCommand(CM_MICROPHONE_VOLUME), 5);
  EXPECT_EQ(SendMessage(&Client(), WM_ALGORITHM_CHANGED, 3), 1);
  EXPECT_TRUE(audio->IsButtonDown(CM_ALGORITHM4));
  EXPECT_FALSE(audio->IsButtonDown(CM_ALGORITHM2));
  EXPECT_TRUE(audio->IsButtonDown(CM_SIGNAL_MODE3));  // another group
  SavePicture(audio, "audiometer-bar.png");

  // A press after the window went does nothing.
  QPointer<TComponentBar> gone = audio;
  QAction* microphone = audio->Button(CM_MICROPHONE);
  Client().GetAudioMeterFrame()->close();
  Settle();
  EXPECT_TRUE(gone.isNull());
  (void)microphone;
}

}  // namespace

namespace {

// Pictures of the bars of every kind of window and of the merged menus.
// Every button of the bars has a picture and names its command: the gas
// analysis of the diffusion test, which has no bitmap of its own, used to
// show its bare number "2106".
TEST_F(ComponentWindows, EveryButtonHasAPictureAndNoBareNumber) {
  OpenSheet();
  ASSERT_TRUE(Route(CM_MEASURE_FVC));
  TBarLayout layout = BarLayouts::Measurement(BarLayouts::TMeasureBarView{});
  ASSERT_TRUE(BarLayouts::ChangeCommandButton(layout, CM_START, CM_GAS, BarLayouts::TMeasureBarView{}));
  TComponentBar::TContext context;
  context.Texts = &App->GetMessages();
  context.Tip = [this](unsigned id) -> std::optional<std::string> {
    const int number = ChildMenus::TextNumberOf(id);
    return number < 0 ? std::nullopt : std::optional(App->GetMessages().LoadStringA(number));
  };
  TComponentBar gas(layout, nullptr, context);
  ASSERT_NE(gas.Button(CM_GAS), nullptr);
  EXPECT_EQ(gas.Button(CM_GAS)->text().toStdString(), Text(ChildMenus::TextNumberOf(CM_GAS)));

  std::vector<QToolBar*> bars{App->GetMainBar(), &gas};
  for (QToolBar* bar : App->GetFrame()->findChildren<QToolBar*>())
    bars.push_back(bar);
  for (QToolBar* bar : bars)
    for (QAction* action : bar->actions()) {
      if (action->isSeparator() || TCommandActions::CommandOf(action) == 0)
        continue;
      const QString text = action->text();
      EXPECT_FALSE(action->icon().isNull()) << text.toStdString();
      bool number = false;
      text.toUInt(&number);
      EXPECT_FALSE(number) << "a bare command number: " << text.toStdString();
    }
}

TEST(CommandIcons, TheLettersOfTheLastFallback) {
  const std::pair<const char*, const char*> cases[] = {
      {"&Gas analysis", "GA"}, {"Zoo&m", "ZOO"}, {"Pre/post comparison", "PPC"}, {"Start the test now", "STT"}, {"", ""}};
  for (const auto& [name, letters] : cases)
    EXPECT_EQ(IconLetters(name).toStdString(), letters) << name;
  EXPECT_EQ(ThemeIconName(CM_PATIENT_SAVE), "document-save");
  EXPECT_EQ(ThemeIconName(CM_FILEPRINT), "document-print");
  EXPECT_EQ(ThemeIconName(CM_START), "media-playback-start");
  EXPECT_TRUE(ThemeIconName(CM_GAS).empty());
}

TEST_F(ComponentWindows, PicturesOfTheBarsMenusAndToolBox) {
  OpenSheet("[Hardware]\nInstall=1\nMode=5\n[Hardware Plethysmograph]\nInstall=1\n[Audio]\nInstall=1\n"
            "[Plethysmograph Parameters]\nBreathingRate=40\nBreathingRateHigh=60\n");
  // The popup between File and Help.
  const auto childPopup = [this]() -> QMenu* {
    std::vector<QMenu*> popups;
    for (QAction* action : App->GetFrame()->menuBar()->actions())
      if (action->menu())
        popups.push_back(action->menu());
    return popups.size() == 3 ? popups[1] : nullptr;
  };
  const auto menuPicture = [&](const std::string& name) {
    QMenu* popup = childPopup();
    ASSERT_NE(popup, nullptr);
    popup->adjustSize();
    SavePicture(popup, name);
  };
  menuPicture("menu-patient.png");

  Client().CmMeasure(CM_MEASURE_RHINO);
  TComponentBar* bar = Client().GetBar(43);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Button(CM_START)->toolTip().toStdString(), Text(312) + " - Anterior");
  EXPECT_EQ(bar->Button(CM_START3)->toolTip().toStdString(), "Posterior");
  EXPECT_EQ(bar->Button(CM_CAKE), nullptr);
  SavePicture(App->GetFrame(), "measure-rhinomanometry.png");
  Client().GetMeasureFrame()->close();
  Settle();

  Choice = 5883;  // the plethysmograph
  Client().CmMeasure(CM_MEASURE_PLETHY);
  bar = Client().GetBar(43);
  ASSERT_NE(bar, nullptr);
  EXPECT_NE(bar->Button(CM_BREATHING_RATE_HIGH), nullptr);
  EXPECT_NE(bar->Button(CM_RESISTANCE_LOOP1), nullptr);
  EXPECT_EQ(bar->Button(CM_CAKE), nullptr);
  EXPECT_EQ(bar->Button(CM_START)->toolTip().toStdString(), Text(128));  // the menu's text
  // The breathing rate: the pair's states and the window's rate.
  App->GetActions()->UpdateAll();
  ASSERT_TRUE(Route(CM_BREATHING_RATE_HIGH));
  EXPECT_TRUE(bar->IsButtonDown(CM_BREATHING_RATE_HIGH));
  EXPECT_FALSE(bar->IsButtonDown(CM_BREATHING_RATE));
  EXPECT_EQ(StandIns.Measure->Log.Calls.back(), "SetBRate 1");
  SavePicture(App->GetFrame(), "measure-plethysmography.png");
  menuPicture("menu-measurement.png");
  if (QMenu* tests = childPopup(); tests && !tests->actions().isEmpty())
    if (QMenu* measurement = tests->actions().back()->menu()) {
      measurement->adjustSize();
      SavePicture(measurement, "menu-measurement-popup.png");
    }
  Client().GetMeasureFrame()->close();
  Settle();

  Client().SetStageView(true);
  Client().CmMeasure(CM_MEASURE_FVC);
  EXPECT_EQ(Client().GetMeasureFrame()->windowTitle().toStdString(), Text(539) + " " + Text(79));
  EXPECT_EQ(Recorder.Calls.back(), "read 0");
  SavePicture(App->GetFrame(), "measure-stage-view.png");
  Client().GetMeasureFrame()->close();
  Settle();
  Client().SetStageView(false);

  Client().CmProvocation();
  SavePicture(App->GetFrame(), "provocation-bar.png");
  menuPicture("menu-provocation.png");
  Client().GetProvocationFrame()->close();
  Settle();
  Client().CmTrend();
  menuPicture("menu-trend.png");
  Client().GetTrendFrame()->close();
  Settle();
  Client().CmAudiometer();
  menuPicture("menu-audiometer.png");
  Client().GetAudioMeterFrame()->close();
  Settle();
  Client().CmPatientNote();
  menuPicture("menu-note.png");
  Client().GetNoteFrame()->close();
  Settle();

  // The tool box beside the test button, with the installed tests.
  Client().CmMeasureMenu();
  QDialog* box = Client().GetToolBox();
  ASSERT_NE(box, nullptr);
  std::vector<unsigned> ids;
  for (const QToolButton* button : box->findChildren<QToolButton*>())
    ids.push_back(button->objectName().toUInt());
  EXPECT_EQ(ids, (std::vector<unsigned>{CM_MEASURE_FVC, CM_MEASURE_VC, CM_MEASURE_MVV, CM_MEASURE_DFC, CM_MEASURE_PLETHY,
                                        CM_MEASURE_SHUTTER, CM_MEASURE_MENU_CLOSE}));
  SavePicture(box, "tool-box.png");
  // A test chosen from it closes it before the window opens.
  Choice = 5881;
  box->findChild<QToolButton*>(QString::number(CM_MEASURE_VC))->click();
  EXPECT_EQ(Client().GetToolBox(), nullptr);
  EXPECT_NE(Client().GetMeasure(), nullptr);
}

}  // namespace
