#include "platform/framework/DatePicture.h"

#include "platform/framework/PictureText.h"

#include <ctime>

namespace DatePicture {

TCalendarDate Read(std::string_view text, std::string_view picture) {
  const auto parts = PictureText::Read(text, picture);
  const auto part = [&](char letter) {
    if (!parts)
      return -1;
    const auto found = parts->find(letter);
    return found == parts->end() ? -1 : found->second;
  };
  return {part('Y'), part('M'), part('D')};
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
