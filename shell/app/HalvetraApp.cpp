#include "shell/app/HalvetraApp.h"

#include "platform/ftdi/FtdiProgrammer.h"
#include "shell/app/sheets/UsbDescriptionDialog.h"

#include "common/CommandNumbers.h"
#include "measure/core/MeasureWindow.h"
#include "patients/DoctorDialog.h"
#include "patients/LocationDatabase.h"
#include "patients/StartUp.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Profile.h"
#include "platform/framework/ui/CommandActions.h"
#include "platform/framework/ui/MessageBoxSink.h"
#include "shell/app/AboutDialog.h"
#include "shell/settings/BuiltInTexts.h"
#include "shell/bars/ChildMenus.h"
#include "shell/app/GreetingDialog.h"
#include "shell/app/CommandIcons.h"
#include "shell/app/HelpWindow.h"
#include "shell/app/MainFrame.h"
#include "shell/bars/MainMenuLayout.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include <sstream>
#include <QToolBar>

#include <system_error>

namespace {

// The private font of the measurement screens, used when it is installed in
// the working folder.
constexpr const char* PrivateFontFile = "hatten.ttf";

std::filesystem::path ProgramFolder() { return TMessage::DefaultFolder().parent_path(); }

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines)
    joined += (joined.empty() ? "" : "\n") + line;
  return joined;
}

// The help keys: F1 opens the contents, or the help of the highlighted
// item of an open menu; Shift+F1 enters context-help mode; Esc leaves it.
class THelpKeys final : public QObject {
public:
  explicit THelpKeys(THalvetraApp& app) : App(app) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !App.IsHelpFileExists())
      return QObject::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1) {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        if (const unsigned id = TCommandActions::CommandOf(menu->activeAction())) {
          for (QWidget* popup = QApplication::activePopupWidget(); popup; popup = QApplication::activePopupWidget())
            popup->close();
          App.EvShowHelp(id, 0);
          return true;
        }
      }
      if (key->modifiers() & Qt::ShiftModifier)
        App.CmHelpMode();
      else
        App.CmHelpIndex();
      return true;
    }
    if (key->key() == Qt::Key_Escape && App.IsHelpMode()) {
      App.LeaveHelpMode();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

private:
  THalvetraApp& App;
};

}  // namespace

THalvetraApp::THalvetraApp(TAppOptions options)
    : Options(std::move(options)),
      OwnClock(Options.Clock ? nullptr : std::make_unique<TEventLoopClock>()),
      Clock(Options.Clock ? *Options.Clock : *OwnClock),
      Version(Options.Version.value_or(TProjectRCVersion())) {
  // 1. The greeting, for at least two seconds from now.
  Greeting = std::make_unique<TGreetingDialog>(Version);
  Greeting->show();
  GreetingDeadline.emplace(Clock);

  // 3. Command line, settings, language texts, folders.
  ReadSettings();
  SetProgress(10);

  // 4. Installed instruments and the work-file names. The client does not
  // exist yet, so stage files of an earlier run stay.
  Install = Settings::ReadInstallFlags(Settings.IniPath, Settings.Demo != 0);
  WorkFiles.MakeTempFileNames(false);
  SetProgress(20);

  // 5. The private font, when it is there.
  std::error_code ec;
  if (std::filesystem::is_regular_file(PrivateFontFile, ec))
    FontId = QFontDatabase::addApplicationFont(PrivateFontFile);
}

THalvetraApp::~THalvetraApp() {
  if (Greeting)
    Greeting->Finish();
  Greeting.reset();
  HelpWindow.reset();
  Frame.reset();
  LeaveHelpMode();
  if (Messages)
    Messages->SetSink(nullptr);
  Messages.reset();
  WorkFiles.RemoveWorkFiles();
  if (FontId >= 0)
    QFontDatabase::removeApplicationFont(FontId);
}

std::filesystem::path THalvetraApp::LanguageFolder() const {
  return Options.LanguageFolder.empty() ? TMessage::DefaultFolder() : Options.LanguageFolder;
}

