#include "shell/client/ClientEnablers.h"
#include "testing/TemporaryFolder.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A quiet lab: the database is there, a patient sheet is open and idle,
// nothing else runs.
TClientView Idle() {
  TClientView v;
  v.DatabasePresent = true;
  v.LanguageDriverSet = true;
  v.DoctorTablePresent = true;
  v.SheetOpen = true;
  v.SheetShowsRecord = true;
  v.SheetListLibraryLoaded = true;
  v.SheetMeasurementDatabaseOpen = true;
  return v;
}

// A situation made from the idle one, with the commands it allows and those it does not.
struct Case {
  const char* what;
  std::function<void(TClientView&)> change;
  std::vector<unsigned> enabled;
  std::vector<unsigned> disabled;
};

void CheckCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    TClientView view = Idle();
    c.change(view);
    for (const unsigned id : c.enabled)
      EXPECT_EQ(ClientEnablers::IsEnabled(id, view), true) << c.what << ": " << id;
    for (const unsigned id : c.disabled)
      EXPECT_EQ(ClientEnablers::IsEnabled(id, view), false) << c.what << ": " << id;
  }
}

TEST(ClientEnablers, CommandsAreKeptFromDisturbingWhatRuns) {
  const std::vector<Case> cases{
      {"an idle sheet", [](TClientView&) {},
       {CM_OPEN_PATIENT, CM_EXIT, CM_MERGE_DATABASES, CM_INSTITUTE, CM_HARDWARE_SETUP, CM_PLETHYSMOGRAPH_SETUP,
        CM_AUDIO_SETUP, CM_AUDIO_CALIBRATION, CM_PATIENT_NOTE, CM_ECG, CM_PATIENT_LIST, CM_BROWSE_MEASUREMENTS},
       {CM_NEW_DATABASE}},  // a new database only while no sheet is open
      {"no sheet", [](TClientView& v) { v.SheetOpen = false; },
       {CM_OPEN_PATIENT, CM_EXIT, CM_NEW_DATABASE, CM_INSTITUTE},
       {CM_MERGE_DATABASES, CM_PATIENT_NOTE, CM_ECG, CM_PATIENT_LIST, CM_BROWSE_MEASUREMENTS}},
      {"no database", [](TClientView& v) { v.DatabasePresent = false; }, {CM_EXIT}, {CM_OPEN_PATIENT}},
      {"no language driver", [](TClientView& v) { v.SheetOpen = false; v.LanguageDriverSet = false; },
       {CM_OPEN_PATIENT}, {CM_NEW_DATABASE}},
      {"no doctor table", [](TClientView& v) { v.SheetOpen = false; v.DoctorTablePresent = false; },
       {CM_OPEN_PATIENT}, {CM_NEW_DATABASE}},
      {"unsaved patient", [](TClientView& v) { v.SheetChanged = true; },
       {CM_INSTITUTE, CM_HARDWARE_SETUP},
       {CM_OPEN_PATIENT, CM_EXIT, CM_MERGE_DATABASES, CM_PATIENT_NOTE, CM_ECG, CM_PATIENT_LIST,
        CM_BROWSE_MEASUREMENTS}},
      {"new record", [](TClientView& v) { v.SheetNewRecord = true; },
       {CM_OPEN_PATIENT, CM_EXIT, CM_ECG, CM_PATIENT_LIST}, {CM_PATIENT_NOTE, CM_BROWSE_MEASUREMENTS}},
      {"table display", [](TClientView& v) { v.SheetTableDisplay = true; },
       {CM_OPEN_PATIENT, CM_MERGE_DATABASES}, {CM_PATIENT_NOTE, CM_ECG, CM_PATIENT_LIST, CM_BROWSE_MEASUREMENTS}},
      {"no record shown", [](TClientView& v) { v.SheetShowsRecord = false; }, {CM_ECG}, {CM_PATIENT_LIST}},
      {"no measurement database", [](TClientView& v) { v.SheetMeasurementDatabaseOpen = false; },
       {CM_PATIENT_NOTE}, {CM_BROWSE_MEASUREMENTS}},
      {"idle measurement", [](TClientView& v) { v.MeasurementOpen = true; },
       {CM_OPEN_PATIENT, CM_EXIT, CM_HARDWARE_SETUP, CM_DIFFUSION_SETUP, CM_PATIENT_NOTE},
       {CM_MERGE_DATABASES, CM_PLETHYSMOGRAPH_SETUP}},
      {"running test", [](TClientView& v) { v.MeasurementOpen = true; v.MeasurementBusy = true; },
       {CM_INSTITUTE, CM_AUDIO_SETUP},
       {CM_OPEN_PATIENT, CM_EXIT, CM_HARDWARE_SETUP, CM_DIFFUSION_SETUP, CM_PATIENT_NOTE}},
      {"calibration", [](TClientView& v) { v.MeasurementOpen = true; v.MeasureMode = 7; },
       {CM_OPEN_PATIENT}, {CM_HARDWARE_SETUP, CM_DIFFUSION_SETUP}},
      {"zeroing", [](TClientView& v) { v.MeasurementOpen = true; v.MeasureMode = -4; },
       {CM_EXIT}, {CM_HARDWARE_SETUP, CM_DIFFUSION_SETUP}},
      {"idle audiometer", [](TClientView& v) { v.AudiometerOpen = true; },
       {CM_OPEN_PATIENT, CM_EXIT, CM_AUDIO_SETUP, CM_AUTOMATIC_SETUP, CM_PATIENT_NOTE},
       {CM_AUDIO_CALIBRATION, CM_MERGE_DATABASES}},
      {"audiometer testing", [](TClientView& v) { v.AudiometerOpen = true; v.AudiometerBusy = true; },
       {CM_INSTITUTE}, {CM_OPEN_PATIENT, CM_EXIT, CM_AUDIO_SETUP, CM_AUTOMATIC_SETUP, CM_PATIENT_NOTE}},
      {"audiometer without link", [](TClientView& v) { v.AudiometerOpen = true; v.AudiometerLinkUsable = false; },
       {}, {CM_OPEN_PATIENT, CM_EXIT, CM_AUDIO_SETUP}},
      {"busy audiometer beside a trend", [](TClientView& v) { v.AudiometerOpen = true; v.AudiometerBusy = true; v.TrendOpen = true; },
       {CM_OPEN_PATIENT}, {CM_EXIT}},
      {"provocation", [](TClientView& v) { v.ProvocationOpen = true; }, {CM_EXIT}, {CM_OPEN_PATIENT}},
      {"nebulizer running", [](TClientView& v) { v.ProvocationOpen = true; v.NebulizerRunning = true; },
       {CM_INSTITUTE}, {CM_EXIT}},
  };
  CheckCases(cases);
  EXPECT_FALSE(ClientEnablers::IsEnabled(CM_ABOUT, Idle()).has_value());  // not the client's
}

