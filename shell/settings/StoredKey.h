#pragma once

// The key of a stored examination as the browsers hand it over: its date
// and time joined by an at-sign ("2024.03.05.@07:08:09").

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace StoredKey {

// Split at the first at-sign; nothing when either part is empty.
inline std::optional<std::pair<std::string, std::string>> Split(std::string_view key) {
  const auto at = key.find('@');
  if (at == std::string_view::npos || at == 0 || at + 1 == key.size())
    return std::nullopt;
  return std::pair{std::string(key.substr(0, at)), std::string(key.substr(at + 1))};
}

}  // namespace StoredKey
