#include "shell/tests/AppFixture.h"
#include "shell/tests/ExpectedMainMenu.h"

#include "common/CommandNumbers.h"
#include "patients/Patient.h"
#include "patients/PatientControls.h"
#include "platform/framework/Profile.h"
#include "platform/framework/ui/CommandActions.h"
#include "shell/app/GreetingDialog.h"
#include "shell/app/MainFrame.h"
#include "shell/app/MdiClient.h"

#include <QAction>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>

#include <fstream>

namespace fs = std::filesystem;

namespace {


void Describe(const QList<QAction*>& actions, int depth, std::vector<std::string>& out) {
  for (QAction* action : actions) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    if (action->isSeparator()) {
      out.push_back(indent + "-");
    } else if (QMenu* menu = action->menu()) {
      out.push_back(indent + "pop-up " + action->text().toStdString());
      Describe(menu->actions(), depth + 1, out);
    } else {
      out.push_back(indent + std::to_string(TCommandActions::CommandOf(action)) + " " + action->text().toStdString());
    }
  }
}

std::vector<std::string> Describe(const std::vector<TExpectedItem>& items, const TMessage& texts) {
  std::vector<std::string> out;
  for (const TExpectedItem& item : items) {
    const std::string indent(static_cast<std::size_t>(item.Depth) * 2, ' ');
    const std::string text = (item.Text < 0 ? std::string("EKG") : texts.LoadStringA(item.Text)) + (item.Dots ? "..." : "");
    if (item.Kind == '-')
      out.push_back(indent + "-");
    else if (item.Kind == 'P')
      out.push_back(indent + "pop-up " + text);
    else
      out.push_back(indent + std::to_string(item.Id) + " " + text);
  }
  return out;
}

class AppStart : public TAppFixture {};

TEST_F(AppStart, TheGreetingStaysTwoSecondsWhileTheGaugeRunsAndThenTheMainWindowIsShown) {
  const TClock::TTime started = Clock.Time;
  THalvetraApp& app = Construct();
  TGreetingDialog* greeting = app.GetGreeting();
  ASSERT_NE(greeting, nullptr);
  EXPECT_TRUE(greeting->isVisible());
  EXPECT_EQ(greeting->GetProgress(), 20);  // settings read, work files named
  SavePicture(*greeting, "greeting.png");

  std::vector<int> gauge;
  QObject::connect(greeting->findChild<QProgressBar*>("5450"), &QProgressBar::valueChanged,
                   [&](int value) { gauge.push_back(value); });
  TClock::TTime closedAt{};
  QObject::connect(greeting, &QObject::destroyed, [&] { closedAt = Clock.Time; });
  Clock.Time += TClock::TTime(150);  // the rest of the start takes a while

  app.InitMainWindow();
  EXPECT_EQ(gauge, (std::vector<int>{30, 40, 50, 60, 70, 100}));
  EXPECT_EQ(app.GetGreeting(), nullptr);
  EXPECT_GE(closedAt - started, TClock::TTime(2000));
  EXPECT_EQ(Clock.Waits, (std::vector<TClock::TTime>{started + TClock::TTime(2000)}));

  TMainFrame* frame = app.GetFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(frame->isMaximized());
  EXPECT_EQ(frame->windowTitle(), "Halvetra32");
  EXPECT_EQ(frame->centralWidget(), app.GetClient());
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(AppStart, ALongStartClosesTheGreetingWithoutWaitingMore) {
  THalvetraApp& app = Construct();
  Clock.Time += TClock::TTime(2500);
  const TClock::TTime before = Clock.Time;
  app.InitMainWindow();
  EXPECT_EQ(Clock.Time, before);
  EXPECT_EQ(app.GetGreeting(), nullptr);
}

TEST_F(AppStart, ShowCommandsZeroAndSevenAreKeptAndEveryOtherMaximizes) {
  EXPECT_FALSE(Start("-d", 0).GetFrame()->isVisible());
  App.reset();
  EXPECT_TRUE(Start("-d", 7).GetFrame()->isMinimized());
  App.reset();
  EXPECT_TRUE(Start("-d", 3).GetFrame()->isMaximized());
}

TEST_F(AppStart, MenuAndMainBarCarryTheirCommandsAndTexts) {
  THalvetraApp& app = Start();
  std::vector<std::string> menu;
  Describe(app.GetFrame()->menuBar()->actions(), 0, menu);
  EXPECT_EQ(menu, Describe(ExpectedMainMenu(false, false), app.GetMessages()));
  EXPECT_FALSE(app.IsEcgAvailable());

  QToolBar* bar = app.GetMainBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->objectName(), "32041");
  EXPECT_EQ(bar->windowTitle().toStdString(), app.GetMessages().LoadStringA(42));
  EXPECT_EQ(app.GetFrame()->toolBarArea(bar), Qt::LeftToolBarArea);
  EXPECT_EQ(bar->font().pointSize(), 10);
  const QList<QAction*> buttons = bar->actions();
  ASSERT_EQ(buttons.size(), 3);
  EXPECT_EQ(TCommandActions::CommandOf(buttons[0]), CM_OPEN_PATIENT);
  EXPECT_FALSE(buttons[0]->icon().isNull());
  auto* spacer = bar->widgetForAction(buttons[1]);
  ASSERT_NE(spacer, nullptr);
  EXPECT_FALSE(spacer->isEnabled());
  EXPECT_EQ(spacer->size(), QSize(3, 10));
  EXPECT_EQ(TCommandActions::CommandOf(buttons[2]), CM_EXIT);
  EXPECT_FALSE(buttons[2]->icon().isNull());

  // No database yet: a patient cannot be opened, the program can be left.
  EXPECT_FALSE(buttons[0]->isEnabled());
  EXPECT_TRUE(buttons[2]->isEnabled());
  SavePicture(*app.GetFrame(), "main-window.png");
  QMenu* file = app.GetFrame()->menuBar()->actions()[0]->menu();
  file->popup(app.GetFrame()->mapToGlobal(QPoint(0, 20)));
  QMenu* settings = file->actions()[5]->menu();
  settings->popup(file->mapToGlobal(QPoint(file->width(), 0)));
  QApplication::processEvents();
  SavePicture(*file, "file-menu.png");
  SavePicture(*settings, "settings-menu.png");
  settings->close();
  file->close();
}

