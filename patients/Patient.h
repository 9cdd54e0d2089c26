#pragma once

// TPatient, the patient data sheet: a modeless dialog that shows one
// patient of "names.db" at a time in one of three layouts, and at the same
// time the program's database object for patients. It is the engine of the
// patient table, and it opens the doctor table (for its doctor lists) and
// the test tables (for the rest of the program) while it starts, under a
// progress window. What the sheet decides lives in TPatientSheet; the
// controls are TPatientForm's; the tables are answered by TPatientTable.
//
// Use: construct, then SetupWindow. A sheet whose database could not be
// used says so through its engine and closes itself at its first idle
// moment (IsDatabaseUnusable tells at once).

#include "patients/MeasureIndex.h"
#include "patients/MeasureTables.h"
#include "patients/PatientSheet.h"
#include "patients/PatientTable.h"
#include "platform/dbkit/Engine.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QTimer;
class TPatientForm;
class TWaitingDialog;

class TPatient final : public QDialog, public TPatientSheet, public TEngine {
public:
  // The screen factors (against 800 x 600), the program's demonstration
  // flag (kept for its callers), the texts (borrowed), the settings file,
  // the layout's dialog resource (20111 full, 20112 medium, 20113 small,
  // any other full), the folders of the doctor table, of the database and
  // the engine's private folder, and the unit system, height and weight a
  // new patient starts with.
  TPatient(float scaleX, float scaleY, short demo, TMessage* texts, std::string_view iniPath, short dialogId,
           std::string_view doctorFolder, std::string_view databaseFolder, std::string_view privateFolder,
           short defaultUnit, short defaultHeight, short defaultWeight, QWidget* parent);
  ~TPatient() override;

  static const TResponseTable& ResponseTable();
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  // Opens the patient table and shows its first patient, then opens the
  // doctor and test tables. Runs once.
  void SetupWindow();
  // WM_CLOSE: the sheet stops checking its fields and closes (with the
  // frame that holds it).
  void EvClose();
  // What the sheet does when the program is idle: close when its database
  // is unusable, else notice what other users changed in its table.
  void IdleAction();
  // Runs the search dialog: the patient chosen there is shown; without
  // one the sheet stays on the patient it showed.
  void CmPatientSearch();

  // Whether the settings file asks for birth date and sex from the identifier.
  static bool ReadTypeOfID(std::string_view iniPath);

  bool IsDatabaseUnusable() const { return Unusable; }
  // The patient list needs no library of its own here; this says that the
  // sheet came up whole, as the loaded list library did.
  bool IsListLibraryLoaded() const { return ListReady; }
  bool IsMeasureDatabaseOpen() const { return Measures.AllOpen(); }
  const TMeasureTables& GetMeasureTables() const { return Measures; }

  // The shown patient's examinations (MeasureIndex.h), under the names the
  // program calls them by.
  TMeasureIndex& GetMeasureIndex() { return Index; }
  void GetAllMeasure(TMeetListSink& list, short atTop) const { Index.GetAllMeasure(list, atTop); }
  void GetMeetInformation(std::string& date, std::string& time, MEET_INFORMATION* information, short step) {
    Index.GetMeetInformation(date, time, information, step);
  }
  void ModifyMeasureNote(std::string_view date, std::string_view time, std::string_view note) {
    Index.ModifyMeasureNote(date, time, note);
  }
  bool SearchMeetRecord(std::string_view date, std::string_view time) { return Index.SearchMeetRecord(date, time); }
  short DeleteMeasureRecord(short index) { return Index.DeleteMeasureRecord(index); }
  short DeleteAudioRecord() { return Index.DeleteAudioRecord(); }
  short DeleteRhinoRecord() { return Index.DeleteRhinoRecord(); }
  bool DeleteAllMeasure() { return Index.DeleteAllMeasure(); }
  // Every patient of the database in `folder` into this one, with the
  // progress window; the sheet then shows the first patient.
  void MergeDatabases(const std::string& folder);
  short GetDemo() const { return Demo; }
  const std::string& GetIniPath() const { return IniPath; }
  const std::string& GetDatabaseFolder() const { return DatabaseFolder; }
  const std::string& GetDoctorFolder() const { return DoctorFolder; }
  // The control of an id (also its object name); null when the layout has none.
  QWidget* Control(int controlId) const;

  // Enter (the accept result) leaves the sheet open; any other result closes it.
  void done(int result) override;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  // One step of the progress window while it is up.
  void Step();
  void Announce(std::string_view table);
  // The doctor table, then the test tables; false at the first that fails.
  bool OpenOtherTables();
  void CloseDatabase();

  TMessage* TextStore;
  short Demo;
  std::string IniPath;
  std::string DatabaseFolder;
  std::string DoctorFolder;
  std::unique_ptr<TWaitingDialog> Waiting;
  TPatientForm* Form = nullptr;  // a child of the dialog
  QTimer* IdleTimer = nullptr;   // a child of the dialog
  TPatientTable Table;
  TMeasureTables Measures;
  TMeasureIndex Index{Measures, [this] { return GetPatientKey(); }};
  std::uint32_t PatientDatabase = 0;
  std::uint32_t PatientCursor = 0;
  bool Unusable = false;
  bool ListReady = false;
  bool SetUp = false;
};
