#pragma once

// printf-style formatting in the C locale, whatever locale the user runs:
// the system's tables, records and ini values always use a decimal point.

#include <string>

namespace CLocale {

// The formatted text, as snprintf would give it in the "C" locale.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace CLocale