void THalvetraApp::ReadSettings() {
  Settings = Settings::Read(TCommandLine::Parse(Options.CommandLine));
  const auto iniProblem = Settings::IniFileProblem(Settings.IniPath);

  const std::filesystem::path languageFolder = LanguageFolder();
  const std::string requested = Settings.Language;
  const std::string language = Settings::ChooseLanguage(requested, languageFolder);
  Messages = std::make_unique<TMessage>(language, languageFolder);
  // A language file that cannot be read or lacks texts would leave bare
  // numbers on every label: the built-in English texts stand in, and say so.
  const TMessage builtIn = TMessage::FromText("English", BuiltInTexts::English());
  std::string languageProblem;
  if (!Messages->IsLoaded())
    languageProblem = "cannot be read";
  else if (const std::size_t missing = Messages->CountMissing(builtIn))
    languageProblem = "lacks " + std::to_string(missing) + " of the " +
                      std::to_string(TMessage::FromText("", "").CountMissing(builtIn)) + " texts Halvetra needs";
  if (!languageProblem.empty())
    Messages = std::make_unique<TMessage>(builtIn);
  if (!Options.Sink)
    OwnSink = std::make_unique<TMessageBoxSink>();
  Messages->SetSink(Options.Sink ? Options.Sink : OwnSink.get());
  if (!languageProblem.empty())
    Messages->MessageBoxText(
        Messages->Format(9007, {(languageFolder / (language + ".txt")).string(), languageProblem}), 1,
        TMessageIcon::Warning);
  ReportStartProblems(iniProblem, requested);

  // A folder that cannot be made does not stop the start; the user is told.
  if (const auto failures = Settings::MakeFolders(Settings); !failures.empty())
    Messages->MessageBoxText(Messages->Format(9008, {JoinLines(failures)}), 1, TMessageIcon::Warning);
}

void THalvetraApp::ReportStartProblems(const std::optional<std::string>& iniProblem,
                                       const std::string& requestedLanguage) {
  if (iniProblem)
    Messages->MessageBoxText(Messages->Format(9001, {Paths::Shown(Settings.IniPath), *iniProblem}), 1, TMessageIcon::Information);
  if (requestedLanguage != Messages->GetLanguageName())
    Messages->MessageBoxText(Messages->Format(9004, {requestedLanguage}), 1, TMessageIcon::Information);
  if (const auto folders = Settings::FoldersWithDrive(Settings); !folders.empty())
    Messages->MessageBoxText(Messages->Format(9003, {JoinLines(folders)}), 1, TMessageIcon::Information);
  if (!Settings.HandOverPath.empty() && !Settings.HandOverPending)
    Messages->MessageBoxText(Messages->Format(9002, {Paths::Shown(Settings.HandOverPath)}), 1, TMessageIcon::Information);
}

void THalvetraApp::SetProgress(int value) {
  if (Greeting)
    Greeting->SetProgress(value);
}

