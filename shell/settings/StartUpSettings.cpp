#include "shell/settings/StartUpSettings.h"

#include "patients/StartUpChoices.h"
#include "platform/framework/Profile.h"
#include "platform/framework/WindowMessages.h"
#include "platform/framework/Utf8.h"

namespace StartUpSettings {
namespace {

void Note(TProfile& profile, bool written, std::vector<std::string>& failures) {
  if (!written)
    failures.push_back(profile.GetLastError());
}

}  // namespace

TStartUpStruct Read(TAppSettings& settings) {
  const TProfile startUp("StartUp", settings.IniPath);
  TStartUpStruct values;
  values.PageType = Settings::ReadShort(startUp, "PageType", 2);
  values.DefaultUnit = Settings::ReadShort(startUp, "DefaultUnit", 0);
  values.Language = Settings::ReadText(startUp, "Language", "English", TStartUpStruct::LanguageSize);
  if (values.Language.empty())
    values.Language = "English";

  settings.PrivateDir = Settings::ReadText(TProfile("Path", settings.IniPath), "Private",
                                           settings.ProgramDir + "\\Private", PathFieldSize);
  settings.LanguageDriver =
      Settings::ReadText(TProfile("Databases", settings.IniPath), "LanguageDriver", "", LanguageDriverFieldSize);
  values.PrivateFolder = Utf8::Bounded(settings.PrivateDir, TStartUpStruct::PrivateFolderSize);
  values.LanguageDriver = Utf8::Bounded(settings.LanguageDriver, TStartUpStruct::LanguageDriverSize);
  return values;
}

TOutcome RunStartUp(TAppSettings& settings, const TStartUpDialog& dialog) {
  TStartUpStruct values = Read(settings);
  TOutcome outcome{dialog(values), {}};
  if (outcome.Result != IDOK)
    return outcome;

  TProfile startUp("StartUp", settings.IniPath);
  Note(startUp, startUp.WriteInt("PageType", values.PageType), outcome.Failures);
  Note(startUp, startUp.WriteInt("DefaultUnit", values.DefaultUnit), outcome.Failures);
  if (!values.Language.empty())
    Note(startUp, startUp.WriteString("Language", Utf8::Bounded(values.Language, TStartUpStruct::LanguageSize)),
         outcome.Failures);

  if (const auto name = StartUpChoices::DriverName(values.LanguageDriver)) {
    const std::string driver = Utf8::Bounded(*name, LanguageDriverFieldSize);
    TProfile databases("Databases", settings.IniPath);
    if (databases.WriteString("LanguageDriver", driver))
      settings.LanguageDriver = driver;
    else
      outcome.Failures.push_back(databases.GetLastError());
  }
  return outcome;
}

TOutcome RunDatabaseLocation(TAppSettings& settings, const TLocationDialog& dialog) {
  TOutcome outcome{dialog(), {}};
  if (outcome.Result != IDOK)
    return outcome;
  Settings::ReadDatabaseFolders(settings);
  outcome.Failures = Settings::MakeDatabaseFolders(settings);
  return outcome;
}

}  // namespace StartUpSettings
