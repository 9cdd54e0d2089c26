#pragma once

// The client window of the main frame and the program's main command
// target. It makes the frames of the component windows of the current
// examination; what it decides about them (the close cascade, the
// hand-over, the note, the notes and patient block of the tests) is its
// TClientController's. The commands of the main menu that it answers are
// routed here; those whose windows and dialogs are not built yet say so.

#include "patients/InstituteStruct.h"
#include "platform/framework/EventHandler.h"
#include "shell/bars/BarLayouts.h"
#include "records/BrowsePlan.h"
#include "records/MeasureRecords.h"
#include "shell/client/ClientController.h"
#include "shell/client/ClientEnablers.h"
#include "shell/client/ClientWindows.h"
#include "shell/client/ComponentFactories.h"
#include "shell/bars/MainMenuLayout.h"
#include "shell/client/PrintChoice.h"
#include "shell/client/ProvocationDriver.h"

#include <QMdiArea>
#include <QPointer>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>
#include <optional>
#include <string>

class QAction;
class QDialog;
class QMdiSubWindow;
class TComponentBar;
class TExaminationStore;
class THalvetraApp;
class THalvetraMDIChild;
class TPatient;
class TPatientNote;
class TMeasurePrintRun;
struct TPrintRun;
class TOwnPrinter;
class TPrintHeader;
class TPrintManager;

class THalvetraMDIClient : public QMdiArea, public TEventHandler, private TClientWindows, private TProvocationHost {
public:
  explicit THalvetraMDIClient(THalvetraApp& app);
  ~THalvetraMDIClient() override;

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // What the client decides; this window only makes, shows and closes frames.
  TClientController& Controller() { return Control; }
  const TClientController& Controller() const { return Control; }

  // Places a component window in a new child frame and activates it.
  THalvetraMDIChild* AddChild(const QString& caption, QWidget* component, bool shrinkToClient);
  // Puts a frame at the top left, at `size` or the client area's, whichever is smaller.
  void PlaceChild(THalvetraMDIChild& child, QSize size) const;
  // Makes the frame the active child; it reports its activation also when
  // it was the active one already.
  void ActivateChild(THalvetraMDIChild* child);

  // The patient data sheet and its frame; null while it is closed.
  TPatient* GetPatient() const;
  THalvetraMDIChild* GetPatientFrame() const;
  // The note window of the shown patient, in its frame; null while closed.
  TPatientNote* GetNote() const;
  THalvetraMDIChild* GetNoteFrame() const;

  // Opens the patient data sheet in its frame, or brings the open one to
  // the top, and applies the hand-over file of "-p" once.
  void CmOpenPatient();
  void CmPatientNote() { Control.CmPatientNote(); }
  void CmNoteClosed() { Control.CmNoteClosed(); }
  // A child frame is being destroyed (wParam: the frame).
  void EvMDIDestroy(TParam1 frame, TParam2);
  TResult EvCloseChildWindows() { return Control.EvCloseChildWindows(); }
  void EvCloseAllTempFiles() { Control.EvCloseAllTempFiles(); }
  // The component windows ask the client about context help; the
  // application keeps it.
  TResult EvGetHelpMode(TParam1, TParam2);
  TResult EvShowHelp(TParam1 id, TParam2);
  bool CanClose() { return Control.CanClose(); }

  // The institute of the printouts' heads, as the settings file keeps it.
  const TTInstituteStruct& GetInstitute() const { return Institute; }
  void ReadInstitute();
  void WriteInstitute();

  // Makes the missing tables of the database the settings name, with a
  // progress window; true when every table is there.
  bool CreateDatabaseTables();

  // What the enablers of the main menu look at, as things stand now; the
  // table files are looked for only `withTableFiles`.
  TClientView View(bool withTableFiles = true) const;

