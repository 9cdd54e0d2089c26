#include "shell/client/ClientEnablers.h"

#include "platform/framework/Paths.h"

#include "common/CommandNumbers.h"
#include "patients/DatabaseFolders.h"
#include "shell/settings/DatabaseTables.h"

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

bool AudiogramSavable(const TClientView& v) { return v.AudiometerOpen && !v.AudiometerBusy && v.AudiometerUnsaved; }

constexpr int MeasureShutter = 5;
constexpr int MeasureRhino = 6;

// The lung-function tests other than rhinomanometry and the shutter test.
bool SpirometryTestEnabled(const TClientView& v) {
  if (!SheetIdle(v) || v.TrendOpen || v.AudiometerOpen)
    return false;
  if (v.ProvocationOpen && (!v.MeasurementActive || v.NebulizerRunning || MeasurementBusy(v)))
    return false;
  if (v.MeasurementOpen && !v.MeasurementStageView && (v.MeasurementBusy || v.WindowMeasureMode == MeasureRhino))
    return false;
  return true;
}

// Rhinomanometry and the shutter test: only on their instrument, and a
// measurement window switches to them only from themselves.
bool SpecialTestEnabled(const TClientView& v, int modeBit, int windowMode) {
  if ((v.HardwareMode & modeBit) == 0 || !SheetIdle(v) || v.TrendOpen || v.AudiometerOpen || v.ProvocationOpen)
    return false;
  return !v.MeasurementOpen || (!v.MeasurementBusy && v.WindowMeasureMode == windowMode);
}

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
  case CM_MEASURE_FVC:
  case CM_MEASURE_VC:
  case CM_MEASURE_MVV:
  case CM_MEASURE_DFC:
  case CM_MEASURE_PLETHY:
  case CM_MEASURE_MENU:
    return SpirometryTestEnabled(v);
  case CM_MEASURE_RHINO:
    return SpecialTestEnabled(v, 1, MeasureRhino);
  case CM_MEASURE_SHUTTER:
    return SpecialTestEnabled(v, 4, MeasureShutter);
  case CM_SAVE_MEASUREMENT:
    // The audiometer's menu saves with this command too: with no
    // measurement window open it stores the audiogram.
    if (!v.MeasurementOpen)
      return AudiogramSavable(v);
    return !v.MeasurementBusy && v.MeasurementUnsaved;
  case CM_SAVE_AUDIOGRAM:
    return AudiogramSavable(v);
  case CM_AUDIOMETER:
    return !v.TrendOpen && !v.ProvocationOpen && !v.MeasurementOpen && !(v.AudiometerOpen && v.AudiometerBusy) &&
           SheetIdle(v);
  case CM_TREND:
    return v.TrendOpen;
  case CM_PROVOCATION:
    return SheetIdle(v) && !v.TrendOpen && !v.ProvocationOpen && !v.MeasurementOpen && !v.AudiometerOpen;
  case CM_PROVOCATION_STEP:
    return (v.ProvocationActive && v.ProvocationStepReady) ||
           (v.ProvocationOpen && v.MeasurementActive && v.MeasurementUnsaved && !MeasurementBusy(v));
  case CM_PROVOCATION_MEASURE:
    return v.ProvocationActive && !v.ProvocationEnd && v.ProvocationProvokedRow && !v.NebulizerRunning &&
           v.ProvocationRows > 2;
  case CM_BREATHING_RATE:
  case CM_BREATHING_RATE_HIGH:
    return v.MeasurementOpen && !v.MeasurementBusy;
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
