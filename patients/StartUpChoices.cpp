#include "patients/StartUpChoices.h"

#include <algorithm>

namespace StartUpChoices {

std::vector<std::string> ShippedLanguages(const std::filesystem::path& languageFolder) {
  std::vector<std::string> shipped;
  for (const std::string_view language : Languages) {
    std::error_code ec;
    const bool hasFile = std::filesystem::is_regular_file(languageFolder / (std::string(language) + ".txt"), ec);
    if (hasFile || language == "English")
      shipped.emplace_back(language);
  }
  return shipped;
}

std::vector<int> SheetKindTexts(bool oldWindows) {
  std::vector<int> texts = {236, 237};
  if (!oldWindows)
    texts.push_back(238);
  return texts;
}

int IndexOf(const std::vector<std::string>& entries, std::string_view text) {
  const auto found = std::find(entries.begin(), entries.end(), text);
  return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

namespace {

int FirstContaining(const std::vector<std::string>& entries, std::string_view part) {
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].find(part) != std::string::npos)
      return static_cast<int>(i);
  return -1;
}

}  // namespace

int DriverIndexForStored(const std::vector<std::string>& drivers, std::string_view stored) {
  const int found = FirstContaining(drivers, stored);
  return found >= 0 ? found : static_cast<int>(drivers.size()) - 1;
}

std::string_view DriverPattern(std::string_view language) {
  if (language == "Magyar")
    return "anhundc";
  if (language == "Deutsch")
    return "ansii850";
  if (language == "Español")
    return "ansispan";
  return "ansiintl";
}

int DriverIndexForLanguage(const std::vector<std::string>& drivers, std::string_view language) {
  return FirstContaining(drivers, DriverPattern(language));
}

std::optional<std::string> DriverName(std::string_view entry) {
  const auto comma = entry.find(',');
  if (comma == std::string_view::npos)
    return std::nullopt;
  return std::string(entry.substr(comma + 1));
}

}  // namespace StartUpChoices