TEST_F(AppStart, TheEcgAndUsbItemsJoinTheMenuWhenTheSettingsAskForThem) {
  Folder.Write("ecg/korvan.exe", "program");
  Folder.Write("ecg/korvan32.exe", "program");
  Folder.Write("Halvetra.ini", "[Korvane]\nPath=.\\ecg\n[Program]\nAddUSBDescription=1\n");
  THalvetraApp& app = Start();
  std::vector<std::string> menu;
  Describe(app.GetFrame()->menuBar()->actions(), 0, menu);
  EXPECT_EQ(menu, Describe(ExpectedMainMenu(true, true), app.GetMessages()));  // one ECG item only
  EXPECT_TRUE(app.IsEcgAvailable());
}

TEST_F(AppStart, EnablersAnswerForTheMainMenu) {
  THalvetraApp& app = Start();
  for (const unsigned id : {CM_EXIT, CM_ABOUT, CM_START_UP_SETTINGS, CM_USB_DESCRIPTION, CM_INSTITUTE,
                            CM_HARDWARE_SETUP, CM_AUDIO_SETUP, CM_AUDIO_CALIBRATION})
    EXPECT_TRUE(Enabled(id)) << id;
  for (const unsigned id : {CM_OPEN_PATIENT, CM_DATABASE_LOCATION, CM_DOCTORS, CM_NEW_DATABASE, CM_HELP_INDEX,
                            CM_HELP_MODE, CM_HELP_ON_HELP, CM_PATIENT_NEW, CM_PATIENT_NOTE, CM_FILEPRINT})
    EXPECT_FALSE(Enabled(id)) << id;

  // With the database's tables the patient can be opened.
  for (const char* table : {"Database/doctor.db", "Database/Data/names.db", "Database/Data/meet.db",
                            "Database/Data/fvc.db", "Database/Data/vc.db", "Database/Data/mvv.db",
                            "Database/Data/audio.db", "Database/Data/rhino.db", "Database/Data/dfc.db",
                            "Database/Data/sh.db", "Database/Data/pl.db"})
    Folder.Write(table, "");
  EXPECT_TRUE(Enabled(CM_OPEN_PATIENT));
  app.GetActions()->UpdateAll();
  EXPECT_TRUE(app.GetMainBar()->actions()[0]->isEnabled());
}