  // --- Test records (records/MeasureRecords.h); lParam of the loads is
  // the examination's key "date@time" (const char*).
  TMeasureRecords& GetRecords() { return *Records; }
  TRecordWindows& GetRecordWindows() { return *RecordWindows; }
  TResult EvMeasureModeChanged(TParam1 kind, TParam2 part);
  TResult EvRestoreBackup(TParam1 kind, TParam2);
  TResult EvSaveBackup(TParam1 kind, TParam2);
  TResult EvReadBackup(TParam1 kind, TParam2);
  TResult EvLoadDemoData(TParam1 kind, TParam2 slot);
  TResult EvLoadMeasurement(TParam1 loadKind, TParam2 key);
  TResult EvReadTrendData(TParam1 filter, TParam2 key);
  TResult EvLoadAudiogram(TParam1 loadKind, TParam2 key);
  TResult EvGetStoredTrial(TParam1 kind, TParam2);
  void CmSaveMeasurement();
  // Asks for the folder of another database and merges it into the open one.
  void CmMergeDatabases();
  // The browser of the shown patient's tests; the tests chosen there are loaded.
  void CmBrowseMeasurements();
  // The browser's print: the chosen tests loaded by `plan` (the stages of
  // a provocation when `series`), printed, and their windows closed again.
  void PrintFromBrowser(const std::vector<BrowsePlan::TMessage>& plan, bool series);
  // The list of every patient, with the patient table locked while it runs.
  void CmPatientList();

  // --- Component windows --------------------------------------------------------
  // Opens the measurement window for a test, or switches the open one to it.
  void CmMeasure(unsigned id);
  void CmAudiometer();
  void CmTrend();
  void CmProvocation();
  TResult EvShowChildWindow(TParam1 index, TParam2);
  void CmMeasureClosed();
  // The provocation's steps and its closing (ProvocationDriver.h).
  void CmProvocationStep() { Provocations().CmProvocationStep(); }
  void CmProvocationMeasure() { Provocations().CmProvocationMeasure(); }
  void CmProvocationClosed() { Provocations().CmProvocationClosed(); }
  TProvocationDriver& Provocations();
  void CmAudiometerClosed();
  void CmTrendClosed();
  void CmBreathingRate(unsigned id);
  void CmComponentEnable(TCommandEnabler& ce);
  // The test tool box beside the main bar's test button.
  void CmMeasureMenu();
  void CmMeasureMenuClose();
  QDialog* GetToolBox() const;

  // The component windows reported a change the bars mirror.
  TResult EvChangeButtonColor();
  TResult EvCakeChanged();
  TResult EvGridChanged();
  TResult EvPrePostChanged(TParam1 state, TParam2);
  TResult EvNormRelChanged(TParam1 state, TParam2);
  TResult EvPredictedChanged(TParam1 state, TParam2);
  TResult EvMicrophoneChanged(TParam1 state, TParam2);
  TResult EvAlgorithmIndex(TParam1 index, TParam2);
  TResult EvSignalModeIndex(TParam1 index, TParam2);
  TResult EvChildActivated(TParam1 frame, TParam2);
  TResult EvChangeCommandButton(TParam1 oldId, TParam2 newId);
  void CmSaveAudiogram();
  void CmAutomaticSetup();

  TMeasureWindow* GetMeasure() const;
  THalvetraMDIChild* GetMeasureFrame() const;
  TAudioMeterWindow* GetAudioMeter() const;
  THalvetraMDIChild* GetAudioMeterFrame() const;
  TTrendWindow* GetTrend() const;
  THalvetraMDIChild* GetTrendFrame() const;
  TProvocationWindow* GetProvocation() const;
  THalvetraMDIChild* GetProvocationFrame() const;
  // The bars by their caption text (BarLayouts); null while not docked.
  TComponentBar* GetBar(int captionText) const;
  bool IsBarDocked(const TComponentBar* bar) const;
  bool IsProvocationMode() const { return ProvocationMode; }
  bool GetStageView() const { return StageView; }
  void SetStageView(bool stageView) { StageView = stageView; }
  void SetQuietLoad(bool quiet) { QuietLoad = quiet; }
  void SetPrePost(bool prePost) { PrePost = prePost; }

  // Reads the settings into the open windows (measurement, provocation,
  // audiometer) and runs their port checks.
  void ReadMeasureSettings();
  void ReadSpirometerPort();
  void ReadProvocationSettings();
  void ReadNebulizerPort();
  void ReadAudioSettings();
  void ReadDateFormats();

