#pragma once

// The application object: it lives as long as the program and owns what
// does: the settings read at start, the work-file names, the language
// texts, the screen scale factors, the main frame with its client, the main
// bar and menu, and the help state. It answers a few commands itself (About,
// the start-up settings, the database location, the doctors, the USB
// description, help); every other command goes to the client.
//
// Start-up: the constructor shows the greeting, reads the settings, makes
// the work-file names and adds the program's font; InitMainWindow builds
// the windows, keeps the greeting up for at least two seconds and shows the
// main window.

#include "common/ProvocationState.h"
#include "platform/framework/EventHandler.h"
#include "shell/settings/AppSettings.h"
#include "shell/client/ComponentFactories.h"
#include "shell/client/HelpContext.h"
#include "shell/app/SheetPages.h"
#include "shell/settings/ProjectVersion.h"
#include "shell/settings/ScreenScale.h"
#include "shell/settings/StartClock.h"
#include "shell/settings/StartUpSettings.h"
#include "shell/settings/WorkFiles.h"

#include <filesystem>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class QMenuBar;
class QToolBar;
class QWidget;
class TCommandActions;
class TGreetingDialog;
class THalvetraMDIClient;
class THelpWindow;
class TMainFrame;
class TMessage;
class TMessageSink;
class TFtdiProgrammer;
struct TMenuEntry;

// The dialogs behind the application's own commands. One that is not given
// is the system's own dialog.
struct TAppDialogs {
  StartUpSettings::TStartUpDialog StartUp;
  StartUpSettings::TLocationDialog DatabaseLocation;
  std::function<void()> Doctors;
  std::function<void()> UsbDescription;
  // The chip programmer of the system's USB description dialog; libftdi1's
  // when not given.
  std::function<std::unique_ptr<TFtdiProgrammer>()> FtdiProgrammer;
  // The instrument choice: the title and three button captions (empty for
  // a button not shown); answers the id of the button pressed, or 0.
  std::function<int(const std::string& title, const std::array<std::string, 3>& buttons)> SelectInstrument;
  // The four configuration sheets a first installation runs, in the order
  // "Hardware", "Hardware Diffusion Test", "Hardware Plethysmograph",
  // "Audio"; one not given is the client's own sheet. The "Audio" sheet
  // is left out while its pages are not given.
  std::array<std::function<void()>, 4> ConfigurationSheets;
  // The audiometer's pages of the "Audio" sheet and its calibration dialog;
  // without them both commands are not available yet.
  TSheetPageFactory AudioSheetPages;
  std::function<void()> AudioCalibration;
  // The automatic test sequence's set-up; answers whether it was confirmed.
  std::function<bool()> AutomaticSetup;
};

class TExaminationStore;


struct TAppOptions {
  std::string CommandLine;
  int ShowCommand = Screen::SW_SHOWNORMAL;
  TClock* Clock = nullptr;                    // the system's clock when null
  TMessageSink* Sink = nullptr;               // message boxes when null
  std::filesystem::path LanguageFolder;       // "lang" beside the program when empty
  std::filesystem::path ProgramFolder;        // where the help folder is; beside the program when empty
  std::optional<TProjectRCVersion> Version;   // the build's when not given
  TAppDialogs Dialogs;
  TComponentFactories Windows;
  TExaminationStore* Store = nullptr;          // the work files and tables; the records core when null
  std::function<TStageTime()> StageClock;     // when a provocation stage is filed; the wall clock when empty
};

class THalvetraApp final : public TEventHandler {
public:
  static constexpr const char* Name = "Halvetra32";

  // A QApplication must exist.
  explicit THalvetraApp(TAppOptions options = {});
  ~THalvetraApp() override;

  // Builds the windows and shows the main window.
  void InitMainWindow();
  // InitMainWindow, then the event loop; answers the loop's exit code.
  int Run();
  // Whether the program may end now; closes the help window when it may.
  bool CanClose();
  // Lets the waiting events run.
  void PumpMessages();

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  void EvWinIniChange(TParam1, TParam2 section);
  void CmStartUpSettings();
  void CmStartUpSettingsEnable(TCommandEnabler& ce);
  void CmDatabaseLocation();
  void CmDatabaseLocationEnable(TCommandEnabler& ce);
  void CmDoctors();
  void CmDoctorsEnable(TCommandEnabler& ce);
  void CmAbout();
  void CmHelpOnHelp();
  void CmHelpIndex();
  void CmHelpMode();
  void CmHelpEnable(TCommandEnabler& ce);
  TResult EvGetHelpMode();
  TResult EvShowHelp(TParam1 id, TParam2);
  void CmUSBDescription();
  void CmUSBDescriptionEnable(TCommandEnabler& ce);