// The test windows' own commands: what each situation allows, row by row.
TEST(ClientEnablers, TestWindowsOpenOnlyWhereTheyDisturbNothing) {
  constexpr unsigned Spirometry[] = {CM_MEASURE_FVC, CM_MEASURE_VC, CM_MEASURE_MVV, CM_MEASURE_DFC, CM_MEASURE_PLETHY,
                                     CM_MEASURE_MENU};
  const auto with = [&Spirometry](std::vector<unsigned> ids) {
    ids.insert(ids.end(), std::begin(Spirometry), std::end(Spirometry));
    return ids;
  };
  const std::vector<Case> cases{
      {"an idle sheet", [](TClientView&) {}, with({CM_AUDIOMETER, CM_PROVOCATION}),
       {CM_MEASURE_RHINO, CM_MEASURE_SHUTTER, CM_TREND, CM_SAVE_MEASUREMENT, CM_SAVE_AUDIOGRAM,
        CM_PROVOCATION_STEP, CM_PROVOCATION_MEASURE, CM_BREATHING_RATE}},
      {"rhinomanometer and shutter installed", [](TClientView& v) { v.HardwareMode = 5; },
       with({CM_MEASURE_RHINO, CM_MEASURE_SHUTTER}), {}},
      {"no sheet", [](TClientView& v) { v.SheetOpen = false; v.HardwareMode = 5; }, {},
       with({CM_MEASURE_RHINO, CM_MEASURE_SHUTTER, CM_AUDIOMETER, CM_PROVOCATION})},
      {"an edited sheet", [](TClientView& v) { v.SheetChanged = true; }, {}, with({CM_AUDIOMETER, CM_PROVOCATION})},
      {"FVC window", [](TClientView& v) { v.MeasurementOpen = true; v.HardwareMode = 5; },
       with({CM_BREATHING_RATE, CM_BREATHING_RATE_HIGH}),
       {CM_MEASURE_RHINO, CM_MEASURE_SHUTTER, CM_AUDIOMETER, CM_PROVOCATION, CM_SAVE_MEASUREMENT}},
      {"rhinomanometry window", [](TClientView& v) { v.MeasurementOpen = true; v.WindowMeasureMode = 6; v.HardwareMode = 5; },
       {CM_MEASURE_RHINO}, with({CM_MEASURE_SHUTTER})},
      {"shutter window", [](TClientView& v) { v.MeasurementOpen = true; v.WindowMeasureMode = 5; v.HardwareMode = 5; },
       with({CM_MEASURE_SHUTTER}), {CM_MEASURE_RHINO}},
      {"stored rhinomanometry", [](TClientView& v) { v.MeasurementOpen = true; v.WindowMeasureMode = 6; v.MeasurementStageView = true; },
       with({}), {}},
      {"test running", [](TClientView& v) { v.MeasurementOpen = true; v.MeasurementBusy = true; v.MeasurementUnsaved = true; v.HardwareMode = 5; },
       {}, with({CM_MEASURE_SHUTTER, CM_SAVE_MEASUREMENT, CM_BREATHING_RATE, CM_BREATHING_RATE_HIGH})},
      {"unsaved results", [](TClientView& v) { v.MeasurementOpen = true; v.MeasurementUnsaved = true; },
       {CM_SAVE_MEASUREMENT}, {CM_PROVOCATION_STEP}},
      {"trend", [](TClientView& v) { v.TrendOpen = true; v.HardwareMode = 5; }, {CM_TREND},
       with({CM_MEASURE_RHINO, CM_AUDIOMETER, CM_PROVOCATION})},
      {"audiometer", [](TClientView& v) { v.AudiometerOpen = true; v.HardwareMode = 5; }, {CM_AUDIOMETER},
       with({CM_MEASURE_RHINO, CM_PROVOCATION, CM_SAVE_AUDIOGRAM})},
      {"audiometer testing", [](TClientView& v) { v.AudiometerOpen = true; v.AudiometerBusy = true; v.AudiometerUnsaved = true; },
       {}, {CM_AUDIOMETER, CM_SAVE_AUDIOGRAM, CM_SAVE_MEASUREMENT}},
      // The audiometer's menu saves with the measurement's command.
      {"unsaved audiogram", [](TClientView& v) { v.AudiometerOpen = true; v.AudiometerUnsaved = true; },
       {CM_SAVE_AUDIOGRAM, CM_SAVE_MEASUREMENT}, {}},
      // During a provocation the tests only from the active measurement frame.
      {"provocation active", [](TClientView& v) { v.ProvocationOpen = true; v.ProvocationActive = true; v.HardwareMode = 5; },
       {}, with({CM_MEASURE_RHINO, CM_MEASURE_SHUTTER, CM_PROVOCATION, CM_AUDIOMETER, CM_PROVOCATION_STEP})},
      {"provocation, measurement active", [](TClientView& v) { v.ProvocationOpen = true; v.MeasurementOpen = true; v.MeasurementActive = true; },
       with({}), {CM_PROVOCATION_STEP}},
      {"provocation, nebulizer running", [](TClientView& v) { v.ProvocationOpen = true; v.MeasurementOpen = true; v.MeasurementActive = true; v.NebulizerRunning = true; },
       {}, with({})},
      {"provocation, measurement running", [](TClientView& v) { v.ProvocationOpen = true; v.MeasurementOpen = true; v.MeasurementActive = true; v.MeasurementBusy = true; v.MeasurementUnsaved = true; },
       {}, with({CM_PROVOCATION_STEP})},
      {"provocation, measured", [](TClientView& v) { v.ProvocationOpen = true; v.MeasurementOpen = true; v.MeasurementActive = true; v.MeasurementUnsaved = true; },
       with({CM_PROVOCATION_STEP}), {}},
      {"provocation ready for a step", [](TClientView& v) { v.ProvocationOpen = true; v.ProvocationActive = true; v.ProvocationStepReady = true; },
       {CM_PROVOCATION_STEP}, {CM_PROVOCATION_MEASURE}},
      {"provoked, three rows", [](TClientView& v) { v.ProvocationOpen = true; v.ProvocationActive = true; v.ProvocationProvokedRow = true; v.ProvocationRows = 3; },
       {CM_PROVOCATION_MEASURE}, {}},
      {"provoked, two rows", [](TClientView& v) { v.ProvocationOpen = true; v.ProvocationActive = true; v.ProvocationProvokedRow = true; v.ProvocationRows = 2; },
       {}, {CM_PROVOCATION_MEASURE}},
      {"provoked, ended", [](TClientView& v) { v.ProvocationOpen = true; v.ProvocationActive = true; v.ProvocationProvokedRow = true; v.ProvocationRows = 3; v.ProvocationEnd = true; },
       {}, {CM_PROVOCATION_MEASURE}},
      {"provoked, spraying", [](TClientView& v) { v.ProvocationOpen = true; v.ProvocationActive = true; v.ProvocationProvokedRow = true; v.ProvocationRows = 3; v.NebulizerRunning = true; },
       {}, {CM_PROVOCATION_MEASURE}},
      {"provoked, measurement active", [](TClientView& v) { v.ProvocationOpen = true; v.ProvocationProvokedRow = true; v.ProvocationRows = 3; },
       {}, {CM_PROVOCATION_MEASURE}},
  };
  CheckCases(cases);
}

