#include "platform/framework/Paths.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace Paths {
namespace {

char Fold(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool HasDrivePrefix(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

}  // namespace

std::optional<std::string> ToNative(std::string_view systemPath, std::string* error) {
  if (HasDrivePrefix(systemPath)) {
    if (error)
      *error = "The path \"" + std::string(systemPath) +
               "\" names a Windows drive; use a folder of this computer, for example \"./Database\".";
    return std::nullopt;
  }
  std::string native(systemPath);
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

std::string Shown(std::string_view systemPath) { return ToNative(systemPath).value_or(std::string(systemPath)); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

std::string FoldCase(std::string_view name) {
  std::string folded(name);
  std::transform(folded.begin(), folded.end(), folded.begin(), Fold);
  return folded;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative wildcard match with backtracking to the last star.
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

std::optional<std::filesystem::path> FindNoCase(const std::filesystem::path& folder, std::string_view name) {
  std::error_code ec;
  if (std::filesystem::exists(folder / std::string(name), ec))
    return folder / std::string(name);
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (EqualNoCase(it->path().filename().string(), name))
      return it->path();
  return std::nullopt;
}

}  // namespace Paths
