#include "platform/framework/Utf8.h"

namespace Utf8 {

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

}  // namespace Utf8