// The client looks for the table files only for the commands that say they
// read them; any other rule must answer alike with and without them.
TEST(ClientEnablers, OnlyTheRulesThatSaySoReadTheTableFiles) {
  TClientView noSheet = Idle();
  noSheet.SheetOpen = false;
  for (const TClientView& base : {Idle(), noSheet})
    for (unsigned id = 0; id <= 0xFFFF; ++id) {
      if (ClientEnablers::ReadsTableFiles(id))
        continue;
      TClientView withoutTables = base;
      withoutTables.DatabasePresent = withoutTables.DoctorTablePresent = false;
      EXPECT_EQ(ClientEnablers::IsEnabled(id, base), ClientEnablers::IsEnabled(id, withoutTables)) << id;
    }
  EXPECT_TRUE(ClientEnablers::ReadsTableFiles(CM_OPEN_PATIENT));
  EXPECT_TRUE(ClientEnablers::ReadsTableFiles(CM_NEW_DATABASE));
}

TEST(ClientEnablers, TheDatabaseIsThereWhenEveryTableFileIs) {
  TTemporaryFolder folder;
  const std::string common = (folder / "Database").string();
  const std::string data = (folder / "Database/Data").string();
  EXPECT_FALSE(ClientEnablers::DatabasePresent(common, data));
  folder.Write("Database/Doctor.DB", "");  // table names match without regard to case
  EXPECT_TRUE(ClientEnablers::DoctorTablePresent(common));
  for (const char* table : {"names.db", "meet.db", "fvc.db", "vc.db", "mvv.db", "audio.db", "rhino.db", "dfc.db", "sh.db"})
    folder.Write(std::string("Database/Data/") + table, "");
  EXPECT_FALSE(ClientEnablers::DatabasePresent(common, data));  // "pl.db" is missing
  folder.Write("Database/Data/pl.db", "");
  EXPECT_TRUE(ClientEnablers::DatabasePresent(common, data));
  std::filesystem::remove(folder / "Database/Doctor.DB");
  EXPECT_FALSE(ClientEnablers::DatabasePresent(common, data));
}

}  // namespace
