#pragma once

// Dates are texts in a picture: in "YYYY.MM.DD." the letters mark where the
// digits of the year, month and day stand and every other character stands
// as it is, so the 7th of March 1950 is "1950.03.07.". The tables, the
// patient sheet and the printouts keep their dates this way; "YYYYMMDD" is
// the picture in which the program builds dates from numbers.

#include <string>
#include <string_view>

struct TCalendarDate {
  int Year = 0;
  int Month = 0;
  int Day = 0;

  friend bool operator==(const TCalendarDate&, const TCalendarDate&) = default;
};

namespace DatePicture {

// The year, month and day of a text written in `picture` (Y, M and D mark
// the digits), read as the database engine reads a date's parts: a text
// that PictureText::Read cannot read (another length, another separator, a
// place that holds no digit) gives -1 for every part, as does a part the
// picture lacks. No calendar check is made.
TCalendarDate Read(std::string_view text, std::string_view picture);

// Writes a text of one picture in another, part by part: each capital
// letter of a picture is a part (Y, M, D, or H, M, S for times). A part
// with fewer places in the target keeps its last digits; one with more is
// padded with leading zeros. ("19500307", "YYYYMMDD", "DD/MM/YYYY") gives
// "07/03/1950".
std::string Recode(std::string_view text, std::string_view fromPicture, std::string_view toPicture);

// Today's date on the computer's local clock.
TCalendarDate Today();

}  // namespace DatePicture
