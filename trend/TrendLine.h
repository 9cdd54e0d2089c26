#pragma once

// One examination of the trend: its moment, five values with their
// percentages and its marker, kept as numbers beside the fixed-column text
// that the list shows. Everything that reads a line back reads the numbers,
// so a value too wide for its column cannot shift what follows it.

#include <array>
#include <string>
#include <string_view>

inline constexpr int TrendSlots = 5;

struct TREND_DATA {
  std::string Date;   // in the window's date picture
  std::string Time;   // "HH:MM:SS"
  std::array<float, TrendSlots> Values{};
  char Marker = ' ';
};

struct TTrendLine {
  TREND_DATA Data;
  std::array<float, TrendSlots> Percents{};
  std::string Text;
};

namespace TrendLine {

// The list's line: "%-13s %-8s" and five " %6.2f %4.0f%%", then " %c".
// 89 characters while every field fits its column.
std::string Format(const TREND_DATA& data, const std::array<float, TrendSlots>& percents);
TTrendLine Make(const TREND_DATA& data, const std::array<float, TrendSlots>& percents);

// The date as its column holds it ("%-13s") and with the time ("%-13s %-8s").
std::string DateText(const TREND_DATA& data);
std::string MomentText(const TREND_DATA& data);

// The value and percentage texts of one slot as the columns hold them.
std::string ValueText(float value);    // "%6.2f"
std::string PercentText(float percent);  // "%4.0f"

// The percentage as its column shows it, as a whole number.
int ShownPercent(float percent);

// value as a percentage of `base` ((value / base - 1) × 100 + 100); 0 when
// either is 0.
float PercentOf(float value, float base);
// The change from `previous` in percent ((value / previous - 1) × 100); 0
// when either is 0.
float ChangeFrom(float value, float previous);

// The examination's marker from its kind flags: "B" 0x08, "P" 0x10,
// "O" 0x20, a blank otherwise.
char MarkerOfKind(int kindFlags);

// The key that asks the main program for an examination again: "date@time",
// the date without its trailing blanks.
std::string Key(const TREND_DATA& data);

}  // namespace TrendLine
