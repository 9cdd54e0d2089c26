#pragma once

// The two settings commands of the application that rewrite the settings
// file: the start-up settings and the database location. The dialogs are
// given by the caller; only a confirmed dialog changes anything.

#include "patients/StartUpStruct.h"
#include "shell/settings/AppSettings.h"

#include <functional>
#include <string>
#include <vector>

namespace StartUpSettings {

// Runs the dialog on the values of the settings file and answers its result.
using TStartUpDialog = std::function<int(TStartUpStruct&)>;
using TLocationDialog = std::function<int()>;

struct TOutcome {
  int Result = 0;                     // what the dialog answered
  std::vector<std::string> Failures;  // writes or folders that did not succeed
};

// [StartUp] PageType, DefaultUnit and Language, [Path] Private and
// [Databases] LanguageDriver; the last two also refresh the application's
// private folder and language driver.
TStartUpStruct Read(TAppSettings& settings);

// Only on IDOK: writes PageType, DefaultUnit, Language when not empty, and
// the language driver's name (the text after the first comma of the
// dialog's "description,name"). A driver text without a comma leaves the
// stored driver as it is. The application's page type, unit and language
// take effect at the next start.
TOutcome RunStartUp(TAppSettings& settings, const TStartUpDialog& dialog);

// Only on IDOK: reads the database folders again and makes the common and
// the database folder when missing.
TOutcome RunDatabaseLocation(TAppSettings& settings, const TLocationDialog& dialog);

}  // namespace StartUpSettings
