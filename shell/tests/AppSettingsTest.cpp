#include "shell/settings/AppSettings.h"
#include "shell/settings/InstituteSettings.h"
#include "shell/tests/WorkingFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TAppSettings ReadWith(std::string_view commandLine) { return Settings::Read(TCommandLine::Parse(commandLine)); }

// An institute never set reads as the dialog's default texts; a printout
// shows nothing for them rather than "Name of the Institute".
TEST(AppSettings, AnUnsetInstitutePrintsNothing) {
  struct Case {
    TTInstituteStruct Stored, Printed;
  };
  const Case cases[] = {
      {{"Name of the Institute", "Address of the Institute"}, {"", ""}},
      {{"Lung Lab", "Address of the Institute"}, {"Lung Lab", ""}},
      {{"Name of the Institute", "1 Main Street"}, {"", "1 Main Street"}},
      {{"Lung Lab", "1 Main Street"}, {"Lung Lab", "1 Main Street"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(InstituteSettings::Printed(c.Stored), c.Printed) << c.Stored.Name << " / " << c.Stored.Address;
}

TEST(AppSettings, WithoutAnIniFileEveryValueIsItsDefault) {
  TWorkingFolder folder;
  const TAppSettings s = ReadWith("");
  EXPECT_EQ(s.IniPath, ".\\Halvetra.ini");
  EXPECT_EQ(s.Demo, 0);
  EXPECT_EQ(s.PageType, 2);
  EXPECT_EQ(s.DefaultUnit, 0);
  EXPECT_EQ(s.DefaultHeight, 0);
  EXPECT_EQ(s.DefaultWeight, 0);
  EXPECT_EQ(s.Language, "English");
  EXPECT_EQ(s.ProgramDir, ".");
  EXPECT_EQ(s.LocalNet, 0);
  EXPECT_EQ(s.DatabaseDir, ".\\Database\\Data");
  EXPECT_EQ(s.CommonDir, ".\\Database");
  EXPECT_EQ(s.PrivateDir, ".\\Private");
  EXPECT_EQ(s.EmailDir, ".\\EMail");
  EXPECT_EQ(s.LanguageDriver, "");
  EXPECT_TRUE(s.FirstInstall);
  EXPECT_EQ(s.EnableSetProgramPath, 1);
  EXPECT_FALSE(s.AddUSBDescription);
  EXPECT_EQ(s.Picture, "");
  for (const std::string& line : s.Lines)
    EXPECT_EQ(line, "");
  EXPECT_EQ(s.InitWindowEnable, 1);
  EXPECT_EQ(s.InitWindowDelay, 10);
  EXPECT_FALSE(s.HandOverPending);
  EXPECT_FALSE(fs::exists("Halvetra.ini"));  // reading writes nothing
}

TEST(AppSettings, ValuesAreReadAndBoundedToTheirFields) {
  TWorkingFolder folder;
  const std::string longFolder = "Lab\\" + std::string(300, 'x');
  folder.Write("Lab.ini", "[StartUp]\nPageType=3\nDefaultUnit=1\nDefaultHeight=99999\nDefaultWeight=-99999\n"
                          "Language=Deutsch\n"
                          "[Path]\nProgram=" + longFolder + "\nEMail=Mail\n"
                          "[Databases]\nLanguageDriver=" + std::string(40, 'd') + "\n"
                          "[Program]\nFirstInstall=0\nEnableSetProgramPath=0\nAddUSBDescription=1\n"
                          "[InitWindow]\nPicture=logo.bmp\nLine1=Welcome\nLine4=Four\nEnable=0\nDelay=3\n");
  const TAppSettings s = ReadWith("-iLab.ini");
  EXPECT_EQ(s.IniPath, ".\\Lab.ini");
  EXPECT_EQ(s.PageType, 3);
  EXPECT_EQ(s.DefaultUnit, 1);
  EXPECT_EQ(s.DefaultHeight, 32767);
  EXPECT_EQ(s.DefaultWeight, -32768);
  EXPECT_EQ(s.Language, "Deutsch");
  EXPECT_EQ(s.ProgramDir.size(), PathFieldSize - 1);
  // Defaults built from a long program folder stay bounded too.
  EXPECT_EQ(s.DatabaseDir.size(), PathFieldSize - 1);
  EXPECT_EQ(s.PrivateDir.size(), PathFieldSize - 1);
  EXPECT_EQ(s.EmailDir, "Mail");
  EXPECT_EQ(s.LanguageDriver, std::string(LanguageDriverFieldSize - 1, 'd'));
  EXPECT_FALSE(s.FirstInstall);
  EXPECT_EQ(s.EnableSetProgramPath, 0);
  EXPECT_TRUE(s.AddUSBDescription);
  EXPECT_EQ(s.Picture, "logo.bmp");
  EXPECT_EQ(s.Lines[0], "Welcome");
  EXPECT_EQ(s.Lines[3], "Four");
  EXPECT_EQ(s.InitWindowEnable, 0);
  EXPECT_EQ(s.InitWindowDelay, 3);
}

TEST(AppSettings, TheKindOfDatabaseDecidesWhichFolderKeysAreRead) {
  TWorkingFolder folder;
  const std::string local = "[Path]\nProgram=Here\nDatabase=LocalData\nCommon=LocalCommon\n";
  folder.Write("Halvetra.ini", local + "LocalNet=0\nNetDatabase=NetData\nNetCommon=NetCommon\n");
  TAppSettings s = ReadWith("");
  EXPECT_EQ(s.DatabaseDir, "LocalData");
  EXPECT_EQ(s.CommonDir, "LocalCommon");

  folder.Write("Halvetra.ini", local + "LocalNet=1\nNetDatabase=NetData\nNetCommon=NetCommon\n");
  s = ReadWith("");
  EXPECT_EQ(s.DatabaseDir, "NetData");
  EXPECT_EQ(s.CommonDir, "NetCommon");

  // Without the network keys the defaults apply; Database and Common are not read.
  folder.Write("Halvetra.ini", local + "LocalNet=1\n");
  s = ReadWith("");
  EXPECT_EQ(s.DatabaseDir, "Here\\Database\\Data");
  EXPECT_EQ(s.CommonDir, "Here\\Database");
}

TEST(AppSettings, FoldersAreMadeInOrderAndTheLogFolderOnlyWhenLogsAreWritten) {
  TWorkingFolder folder;
  TAppSettings s = ReadWith("");
  EXPECT_TRUE(Settings::MakeFolders(s).empty());
  // The database folder lies inside the common folder: made second, it succeeds.
  for (const char* made : {"Database", "Database/Data", "Private", "EMail"})
    EXPECT_TRUE(fs::is_directory(made)) << made;
  EXPECT_FALSE(fs::exists("Bad"));

  folder.Write("Halvetra.ini", "[Creating Measure Log]\nWriteEnable=1\n");
  s = ReadWith("");
  EXPECT_TRUE(Settings::MakeFolders(s).empty());
  EXPECT_TRUE(fs::is_directory("Bad"));
}

TEST(AppSettings, AFolderThatCannotBeMadeIsListedAndTheOthersAreStillMade) {
  TWorkingFolder folder;
  folder.Write("Private", "a file where the folder should be");
  folder.Write("Halvetra.ini", "[Path]\nDatabase=Deep\\Er\\Data\n");
  const auto failures = Settings::MakeFolders(ReadWith(""));
  ASSERT_EQ(failures.size(), 2u);  // one level at a time: Deep\Er is missing
  EXPECT_NE(failures[0].find("Deep/Er/Data"), std::string::npos);
  EXPECT_NE(failures[1].find("Private"), std::string::npos);
  EXPECT_TRUE(fs::is_directory("Database"));
  EXPECT_TRUE(fs::is_directory("EMail"));
}

TEST(AppSettings, WindowsDriveFoldersAreNamedAndNeverMade) {
  TWorkingFolder folder;
  folder.Write("Halvetra.ini", "[Path]\nProgram=c:\\halvetra\nPrivate=.\\Private\n");
  const TAppSettings s = ReadWith("");
  EXPECT_EQ(Settings::FoldersWithDrive(s),
            (std::vector<std::string>{"c:\\halvetra", "c:\\halvetra\\Database\\Data", "c:\\halvetra\\Database",
                                      "c:\\halvetra\\EMail"}));
  EXPECT_TRUE(Settings::MakeFolders(s).empty());  // named once, by FoldersWithDrive
  EXPECT_TRUE(fs::is_directory("Private"));
}

TEST(AppSettings, InstallFlagsFollowTheDemonstrationMode) {
  TWorkingFolder folder;
  TInstallFlags flags = Settings::ReadInstallFlags(".\\Halvetra.ini", true);
  EXPECT_TRUE(flags.HardwareInstalled && flags.DiffusionInstalled && flags.PlethysmographInstalled &&
              flags.AudioInstalled);
  flags = Settings::ReadInstallFlags(".\\Halvetra.ini", false);
  EXPECT_FALSE(flags.HardwareInstalled || flags.DiffusionInstalled || flags.PlethysmographInstalled ||
               flags.AudioInstalled);

  folder.Write("Halvetra.ini", "[Hardware]\nMode=5\n[Hardware Diffusion Test]\nInstall=0\n"
                               "[Hardware Plethysmograph]\nInstall=1\nMode=2\n[Audio]\nInstall=0\n");
  flags = Settings::ReadInstallFlags(".\\Halvetra.ini", true);
  EXPECT_TRUE(flags.HardwareInstalled);
  EXPECT_EQ(flags.HardwareMode, 5);
  EXPECT_FALSE(flags.DiffusionInstalled);  // the section says Install=0, also in demonstration mode
  EXPECT_TRUE(flags.PlethysmographInstalled);
  EXPECT_EQ(flags.PlethysmographMode, 2);
  EXPECT_FALSE(flags.AudioInstalled);
  flags = Settings::ReadInstallFlags(".\\Halvetra.ini", false);
  EXPECT_TRUE(flags.PlethysmographInstalled);
  EXPECT_FALSE(flags.HardwareInstalled);
}

TEST(AppSettings, AHandOverFileIsPendingOnlyWhenItIsThere) {
  TWorkingFolder folder;
  folder.Write("Patient.ini", "[Patient]\n");
  fs::create_directory("Folder.ini");
  EXPECT_TRUE(ReadWith("-pPatient.ini").HandOverPending);
  EXPECT_FALSE(ReadWith("-pMissing.ini").HandOverPending);
  EXPECT_FALSE(ReadWith("-pFolder.ini").HandOverPending);
  EXPECT_FALSE(ReadWith("-p").HandOverPending);  // ".\" is the working folder, not a file
  EXPECT_FALSE(ReadWith("").HandOverPending);
}

TEST(AppSettings, UnreadableSettingsFilesAreRecognisedAndGiveTheDefaults) {
  TWorkingFolder folder;
  EXPECT_FALSE(Settings::IniFileProblem(".\\Halvetra.ini"));  // missing: simply the defaults
  folder.Write("Halvetra.ini", "[StartUp]\nLanguage=English\n");
  EXPECT_FALSE(Settings::IniFileProblem(".\\Halvetra.ini"));

  fs::create_directory("Folder.ini");
  EXPECT_TRUE(Settings::IniFileProblem(".\\Folder.ini"));
  EXPECT_EQ(ReadWith("-iFolder.ini").PageType, 2);
  EXPECT_TRUE(Settings::IniFileProblem(".\\"));  // "-i" with a blank behind it
  EXPECT_TRUE(Settings::IniFileProblem("c:\\Halvetra.ini"));

  if (::geteuid() != 0) {  // root reads every file
    folder.Write("Locked.ini", "[StartUp]\nPageType=3\n");
    fs::permissions("Locked.ini", fs::perms::none);
    EXPECT_TRUE(Settings::IniFileProblem(".\\Locked.ini"));
    EXPECT_EQ(ReadWith("-iLocked.ini").PageType, 2);
  }
}

TEST(AppSettings, AMalformedIniFileGivesDefaultsWhereItCannotBeReadAndStaysUnchanged) {
  TWorkingFolder folder;
  static constexpr char raw[] = "\xFF\xFE\0\x01[StartUp\nPageType\n=3\n[Path]]\nProgram\n";
  const std::string garbage = std::string(raw, sizeof raw - 1) + "[StartUp]\nDefaultUnit=1x\nDefaultHeight=abc\n";
  folder.Write("Halvetra.ini", garbage);
  const TAppSettings s = ReadWith("");
  EXPECT_EQ(s.PageType, 2);
  EXPECT_EQ(s.DefaultUnit, 1);    // the leading number counts
  EXPECT_EQ(s.DefaultHeight, 0);  // no number: the default
  EXPECT_EQ(s.ProgramDir, ".");
  EXPECT_TRUE(Settings::MakeFolders(s).empty());
  EXPECT_EQ(TTemporaryFolder::Read(folder / "Halvetra.ini"), garbage);
}

TEST(AppSettings, OnlyALanguageWithTextsIsLoaded) {
  TTemporaryFolder languages;
  languages.Write("English.txt", "1=Halvetra\n");
  languages.Write("Deutsch.txt", "1=Halvetra\n");
  languages.Write("sub/Evil.txt", "1=Evil\n");
  struct Case {
    const char* requested;
    const char* chosen;
  };
  for (const Case c : {Case{"Deutsch", "Deutsch"}, Case{"English", "English"}, Case{"Klingon", "English"},
                       Case{"", "English"}, Case{"sub/Evil", "English"}, Case{"..\\English", "English"},
                       Case{"..", "English"}})
    EXPECT_EQ(Settings::ChooseLanguage(c.requested, languages.Path()), c.chosen) << c.requested;
}

}  // namespace
