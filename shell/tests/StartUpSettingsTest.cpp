#include "shell/settings/StartUpSettings.h"
#include "shell/tests/WorkingFolder.h"

#include "platform/framework/Profile.h"
#include "platform/framework/WindowMessages.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const std::string Ini = "; the lab's settings\n[StartUp]\nPageType=1\nDefaultUnit=0\nLanguage=Deutsch\n"
                        "[Path]\nPrivate=Mine\n[Databases]\nLanguageDriver=ansiintl\n";

TEST(StartUpSettings, ACancelledDialogLeavesTheFileAsItWas) {
  TWorkingFolder folder;
  folder.Write("Halvetra.ini", Ini);
  TAppSettings settings = Settings::Read(TCommandLine::Parse(""));
  TStartUpStruct shown;
  const auto outcome = StartUpSettings::RunStartUp(settings, [&](TStartUpStruct& values) {
    shown = values;
    values = {"English", "Pdox ANSI Intl,ansiintl", "Other", 2, 1};
    return IDCANCEL;
  });
  EXPECT_EQ(outcome.Result, IDCANCEL);
  EXPECT_TRUE(outcome.Failures.empty());
  EXPECT_EQ(TTemporaryFolder::Read(folder / "Halvetra.ini"), Ini);
  // The dialog was given the file's values.
  EXPECT_EQ(shown.Language, "Deutsch");
  EXPECT_EQ(shown.LanguageDriver, "ansiintl");
  EXPECT_EQ(shown.PrivateFolder, "Mine");
  EXPECT_EQ(shown.PageType, 1);
  EXPECT_EQ(shown.DefaultUnit, 0);
}

TEST(StartUpSettings, AConfirmedDialogWritesTheValuesAndTheDriversName) {
  TWorkingFolder folder;
  folder.Write("Halvetra.ini", Ini);
  TAppSettings settings = Settings::Read(TCommandLine::Parse(""));
  const auto outcome = StartUpSettings::RunStartUp(settings, [](TStartUpStruct& values) {
    values = {"English", "Pdox ANSI Intl,ansiintl850", "ignored", 2, 1};
    return IDOK;
  });
  EXPECT_EQ(outcome.Result, IDOK);
  EXPECT_TRUE(outcome.Failures.empty());
  EXPECT_EQ(TTemporaryFolder::Read(folder / "Halvetra.ini"),
            "; the lab's settings\n[StartUp]\nPageType=2\nDefaultUnit=1\nLanguage=English\n"
            "[Path]\nPrivate=Mine\n[Databases]\nLanguageDriver=ansiintl850\n");
  EXPECT_EQ(settings.LanguageDriver, "ansiintl850");
  // Page type, unit and language take effect at the next start.
  EXPECT_EQ(settings.Language, "Deutsch");
  EXPECT_EQ(settings.PageType, 1);
}

TEST(StartUpSettings, ADriverWithoutCommaAndAnEmptyLanguageChangeNothingStored) {
  TWorkingFolder folder;
  folder.Write("Halvetra.ini", Ini);
  TAppSettings settings = Settings::Read(TCommandLine::Parse(""));
  StartUpSettings::RunStartUp(settings, [](TStartUpStruct& values) {
    values.Language.clear();
    values.LanguageDriver = "no comma here";
    return IDOK;
  });
  const TProfile startUp("StartUp", ".\\Halvetra.ini");
  EXPECT_EQ(startUp.GetString("Language"), "Deutsch");
  EXPECT_EQ(TProfile("Databases", ".\\Halvetra.ini").GetString("LanguageDriver"), "ansiintl");
  EXPECT_EQ(settings.LanguageDriver, "ansiintl");
}

TEST(StartUpSettings, WritesThatFailAreReported) {
  TWorkingFolder folder;
  fs::create_directory("Halvetra.ini");  // nothing can be written there
  TAppSettings settings = Settings::Read(TCommandLine::Parse(""));
  const auto outcome = StartUpSettings::RunStartUp(settings, [](TStartUpStruct& values) {
    values.LanguageDriver = "desc,name";
    return IDOK;
  });
  EXPECT_EQ(outcome.Failures.size(), 4u);
  EXPECT_EQ(settings.LanguageDriver, "");
}

TEST(StartUpSettings, ANewDatabaseLocationIsReadAndItsFoldersMade) {
  TWorkingFolder folder;
  TAppSettings settings = Settings::Read(TCommandLine::Parse(""));
  auto outcome = StartUpSettings::RunDatabaseLocation(settings, [&] {
    folder.Write("Halvetra.ini", "[Path]\nLocalNet=1\nNetCommon=Shared\nNetDatabase=Shared\\Data\n");
    return IDCANCEL;
  });
  EXPECT_EQ(settings.CommonDir, ".\\Database");  // cancelled: nothing read again
  EXPECT_FALSE(fs::exists("Shared"));

  outcome = StartUpSettings::RunDatabaseLocation(settings, [] { return IDOK; });
  EXPECT_TRUE(outcome.Failures.empty());
  EXPECT_EQ(settings.LocalNet, 1);
  EXPECT_EQ(settings.CommonDir, "Shared");
  EXPECT_EQ(settings.DatabaseDir, "Shared\\Data");
  EXPECT_TRUE(fs::is_directory("Shared/Data"));
}

}  // namespace