  // Deletes the work files of earlier examinations; the stage files too
  // once the client exists and while no provocation window is open.
  void DeleteTempFiles();
  // Forgets the notes and the meet record of the current examination.
  void ClearMeasureNotes();
  void LeaveHelpMode();
  void ShowNotAvailableYet();
  // The main window's status line; empty clears it.
  void ShowStatus(const std::string& text);
  // Tells the user which settings could not be saved.
  void ReportFailures(const std::vector<std::string>& failures);
  // The hand-over file named with "-p", once: later calls give nothing.
  std::string TakeHandOverPath() { return std::exchange(Settings.HandOverPath, {}); }
  // Reads the install flags and mode word of one hardware section again
  // (device kind 0, 1, 2), or the audiometer's (3).
  void ReadInstallFlags(short deviceKind);
  // Reads the database folders again after the database changed.
  void ReadDatabaseFolders();
  // A menu bar of the entries, its items bound to the command chain.
  QMenuBar* BuildMenuBar(const std::vector<TMenuEntry>& entries, QWidget* parent);
  // The main menu with the active child's popup between File and Help;
  // the main menu alone for null.
  void SetChildMenu(const std::vector<TMenuEntry>* childMenu);
  const TAppOptions& GetOptions() const { return Options; }
  TClock& GetClock() { return Clock; }

  const TAppSettings& GetSettings() const { return Settings; }
  const TInstallFlags& GetInstallFlags() const { return Install; }
  const TWorkFiles& GetWorkFiles() const { return WorkFiles; }
  const TMessage& GetMessages() const { return *Messages; }
  TMessage& GetMessages() { return *Messages; }
  TScreenScale GetScale() const { return Scale; }
  bool IsEcgAvailable() const { return EcgAvailable; }
  bool IsHelpFileExists() const { return HelpFileExists; }
  bool IsHelpUsed() const { return HelpUsed; }
  bool IsHelpMode() const { return HelpMode; }
  bool IsFontAdded() const { return FontId >= 0; }
  int GetFontId() const { return FontId; }
  TMainFrame* GetFrame() const { return Frame.get(); }
  THalvetraMDIClient* GetClient() const { return Client; }
  QToolBar* GetMainBar() const { return MainBar; }
  TGreetingDialog* GetGreeting() const { return Greeting.get(); }
  TCommandActions* GetActions() const { return Actions; }

private:
  // The folder of the language files.
  std::filesystem::path LanguageFolder() const;
  void ReadSettings();
  void ReportStartProblems(const std::optional<std::string>& iniProblem, const std::string& requestedLanguage);
  void SetProgress(int value);
  void CreateMainBar();
  void CreateMainMenu();
  void AddMenuEntries(class QMenu& menu, const std::vector<TMenuEntry>& entries);
  void AddMenuBarEntries(class QMenuBar& bar, const std::vector<TMenuEntry>& entries);
  void CheckScreen();
  void ShowMainWindow();
  void StoreWindowGeometry() const;
  std::optional<class QRect> StoredWindowGeometry() const;
  bool HasActiveChild() const;
  bool ShowHelpPage(const std::filesystem::path& page);
  bool FilterCommand(unsigned id);
  std::string MenuText(const TMenuEntry& entry) const;

  TAppOptions Options;
  std::unique_ptr<TEventLoopClock> OwnClock;
  TClock& Clock;
  TProjectRCVersion Version;

  std::unique_ptr<TGreetingDialog> Greeting;
  std::optional<TGreetingDeadline> GreetingDeadline;

  TAppSettings Settings;
  TInstallFlags Install;
  TWorkFiles WorkFiles;
  std::unique_ptr<TMessage> Messages;
  std::unique_ptr<TMessageSink> OwnSink;
  TScreenScale Scale;
  bool EcgAvailable = false;
  int FontId = -1;

  std::unique_ptr<TMainFrame> Frame;
  THalvetraMDIClient* Client = nullptr;  // owned by the frame
  QToolBar* MainBar = nullptr;           // owned by the frame
  TCommandActions* Actions = nullptr;    // owned by the frame

  std::optional<Help::TPages> HelpPages;
  std::unique_ptr<THelpWindow> HelpWindow;
  std::unique_ptr<class QObject> HelpKeys;
  bool HelpFileExists = false;
  bool HelpUsed = false;
  bool HelpMode = false;
};
