// The component windows in the client: opening, switching and closing them,
// their bars and merged menus, with stand-ins of the windows.

#include "shell/tests/AppFixture.h"
#include "shell/tests/StandIns.h"

#include "common/CommandNumbers.h"
#include "platform/framework/ui/CommandActions.h"
#include "patients/Patient.h"
#include "shell/app/CommandIcons.h"
#include "shell/app/ComponentBar.h"
#include "shell/app/pictures/DrawnPictures.h"
#include "shell/bars/TestToolBox.h"
#include "testing/TemporaryFolder.h"
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
#include <QImage>
#include <QMdiSubWindow>
#include <QStyle>
#include <QPainter>

#include <set>

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

// The pictures the program ships rather than draws.
const std::set<std::string, std::less<>> ShippedButtonPictures{"2107", "24310"};

QImage PictureOf(const QIcon& icon) { return icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32); }

// Every picture any bar, the main bar or the tool box can show is drawn
// (or shipped), none falls to the letters, and no two commands' pictures
// are the same (a copied drawing, or one that draws nothing).
TEST(CommandIcons, EveryBarPictureIsDrawnAndTheDrawingsDiffer) {
  std::set<std::string, std::less<>> shown;
  const auto add = [&](const TBarLayout& bar) {
    for (const TBarGadget& g : bar.Gadgets)
      if (g.Kind == TBarGadget::TKind::Button)
        shown.insert(g.Bitmap.empty() ? std::to_string(g.Id) : g.Bitmap);
  };
  TInstallFlags all{true, true, true, true, 5, 0, 0};
  add(BarLayouts::PatientBar1());
  add(BarLayouts::PatientBar2(true));
  add(BarLayouts::Trend(false));
  add(BarLayouts::Provocation(false));
  add(BarLayouts::Audiometer(0, 0, 50));
  for (const bool stage : {false, true})
    for (const bool provocation : {false, true})
      for (const short type : {0, 1, 2, 3, 4, 5, 6}) {
        BarLayouts::TMeasureBarView view;
        view.StageView = stage;
        view.MeasureType = type;
        view.ProvocationOpen = provocation;
        view.Rates = TBreathingRates{40, 60};
        TBarLayout bar = BarLayouts::Measurement(view);
        BarLayouts::AdaptMeasurementBar(bar, type, view);
        add(bar);
        // The buttons a running test puts in its start buttons' places.
        for (const unsigned start : {CM_START, CM_START2, CM_START3})
          for (const unsigned replacement : {CM_GAS, CM_SHUTTER}) {
            TBarLayout changed = bar;
            BarLayouts::ChangeCommandButton(changed, start, replacement, view);
            add(changed);
          }
      }
  TBarLayout main;
  main.Gadgets = BarLayouts::MainBarTestButtons(all);
  add(main);
  for (const unsigned id : TestToolBox::Buttons(all))
    shown.insert(std::to_string(id));
  for (const unsigned id : {CM_OPEN_PATIENT, CM_EXIT})
    shown.insert(std::to_string(id));

  for (const std::string& name : shown)
    EXPECT_TRUE(!DrawnPicture(name).isNull() || ShippedButtonPictures.contains(name)) << "no picture for " << name;

  const std::vector<std::string_view> names = DrawnPictureNames();
  std::vector<std::pair<std::string_view, QImage>> pictures;
  for (const std::string_view name : names) {
    const QImage picture = PictureOf(DrawnPicture(name));
    ASSERT_EQ(picture.size(), QSize(24, 24)) << name;
    int inked = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x)
        inked += qAlpha(picture.pixel(x, y)) > 128;
    EXPECT_GT(inked, 30) << name << " draws next to nothing";
    // The first shutter picture stands for the shutter command and its first place alike.
    for (const auto& [other, otherPicture] : pictures) {
      if (!(other == "2153" && name == "CM_SHUTTER_ENABLE1")) {
        EXPECT_NE(picture, otherPicture) << name << " looks like " << other;
      }
    }
    pictures.emplace_back(name, picture);
  }
  EXPECT_EQ(std::set<std::string_view>(names.begin(), names.end()).size(), names.size()) << "a name drawn twice";

  // A sheet of every drawing, for the eye.
  QImage sheet(12 * 56, static_cast<int>((pictures.size() + 11) / 12) * 56, QImage::Format_ARGB32);
  sheet.fill(Qt::white);
  {
    QPainter painter(&sheet);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
      const QPoint at(static_cast<int>(i % 12) * 56 + 4, static_cast<int>(i / 12) * 56 + 2);
      painter.drawPixmap(at, DrawnPicture(pictures[i].first).pixmap(48, 48));
    }
  }
  const fs::path artifacts = fs::path(HALVETRA_BINARY_DIR) / "artifacts";
  fs::create_directories(artifacts);
  EXPECT_TRUE(sheet.save(QString::fromStdString((artifacts / "tool-button-pictures.png").string())));
}

