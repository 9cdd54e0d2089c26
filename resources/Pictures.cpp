#include "resources/Pictures.h"

#include <array>

std::span<const std::string_view> ShippedPictures() {
  static constexpr std::array<std::string_view, 22> names{
      "BOARD800_600", "TREND800_600", "CAKE",     "CANDLE",   "FLAME_ON_1", "FLAME_ON_2", "FLAME_OFF", "CALIB",
      "CALIHAN1",     "CALIHAN2",     "CALIHAN3", "CALIHAN4", "CALIHAN5",   "CALIHAN6",   "CALIHAN7",  "ZEROBG",
      "ZEROHD1",      "ZEROHD2",      "ZEROHD3",  "ZEROHD4",  "ZEROHD5",    "ZEROHD6"};
  return names;
}