  // The configuration sheets of the instruments (ConfigurationSheets.cpp).
  void CmHardwareSetup();
  void CmDiffusionSetup();
  void CmPlethysmographSetup();
  void CmAudioSetup();
  void CmAudioCalibration();

  // The first installation's configuration sheets, then the start-up picture.
  void SetupWindow();
  void ShowInitWindow();

  void CmNotAvailableYet();
  // Hands the shown patient to the external ECG program and waits for it.
  void CmEcg();
  void CmMainMenuEnable(TCommandEnabler& ce);
  // Print, printer setup and preview (PrintCommands.cpp).
  void CmFilePrint();
  void CmFilePrinterSetup();
  void CmFilePrintPreview();
  void CmPrintEnable(TCommandEnabler& ce);
  // Non-zero exactly while a print or preview run is inside the printer
  // or the preview.
  int GetPrintingDepth() const { return PrintingDepth; }
  // Whether printing asks for the printer first (tests print straight to
  // the printer's file).
  bool PrintPrompt = true;
  // The program's one printer, made on first use.
  TOwnPrinter& GetPrinter();
  // Where the demonstration files are read: beside the program, or where
  // a test puts its own.
  std::filesystem::path DemoFolder;
  // Set while the browser prints a provocation series: the report of its
  // stages.
  bool SeriesPrint = false;
  // What the status line says: the missing database tables, else what the
  // measurement window asks for next; empty when there is nothing to say.
  const std::string& GetStatusLine() const { return StatusLine; }
  void CmNewDatabase();
  void CmInstitute();

private:
  // TClientWindows
  bool OpenPatientFrame() override;
  bool OpenNoteFrame(const std::string& note) override;
  bool CloseFrame(TClientSlot slot) override;
  void ActivateFrame(TClientSlot slot) override;
  void RaiseClient() override { raise(); }
  void ForgetExamination() override;
  std::optional<std::string> ChangedNote() override;
  void KeepNoteOpen() override;

  // TProvocationHost
  TMeasureWindow* MeasureWindow() override { return GetMeasure(); }
  TProvocationWindow* ProvocationWindow() override { return GetProvocation(); }
  bool IsMeasureActive() const override;
  bool IsProvocationActive() const override;
  void OpenProvocation() override { CmProvocation(); }
  void OpenMeasure(unsigned id) override { CmMeasure(id); }
  bool GetAskToSave() const override { return AskToSave; }
  void SetAskToSave(bool ask) override { AskToSave = ask; }
  void DeleteTempFiles() override;
  void ForgetMeetKey() override { ForgetExamination(); }
  void EndProvocation() override;

  QPointer<THalvetraMDIChild>& Frame(TClientSlot slot) { return Frames[static_cast<std::size_t>(slot)]; }
  const QPointer<THalvetraMDIChild>& Frame(TClientSlot slot) const { return Frames[static_cast<std::size_t>(slot)]; }

  // The component windows' frames, bars and menus.
  TExaminationStore* Store();
  // The records work on the open sheet's examination index.
  void FollowSheetIndex();
  // The arguments of a component window whose 800 x 600 layout is
  // `designWidth` x `designHeight`; its factors fit it to the client area.
  TWindowArgs WindowArgs(int designWidth, int designHeight);
  // What a frame adds around its window: measured on a shown frame when
  // there is one, else the style's title bar and borders.
  QSize FrameChrome() const;
  template <class TContract>
  bool Reopen(TClientSlot slot, QPointer<QWidget>& widget, TContract* window);
  THalvetraMDIChild* MakeFrame(TClientSlot slot, int captionText, QWidget* widget, std::vector<TMenuEntry> menu);
  void FinishOpening(THalvetraMDIChild* frame, unsigned command);
  // The measurement frame's picture: that of the test its window shows.
  void ShowMeasureIcon();
  void SwitchMeasurement(unsigned id);
  bool CreateMeasurement(unsigned id);
  std::string MeasureCaption(unsigned id) const;
  void DisableSheetFields(bool disable);
  void GiveEngineTo(const void* window);
  TComponentBar* MakeBar(const TBarLayout& layout, TEventHandler* owner);
  void Dock(TComponentBar* bar);
  void Undock(TComponentBar* bar);
  void RemoveBar(QPointer<TComponentBar>& bar);
  BarLayouts::TMeasureBarView MeasureBarView() const;
  void BuildMeasureBar();
  void AddMainBarTestButtons();
  void RemoveMainBarTestButtons();
  void ComponentFrameClosed(THalvetraMDIChild* frame);
  void FillView(TClientView& view) const;
  void ActivatedMenu(const QMdiSubWindow* frame);

