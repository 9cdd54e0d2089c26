#include "patients/PatientText.h"

#include <algorithm>

#include "platform/framework/Utf8.h"

#include <limits>

namespace PatientText {

std::string CorrectingString(std::string_view text, std::string_view placeholder) {
  if (text.empty() || text == placeholder)
    return std::string(text);
  std::string out;
  out.reserve(text.size());
  bool pendingBlank = false;
  for (const char c : text) {
    if (c == ' ') {
      pendingBlank = !out.empty();
      continue;
    }
    if (pendingBlank)
      out += ' ';
    pendingBlank = false;
    out += c;
  }
  return out;
}

std::string FilterOnlyDigits(std::string_view text) {
  std::string digits;
  for (const char c : text)
    if (c >= '0' && c <= '9' && digits.size() < 8)
      digits += c;
  return digits;
}

std::optional<std::int32_t> LeadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  const std::size_t first = i;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::numeric_limits<std::int32_t>::max() + std::int64_t{1})
      return std::nullopt;
  }
  if (i == first)
    return std::nullopt;
  value = negative ? -value : value;
  if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::size_t CharactersThatFit(std::string_view text, std::size_t width) {
  const std::string_view fits = Utf8::Truncate(text, width);
  // Every character has one byte that does not continue another.
  return static_cast<std::size_t>(
      std::count_if(fits.begin(), fits.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool HasControlCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F)
      return true;
    // U+0080 to U+009F are written 0xC2 0x80 to 0xC2 0x9F.
    if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F &&
        static_cast<unsigned char>(text[i + 1]) >= 0x80)
      return true;
  }
  return false;
}

}  // namespace PatientText