TEST_F(AppStart, WithADatabaseDriverTheDatabaseDialogsAreOffered) {
  Folder.Write("Halvetra.ini", "[Databases]\nLanguageDriver=ansiintl\n");
  Start();
  EXPECT_TRUE(Enabled(CM_DATABASE_LOCATION));
  EXPECT_TRUE(Enabled(CM_DOCTORS));
}

TEST_F(AppStart, CommandsWhoseDialogsComeLaterSaySoAndChangeNothing) {
  Folder.Write("Halvetra.ini", "[StartUp]\nPageType=1\n");
  THalvetraApp& app = Start();
  // The calibration has its own dialog; the "Audio" sheet waits for its pages.
  for (const unsigned id : {CM_AUDIO_SETUP}) {
    Sink.Messages.clear();
    EXPECT_TRUE(app.GetActions()->Chain().Route(id));
    ASSERT_EQ(Sink.Messages.size(), 1u) << id;
    EXPECT_TRUE(Shown(9000)) << id;
  }
  EXPECT_EQ(TTemporaryFolder::Read(Folder / "Halvetra.ini"), "[StartUp]\nPageType=1\n");
}

TEST_F(AppStart, ConfirmedStartUpSettingsAreWrittenForTheNextStart) {
  Dialogs.StartUp = [](TStartUpStruct& values) {
    values.DefaultUnit = 1;
    return IDOK;
  };
  THalvetraApp& app = Start();
  EXPECT_TRUE(app.GetActions()->Chain().Route(CM_START_UP_SETTINGS));
  EXPECT_EQ(TProfile("StartUp", ".\\Halvetra.ini").GetInt("DefaultUnit", 0), 1);
  EXPECT_EQ(app.GetSettings().DefaultUnit, 0);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(AppStart, AboutShowsTheVersionOfTheBuild) {
  THalvetraApp& app = Start();
  std::string title, version;
  QTimer::singleShot(0, [&] {
    QWidget* about = QApplication::activeModalWidget();
    ASSERT_NE(about, nullptr);
    title = about->windowTitle().toStdString();
    version = about->findChild<QLabel*>("22001")->text().toStdString();
    SavePicture(*about, "about.png");
    about->close();
  });
  EXPECT_TRUE(app.GetActions()->Chain().Route(CM_ABOUT));
  EXPECT_EQ(title, app.GetMessages().LoadStringA(97));
  EXPECT_EQ(version, "Halvetra " + app.GetMessages().LoadStringA(98) + " " + HALVETRA_VERSION);
}

TEST_F(AppStart, LeftoverWorkFilesGoAtStartAndThisRunsGoAtTheEnd) {
  Folder.Write("OLDOLDOL.~IN", "an earlier run");
  Folder.Write("OLDOLDOL.~00", "an earlier provocation stage");
  Folder.Write("Notes.~in", "somebody else's");
  THalvetraApp& app = Start();
  EXPECT_FALSE(fs::exists("OLDOLDOL.~IN"));
  EXPECT_TRUE(fs::exists("OLDOLDOL.~00"));  // stage files stay until the client deletes
  EXPECT_TRUE(fs::exists("Notes.~in"));

  // Once the client exists and no provocation is open, stage files go too.
  app.DeleteTempFiles();
  EXPECT_FALSE(fs::exists("OLDOLDOL.~00"));

  const auto& made = app.GetWorkFiles().WorkFileSlots();
  const std::vector<std::string> names(made.begin(), made.end());
  for (const std::string& name : names)
    Folder.Write(name, "results");
  App.reset();
  for (const std::string& name : names)
    EXPECT_FALSE(fs::exists(name));
  EXPECT_TRUE(fs::exists("Notes.~in"));
}

TEST_F(AppStart, ThePrivateFontIsAddedOnlyWhenItIsThere) {
  EXPECT_FALSE(Start().IsFontAdded());
  App.reset();

  fs::copy_file("/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf", "hatten.ttf");
  const int font = Start().GetFontId();
  ASSERT_GE(font, 0);
  EXPECT_FALSE(QFontDatabase::applicationFontFamilies(font).isEmpty());
  App.reset();
  EXPECT_TRUE(QFontDatabase::applicationFontFamilies(font).isEmpty());  // removed at the end
}

TEST_F(AppStart, BadSettingsAreReportedAndTheProgramStartsWithDefaults) {
  fs::create_directory("Halvetra.ini");
  Dialogs.StartUp = [](TStartUpStruct&) { return IDOK; };
  THalvetraApp& app = Start();
  EXPECT_TRUE(Shown(9001, {"./Halvetra.ini", "it is a folder"}));
  EXPECT_TRUE(app.GetFrame()->isVisible());
  EXPECT_EQ(app.GetSettings().PageType, 2);

  // Settings that cannot be saved say so, once for each key of the file.
  EXPECT_TRUE(Sink.Messages.empty());
  app.GetActions()->Chain().Route(CM_START_UP_SETTINGS);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  const std::string failure = "Cannot replace \"./Halvetra.ini\": Is a directory";
  std::string failures;
  for (std::size_t at = Sink.Messages[0].Text.find(failure); at != std::string::npos;
       at = Sink.Messages[0].Text.find(failure, at + 1))
    failures += (failures.empty() ? "" : "\n") + failure;
  EXPECT_TRUE(Shown(9005, {failures}));
  EXPECT_TRUE(fs::is_directory("Halvetra.ini"));
}

TEST_F(AppStart, AMalformedSettingsFileIsLeftAsItWas) {
  static constexpr char raw[] = "\xFF\xFE[StartUp\nLanguage=\x80\x81\n[Path]]\nProgram\n\0\0\0";
  const std::string garbage(raw, sizeof raw - 1);
  Folder.Write("Halvetra.ini", garbage);
  THalvetraApp& app = Start();
  EXPECT_TRUE(app.GetFrame()->isVisible());
  App.reset();
  EXPECT_EQ(TTemporaryFolder::Read(Folder / "Halvetra.ini"), garbage);
}

TEST_F(AppStart, UnknownLanguagesAndWindowsDrivesAreNamed) {
  Folder.Write("Halvetra.ini", "[StartUp]\nLanguage=..\\..\\secret\n[Path]\nProgram=c:\\halvetra\n");
  THalvetraApp& app = Start();
  EXPECT_EQ(app.GetMessages().GetLanguageName(), "English");
  EXPECT_TRUE(Shown(9004, {"..\\..\\secret"}));
  EXPECT_TRUE(Shown(9003, {"c:\\halvetra\nc:\\halvetra\\Database\\Data\nc:\\halvetra\\Database\nc:\\halvetra\\Private\nc:\\halvetra\\EMail"}));
  EXPECT_TRUE(app.GetFrame()->isVisible());
}

TEST_F(AppStart, AMissingHandOverFileIsNamedAndAPresentOneIsOpened) {
  Start("-pPatient.ini");
  EXPECT_TRUE(Shown(9002, {"./Patient.ini"}));
  QApplication::processEvents();
  EXPECT_FALSE(Shown(9000));  // nothing to open
  App.reset();
  Sink.Messages.clear();

  Folder.Write("Patient.ini", "[Patient]\nName=Sample\n");
  Construct("-pPatient.ini");
  CreateDatabase();
  App->InitMainWindow();
  EXPECT_FALSE(Shown(9002));
  QApplication::processEvents();
  // The patient sheet opens, on an empty table, with the patient handed over.
  ASSERT_NE(App->GetClient()->GetPatient(), nullptr);
  EXPECT_EQ(App->GetClient()->GetPatient()->GetText(PatientControl::Name), "Sample");
  EXPECT_TRUE(App->GetClient()->GetPatient()->IsNewRecord());
  EXPECT_TRUE(fs::exists(Folder / "Patient.ini"));  // until he is saved
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(AppStart, AHandOverFileIsNamedByAnAbsolutePathOrOneInTheWorkingFolder) {
  const fs::path elsewhere = Folder / "in";
  fs::create_directory(elsewhere);
  const fs::path absent = elsewhere / "Nobody.ini";
  Start("-p" + absent.string());
  EXPECT_EQ(Sink.Messages.size(), 1u);
  EXPECT_TRUE(Shown(9002, {absent.string()}));
  App.reset();

  for (const std::string& named : {(elsewhere / "Patient.ini").string(), std::string("in/Patient.ini")}) {
    SCOPED_TRACE(named);
    Sink.Messages.clear();
    Folder.Write("in/Patient.ini", "[Patient]\nName=Sample\n");
    Construct("-p" + named);
    if (!fs::exists(Folder / "Database/Data/names.db"))
      CreateDatabase();
    App->InitMainWindow();
    QApplication::processEvents();
    ASSERT_NE(App->GetClient()->GetPatient(), nullptr);
    EXPECT_EQ(App->GetClient()->GetPatient()->GetText(PatientControl::Name), "Sample");
    EXPECT_TRUE(Sink.Messages.empty());
    App.reset();
  }
}

TEST_F(AppStart, ALanguageFileThatIsGoneOrLacksTextsIsNamedAndTheBuiltInEnglishStandsIn) {
  const std::string english = TTemporaryFolder::Read(fs::path(HALVETRA_SOURCE_DIR) / "resources/lang/English.txt");
  // The numbered texts of a file: lines that begin with a digit.
  const auto numbered = [](std::string_view text) {
    int count = 0;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
      if (text[at] >= '0' && text[at] <= '9')
        ++count;
      if (text.find('\n', at) == std::string_view::npos)
        break;
    }
    return count;
  };
  const int all = numbered(english);
  const std::string truncated = english.substr(0, english.find("\n6001="));
  const auto lacks = [&](int missing) {
    return "lacks " + std::to_string(missing) + " of the " + std::to_string(all) + " texts Halvetra needs";
  };
  const struct {
    const char* name;
    std::optional<std::string> file;
    std::string problem;
  } cases[] = {
      {"missing", std::nullopt, "cannot be read"},
      {"empty", std::string(), lacks(all)},
      {"truncated", truncated, lacks(all - numbered(truncated))},
      {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), lacks(all)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LanguageFolder = Folder / (std::string("lang-") + c.name);
    fs::create_directories(LanguageFolder);
    if (c.file)
      Folder.Write(std::string("lang-") + c.name + "/English.txt", *c.file);
    THalvetraApp& app = Start();
    // Every label has its words, not "#106".
    EXPECT_EQ(app.GetMessages().LoadStringA(106), "&Open patient");
    EXPECT_TRUE(Shown(9007, {(LanguageFolder / "English.txt").string(), c.problem})) << (Sink.Messages.empty() ? "" : Sink.Messages[0].Text);
    App.reset();
    Sink.ExpectAllTaken();
  }
}

TEST(AppStartElsewhere, AWorkingFolderThatCannotBeWrittenStillStarts) {
  const fs::path previous = fs::current_path();
  fs::current_path("/proc");  // no folder can be made here, not even by root
  TFakeClock clock;
  TRecordingSink sink;
  {
    TAppOptions options;
    options.CommandLine = "-d";
    options.Clock = &clock;
    options.Sink = &sink;
    THalvetraApp app(std::move(options));
    app.InitMainWindow();
    EXPECT_TRUE(app.GetFrame()->isVisible());
    EXPECT_FALSE(fs::exists("/proc/Database"));
  }
  fs::current_path(previous);
  // The folders that could not be made are named, in one message.
  ASSERT_EQ(sink.Messages.size(), 1u);
  const std::string& text = sink.Messages[0].Text;
  EXPECT_TRUE(text.starts_with("These folders could not be made")) << text;
  EXPECT_NE(text.find("\"./Database\""), std::string::npos) << text;
}

TEST_F(AppStart, ContextHelpShowsTheHelpOfACommandInsteadOfRunningIt) {
  Folder.Write("help/English/index.html", "<h1>Contents</h1>");
  Folder.Write("help/English/2119.html", "<h1>Start-up settings</h1>");
  THalvetraApp& app = Start();
  ASSERT_TRUE(app.IsHelpFileExists());
  EXPECT_TRUE(Enabled(CM_HELP_MODE));
  const auto helpWindow = [] {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->objectName() == "HelpWindow")
        return qobject_cast<QTextBrowser*>(window);
    return static_cast<QTextBrowser*>(nullptr);
  };

  EXPECT_TRUE(app.GetActions()->Chain().Route(CM_HELP_INDEX));
  ASSERT_NE(helpWindow(), nullptr);
  EXPECT_TRUE(helpWindow()->toPlainText().contains("Contents"));
  EXPECT_TRUE(app.IsHelpUsed());

  EXPECT_TRUE(app.GetActions()->Chain().Route(CM_HELP_MODE));
  EXPECT_TRUE(app.IsHelpMode());
  EXPECT_EQ(SendMessage(&app, WM_GET_HELP_MODE), 1);
  EXPECT_TRUE(app.GetActions()->Chain().Route(CM_START_UP_SETTINGS));
  EXPECT_TRUE(helpWindow()->toPlainText().contains("Start-up settings"));
  EXPECT_TRUE(Sink.Messages.empty());  // the command itself did not run
  EXPECT_FALSE(app.IsHelpMode());      // showing help ends the mode

  // Shift+F1 enters the mode, Esc leaves it, F1 opens the contents.
  QKeyEvent shiftF1(QEvent::KeyPress, Qt::Key_F1, Qt::ShiftModifier);
  QApplication::sendEvent(app.GetFrame(), &shiftF1);
  EXPECT_TRUE(app.IsHelpMode());
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(app.GetFrame(), &escape);
  EXPECT_FALSE(app.IsHelpMode());
  helpWindow()->clear();
  QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  QApplication::sendEvent(app.GetFrame(), &f1);
  EXPECT_TRUE(helpWindow()->toPlainText().contains("Contents"));

  // A help request of a dialog: its id is the context.
  EXPECT_EQ(SendMessage(&app, WM_SHOW_HELP, 2119), 1);
  EXPECT_TRUE(helpWindow()->toPlainText().contains("Start-up settings"));
  EXPECT_TRUE(app.CanClose());
  EXPECT_FALSE(helpWindow()->isVisible());
}

