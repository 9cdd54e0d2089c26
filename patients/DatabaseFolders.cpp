#include "patients/DatabaseFolders.h"

#include "platform/basekit/Message.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"
#include "platform/framework/WindowMessages.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace DatabaseFolders {
namespace {

constexpr int ErrorCaption = 0;
constexpr int QuestionCaption = 2;
constexpr int CreateQuestionText = 285;
constexpr int CannotCreateText = 286;
constexpr int NotWritableText = 6101;
constexpr int SettingsNotWrittenText = 6103;

std::string Read(const TProfile& path, std::string_view key, std::string_view defaultValue) {
  return Utf8::Bounded(path.GetString(key, defaultValue), FolderFieldSize);
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

// The names in a folder, directories only or every entry, ordered by name.
// Hidden entries (the engine's own among them) are left out.
std::vector<std::string> Entries(const std::string& systemFolder, bool directoriesOnly) {
  std::vector<std::string> names;
  const auto native = Paths::ToNative(systemFolder);
  if (!native || native->empty())
    return names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(*native, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    const std::string name = it->path().filename().string();
    if (!name.starts_with('.') && (!directoriesOnly || it->is_directory(typeError)))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end(), LessNoCase);
  return names;
}

void ReportSettingsFailure(const TProfile& profile, const TMessage& messages) {
  messages.MessageBoxText(messages.Format(SettingsNotWrittenText, {profile.GetLastError()}), ErrorCaption,
                          TMessageIcon::Stop);
}

// Whether a new file can be made in the folder: the one answer that also
// holds for read-only file systems and for the superuser.
std::optional<std::string> WriteProblem(const std::string& nativeFolder) {
  std::string probe = nativeFolder + "/.halvetra-probe-XXXXXX";
  const int fd = mkstemp(probe.data());
  if (fd < 0)
    return std::string(std::strerror(errno));
  close(fd);
  unlink(probe.c_str());
  return std::nullopt;
}

}  // namespace

std::string ReadProgramFolder(const std::string& iniPath) { return Read(TProfile("Path", iniPath), "Program", "."); }

TFolders Read(const std::string& iniPath, const std::string& programFolder) {
  const TProfile path("Path", iniPath);
  TFolders folders;
  const int localNet = path.GetInt("LocalNet", 0);
  folders.LocalNet = static_cast<short>(std::clamp(localNet, -32768, 32767));
  const bool network = folders.LocalNet != 0;
  // Only the keys of the chosen kind are read; the others stay untouched.
  folders.Database =
      Read(path, network ? "NetDatabase" : "Database", Utf8::Bounded(programFolder + "\\Database\\Data", FolderFieldSize));
  folders.Common = Read(path, network ? "NetCommon" : "Common", Utf8::Bounded(programFolder + "\\Database", FolderFieldSize));
  return folders;
}

bool HoldsTable(const std::string& folder, std::string_view file) {
  const auto native = Paths::ToNative(folder);
  if (!native)
    return false;
  const auto found = Paths::FindNoCase(*native, file);
  std::error_code ec;
  return found && std::filesystem::is_regular_file(*found, ec);
}

bool SetDatabasePath(const std::string& iniPath, bool network, const TNetworkFolder& networkFolder,
                     const TMessage& messages) {
  TProfile path("Path", iniPath);
  if (!network || !path.GetString("NetCommon", "").empty()) {
    if (path.WriteInt("LocalNet", network ? 1 : 0))
      return true;
    ReportSettingsFailure(path, messages);
    return false;
  }
  const std::optional<std::string> folder = networkFolder ? networkFolder() : std::nullopt;
  if (!folder)
    return false;
  if (path.WriteString("NetCommon", Utf8::Bounded(*folder + "DATABASE", FolderFieldSize)) &&
      path.WriteString("NetDatabase", Utf8::Bounded(*folder + "DATABASE\\DATA", FolderFieldSize)) &&
      path.WriteInt("LocalNet", 1))
    return true;
  ReportSettingsFailure(path, messages);
  return false;
}

std::string SelectedName(std::string_view databaseFolder) {
  const auto slash = databaseFolder.find_last_of('\\');
  return Utf8::Bounded(slash == std::string_view::npos ? std::string_view{} : databaseFolder.substr(slash + 1),
                 SelectedNameSize);
}

std::vector<std::string> SubFolders(const std::string& commonFolder) { return Entries(commonFolder, true); }

std::vector<std::string> FilesIn(const std::string& commonFolder, std::string_view name) {
  if (!IsFolderName(name))
    return {};
  return Entries(commonFolder + "\\" + std::string(name), false);
}

bool IsFolderName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

std::string FolderPath(const std::string& commonFolder, std::string_view name) {
  for (const std::string& existing : SubFolders(commonFolder))
    if (Paths::EqualNoCase(existing, name))
      return commonFolder + "\\" + existing;
  return commonFolder + "\\" + std::string(name);
}

bool TestDirectory(const std::string& folder, const TMessage& messages) {
  std::string reason;
  const auto native = Paths::ToNative(folder, &reason);
  if (!native) {
    messages.MessageBoxText(messages.Format(CannotCreateText, {folder, reason}), ErrorCaption, TMessageIcon::Stop);
    return false;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(*native, ec)) {
    if (const auto problem = WriteProblem(*native)) {
      messages.MessageBoxText(messages.Format(NotWritableText, {folder, *problem}), ErrorCaption, TMessageIcon::Stop);
      return false;
    }
    return true;
  }
  if (messages.MessageBoxText(messages.Format(CreateQuestionText, {folder}), QuestionCaption, TMessageIcon::Question,
                              TMessageButtons::YesNo) != IDYES)
    return false;
  // One level, as the database folders are made everywhere: the common
  // folder must be there.
  std::filesystem::create_directory(*native, ec);
  if (ec) {
    messages.MessageBoxText(messages.Format(CannotCreateText, {folder, ec.message()}), ErrorCaption,
                            TMessageIcon::Stop);
    return false;
  }
  return true;
}

bool StoreDatabaseFolder(const std::string& iniPath, bool network, const std::string& folder,
                         const TMessage& messages) {
  TProfile path("Path", iniPath);
  if (path.WriteString(network ? "NetDatabase" : "Database", Utf8::Bounded(folder, FolderFieldSize)))
    return true;
  ReportSettingsFailure(path, messages);
  return false;
}

}  // namespace DatabaseFolders
