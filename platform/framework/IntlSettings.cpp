#include "platform/framework/IntlSettings.h"

#include "platform/framework/Profile.h"
#include "platform/framework/Utf8.h"

TIntlSettings TIntlSettings::Read(std::string_view iniFile) {
  const TProfile intl("Intl", iniFile);
  TIntlSettings settings;
  const std::string shortDate = intl.GetString("sShortDate", settings.DatePicture);
  settings.DatePicture = std::string(Utf8::Truncate(VerifyDateFormat(shortDate.substr(0, 99)), PictureSize));
  const std::string separator = intl.GetString("sDate", ".");
  if (!separator.empty())
    settings.DateSeparator = separator.front();
  return settings;
}

std::string TIntlSettings::VerifyDateFormat(std::string_view format) {
  std::string picture;
  bool day = false, month = false, year = false;
  for (std::size_t i = 0; i < format.size();) {
    const char c = format[i];
    std::size_t run = 1;
    while (i + run < format.size() && format[i + run] == c)
      ++run;
    switch (c) {
    case 'd': case 'D': picture += "DD"; day = true; break;
    case 'm': case 'M': picture += "MM"; month = true; break;
    case 'y': case 'Y': picture += "YYYY"; year = true; break;
    default:
      // Other letters (an era, quotes around literal text) have no place in a picture.
      if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\''))
        picture.append(run, c);
    }
    i += run;
  }
  if (!day || !month || !year)
    return "YYYY.MM.DD.";
  return picture;
}
