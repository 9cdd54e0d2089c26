#pragma once

// How the tables compare names and identifiers: trailing blanks do not
// count (the search dialog pads what it passes) and neither does case, in
// every alphabet that has one ("Ödön" is "ÖDÖN"). A table keeps for each
// text key a folded copy, compared byte by byte, so that any SQLite tool
// reads and checks the file without a collation of ours; the order is the
// order of the characters' Unicode numbers.

#include <string>
#include <string_view>
#include <vector>

namespace NameCollation {

// The name of the one collation the engine supports, and its entry in the
// language-driver list ("description,name").
inline constexpr std::string_view DefaultDriver = "latin_ci";
std::vector<std::string> DriverList();
// True for a driver name that CreateTable accepts; an empty name, or one
// from an older database, means the default.
bool IsKnownDriver(std::string_view name);

// The folded key of a text: trailing blanks removed, case folded.
std::string Key(std::string_view text);

// Whether `text` begins with `prefix` as the tables compare: what a search
// by the first letters of a name asks.
bool StartsWith(std::string_view text, std::string_view prefix);

}  // namespace NameCollation
