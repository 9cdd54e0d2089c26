#include "special/provocation/ProvocationSetup.h"

#include "platform/framework/Profile.h"

#include <algorithm>
#include <cstdio>

namespace ProvocationSetup {

namespace {

// Strings are read as the set-up always read them, with room for 99
// characters; what is wider than its field is reported.
std::string ReadText(const TProfile& profile, std::string_view key, std::string_view fallback, std::size_t size,
                     std::vector<TSetupIssue>& issues) {
  std::string value = profile.GetString(key, fallback);
  if (value.size() > size)
    issues.push_back({TSetupIssue::TKind::TooLong, std::string(key), value});
  return value;
}

unsigned short ReadWord(const TProfile& profile, std::string_view key) {
  return static_cast<unsigned short>(profile.GetInt(key, 0));
}

void CheckQueueInto(std::string_view queue, std::vector<TSetupIssue>& issues) {
  if (const auto kind = CheckQueue(queue))
    issues.push_back({*kind, "Queue", std::string(queue)});
}

std::string MaterialKey(std::size_t index) {
  std::array<char, 24> key{};
  std::snprintf(key.data(), key.size(), "Material%zu", index);
  return key.data();
}

}  // namespace

bool IsSectionName(std::string_view name) {
  return !name.empty() && name.find_first_of("[]\r\n") == std::string_view::npos;
}

bool IsNumeric(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

std::string QueueItem(std::string_view list, std::size_t index) {
  std::size_t begin = 0;
  for (std::size_t k = 0; k < index; ++k) {
    const std::size_t comma = list.find(',', begin);
    if (comma == std::string_view::npos)
      return {};
    begin = comma + 1;
  }
  const std::size_t end = list.find(',', begin);
  return std::string(list.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
}

std::size_t QueueCount(std::string_view list) {
  if (list.empty())
    return 0;
  return static_cast<std::size_t>(std::count(list.begin(), list.end(), ',')) + 1;
}

std::array<std::string, TProvSetupRecord::QueueEntries> SplitQueue(std::string_view queue) {
  std::array<std::string, TProvSetupRecord::QueueEntries> boxes;
  for (std::size_t k = 0; k < boxes.size(); ++k)
    boxes[k] = QueueItem(queue, k);
  return boxes;
}

std::string JoinQueue(const std::array<std::string, TProvSetupRecord::QueueEntries>& boxes) {
  std::string queue;
  for (const std::string& box : boxes) {
    if (box.empty())
      break;
    if (!queue.empty())
      queue += ',';
    queue += box;
  }
  return queue;
}

std::optional<TSetupIssue::TKind> CheckQueue(std::string_view queue) {
  if (queue.size() > TProvSetupRecord::QueueSize || QueueCount(queue) > TProvSetupRecord::QueueEntries)
    return TSetupIssue::TKind::QueueTooLong;
  for (std::size_t k = 0; k < QueueCount(queue); ++k) {
    const std::string entry = QueueItem(queue, k);
    if (entry.size() > TProvSetupRecord::EntrySize || !IsNumeric(entry))
      return TSetupIssue::TKind::QueueEntry;
  }
  return std::nullopt;
}

TSetupRead ReadCurrentMaterial(const std::string& iniFile) {
  TSetupRead read;
  const TProfile profile(ProvocationSection, iniFile);
  read.Record.Material = ReadText(profile, "Material", "", TProvSetupRecord::NameSize, read.Issues);
  if (!read.Record.Material.empty() && !IsSectionName(read.Record.Material))
    read.Issues.push_back({TSetupIssue::TKind::MaterialName, "Material", read.Record.Material});
  return read;
}

void WriteCurrentMaterial(const std::string& iniFile, std::string_view material) {
  TProfile(ProvocationSection, iniFile).WriteString("Material", material);
}

TSetupRead ReadForDialog(const std::string& iniFile, std::string_view material) {
  TSetupRead read;
  TProvSetupRecord& r = read.Record;
  r.Material = std::string(material);
  if (!IsSectionName(material))
    return read;  // no section can hold it: the defaults
  const TProfile profile(material, iniFile);
  r.Mode = ReadWord(profile, "Mode");
  r.Type = ReadWord(profile, "Type");
  r.Queue = profile.GetString("Queue", "");
  CheckQueueInto(r.Queue, read.Issues);
  r.Concentration = ReadText(profile, "Concentration", "", TProvSetupRecord::NumberSize, read.Issues);
  r.Head = ReadWord(profile, "Head");
  r.Maximum = ReadText(profile, "Maximum", "1.0", TProvSetupRecord::NumberSize, read.Issues);
  r.Accum = ReadWord(profile, "Accum");
  r.MaterialOfSolution = ReadText(profile, "MaterialOfSolution", "", TProvSetupRecord::NameSize, read.Issues);
  return read;
}

TSetupRead ReadForWindow(const std::string& iniFile) {
  TSetupRead read = ReadCurrentMaterial(iniFile);
  TProvSetupRecord& r = read.Record;
  if (r.Material.empty() || !read.Issues.empty())
    return read;
  const TProfile profile(r.Material, iniFile);
  r.Type = ReadWord(profile, "Type");
  r.Maximum = ReadText(profile, "Maximum", "0.0", TProvSetupRecord::NumberSize, read.Issues);
  r.Accum = ReadWord(profile, "Accum");
  r.Mode = ReadWord(profile, "Mode");
  if (r.Type != 0) {
    r.Queue = profile.GetString("Queue", "");
    CheckQueueInto(r.Queue, read.Issues);
  } else {
    r.Concentration = ReadText(profile, "Concentration", "", TProvSetupRecord::NumberSize, read.Issues);
  }
  if (r.Mode != 0)
    r.Head = ReadWord(profile, "Head");
  r.MaterialOfSolution = ReadText(profile, "MaterialOfSolution", "", TProvSetupRecord::NameSize, read.Issues);
  return read;
}

bool WriteSetup(const std::string& iniFile, const TProvSetupRecord& record) {
  if (!IsSectionName(record.Material))
    return false;
  TProfile profile(record.Material, iniFile);
  bool ok = profile.WriteInt("Mode", record.Mode);
  ok = profile.WriteInt("Type", record.Type) && ok;
  ok = profile.WriteString("Queue", record.Queue) && ok;
  ok = profile.WriteString("Concentration", record.Concentration) && ok;
  ok = profile.WriteInt("Head", record.Head) && ok;
  ok = profile.WriteString("Maximum", record.Maximum) && ok;
  ok = profile.WriteInt("Accum", record.Accum) && ok;
  ok = profile.WriteString("MaterialOfSolution", record.MaterialOfSolution) && ok;
  return ok;
}

std::vector<std::string> ReadList(const std::string& iniFile, std::string_view section) {
  const TProfile profile(section, iniFile);
  std::vector<std::string> names;
  for (std::size_t index = 1;; ++index) {
    std::string name = profile.GetString(MaterialKey(index), "");
    if (name.empty())
      break;
    names.push_back(std::move(name));
  }
  return names;
}

void AddToList(const std::string& iniFile, std::string_view section, const std::vector<std::string>& names) {
  std::vector<std::string> stored = ReadList(iniFile, section);
  TProfile profile(section, iniFile);
  for (const std::string& name : names) {
    if (name.empty() || std::find(stored.begin(), stored.end(), name) != stored.end())
      continue;
    stored.push_back(name);
    profile.WriteString(MaterialKey(stored.size()), name);
  }
}

}  // namespace ProvocationSetup
