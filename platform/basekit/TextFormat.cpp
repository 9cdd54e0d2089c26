#include "platform/basekit/TextFormat.h"

#include <bitset>

namespace TextFormat {

std::optional<std::string> Fill(std::string_view text, std::span<const std::string> arguments) {
  if (arguments.size() > 9)
    return std::nullopt;
  std::string out;
  std::bitset<10> used;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index >= arguments.size())
        return std::nullopt;
      out += arguments[index];
      used.set(index);
      ++i;
      continue;
    }
    // A printf directive such as "%s" or "%.1f" is not ours: refuse it.
    // Any other percent sign ("75 %") is plain text.
    if (i + 1 < text.size() && std::string_view("sdiufxXcgGeEpl.0-+#*").find(text[i + 1]) != std::string_view::npos)
      return std::nullopt;
    out += '%';
  }
  if (used.count() != arguments.size())
    return std::nullopt;
  return out;
}

}  // namespace TextFormat
