#include "platform/framework/DatePicture.h"

#include <ctime>
#include <map>

namespace DatePicture {
namespace {

bool IsPart(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters of `text` that stand at the places of each part of `picture`.
std::map<char, std::string> Parts(std::string_view text, std::string_view picture) {
  std::map<char, std::string> parts;
  for (std::size_t i = 0; i < picture.size() && i < text.size(); ++i)
    if (IsPart(picture[i]))
      parts[picture[i]] += text[i];
  return parts;
}

}  // namespace

TCalendarDate Read(std::string_view text, std::string_view picture) {
  if (text.size() != picture.size())
    return {};
  for (std::size_t i = 0; i < picture.size(); ++i)
    if (!IsPart(picture[i]) && text[i] != picture[i])
      return {};
  const auto number = [&](char part) {
    int value = 0;
    bool found = false;
    for (std::size_t i = 0; i < picture.size(); ++i) {
      if (picture[i] != part)
        continue;
      if (!IsDigit(text[i]))
        return 0;
      found = true;
      value = value * 10 + (text[i] - '0');
    }
    return found ? value : 0;
  };
  return {number('Y'), number('M'), number('D')};
}

std::string Recode(std::string_view text, std::string_view fromPicture, std::string_view toPicture) {
  const std::map<char, std::string> parts = Parts(text, fromPicture);
  std::map<char, std::size_t> places;
  for (const char c : toPicture)
    if (IsPart(c))
      ++places[c];

  // Each part of the target, right-aligned: its last digits, or leading zeros.
  std::map<char, std::string> written;
  for (const auto& [part, count] : places) {
    const auto found = parts.find(part);
    const std::string digits = found == parts.end() ? std::string() : found->second;
    written[part] = digits.size() >= count ? digits.substr(digits.size() - count)
                                           : std::string(count - digits.size(), '0') + digits;
  }

  std::string out;
  std::map<char, std::size_t> next;
  for (const char c : toPicture)
    out += IsPart(c) ? written[c][next[c]++] : c;
  return out;
}

TCalendarDate Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace DatePicture
