#pragma once

// What the program reads at start from its command line and settings file:
// the start-up values, the folders, the start-up picture and which
// instrument families are installed. Every value is bounded to the field
// that holds it; every read names its default.

#include "shell/settings/CommandLine.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

// Capacities of the text fields, the terminating zero included.
inline constexpr std::size_t PathFieldSize = 255;
inline constexpr std::size_t LanguageDriverFieldSize = 32;

struct TAppSettings {
  // From the command line.
  std::string IniPath;
  short Demo = 0;
  std::string HandOverPath;
  bool HandOverPending = false;  // a hand-over file was named and is there

  // [StartUp]
  short PageType = 2;
  short DefaultUnit = 0;
  short DefaultHeight = 0;
  short DefaultWeight = 0;
  std::string Language = "English";

  // [Path]; all paths as the settings file writes them (backslashes).
  std::string ProgramDir;
  short LocalNet = 0;
  std::string DatabaseDir;
  std::string CommonDir;
  std::string PrivateDir;
  std::string EmailDir;

  // [Databases]
  std::string LanguageDriver;

  // [Program]
  bool FirstInstall = true;
  short EnableSetProgramPath = 1;
  bool AddUSBDescription = false;

  // [InitWindow]
  std::string Picture;
  std::array<std::string, 4> Lines;
  short InitWindowEnable = 1;
  short InitWindowDelay = 10;  // seconds
};

struct TInstallFlags {
  bool HardwareInstalled = false;
  bool DiffusionInstalled = false;
  bool PlethysmographInstalled = false;
  bool AudioInstalled = false;
  short HardwareMode = 0;  // option bits: 0 rhinomanometer, 2 shutter
  short DiffusionMode = 0;
  short PlethysmographMode = 0;
};

class TProfile;

namespace Settings {

// A number of the settings file bounded to a short field.
short ReadShort(const TProfile& profile, std::string_view key, short defaultValue);
// A text of the settings file bounded to a field of `capacity` bytes, the
// terminating zero included, cut at a character boundary (Utf8::Bounded).
std::string ReadText(const TProfile& profile, std::string_view key, std::string_view defaultValue,
                     std::size_t capacity);

// The folder the program runs in; the default of [Path] Program.
inline constexpr std::string_view WorkingFolder = ".";

// The command line, then [StartUp], [Path], [Databases], [Program] and
// [InitWindow]. Makes no folders.
TAppSettings Read(const TCommandLine& commandLine);

// [Path] LocalNet and, by it, the network or the local database folders,
// with the defaults built from settings.ProgramDir. Used at start and again
// after the database location changed.
void ReadDatabaseFolders(TAppSettings& settings);

// Makes the missing folders one level each, in the order common, database,
// private, e-mail, and the measure-log folder "Bad" when [Creating Measure
// Log] WriteEnable is set. A folder that cannot be made does not stop the
// start; the answer lists them with the reason.
std::vector<std::string> MakeFolders(const TAppSettings& settings);
// Makes the common and then the database folder, for a changed location.
std::vector<std::string> MakeDatabaseFolders(const TAppSettings& settings);

// The folders of the settings that name a Windows drive, which has no
// meaning here.
std::vector<std::string> FoldersWithDrive(const TAppSettings& settings);

// Install and Mode of the three hardware sections and Install of [Audio];
// in demonstration mode a family counts as installed unless its section
// says Install=0.
TInstallFlags ReadInstallFlags(const std::string& iniPath, bool demo);

// Why an existing settings file cannot be read; nothing when it can be read
// or is simply missing (a missing file gives the defaults).
std::optional<std::string> IniFileProblem(const std::string& iniPath);

// The language to load: the requested one when its text file is in the
// language folder, else "English". A name that is not a plain file name is
// never used to reach a file.
std::string ChooseLanguage(const std::string& requested, const std::filesystem::path& languageFolder);

}  // namespace Settings
