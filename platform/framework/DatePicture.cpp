#include "platform/framework/DatePicture.h"

#include "platform/framework/PictureText.h"

#include <ctime>

namespace DatePicture {
namespace {

bool IsPart(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

TCalendarDate Read(std::string_view text, std::string_view picture) {
  if (text.size() != picture.size())
    return {};
  for (std::size_t i = 0; i < picture.size(); ++i)
    if (!IsPart(picture[i]) && text[i] != picture[i])
      return {};
  const auto number = [&](char part) {
    int value = 0;
    bool found = false;
    for (std::size_t i = 0; i < picture.size(); ++i) {
      if (picture[i] != part)
        continue;
      if (!IsDigit(text[i]))
        return 0;
      found = true;
      value = value * 10 + (text[i] - '0');
    }
    return found ? value : 0;
  };
  return {number('Y'), number('M'), number('D')};
}

std::string Recode(std::string_view text, std::string_view fromPicture, std::string_view toPicture) {
  return PictureText::Fill(PictureText::Split(text, fromPicture), toPicture);
}

TCalendarDate Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace DatePicture
