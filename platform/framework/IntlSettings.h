#pragma once

// The date and time pictures of the user's settings. On the original
// platform they came from WIN.INI [Intl]; here a file "win.ini" in the
// working folder gives them when present, and the original defaults stand
// otherwise.

#include <string>
#include <string_view>

struct TIntlSettings {
  static constexpr std::size_t PictureSize = 20;  // characters kept of a picture

  std::string DatePicture = "YYYY.MM.DD.";
  char DateSeparator = '.';
  std::string TimePicture = "HH:MM:SS";

  // [Intl] "sShortDate" through VerifyDateFormat, cut to 20 characters, and
  // the first character of "sDate"; the time picture is always "HH:MM:SS".
  static TIntlSettings Read(std::string_view iniFile = "win.ini");

  // Makes a short-date format as the settings write it ("yyyy.MM.dd.",
  // "d/M/yy") into a picture that this system can read and write: day and
  // month with two places, the year with four (a two-digit year cannot be
  // stored without guessing its century), the separators as they are. A
  // format that lacks the day, the month or the year gives "YYYY.MM.DD.".
  static std::string VerifyDateFormat(std::string_view format);
};