void THalvetraApp::InitMainWindow() {
  SetProgress(30);

  // 7. The client, the main command target.
  auto client = std::make_unique<THalvetraMDIClient>(*this);
  Client = client.get();
  SetProgress(40);

  // 8. The frame around it. Every window that names no icon of its own
  // (dialogs, help) shows the program's rather than the toolkit's.
  QApplication::setWindowIcon(ProgramIcon());
  Frame = std::make_unique<TMainFrame>(Name, client.release(), [this] { return CanClose(); }, this);
  Actions = new TCommandActions(
      TCommandChain(
          [this] {
            std::vector<TEventHandler*> targets;
            if (auto* child = Client ? dynamic_cast<THalvetraMDIChild*>(Client->activeSubWindow()) : nullptr) {
              targets.push_back(dynamic_cast<TEventHandler*>(child->Component()));
              targets.push_back(child);
            }
            targets.push_back(Client);
            targets.push_back(Frame.get());
            targets.push_back(this);
            return targets;
          },
          [this](unsigned id) { return FilterCommand(id); }),
      Frame.get());
  SetProgress(50);

  // 9. The main bar; the frame is the main window from here on.
  CreateMainBar();
  SetProgress(60);
  SetProgress(70);

  // 10. The main menu and the screen facts.
  CreateMainMenu();
  CheckScreen();
  SetProgress(100);

  // 11. The greeting has been seen long enough; the events keep running.
  GreetingDeadline->Wait();
  Greeting->Finish();
  Greeting.reset();

  // 12. Help, and the main window.
  HelpPages.emplace((Options.ProgramFolder.empty() ? ProgramFolder() : Options.ProgramFolder) /
                    Messages->GetHelpFile());
  HelpFileExists = !Messages->GetHelpFile().empty() && HelpPages->Exists();
  HelpKeys = std::make_unique<THelpKeys>(*this);
  qApp->installEventFilter(HelpKeys.get());
  ShowMainWindow();
  // The first installation's sheets and the start-up picture.
  Client->SetupWindow();

  // A patient handed over on the command line is opened once the loop runs.
  if (Settings.HandOverPending) {
    Settings.HandOverPending = false;
    PostMessage(Client, WM_COMMAND, CM_OPEN_PATIENT, 0);
  }
}

int THalvetraApp::Run() {
  InitMainWindow();
  return QApplication::exec();
}

void THalvetraApp::ShowMainWindow() {
  switch (Screen::ShowStateFor(Options.ShowCommand)) {
  case Screen::TShowState::Hidden:
    break;
  case Screen::TShowState::MinimizedNoActivate:
    Frame->setAttribute(Qt::WA_ShowWithoutActivating);
    Frame->showMinimized();
    break;
  case Screen::TShowState::Maximized:
    if (const auto stored = StoredWindowGeometry()) {
      Frame->setGeometry(*stored);
      Frame->show();
    } else {
      // Sized to the screen's free area first: where maximising is not done
      // (no window manager), the window still fills the screen.
      if (const QScreen* screen = QGuiApplication::primaryScreen())
        Frame->setGeometry(screen->availableGeometry());
      Frame->showMaximized();
    }
    Frame->raise();
    Frame->activateWindow();
    break;
  }
}

bool THalvetraApp::CanClose() {
  if (Client && !Client->CanClose())
    return false;
  if (HelpUsed && HelpWindow)
    HelpWindow->close();
  StoreWindowGeometry();
  return true;
}

// The main window's place and size as the user left it, in the settings
// file ([Window] Main = "left top width height"); a maximised window
// stores nothing, so it opens maximised again.
void THalvetraApp::StoreWindowGeometry() const {
  if (!Frame)
    return;
  const QRect place = Frame->geometry();
  const std::string value = Frame->isMaximized() ? std::string()
                                                 : std::to_string(place.x()) + " " + std::to_string(place.y()) + " " +
                                                       std::to_string(place.width()) + " " + std::to_string(place.height());
  TProfile("Window", Settings.IniPath).WriteString("Main", value);
}

std::optional<QRect> THalvetraApp::StoredWindowGeometry() const {
  std::istringstream in(TProfile("Window", Settings.IniPath).GetString("Main", ""));
  int left = 0, top = 0, width = 0, height = 0;
  if (!(in >> left >> top >> width >> height) || width < 200 || height < 150)
    return std::nullopt;
  const QRect place(left, top, width, height);
  // A place on no screen of this computer (another monitor, another size) is not taken.
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen || !screen->availableGeometry().contains(place))
    return std::nullopt;
  return place;
}

void THalvetraApp::PumpMessages() { QCoreApplication::processEvents(); }

