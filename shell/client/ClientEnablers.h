#pragma once

// When the commands of the main menu that the client answers may be used.
// The rules keep the user from disturbing a running test, an unsaved edit
// of the patient sheet or an open provocation. The client fills a view of
// its component windows; the rules only read it.

#include <optional>
#include <string>
#include <vector>

struct TClientView {
  // The patient sheet.
  bool SheetOpen = false;
  bool SheetChanged = false;       // edited and not saved
  bool SheetNewRecord = false;     // a new record is being entered
  bool SheetTableDisplay = false;  // filling its table
  bool SheetShowsRecord = false;
  bool SheetListLibraryLoaded = false;
  bool SheetMeasurementDatabaseOpen = false;

  bool MeasurementOpen = false;
  bool MeasurementBusy = false;  // a test runs
  int MeasureMode = 0;           // the instrument library's global measure mode
  int WindowMeasureMode = 0;     // the test the measurement window shows
  bool MeasurementStageView = false;
  bool MeasurementUnsaved = false;
  bool MeasurementActive = false;  // its frame is the active child

  bool AudiometerOpen = false;
  bool AudiometerLinkUsable = true;
  bool AudiometerBusy = false;
  bool AudiometerUnsaved = false;

  bool TrendOpen = false;
  bool ProvocationOpen = false;
  bool ProvocationActive = false;  // its frame is the active child
  bool ProvocationStepReady = false;  // the window would take a step now
  bool ProvocationEnd = false;
  bool ProvocationProvokedRow = false;
  int ProvocationRows = 0;
  bool NebulizerRunning = false;

  short HardwareMode = 0;  // [Hardware] Mode: bit 0 rhinomanometer, bit 2 shutter

  bool DatabasePresent = false;     // every table file of the database is there
  bool LanguageDriverSet = false;
  bool DoctorTablePresent = false;  // "doctor.db" in the common folder
};

namespace ClientEnablers {

// The answer for one command of the main menu; nothing for a command these
// rules do not cover.
std::optional<bool> IsEnabled(unsigned command, const TClientView& view);

// Whether the rule of a command reads the view's table files
// (DatabasePresent, DoctorTablePresent). The rules are asked after every key
// and click; only these need a look at the disk.
bool ReadsTableFiles(unsigned command);

// The database is there when "doctor.db" is in the common folder and the ten
// test and patient tables are in the database folder. Folders are written as
// the settings write them.
bool DatabasePresent(const std::string& commonDir, const std::string& databaseDir);
bool DoctorTablePresent(const std::string& commonDir);
bool DataTablesPresent(const std::string& databaseDir);
// The table files that are not there, as a person reads their paths.
std::vector<std::string> MissingTables(const std::string& commonDir, const std::string& databaseDir);

}  // namespace ClientEnablers
