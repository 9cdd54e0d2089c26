#include "platform/framework/Utf8.h"

#include <array>

namespace Utf8 {
namespace {

// The characters of the bytes 0x80 to 0x9F; the rest of the code page is
// Latin-1, whose byte value is the character's number.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

void Append(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

bool IsValid(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      length = 2, minimum = 0x80, code = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3, minimum = 0x800, code = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4, minimum = 0x10000, code = c & 0x07u;
    } else {
      return false;
    }
    if (i + length > text.size())
      return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80)
        return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

std::string FromWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    Append(out, byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : char32_t{byte});
  }
  return out;
}

}  // namespace Utf8