void THalvetraApp::CreateMainBar() {
  MainBar = new QToolBar(QString::fromStdString(Messages->LoadStringA(42)), Frame.get());
  MainBar->setObjectName("32041");
  QFont font = MainBar->font();
  font.setPointSize(10);
  font.setBold(false);
  font.setItalic(false);
  MainBar->setFont(font);

  const auto addButton = [this](unsigned id, int textNumber) {
    QString tip = QString::fromStdString(Messages->LoadStringA(textNumber));
    tip.remove('&');
    auto* action = new QAction(CommandIcon(id, std::to_string(id), tip), tip, MainBar);
    action->setEnabled(false);  // until its enabler says otherwise
    MainBar->addAction(action);
    Actions->Bind(action, id);
  };
  addButton(CM_OPEN_PATIENT, 106);
  // A blank, disabled spacer of 3 pixels, drawn without a line.
  auto* spacer = new QWidget(MainBar);
  spacer->setFixedSize(3, 10);
  spacer->setEnabled(false);
  MainBar->addWidget(spacer);
  addButton(CM_EXIT, 119);

  Frame->addToolBar(Qt::LeftToolBarArea, MainBar);
}

std::string THalvetraApp::MenuText(const TMenuEntry& entry) const {
  std::string text = (entry.TextNumber >= 0 ? Messages->LoadStringA(entry.TextNumber) : entry.FixedText) + entry.Suffix;
  if (entry.Ellipsis)
    text += "...";
  if (!entry.Key.empty())
    text += "\t" + entry.Key;
  return text;
}

void THalvetraApp::AddMenuEntries(QMenu& menu, const std::vector<TMenuEntry>& entries) {
  for (const TMenuEntry& entry : entries) {
    switch (entry.Kind) {
    case TMenuEntry::TKind::Separator:
      menu.addSeparator();
      break;
    case TMenuEntry::TKind::Command:
      Actions->Bind(menu.addAction(QString::fromStdString(MenuText(entry))), entry.Id);
      break;
    case TMenuEntry::TKind::Popup: {
      QMenu* popup = menu.addMenu(QString::fromStdString(MenuText(entry)));
      Actions->Watch(popup);
      AddMenuEntries(*popup, entry.Items);
      break;
    }
    }
  }
}

void THalvetraApp::AddMenuBarEntries(QMenuBar& bar, const std::vector<TMenuEntry>& entries) {
  for (const TMenuEntry& entry : entries) {
    if (entry.Kind == TMenuEntry::TKind::Separator) {
      bar.addSeparator();
      continue;
    }
    QMenu* popup = bar.addMenu(QString::fromStdString(MenuText(entry)));
    Actions->Watch(popup);
    AddMenuEntries(*popup, entry.Items);
  }
}

QMenuBar* THalvetraApp::BuildMenuBar(const std::vector<TMenuEntry>& entries, QWidget* parent) {
  auto* bar = new QMenuBar(parent);
  AddMenuBarEntries(*bar, entries);
  return bar;
}

void THalvetraApp::SetChildMenu(const std::vector<TMenuEntry>* childMenu) {
  if (!Frame)
    return;
  QMenuBar* bar = Frame->menuBar();
  bar->clear();
  AddMenuBarEntries(*bar, ChildMenus::Merged(MainMenu::Layout(EcgAvailable, Settings.AddUSBDescription), childMenu));
}

void THalvetraApp::CreateMainMenu() {
  EcgAvailable = MainMenu::EcgProgramPresent(Settings.IniPath);
  // The separators mark the groups where the menus of the component windows join in.
  AddMenuBarEntries(*Frame->menuBar(), MainMenu::Layout(EcgAvailable, Settings.AddUSBDescription));
}

void THalvetraApp::CheckScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen)
    return;
  const QSize size = screen->geometry().size();
  Scale = Screen::ScaleFor(size.width(), size.height());
  if (Screen::HasTooFewColours(screen->depth()))
    Messages->MessageBox(146, 145, TMessageIcon::Warning);
}

bool THalvetraApp::HasActiveChild() const { return Client && Client->activeSubWindow(); }

void THalvetraApp::ShowStatus(const std::string& text) {
  if (Frame)
    Frame->statusBar()->showMessage(QString::fromStdString(text));
}

