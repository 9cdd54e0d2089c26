#include "platform/basekit/CLocaleFormat.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>
#include <vector>

namespace CLocale {

namespace {

// The thread's locale is switched to "C" for the call and back after it.
class TScopedCLocale {
public:
  TScopedCLocale() : Locale(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {
    if (Locale)
      Previous = uselocale(Locale);
  }
  ~TScopedCLocale() {
    if (Locale) {
      uselocale(Previous);
      freelocale(Locale);
    }
  }
  TScopedCLocale(const TScopedCLocale&) = delete;
  TScopedCLocale& operator=(const TScopedCLocale&) = delete;

private:
  locale_t Locale;
  locale_t Previous = LC_GLOBAL_LOCALE;
};

}  // namespace

std::string Format(const char* format, ...) {
  const TScopedCLocale scope;
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  char small[128];
  const int length = std::vsnprintf(small, sizeof small, format, arguments);
  va_end(arguments);
  std::string text;
  if (length < 0) {
    va_end(again);
    return text;
  }
  if (static_cast<std::size_t>(length) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(length));
  } else {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    text.assign(buffer.data(), static_cast<std::size_t>(length));
  }
  va_end(again);
  return text;
}

}  // namespace CLocale
