#pragma once

// The client window of the main frame and the program's main command
// target. It holds the component windows of the current examination, the
// patient block handed to every test and the measurement notes. The
// commands of the main menu that it answers are routed here; those whose
// windows and dialogs are not built yet say so.

#include "common/PredictedData.h"
#include "patients/InstituteStruct.h"
#include "platform/framework/EventHandler.h"
#include "shell/BarLayouts.h"
#include "shell/ClientEnablers.h"
#include "shell/ComponentFactories.h"
#include "shell/MainMenuLayout.h"

#include <QMdiArea>
#include <QPointer>

#include <array>
#include <map>
#include <vector>
#include <string>

class QDialog;
class QMdiSubWindow;
class TComponentBar;
class TExaminationStore;
class THalvetraApp;
class THalvetraMDIChild;
class TPatient;
class TPatientNote;

class THalvetraMDIClient : public QMdiArea, public TEventHandler {
public:
  static constexpr std::size_t NoteSize = 61;

  explicit THalvetraMDIClient(THalvetraApp& app);
  ~THalvetraMDIClient() override;

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // Places a component window in a new child frame and activates it.
  THalvetraMDIChild* AddChild(const QString& caption, QWidget* component, bool shrinkToClient);
  // Makes the frame the active child; it reports its activation also when
  // it was the active one already.
  void ActivateChild(THalvetraMDIChild* child);

  // The measurement notes handed to the measurement window.
  const std::array<std::string, 3>& GetNotes() const { return Notes; }
  void SetNote(int index, std::string_view note);
  void ClearNotes();
  // Forgets the meet record of the current examination.
  void ClearMeetRecordKey() { MeetRecordKey.clear(); }
  const std::string& GetMeetRecordKey() const { return MeetRecordKey; }

  // Stage files of the provocation test stay while its window is open.
  bool IsProvocationOpen() const { return !ProvocationFrame.isNull(); }

  const PREDICTED_DATA& GetPatientData() const { return PatientData; }

  // The patient data sheet and its frame; null while it is closed.
  TPatient* GetPatient() const;
  THalvetraMDIChild* GetPatientFrame() const;

  // Opens the patient data sheet in its frame, or brings the open one to
  // the top. Closing it closes every other component window. A patient
  // handed over with "-p" is then looked up and shown, or entered as a new
  // patient, and the file deleted.
  void CmOpenPatient();
  // The sheet changes the patient: the test windows of the previous one
  // close and the work files go.
  // A child frame is being destroyed (wParam: the frame).
  void EvMDIDestroy(TParam1 frame, TParam2);
  TResult EvCloseChildWindows();
  void EvCloseAllTempFiles();

  // The note window of the shown patient, in its frame; null while closed.
  TPatientNote* GetNote() const;
  THalvetraMDIChild* GetNoteFrame() const;
  // Opens the shown patient's note, or brings the open note to the top.
  void CmPatientNote();
  // The note window closes: a changed note is stored with its patient when
  // the user wants it; when it cannot be, the window stays open.
  void CmNoteClosed();
  // Whether the program may end: the note window closes first, as the
  // user decides about a changed note.
  bool CanClose();

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

  // --- Component windows --------------------------------------------------------
  // Opens the measurement window for a test, or switches the open one to it.
  void CmMeasure(unsigned id);
  void CmAudiometer();
  void CmTrend();
  void CmProvocation();
  TResult EvShowChildWindow(TParam1 index, TParam2);
  void CmMeasureClosed();
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

  // The first installation's configuration sheets, then the start-up picture.
  void SetupWindow();
  void ShowInitWindow();

  void CmNotAvailableYet();
  void CmMainMenuEnable(TCommandEnabler& ce);
  void CmNewDatabase();
  void CmInstitute();

private:
  THalvetraApp& App;
  std::array<std::string, 3> Notes;
  std::string MeetRecordKey;
  PREDICTED_DATA PatientData;
  TTInstituteStruct Institute;

  // The child frames of the component windows, null when closed.
  // The patient sheet's frame closed: the other component windows go with it.
  void PatientFrameClosed();
  void CloseTestWindows();
  // Applies the hand-over file, once, to the open sheet.
  void ApplyHandOverFile(TPatient& sheet);
  // Stores the note as the memo of its patient's row; false, with a
  // message, when that cannot be done.
  bool StoreNote(const std::string& note);

  QPointer<TPatient> Patient;
  QPointer<THalvetraMDIChild> PatientFrame;
  QPointer<THalvetraMDIChild> MeasureFrame;
  QPointer<THalvetraMDIChild> NoteFrame;
  QPointer<TPatientNote> Note;
  std::int32_t NotePatientKey = 0;  // the patient whose note is open
  QPointer<THalvetraMDIChild> AudiometerFrame;
  QPointer<THalvetraMDIChild> TrendFrame;
  QPointer<THalvetraMDIChild> ProvocationFrame;

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

  bool AskToSave = true;
  bool ProvocationMode = false;
  bool QuietLoad = false;
  bool StageView = false;
  bool PrePost = false;
  bool LoadedFromDatabase = false;
  bool HardwareCheckMessages = true;
  bool MeasureKeptOpen = false;  // the measurement's results could not be saved as it closed
  bool KeepWorkFiles = false;    // so its work files stay once
  bool Ending = false;           // the client is being destroyed

  TExaminationStore* Store() const;
  TWindowArgs WindowArgs();
  template <class TContract>
  bool Reopen(QPointer<THalvetraMDIChild>& frame, QPointer<QWidget>& widget, TContract* window);
  THalvetraMDIChild* MakeFrame(int captionText, QWidget* widget, std::vector<TMenuEntry> menu);
  void FinishOpening(THalvetraMDIChild* frame, int icon);
  void SwitchMeasurement(unsigned id);
  bool CreateMeasurement(unsigned id);
  std::string MeasureCaption(unsigned id) const;
  void PushMeasureSettings();
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
  std::vector<QPointer<QAction>> MainBarTestActions;
  void ComponentFrameClosed(THalvetraMDIChild* frame);
  void FillView(TClientView& view) const;
  void ActivatedMenu(const QMdiSubWindow* frame);
};