void THalvetraApp::ShowNotAvailableYet() { Messages->MessageBox(9000, 1, TMessageIcon::Information); }

void THalvetraApp::ReportFailures(const std::vector<std::string>& failures) {
  if (!failures.empty())
    Messages->MessageBoxText(Messages->Format(9005, {JoinLines(failures)}), 0, TMessageIcon::Stop);
}

void THalvetraApp::DeleteTempFiles() {
  if (Client)
    Client->Controller().DeleteTempFiles();
  else
    WorkFiles.DeleteTempFiles(false);
}

void THalvetraApp::ClearMeasureNotes() {
  if (!Client)
    return;
  Client->Controller().ClearNotes();
  Client->Controller().ClearMeetRecordKey();
}

const TResponseTable& THalvetraApp::ResponseTable() {
  using A = THalvetraApp;
  static constexpr TResponseEntry entries[] = {
      Response::Message<&A::EvWinIniChange>(WM_WININICHANGE),
      Response::Command<&A::CmStartUpSettings>(CM_START_UP_SETTINGS),
      Response::Enabler<&A::CmStartUpSettingsEnable>(CM_START_UP_SETTINGS),
      Response::Command<&A::CmDatabaseLocation>(CM_DATABASE_LOCATION),
      Response::Enabler<&A::CmDatabaseLocationEnable>(CM_DATABASE_LOCATION),
      Response::Command<&A::CmDoctors>(CM_DOCTORS),
      Response::Enabler<&A::CmDoctorsEnable>(CM_DOCTORS),
      Response::Command<&A::CmAbout>(CM_ABOUT),
      Response::Command<&A::CmHelpOnHelp>(CM_HELP_ON_HELP),
      Response::Enabler<&A::CmHelpEnable>(CM_HELP_ON_HELP),
      Response::Command<&A::CmHelpIndex>(CM_HELP_INDEX),
      Response::Enabler<&A::CmHelpEnable>(CM_HELP_INDEX),
      Response::Command<&A::CmHelpMode>(CM_HELP_MODE),
      Response::Enabler<&A::CmHelpEnable>(CM_HELP_MODE),
      Response::Message<&A::EvGetHelpMode>(WM_GET_HELP_MODE),
      Response::Message<&A::EvShowHelp>(WM_SHOW_HELP),
      Response::Command<&A::CmUSBDescription>(CM_USB_DESCRIPTION),
      Response::Enabler<&A::CmUSBDescriptionEnable>(CM_USB_DESCRIPTION),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

void THalvetraApp::EvWinIniChange(TParam1, TParam2) {
  // A new default printer in [windows] concerns only the printer object,
  // which printing makes for its first printout; until it exists there is
  // nothing to renew, and other sections never matter.
}

void THalvetraApp::ReadDatabaseFolders() { Settings::ReadDatabaseFolders(Settings); }

void THalvetraApp::ReadInstallFlags(short deviceKind) {
  const TInstallFlags read = Settings::ReadInstallFlags(Settings.IniPath, Settings.Demo != 0);
  switch (deviceKind) {
  case 0:
    Install.HardwareInstalled = read.HardwareInstalled;
    Install.HardwareMode = read.HardwareMode;
    break;
  case 1:
    Install.DiffusionInstalled = read.DiffusionInstalled;
    Install.DiffusionMode = read.DiffusionMode;
    break;
  case 2:
    Install.PlethysmographInstalled = read.PlethysmographInstalled;
    Install.PlethysmographMode = read.PlethysmographMode;
    break;
  default:
    Install.AudioInstalled = read.AudioInstalled;
    break;
  }
}

void THalvetraApp::CmStartUpSettings() {
  const auto dialog = Options.Dialogs.StartUp ? Options.Dialogs.StartUp : [this](TStartUpStruct& values) {
    TStartUp startUp(*Messages, Frame.get(), values, LanguageFolder());
    return startUp.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
  };
  ReportFailures(StartUpSettings::RunStartUp(Settings, dialog).Failures);
}

void THalvetraApp::CmStartUpSettingsEnable(TCommandEnabler& ce) { ce.Enable(!HasActiveChild()); }

void THalvetraApp::CmDatabaseLocation() {
  const auto dialog = Options.Dialogs.DatabaseLocation ? Options.Dialogs.DatabaseLocation : [this] {
    TLocationDatabase location(*Messages, Settings.IniPath, Frame.get());
    return location.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
  };
  ReportFailures(StartUpSettings::RunDatabaseLocation(Settings, dialog).Failures);
}

void THalvetraApp::CmDatabaseLocationEnable(TCommandEnabler& ce) {
  ce.Enable(!HasActiveChild() && !Settings.LanguageDriver.empty());
}

void THalvetraApp::CmDoctors() {
  if (Options.Dialogs.Doctors) {
    Options.Dialogs.Doctors();
    return;
  }
  // The doctors are shared by the databases of the common folder.
  TDoctor doctors(*Messages, Settings.CommonDir, Settings.PrivateDir, Settings.IniPath, Settings.LanguageDriver,
                  Frame.get());
  doctors.exec();
}

void THalvetraApp::CmDoctorsEnable(TCommandEnabler& ce) { CmDatabaseLocationEnable(ce); }

void THalvetraApp::CmAbout() {
  THalvetraAboutDlg about(*Messages, Frame.get(), Version);
  about.exec();
}

void THalvetraApp::CmUSBDescription() {
  if (Options.Dialogs.UsbDescription) {
    Options.Dialogs.UsbDescription();
    return;
  }
  const std::unique_ptr<TFtdiProgrammer> programmer =
      Options.Dialogs.FtdiProgrammer ? Options.Dialogs.FtdiProgrammer() : TFtdiProgrammer::Create();
  TUSBDescription dialog(*Messages, Frame.get(), *programmer);
  dialog.exec();
}

void THalvetraApp::CmUSBDescriptionEnable(TCommandEnabler& ce) { ce.Enable(!HasActiveChild()); }

bool THalvetraApp::ShowHelpPage(const std::filesystem::path& page) {
  if (!HelpWindow)
    HelpWindow = std::make_unique<THelpWindow>(QString::fromStdString(Messages->LoadStringA(9006)));
  return HelpWindow->ShowPage(page);
}

void THalvetraApp::CmHelpOnHelp() { HelpUsed = HelpPages && ShowHelpPage(HelpPages->HelpOnHelp()); }

void THalvetraApp::CmHelpIndex() { HelpUsed = HelpPages && ShowHelpPage(HelpPages->Index()); }

void THalvetraApp::CmHelpMode() {
  if (HelpMode)
    return;
  HelpMode = true;
  QApplication::setOverrideCursor(QCursor(Qt::WhatsThisCursor));
}

void THalvetraApp::LeaveHelpMode() {
  if (HelpMode)
    QApplication::restoreOverrideCursor();
  HelpMode = false;
}

void THalvetraApp::CmHelpEnable(TCommandEnabler& ce) { ce.Enable(HelpFileExists); }

TResult THalvetraApp::EvGetHelpMode() { return HelpMode ? 1 : 0; }

TResult THalvetraApp::EvShowHelp(TParam1 id, TParam2) {
  // The buttons of a test show the help of the open test.
  std::optional<int> measureType;
  if (Client)
    if (const TMeasureWindow* measure = Client->GetMeasure())
      measureType = measure->GetMeasureType();
  const int context = Help::ContextFor(static_cast<unsigned>(id), measureType);
  HelpUsed = HelpPages && ShowHelpPage(HelpPages->ForContext(context));
  LeaveHelpMode();
  return 1;
}

bool THalvetraApp::FilterCommand(unsigned id) {
  // In context-help mode a command shows its help instead of running.
  if (!HelpFileExists || !HelpMode)
    return false;
  EvShowHelp(id, 0);
  return true;
}
