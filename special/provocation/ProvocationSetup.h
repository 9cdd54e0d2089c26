#pragma once

// The set-up of a bronchial provocation and where it lives in the settings
// file: [Provocation] Material names the material last set up, and a
// section named exactly as the material holds its set-up. The lists of
// materials and solvents are [Material of Provocation] and [Material of
// Solution], keys "Material1", "Material2", ... up to the first missing or
// empty one.
//
// A hand-edited file can hold what the set-up cannot: a queue of more than
// 16 entries or 79 characters, an entry that is no number or longer than
// its 4-character box, a text wider than its field, a material name that
// cannot name a section. Such values are reported, never cut silently.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TProvSetupRecord {
  static constexpr std::size_t NameSize = 50;       // material, solvent
  static constexpr std::size_t QueueSize = 79;      // 16 entries of 4 and 15 commas
  static constexpr std::size_t NumberSize = 6;      // concentration, maximum (as stored)
  static constexpr std::size_t QueueEntries = 16;
  static constexpr std::size_t EntrySize = 4;       // a queue box
  static constexpr std::size_t TypedNumberSize = 5; // the concentration and maximum boxes

  std::string Material;
  unsigned short Mode = 0;   // 0 doses typed in, 1 nebulised
  unsigned short Type = 0;   // 0 one concentration, 1 queue of 120 s runs, 2 queue to a typed dose
  std::string Queue;         // entries joined by ","
  std::string Concentration;
  unsigned short Head = 0;   // 0 purple, 1 green
  std::string Maximum;       // maximum dose as typed; empty or 0: none
  unsigned short Accum = 0;  // 1 doses accumulate
  std::string MaterialOfSolution;

  friend bool operator==(const TProvSetupRecord&, const TProvSetupRecord&) = default;
};

// A value of the settings file that the set-up cannot take as it stands.
struct TSetupIssue {
  enum class TKind {
    MaterialName,   // empty where a name is needed, or holds "[", "]" or a line break
    QueueTooLong,   // more than 16 entries or 79 characters
    QueueEntry,     // an entry longer than 4 characters or not a number
    TooLong,        // a text wider than its field
  };
  TKind Kind;
  std::string Key;
  std::string Value;
  friend bool operator==(const TSetupIssue&, const TSetupIssue&) = default;
};

struct TSetupRead {
  TProvSetupRecord Record;
  std::vector<TSetupIssue> Issues;
};

namespace ProvocationSetup {

inline constexpr std::string_view ProvocationSection = "Provocation";
inline constexpr std::string_view MaterialListSection = "Material of Provocation";
inline constexpr std::string_view SolutionListSection = "Material of Solution";

// A material name that can name a section: not empty, no "[", "]" or line break.
bool IsSectionName(std::string_view name);
// Every character a digit or "."; the empty text counts as numeric.
bool IsNumeric(std::string_view text);

// Entry k of a comma-separated list (0-based); empty past the last.
std::string QueueItem(std::string_view list, std::size_t index);
// The number of entries of a list; 0 for the empty list.
std::size_t QueueCount(std::string_view list);
// The 16 boxes of a queue (entries past the 16th are left out).
std::array<std::string, TProvSetupRecord::QueueEntries> SplitQueue(std::string_view queue);
// The boxes from the first up to the first empty one, joined by ",".
std::string JoinQueue(const std::array<std::string, TProvSetupRecord::QueueEntries>& boxes);
// What is wrong with a queue; nothing when it fits the set-up.
std::optional<TSetupIssue::TKind> CheckQueue(std::string_view queue);

// [Provocation] Material; an issue when it cannot name a section.
TSetupRead ReadCurrentMaterial(const std::string& iniFile);
void WriteCurrentMaterial(const std::string& iniFile, std::string_view material);

// The material's section as the set-up dialog loads it (every key; the
// maximum defaults to "1.0").
TSetupRead ReadForDialog(const std::string& iniFile, std::string_view material);
// The current material's set-up as the window reads it on every paint:
// the maximum defaults to "0.0", the queue is read only for queue types,
// the concentration only for type 0 and the head only when nebulised.
TSetupRead ReadForWindow(const std::string& iniFile);
// Writes the material's section (named by the record's material).
bool WriteSetup(const std::string& iniFile, const TProvSetupRecord& record);

// A material list: the names of "Material1" ... up to the first empty one.
std::vector<std::string> ReadList(const std::string& iniFile, std::string_view section);
// Adds the names the list lacks (compared case-sensitively) after its last.
void AddToList(const std::string& iniFile, std::string_view section, const std::vector<std::string>& names);

}  // namespace ProvocationSetup
