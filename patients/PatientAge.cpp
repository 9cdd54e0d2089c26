#include "patients/PatientAge.h"

namespace PatientAge {

bool IsValidDate(const TCalendarDate& date) {
  return date.Day >= 1 && date.Day <= 31 && date.Month >= 1 && date.Month <= 12 && date.Year >= 1000;
}

bool IsRealDate(const TCalendarDate& date) {
  if (!IsValidDate(date) || date.Year > 9999)
    return false;
  const bool leap = (date.Year % 4 == 0 && date.Year % 100 != 0) || date.Year % 400 == 0;
  static constexpr int DaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return date.Day <= DaysInMonth[date.Month - 1] + (date.Month == 2 && leap ? 1 : 0);
}

bool VerifyDate(std::string_view text, std::string_view picture) {
  return !text.empty() && IsValidDate(DatePicture::Read(text, picture));
}

int AgeInYears(const TCalendarDate& birth, const TCalendarDate& today) {
  int age = today.Year - birth.Year;
  if (birth.Month > today.Month || (birth.Month == today.Month && birth.Day > today.Day))
    --age;
  return age;
}

std::optional<TIdentifierFacts> FactsFromIdentifier(std::string_view identifier, std::string_view picture) {
  if (identifier.size() != 7)
    return std::nullopt;
  const std::string born = "19" + std::string(identifier.substr(1, 6));
  TIdentifierFacts facts;
  facts.BirthDate = DatePicture::Recode(born, "YYYYMMDD", picture);
  if (!VerifyDate(facts.BirthDate, picture))
    return std::nullopt;
  facts.Sex = (identifier[0] - '0') % 2 != 0 ? 1 : 0;
  return facts;
}

}  // namespace PatientAge
