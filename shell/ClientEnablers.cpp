#include "shell/ClientEnablers.h"

#include "common/CommandNumbers.h"
#include "platform/framework/Paths.h"

#include <array>
#include <string_view>
#include <system_error>

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

bool TableIn(const std::string& folder, std::string_view table) {
  const auto native = Paths::ToNative(folder);
  if (!native)
    return false;
  const auto found = Paths::FindNoCase(*native, table);
  std::error_code ec;
  return found && std::filesystem::is_regular_file(*found, ec);
}

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

bool DoctorTablePresent(const std::string& commonDir) { return TableIn(commonDir, "doctor.db"); }

bool DatabasePresent(const std::string& commonDir, const std::string& databaseDir) {
  static constexpr std::array<std::string_view, 10> Tables{"names.db", "meet.db", "fvc.db", "vc.db",  "mvv.db",
                                                           "audio.db", "rhino.db", "dfc.db", "sh.db", "pl.db"};
  if (!DoctorTablePresent(commonDir))
    return false;
  for (std::string_view table : Tables)
    if (!TableIn(databaseDir, table))
      return false;
  return true;
}

}  // namespace ClientEnablers
