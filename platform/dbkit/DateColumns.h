#pragma once

// Dates and times between the engine's pictures and the tables. A table
// keeps a date as "YYYY-MM-DD" and a time as "HH:MM:SS", whatever picture
// the user works in; a record carries them in the engine's pictures. Only
// the numbers' ranges are checked (day 1 to 31, month 1 to 12, a year of
// four digits from 1000 on; hour below 24, minute and second below 60):
// the 31st of February is kept as it was written.

#include <optional>
#include <string>
#include <string_view>

namespace DateColumns {

// The column text of a date or time written in a picture; an empty text
// stays empty. Nothing when the picture does not read it or a number is
// out of range.
std::optional<std::string> DateToColumn(std::string_view text, std::string_view picture);
std::optional<std::string> TimeToColumn(std::string_view text, std::string_view picture);

// A column text written in a picture. A stored text that is not a date (a
// foreign table) comes back as it is.
std::string DateFromColumn(std::string_view column, std::string_view picture);
std::string TimeFromColumn(std::string_view column, std::string_view picture);

// The values YYYYMMDD and HHMMSS, and their column texts.
std::optional<long> DateValue(std::string_view text, std::string_view picture);
std::optional<long> TimeValue(std::string_view text, std::string_view picture);
std::optional<std::string> DateColumnOfValue(long value);
std::optional<std::string> TimeColumnOfValue(long value);

// One part of a text in the picture (the letter Y, M, D or H, M, S), -1
// when the picture does not read the text.
int Part(std::string_view text, std::string_view picture, char letter);

}  // namespace DateColumns
