#include "platform/framework/PictureText.h"

namespace PictureText {
namespace {

bool IsPart(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::map<char, int>> Read(std::string_view text, std::string_view picture) {
  if (text.size() != picture.size())
    return std::nullopt;
  std::map<char, int> parts;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    const char place = picture[i];
    if (!IsPart(place)) {
      if (text[i] != place)
        return std::nullopt;
      continue;
    }
    if (!IsDigit(text[i]))
      return std::nullopt;
    int& value = parts[place];
    // Nine digit places of one part would overflow; no picture has them.
    if (value > 99'999'999)
      return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return parts;
}

std::string Write(const std::map<char, int>& parts, std::string_view picture) {
  std::map<char, std::string> texts;
  for (const auto& [part, value] : parts)
    texts[part] = std::to_string(value < 0 ? 0 : value);
  return Fill(texts, picture);
}

std::map<char, std::string> Split(std::string_view text, std::string_view picture) {
  std::map<char, std::string> parts;
  for (std::size_t i = 0; i < picture.size() && i < text.size(); ++i)
    if (IsPart(picture[i]))
      parts[picture[i]] += text[i];
  return parts;
}

std::string Fill(const std::map<char, std::string>& parts, std::string_view picture) {
  std::map<char, std::size_t> places;
  for (const char c : picture)
    if (IsPart(c))
      ++places[c];

  std::map<char, std::string> aligned;
  for (const auto& [part, count] : places) {
    const auto found = parts.find(part);
    const std::string text = found == parts.end() ? std::string() : found->second;
    aligned[part] = text.size() >= count ? text.substr(text.size() - count) : std::string(count - text.size(), '0') + text;
  }

  std::string out;
  std::map<char, std::size_t> next;
  for (const char c : picture)
    out += IsPart(c) ? aligned[c][next[c]++] : c;
  return out;
}

}  // namespace PictureText
