#include "shell/settings/WorkFolderSetup.h"

#include "patients/DoctorEntry.h"
#include "patients/StartUpChoices.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Profile.h"
#include "shell/client/ClientEnablers.h"
#include "shell/settings/DatabaseTables.h"

namespace WorkFolderSetup {
namespace {

// The first driver the engine offers, when no driver is set yet.
void SetLanguageDriver(TAppSettings& settings, TMessage& messages, TReport& report) {
  if (!settings.LanguageDriver.empty())
    return;
  TEngine engine;
  engine.SetMessages(&messages);
  std::vector<std::string> drivers;
  if (engine.DbInit("", "") == DbResult::Ok)
    engine.GetLanguageDriverList(drivers);
  engine.DbExit();
  const auto name = drivers.empty() ? std::nullopt : StartUpChoices::DriverName(drivers.front());
  if (!name) {
    report.Failures.push_back("The database engine offers no language driver.");
    return;
  }
  TProfile databases("Databases", settings.IniPath);
  if (!databases.WriteString("LanguageDriver", *name)) {
    report.Failures.push_back(databases.GetLastError());
    return;
  }
  settings.LanguageDriver = *name;
  report.Done.push_back("language driver \"" + *name + "\" in " + Paths::Shown(settings.IniPath));
}

void AddExampleDoctor(const std::string& commonFolder, TMessage& messages, TReport& report) {
  TEngine engine;
  engine.SetFolder(commonFolder);
  engine.SetTableName(DatabaseTables::DoctorTable.File);
  engine.SetMessages(&messages);
  std::uint32_t database = 0, cursor = 0;
  TDoctorEntry doctor;
  doctor.Name = ExampleDoctorName;
  doctor.Code = ExampleDoctorCode;
  doctor.Treating = doctor.Home = doctor.Referring = true;
  DoctorRecordType record = doctor.ToRecord();
  const bool added = engine.DbInit("", "") == DbResult::Ok && engine.OpenDB(database) == DbResult::Ok &&
                     engine.GetTable(cursor) == DbResult::Ok && engine.AddDoctorRecord(record, 1) == DbResult::Ok;
  engine.DbExit();
  if (added)
    report.Done.push_back("the example doctor \"" + doctor.Name + "\"");
  else
    report.Failures.push_back("The example doctor could not be entered in " + Paths::Shown(commonFolder) + ".");
}

}  // namespace

TReport Prepare(const TCommandLine& commandLine, TMessage& messages) {
  TReport report;
  TAppSettings settings = Settings::Read(commandLine);
  SetLanguageDriver(settings, messages, report);
  for (const std::string& failure : Settings::MakeFolders(settings))
    report.Failures.push_back(failure);

  const bool doctorsThere = ClientEnablers::DoctorTablePresent(settings.CommonDir);
  const bool databaseThere = doctorsThere && ClientEnablers::DataTablesPresent(settings.DatabaseDir);
  if (!DatabaseTables::CreateMissing(settings.CommonDir, settings.DatabaseDir, settings.LanguageDriver, messages)) {
    report.Failures.push_back("The tables of the database could not all be made in " + Paths::Shown(settings.DatabaseDir) + ".");
    return report;
  }
  if (!databaseThere)
    report.Done.push_back("the tables of the database in " + Paths::Shown(settings.CommonDir) + " and " +
                          Paths::Shown(settings.DatabaseDir));
  if (!doctorsThere)
    AddExampleDoctor(settings.CommonDir, messages, report);
  return report;
}

}  // namespace WorkFolderSetup