  void ShowStatusLine(const TClientView& view);
  // Device kind 0 "Hardware", 1 "Hardware Diffusion Test", 2 "Hardware Plethysmograph".
  void RunInstrumentSheet(short deviceKind);
  void RunFirstInstallSheets();
  void ReleaseMeasurePort();
  void CheckMeasurePort();

  THalvetraApp& App;
  TClientController Control;
  std::unique_ptr<TRecordWindows> RecordWindows;
  std::unique_ptr<TMeasureRecords> Records;
  // The records work on the open patient's tests: bound to the sheet's
  // index before each use, and to none once the sheet is gone.
  TMeasureRecords& BoundRecords();
  std::unique_ptr<TExaminationStore> OwnStore;  // over Records, unless the options give a store
  std::string StatusLine;
  TTInstituteStruct Institute;
  // The child frames of the component windows, null when closed.
  std::array<QPointer<THalvetraMDIChild>, ClientSlotCount> Frames;
  QPointer<TPatient> Patient;
  QPointer<TPatientNote> Note;

  // The component windows: the widget tells whether the window lives; the
  // contract is valid while it does.
  QPointer<QWidget> MeasureWidget;
  TMeasureWindow* Measure = nullptr;
  QPointer<QWidget> AudiometerWidget;
  TAudioMeterWindow* AudioMeter = nullptr;
  QPointer<QWidget> TrendWidget;
  TTrendWindow* Trend = nullptr;
  QPointer<QWidget> ProvocationWidget;
  TProvocationWindow* Provocation = nullptr;

  // Each frame's own menu, merged into the main menu while it is active.
  std::map<const QMdiSubWindow*, std::vector<TMenuEntry>> FrameMenus;
  QPointer<TComponentBar> PatientBar1;
  QPointer<TComponentBar> PatientBar2;
  QPointer<TComponentBar> MeasureBar;
  QPointer<TComponentBar> TrendBar;
  QPointer<TComponentBar> ProvocationBar;
  QPointer<TComponentBar> AudiometerBar;
  QPointer<QDialog> ToolBox;
  std::vector<QPointer<QAction>> MainBarTestActions;

  std::unique_ptr<TProvocationDriver> Driver;
  bool AskToSave = true;
  bool ProvocationMode = false;
  bool QuietLoad = false;
  bool StageView = false;
  bool PrePost = false;
  bool LoadedFromDatabase = false;
  bool HardwareCheckMessages = true;
  bool MeasureKeptOpen = false;  // the measurement's results could not be saved as it closed
  bool MeasureStays = false;     // so it stays open when the sheet closes
  bool Ending = false;           // the client is being destroyed

  // The program's one printer, made on first use; the manager of the run
  // in hand (the preview prints through it).
  std::unique_ptr<TOwnPrinter> Printer;
  TPrintManager* RunManager = nullptr;
  bool NoteOnly = false;
  int PrintingDepth = 0;
  PrintChoice::TPrintable Printable = PrintChoice::TPrintable::None;
  std::unique_ptr<TPrintHeader> MakePrintHeader();
  std::unique_ptr<TPrintManager> MakeNoteManager();
  std::unique_ptr<TMeasurePrintRun> StartMeasurePrint();
  std::string SelectedNoteText() const;
  // The open provocation's agents and last step, for its stages' report.
  void TakeProvocationStep();
  std::unique_ptr<TPrintManager> MakeRunManager(TPrintRun& run);
};
