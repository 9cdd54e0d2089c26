#pragma once

// The birth date and the age of a patient, and what a seven-character
// identifier tells of them: its characters 2 to 7 are the birth date in the
// 1900s as YYMMDD, and its first digit is odd for a man, even for a woman.

#include "platform/framework/DatePicture.h"

#include <optional>
#include <string>
#include <string_view>

namespace PatientAge {

// The sheet's date check: a text in the picture with a day from 1 to 31, a
// month from 1 to 12 and a four-digit year. The day is not compared with
// the length of the month, so the 31st of February passes.
bool IsValidDate(const TCalendarDate& date);
bool VerifyDate(std::string_view text, std::string_view picture);
// A date of the calendar with a four-digit year: the day within its month,
// the 29th of February only in a leap year. Dates that come from another
// program are held to it, as nobody is there to correct them.
bool IsRealDate(const TCalendarDate& date);

// Completed years on `today`; on the birthday itself the new year counts.
int AgeInYears(const TCalendarDate& birth, const TCalendarDate& today);

struct TIdentifierFacts {
  std::string BirthDate;  // in the sheet's date picture
  int Sex = 0;            // 0 female, 1 male
};

// What an identifier of exactly 7 characters says, when its characters 2
// to 7 are a valid date; nothing otherwise.
std::optional<TIdentifierFacts> FactsFromIdentifier(std::string_view identifier, std::string_view picture);

}  // namespace PatientAge
