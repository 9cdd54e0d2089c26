#pragma once

// The client window of the main frame and the program's main command
// target. It holds the component windows of the current examination, the
// patient block handed to every test and the measurement notes. The
// commands of the main menu that it answers are routed here; those whose
// windows and dialogs are not built yet say so.

#include "common/PredictedData.h"
#include "patients/InstituteStruct.h"
#include "platform/framework/EventHandler.h"
#include "records/MeasureRecords.h"
#include "shell/ClientEnablers.h"

#include <QMdiArea>
#include <QPointer>

#include <array>
#include <memory>
#include <string>

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
  void ClearMeetRecordKey() {
    MeetRecordKey.clear();
    Records->ClearMeetRecordKey();
  }
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
  // The list of every patient, with the patient table locked while it runs.
  void CmPatientList();

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

  std::unique_ptr<TRecordWindows> RecordWindows;
  std::unique_ptr<TMeasureRecords> Records;
  QPointer<TPatient> Patient;
  QPointer<THalvetraMDIChild> PatientFrame;
  QPointer<THalvetraMDIChild> MeasureFrame;
  QPointer<THalvetraMDIChild> NoteFrame;
  QPointer<TPatientNote> Note;
  std::int32_t NotePatientKey = 0;  // the patient whose note is open
  QPointer<THalvetraMDIChild> AudiometerFrame;
  QPointer<THalvetraMDIChild> TrendFrame;
  QPointer<THalvetraMDIChild> ProvocationFrame;
};
