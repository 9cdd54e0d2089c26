#pragma once

// Paths as the system writes them (".\Halvetra.ini", "Bad\Fvc.001") become
// Linux paths here; file-name patterns and table names match without regard
// to case, as they did on the original file system.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace Paths {

// Turns backslashes into slashes. A Windows drive prefix ("c:\halvetra")
// has no meaning here: it is refused, with the reason in `error`.
std::optional<std::string> ToNative(std::string_view systemPath, std::string* error = nullptr);

// A path as a person on this computer reads it, in a message or a report:
// the native form, or the text as it stands when it has none (a drive).
std::string Shown(std::string_view systemPath);

// ASCII case-insensitive comparison of names.
bool EqualNoCase(std::string_view a, std::string_view b);

// A name in ASCII lower case: the spelling that two names equal without
// regard to case share.
std::string FoldCase(std::string_view name);

// Matches a file name against a pattern of `*` and `?`, ignoring case.
bool MatchesPattern(std::string_view fileName, std::string_view pattern);

// The entry of `folder` whose name equals `name` without regard to case;
// the exact name is preferred when both spellings exist.
std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& folder, std::string_view name);

}  // namespace Paths
