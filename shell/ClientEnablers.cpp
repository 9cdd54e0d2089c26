#include "shell/ClientEnablers.h"

#include "platform/framework/Paths.h"

#include "common/CommandNumbers.h"
#include "patients/DatabaseFolders.h"
#include "shell/DatabaseTables.h"

#include <string_view>

namespace ClientEnablers {
namespace {

bool SheetIdle(const TClientView& v) {
  return v.SheetOpen && !v.SheetChanged && !v.SheetNewRecord && !v.SheetTableDisplay;
}

bool SheetUnchanged(const TClientView& v) { return !v.SheetOpen || !v.SheetChanged; }

bool AudiometerFree(const TClientView& v) {
  return !v.AudiometerOpen || (v.AudiometerLinkUsable && !v.AudiometerBusy);
}

bool MeasurementBusy(const TClientView& v) { return v.MeasurementOpen && v.MeasurementBusy; }

constexpr int MeasureCalibration = 7;
constexpr int MeasureZeroing = -4;

}  // namespace

std::optional<bool> IsEnabled(unsigned command, const TClientView& v) {
  switch (command) {
  case CM_OPEN_PATIENT:
    return v.DatabasePresent && !v.ProvocationOpen && (AudiometerFree(v) || v.TrendOpen) && !MeasurementBusy(v) &&
           SheetUnchanged(v);
  case CM_EXIT:
    return AudiometerFree(v) && !(v.ProvocationOpen && v.NebulizerRunning) && !MeasurementBusy(v) &&
           SheetUnchanged(v);
  case CM_NEW_DATABASE:
    return AudiometerFree(v) && !MeasurementBusy(v) && v.LanguageDriverSet && v.DoctorTablePresent && !v.SheetOpen;
  case CM_MERGE_DATABASES:
    return v.SheetOpen && !v.SheetChanged && !v.AudiometerOpen && !v.MeasurementOpen;
  case CM_INSTITUTE:
    return true;
  case CM_HARDWARE_SETUP:
  case CM_DIFFUSION_SETUP:
  case CM_PLETHYSMOGRAPH_SETUP:
    return !v.MeasurementOpen || (!v.MeasurementBusy && v.MeasureMode != MeasureCalibration &&
                                  v.MeasureMode != MeasureZeroing && command != CM_PLETHYSMOGRAPH_SETUP);
  case CM_AUDIO_SETUP:
  case CM_AUTOMATIC_SETUP:
    return AudiometerFree(v);
  case CM_AUDIO_CALIBRATION:
    return !v.AudiometerOpen;
  case CM_PATIENT_NOTE:
    return AudiometerFree(v) && !MeasurementBusy(v) && SheetIdle(v);
  case CM_ECG:
    return v.SheetOpen && !v.SheetChanged && !v.SheetTableDisplay;
  case CM_PATIENT_LIST:
    return v.SheetOpen && v.SheetShowsRecord && !v.SheetChanged && v.SheetListLibraryLoaded && !v.SheetTableDisplay;
  case CM_BROWSE_MEASUREMENTS:
    return SheetIdle(v) && v.SheetMeasurementDatabaseOpen;
  default:
    return std::nullopt;
  }
}

bool ReadsTableFiles(unsigned command) { return command == CM_OPEN_PATIENT || command == CM_NEW_DATABASE; }

bool DoctorTablePresent(const std::string& commonDir) {
  return DatabaseFolders::HoldsTable(commonDir, DatabaseTables::DoctorTable.File);
}

bool DataTablesPresent(const std::string& databaseDir) {
  for (const DatabaseTables::TTable& table : DatabaseTables::DataTables)
    if (!DatabaseFolders::HoldsTable(databaseDir, table.File))
      return false;
  return true;
}

std::vector<std::string> MissingTables(const std::string& commonDir, const std::string& databaseDir) {
  std::vector<std::string> missing;
  if (!DoctorTablePresent(commonDir))
    missing.push_back(Paths::Shown(commonDir + "\\" + std::string(DatabaseTables::DoctorTable.File)));
  for (const DatabaseTables::TTable& table : DatabaseTables::DataTables)
    if (!DatabaseFolders::HoldsTable(databaseDir, table.File))
      missing.push_back(Paths::Shown(databaseDir + "\\" + std::string(table.File)));
  return missing;
}

bool DatabasePresent(const std::string& commonDir, const std::string& databaseDir) {
  return DoctorTablePresent(commonDir) && DataTablesPresent(databaseDir);
}

}  // namespace ClientEnablers
