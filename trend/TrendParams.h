#pragma once

// The trend's vocabulary: a parameter number is group × 100 + index, with
// the groups FVC, VC, MVV, DFC, PL and SH. This file gives each number its
// name and unit, its place in the parameter dialog's list and its spelling
// in the settings file ("PL05" is 405).

#include <optional>
#include <string>
#include <string_view>

namespace TrendParams {

inline constexpr short Empty = -1;
inline constexpr int GroupCount = 6;

// The group's prefix in the settings file ("FVC", "VC", ...) and how many
// parameters it has.
std::string_view GroupPrefix(int group);
int GroupSize(int group);

// True for a number that names a parameter (not -1, not past a group's end).
bool IsValid(short number);

// Name and unit; empty for -1 and for a number that names no parameter.
std::string_view Name(short number);
std::string_view Unit(short number);

// The item of the parameter dialog's list: 0 is the empty choice, then every
// parameter of every group in table order. Nothing for a number that names
// no parameter.
std::optional<int> ItemOfParam(short number);
// The number of a chosen item; an item past the list leaves `current`.
short ParamOfItem(int item, short current);
// How many items the dialog's list has.
inline constexpr int ItemCount = 64;

// The settings spelling: prefix and two digits ("VC03" for 103); empty for
// an empty slot (and for a number that names no parameter).
std::string IniText(short number);
// Reads a settings value back. Empty → -1. A known prefix with a number
// past its group (or no parameter at all) → -1; a value with no known
// prefix → 0, the first FVC parameter.
short FromIniText(std::string_view text);

}  // namespace TrendParams
