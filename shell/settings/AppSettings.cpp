#include "shell/settings/AppSettings.h"

#include "patients/DatabaseFolders.h"
#include "shell/settings/HandOverFile.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <system_error>

namespace Settings {
namespace {

// One level, like the system's _mkdir: a missing parent is not made.
void MakeFolder(const std::string& systemPath, std::vector<std::string>& failures) {
  if (systemPath.empty())
    return;
  // A folder on a Windows drive is never made; FoldersWithDrive names it.
  const auto native = Paths::ToNative(systemPath);
  if (!native)
    return;
  std::error_code ec;
  if (std::filesystem::is_directory(*native, ec))
    return;
  std::filesystem::create_directory(*native, ec);
  if (ec)
    failures.push_back("Cannot make the folder \"" + *native + "\": " + ec.message());
}

}  // namespace

short ReadShort(const TProfile& profile, std::string_view key, short defaultValue) {
  const int value = profile.GetInt(key, defaultValue);
  return static_cast<short>(std::clamp<int>(value, std::numeric_limits<short>::min(), std::numeric_limits<short>::max()));
}

std::string ReadText(const TProfile& profile, std::string_view key, std::string_view defaultValue,
                     std::size_t capacity) {
  return Utf8::Bounded(profile.GetString(key, defaultValue), capacity);
}

TAppSettings Read(const TCommandLine& commandLine) {
  TAppSettings s;
  s.IniPath = commandLine.IniPath;
  s.Demo = commandLine.Demo ? 1 : 0;
  s.HandOverPath = commandLine.HandOverPath;
  // A folder of that name is no hand-over file.
  s.HandOverPending = !s.HandOverPath.empty() && HandOver::Exists(s.HandOverPath);

  const TProfile startUp("StartUp", s.IniPath);
  s.PageType = ReadShort(startUp, "PageType", 2);
  s.DefaultUnit = ReadShort(startUp, "DefaultUnit", 0);
  s.DefaultHeight = ReadShort(startUp, "DefaultHeight", 0);
  s.DefaultWeight = ReadShort(startUp, "DefaultWeight", 0);
  s.Language = ReadText(startUp, "Language", "English", PathFieldSize);
  if (s.Language.empty())
    s.Language = "English";

  const TProfile path("Path", s.IniPath);
  s.ProgramDir = ReadText(path, "Program", WorkingFolder, PathFieldSize);
  ReadDatabaseFolders(s);
  s.PrivateDir = ReadText(path, "Private", s.ProgramDir + "\\Private", PathFieldSize);
  s.EmailDir = ReadText(path, "EMail", s.ProgramDir + "\\EMail", PathFieldSize);

  s.LanguageDriver = ReadText(TProfile("Databases", s.IniPath), "LanguageDriver", "", LanguageDriverFieldSize);

  const TProfile program("Program", s.IniPath);
  s.FirstInstall = program.GetInt("FirstInstall", 1) != 0;
  s.EnableSetProgramPath = ReadShort(program, "EnableSetProgramPath", 1);
  s.AddUSBDescription = program.GetInt("AddUSBDescription", 0) != 0;

  const TProfile initWindow("InitWindow", s.IniPath);
  s.Picture = ReadText(initWindow, "Picture", "", PathFieldSize);
  for (std::size_t i = 0; i < s.Lines.size(); ++i)
    s.Lines[i] = ReadText(initWindow, "Line" + std::to_string(i + 1), "", PathFieldSize);
  s.InitWindowEnable = ReadShort(initWindow, "Enable", 1);
  s.InitWindowDelay = ReadShort(initWindow, "Delay", 10);
  return s;
}

void ReadDatabaseFolders(TAppSettings& s) {
  const DatabaseFolders::TFolders folders = DatabaseFolders::Read(s.IniPath, s.ProgramDir);
  s.LocalNet = folders.LocalNet;
  s.DatabaseDir = folders.Database;
  s.CommonDir = folders.Common;
}

std::vector<std::string> MakeFolders(const TAppSettings& s) {
  std::vector<std::string> failures;
  // With the defaults the common folder is the parent of the database
  // folder, so this order makes both.
  for (const std::string* folder : {&s.CommonDir, &s.DatabaseDir, &s.PrivateDir, &s.EmailDir})
    MakeFolder(*folder, failures);
  if (TProfile("Creating Measure Log", s.IniPath).GetInt("WriteEnable", 0) != 0)
    MakeFolder(s.ProgramDir + "\\Bad", failures);
  return failures;
}

std::vector<std::string> MakeDatabaseFolders(const TAppSettings& s) {
  std::vector<std::string> failures;
  MakeFolder(s.CommonDir, failures);
  MakeFolder(s.DatabaseDir, failures);
  return failures;
}

std::vector<std::string> FoldersWithDrive(const TAppSettings& s) {
  std::vector<std::string> found;
  for (const std::string* folder : {&s.ProgramDir, &s.DatabaseDir, &s.CommonDir, &s.PrivateDir, &s.EmailDir})
    if (!Paths::ToNative(*folder))
      found.push_back(*folder);
  return found;
}

TInstallFlags ReadInstallFlags(const std::string& iniPath, bool demo) {
  const int installDefault = demo ? 1 : 0;
  const auto mode = [](const TProfile& section) { return ReadShort(section, "Mode", 0); };
  TInstallFlags flags;
  const TProfile hardware("Hardware", iniPath);
  const TProfile diffusion("Hardware Diffusion Test", iniPath);
  const TProfile plethysmograph("Hardware Plethysmograph", iniPath);
  flags.HardwareInstalled = hardware.GetInt("Install", installDefault) != 0;
  flags.HardwareMode = mode(hardware);
  flags.DiffusionInstalled = diffusion.GetInt("Install", installDefault) != 0;
  flags.DiffusionMode = mode(diffusion);
  flags.PlethysmographInstalled = plethysmograph.GetInt("Install", installDefault) != 0;
  flags.PlethysmographMode = mode(plethysmograph);
  flags.AudioInstalled = TProfile("Audio", iniPath).GetInt("Install", installDefault) != 0;
  return flags;
}

std::optional<std::string> IniFileProblem(const std::string& iniPath) {
  std::string error;
  const auto native = Paths::ToNative(iniPath, &error);
  if (!native)
    return error;
  std::error_code ec;
  const auto status = std::filesystem::status(*native, ec);
  if (status.type() == std::filesystem::file_type::not_found)
    return std::nullopt;
  if (ec)
    return ec.message();
  if (status.type() == std::filesystem::file_type::directory)
    return "it is a folder";
  if (status.type() != std::filesystem::file_type::regular)
    return "it is not an ordinary file";
  errno = 0;
  std::ifstream in(*native, std::ios::binary);
  if (!in)
    return errno ? std::string(std::strerror(errno)) : std::string("it cannot be opened");
  char probe = 0;
  in.read(&probe, 1);
  if (in.bad())
    return "it cannot be read";
  return std::nullopt;
}

std::string ChooseLanguage(const std::string& requested, const std::filesystem::path& languageFolder) {
  const bool plainName = !requested.empty() && requested != "." && requested != ".." &&
                         requested.find_first_of("/\\") == std::string::npos &&
                         requested.find('\0') == std::string::npos;
  std::error_code ec;
  if (plainName && std::filesystem::is_regular_file(languageFolder / (requested + ".txt"), ec))
    return requested;
  return "English";
}

}  // namespace Settings