// On a desktop with an icon theme, a standard name stands in for the
// picture the button shows: the start of a trial and the measurement's
// save (which shows the patient save's picture) take the theme's, while
// rhinomanometry's start buttons keep their nostrils and a test kind,
// which no standard name fits, keeps its drawing.
TEST(CommandIcons, TheDesktopThemeStandsInForTheButtonsOwnPictureOnly) {
  TTemporaryFolder folder;
  folder.Write("icons/lab/index.theme",
               "[Icon Theme]\nName=lab\nDirectories=24x24/actions\n\n[24x24/actions]\nSize=24\nType=Fixed\n");
  fs::create_directories(folder.Path() / "icons/lab/24x24/actions");
  QImage themed(24, 24, QImage::Format_ARGB32);
  themed.fill(QColor(255, 0, 255));
  for (const char* name : {"media-playback-start", "document-save"})
    ASSERT_TRUE(themed.save(QString::fromStdString((folder.Path() / "icons/lab/24x24/actions" / name).string() + ".png")));
  const QStringList searchPaths = QIcon::themeSearchPaths();
  const QString theme = QIcon::themeName();
  QIcon::setThemeSearchPaths({QString::fromStdString((folder.Path() / "icons").string())});
  QIcon::setThemeName("lab");

  EXPECT_EQ(PictureOf(CommandIcon(CM_START, "", "Start")), themed);
  EXPECT_EQ(PictureOf(CommandIcon(CM_SAVE_MEASUREMENT, std::to_string(CM_PATIENT_SAVE), "Save")), themed);
  EXPECT_EQ(PictureOf(CommandIcon(CM_START, "CM_LEFT_NOSE", "Start")), PictureOf(DrawnPicture("CM_LEFT_NOSE")));
  EXPECT_EQ(PictureOf(CommandIcon(CM_MEASURE_FVC, "", "FVC")), PictureOf(DrawnPicture("2147")));

  QIcon::setThemeName(theme);
  QIcon::setThemeSearchPaths(searchPaths);
}

// On the running program's bars (the main bar, the tool box, the bars of
// every test window, the audiometer and the trend) each button shows the
// picture drawn for it, not the letters of its name, and keeps its tip.
TEST_F(ComponentWindows, ButtonsShowTheirPicturesAndKeepTheirTips) {
  OpenSheet("[Hardware]\nInstall=1\nMode=5\n[Hardware Diffusion Test]\nInstall=1\n[Hardware Plethysmograph]\n"
            "Install=1\n[Audio]\nInstall=1\n[Plethysmograph Parameters]\nBreathingRate=40\nBreathingRateHigh=60\n");
  int checked = 0;
  const auto check = [&](const QIcon& icon, const QString& tip, const std::string& picture, const std::string& where) {
    SCOPED_TRACE(where + " " + picture);
    ++checked;
    // The tool box's own close button has no menu text, so no tip.
    if (picture != std::to_string(CM_MEASURE_MENU_CLOSE)) {
      EXPECT_FALSE(tip.isEmpty()) << "the button keeps its tip";
    }
    EXPECT_NE(PictureOf(icon), PictureOf(LettersPicture(tip))) << "letters: " << tip.toStdString();
    if (ShippedButtonPictures.contains(picture))
      return;
    const QIcon drawn = DrawnPicture(picture);
    ASSERT_FALSE(drawn.isNull());
    EXPECT_EQ(PictureOf(icon), PictureOf(drawn));
  };
  const auto checkBar = [&](QToolBar* bar, const std::string& where) {
    ASSERT_NE(bar, nullptr) << where;
    const auto* component = dynamic_cast<TComponentBar*>(bar);
    for (QAction* action : bar->actions()) {
      const unsigned id = TCommandActions::CommandOf(action);
      if (action->isSeparator() || id == 0)
        continue;
      std::string picture = std::to_string(id);
      const TBarGadget* gadget = component ? component->Layout().Find(id) : nullptr;
      if (gadget && !gadget->Bitmap.empty())
        picture = gadget->Bitmap;
      check(action->icon(), action->toolTip(), picture, where);
    }
  };

  checkBar(App->GetMainBar(), "main bar");
  checkBar(Client().GetBar(BarLayouts::PatientBar1Caption), "patient bar 1");
  checkBar(Client().GetBar(BarLayouts::PatientBar2Caption), "patient bar 2");
  Client().CmMeasureMenu();
  ASSERT_NE(Client().GetToolBox(), nullptr);
  for (const QToolButton* button : Client().GetToolBox()->findChildren<QToolButton*>())
    check(button->icon(), button->toolTip(), button->objectName().toStdString(), "tool box");
  Client().CmMeasureMenuClose();
  Settle();

  const std::pair<unsigned, int> kinds[] = {{CM_MEASURE_FVC, 5881},    {CM_MEASURE_VC, 5881},
                                            {CM_MEASURE_MVV, 5881},    {CM_MEASURE_DFC, 5882},
                                            {CM_MEASURE_PLETHY, 5883}, {CM_MEASURE_SHUTTER, 5883},
                                            {CM_MEASURE_RHINO, 5881}};
  for (const auto& [kind, choice] : kinds) {
    Choice = choice;
    Client().CmMeasure(kind);
    ASSERT_NE(Client().GetMeasureFrame(), nullptr) << kind;
    checkBar(Client().GetBar(BarLayouts::MeasurementCaption), "measurement bar of " + std::to_string(kind));
    Client().GetMeasureFrame()->close();
    Settle();
  }
  Client().CmAudiometer();
  checkBar(Client().GetBar(BarLayouts::AudiometerCaption), "audiometer bar");
  Client().GetAudioMeterFrame()->close();
  Settle();
  Client().CmTrend();
  checkBar(Client().GetBar(BarLayouts::TrendCaption), "trend bar");
  EXPECT_GT(checked, 100);
}