TEST_F(AppStart, WithoutHelpPagesF1IsAnOrdinaryKey) {
  THalvetraApp& app = Start();
  EXPECT_FALSE(app.IsHelpFileExists());
  QKeyEvent shiftF1(QEvent::KeyPress, Qt::Key_F1, Qt::ShiftModifier);
  QApplication::sendEvent(app.GetFrame(), &shiftF1);
  EXPECT_FALSE(app.IsHelpMode());
}

TEST_F(AppStart, ExitClosesTheMainWindow) {
  THalvetraApp& app = Start();
  EXPECT_TRUE(app.GetActions()->Chain().Route(CM_EXIT));
  EXPECT_FALSE(app.GetFrame()->isVisible());
}

TEST_F(AppStart, NotesAndTheMeetRecordAreForgottenWithThePatient) {
  THalvetraApp& app = Start();
  THalvetraMDIClient& client = *app.GetClient();
  client.Controller().SetNote(0, std::string(100, 'n'));
  EXPECT_EQ(client.Controller().GetNotes()[0].size(), TClientController::NoteSize - 1);
  client.Controller().SetNote(2, "after salbutamol");
  app.ClearMeasureNotes();
  for (const std::string& note : client.Controller().GetNotes())
    EXPECT_EQ(note, "");
  EXPECT_EQ(client.Controller().GetPatientData().GetName(), "Sample Patient");
}

}  // namespace
