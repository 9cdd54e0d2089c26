#include "platform/dbkit/DateColumns.h"

#include "platform/framework/PictureText.h"

namespace DateColumns {
namespace {

constexpr std::string_view DateColumnPicture = "YYYY-MM-DD";
constexpr std::string_view TimeColumnPicture = "HH:MM:SS";

struct TTriple {
  int First = 0, Second = 0, Third = 0;
};

std::optional<TTriple> Read(std::string_view text, std::string_view picture, const char (&letters)[4]) {
  const auto parts = PictureText::Read(text, picture);
  if (!parts)
    return std::nullopt;
  TTriple triple;
  int* const targets[] = {&triple.First, &triple.Second, &triple.Third};
  for (int i = 0; i < 3; ++i) {
    const auto found = parts->find(letters[i]);
    if (found == parts->end())
      return std::nullopt;
    *targets[i] = found->second;
  }
  return triple;
}

bool DateInRange(const TTriple& date) {
  return date.First >= 1000 && date.First <= 9999 && date.Second >= 1 && date.Second <= 12 && date.Third >= 1 &&
         date.Third <= 31;
}

bool TimeInRange(const TTriple& time) {
  return time.First >= 0 && time.First <= 23 && time.Second >= 0 && time.Second <= 59 && time.Third >= 0 &&
         time.Third <= 59;
}

std::optional<TTriple> ReadDate(std::string_view text, std::string_view picture) {
  auto date = Read(text, picture, "YMD");
  return date && DateInRange(*date) ? date : std::nullopt;
}

std::optional<TTriple> ReadTime(std::string_view text, std::string_view picture) {
  auto time = Read(text, picture, "HMS");
  return time && TimeInRange(*time) ? time : std::nullopt;
}

std::string WriteDate(const TTriple& date, std::string_view picture) {
  return PictureText::Write({{'Y', date.First}, {'M', date.Second}, {'D', date.Third}}, picture);
}

std::string WriteTime(const TTriple& time, std::string_view picture) {
  return PictureText::Write({{'H', time.First}, {'M', time.Second}, {'S', time.Third}}, picture);
}

}  // namespace

std::optional<std::string> DateToColumn(std::string_view text, std::string_view picture) {
  if (text.empty())
    return std::string();
  const auto date = ReadDate(text, picture);
  return date ? std::optional(WriteDate(*date, DateColumnPicture)) : std::nullopt;
}

std::optional<std::string> TimeToColumn(std::string_view text, std::string_view picture) {
  if (text.empty())
    return std::string();
  const auto time = ReadTime(text, picture);
  return time ? std::optional(WriteTime(*time, TimeColumnPicture)) : std::nullopt;
}

std::string DateFromColumn(std::string_view column, std::string_view picture) {
  const auto date = ReadDate(column, DateColumnPicture);
  return date ? WriteDate(*date, picture) : std::string(column);
}

std::string TimeFromColumn(std::string_view column, std::string_view picture) {
  const auto time = ReadTime(column, TimeColumnPicture);
  return time ? WriteTime(*time, picture) : std::string(column);
}

std::optional<long> DateValue(std::string_view text, std::string_view picture) {
  const auto date = ReadDate(text, picture);
  return date ? std::optional(date->First * 10000L + date->Second * 100L + date->Third) : std::nullopt;
}

std::optional<long> TimeValue(std::string_view text, std::string_view picture) {
  const auto time = ReadTime(text, picture);
  return time ? std::optional(time->First * 10000L + time->Second * 100L + time->Third) : std::nullopt;
}

std::optional<std::string> DateColumnOfValue(long value) {
  const TTriple date{static_cast<int>(value / 10000), static_cast<int>(value / 100 % 100), static_cast<int>(value % 100)};
  return value >= 0 && DateInRange(date) ? std::optional(WriteDate(date, DateColumnPicture)) : std::nullopt;
}

std::optional<std::string> TimeColumnOfValue(long value) {
  const TTriple time{static_cast<int>(value / 10000), static_cast<int>(value / 100 % 100), static_cast<int>(value % 100)};
  return value >= 0 && TimeInRange(time) ? std::optional(WriteTime(time, TimeColumnPicture)) : std::nullopt;
}

int Part(std::string_view text, std::string_view picture, char letter) {
  const auto parts = PictureText::Read(text, picture);
  if (!parts)
    return -1;
  const auto found = parts->find(letter);
  return found == parts->end() ? -1 : found->second;
}

}  // namespace DateColumns