// Each window's frame shows in its title bar the picture of the button that
// opens it, where it used to show the letters of its kind ("FVC", "MVV")
// or the toolkit's logo; a window switched to another test takes that
// test's picture. The main window and every dialog that names no icon of
// its own show the program's.
TEST_F(ComponentWindows, EachFrameShowsThePictureOfTheButtonThatOpensIt) {
  OpenSheet("[Hardware]\nInstall=1\nMode=5\n[Hardware Diffusion Test]\nInstall=1\n[Hardware Plethysmograph]\n"
            "Install=1\n[Audio]\nInstall=1\n[Plethysmograph Parameters]\nBreathingRate=40\nBreathingRateHigh=60\n");
  const QImage program = PictureOf(QIcon(":/icons/1001-32.png"));
  const QImage toolkit = PictureOf(App->GetFrame()->style()->standardIcon(QStyle::SP_TitleBarMenuButton));
  ASSERT_NE(program, toolkit);
  EXPECT_EQ(PictureOf(App->GetFrame()->windowIcon()), program);
  EXPECT_EQ(PictureOf(QApplication::windowIcon()), program);

  std::set<const QMdiSubWindow*> checked;
  const auto check = [&](QMdiSubWindow* frame, const QIcon& expected, const std::string& where) {
    SCOPED_TRACE(where);
    ASSERT_NE(frame, nullptr);
    ASSERT_FALSE(expected.isNull());
    checked.insert(frame);
    const QImage shown = PictureOf(frame->windowIcon());
    EXPECT_EQ(shown, PictureOf(expected));
    EXPECT_NE(shown, toolkit);
    EXPECT_NE(shown, program) << "the main window's icon, which a frame without one of its own shows";
    EXPECT_NE(shown, PictureOf(LettersPicture(frame->windowTitle())));
  };
  const auto drawn = [](unsigned command) { return DrawnPicture(std::to_string(command)); };

  // The sheet's button shows a shipped bitmap rather than a drawing.
  check(Client().GetPatientFrame(), QIcon(":/bitmaps/2107.png"), "patient sheet");
  Client().CmPatientNote();
  check(Client().GetNoteFrame(), drawn(CM_PATIENT_NOTE), "note");

  const std::pair<unsigned, int> kinds[] = {{CM_MEASURE_FVC, 5881},    {CM_MEASURE_VC, 5881},
                                            {CM_MEASURE_MVV, 5881},    {CM_MEASURE_DFC, 5882},
                                            {CM_MEASURE_PLETHY, 5883}, {CM_MEASURE_SHUTTER, 5883},
                                            {CM_MEASURE_RHINO, 5881}};
  for (const auto& [kind, choice] : kinds) {
    Choice = choice;
    Client().CmMeasure(kind);
    check(Client().GetMeasureFrame(), drawn(kind), "opened as " + std::to_string(kind));
    Client().GetMeasureFrame()->close();
    Settle();
  }
  Choice = 5881;
  Client().CmMeasure(CM_MEASURE_FVC);
  for (const unsigned kind : {CM_MEASURE_VC, CM_MEASURE_MVV, CM_MEASURE_RHINO}) {
    Client().CmMeasure(kind);
    check(Client().GetMeasureFrame(), drawn(kind), "switched to " + std::to_string(kind));
  }
  Client().CmAudiometer();
  check(Client().GetAudioMeterFrame(), drawn(CM_AUDIOMETER), "audiometer");
  Client().CmTrend();
  check(Client().GetTrendFrame(), drawn(CM_TREND), "trend");
  // No frame of the client went unchecked.
  for (const QMdiSubWindow* frame : Client().subWindowList())
    EXPECT_TRUE(checked.contains(frame)) << frame->windowTitle().toStdString();
  EXPECT_EQ(Client().subWindowList().size(), 5);

  Client().CmProvocation();
  check(Client().GetProvocationFrame(), drawn(CM_PROVOCATION), "provocation");
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
