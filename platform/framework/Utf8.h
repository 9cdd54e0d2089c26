#pragma once

// Texts are UTF-8 everywhere; fixed-width fields are cut at character
// boundaries, never inside a character.

#include <string>
#include <string_view>

namespace Utf8 {

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a
// character boundary.
constexpr std::string_view Truncate(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes)
    return text;
  std::size_t cut = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
    --cut;
  return text.substr(0, cut);
}

// The part of a text that a field of `capacity` bytes holds together with
// its terminating zero: at most capacity - 1 bytes, cut at a character
// boundary.
inline std::string Bounded(std::string_view text, std::size_t capacity) {
  return std::string(Truncate(text, capacity == 0 ? 0 : capacity - 1));
}

// True when `text` is well-formed UTF-8.
bool IsValid(std::string_view text);

// A text of the Windows code page 1252 (Western European) in UTF-8. The
// five bytes the code page leaves undefined become the control characters
// of the same number, as Windows converts them.
std::string FromWindows1252(std::string_view text);

}  // namespace Utf8
