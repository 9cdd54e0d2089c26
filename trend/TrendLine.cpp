#include "trend/TrendLine.h"

#include <cmath>
#include <cstdio>

namespace TrendLine {
namespace {

std::string Printf(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string ValueText(float value) { return Printf("%6.2f", value); }

std::string PercentText(float percent) { return Printf("%4.0f", percent); }

std::string DateText(const TREND_DATA& data) {
  std::string text = data.Date;
  if (text.size() < 13)
    text.resize(13, ' ');
  return text;
}

std::string MomentText(const TREND_DATA& data) {
  std::string time = data.Time;
  if (time.size() < 8)
    time.resize(8, ' ');
  return DateText(data) + ' ' + time;
}

std::string Format(const TREND_DATA& data, const std::array<float, TrendSlots>& percents) {
  std::string text = MomentText(data);
  for (int slot = 0; slot < TrendSlots; ++slot)
    text += ' ' + ValueText(data.Values[slot]) + ' ' + PercentText(percents[slot]) + '%';
  text += ' ';
  text += data.Marker;
  return text;
}

TTrendLine Make(const TREND_DATA& data, const std::array<float, TrendSlots>& percents) {
  return {data, percents, Format(data, percents)};
}

int ShownPercent(float percent) {
  // Rounded as the column prints it; a value no column could hold is kept
  // within int's reach.
  const double limit = 1e9;
  const double clamped = std::isnan(percent) ? 0.0 : std::fmax(-limit, std::fmin(limit, percent));
  return static_cast<int>(std::nearbyint(clamped));
}

float PercentOf(float value, float base) {
  if (value == 0.0f || base == 0.0f)
    return 0.0f;
  return (value / base - 1.0f) * 100.0f + 100.0f;
}

float ChangeFrom(float value, float previous) {
  if (value == 0.0f || previous == 0.0f)
    return 0.0f;
  return (value / previous - 1.0f) * 100.0f;
}

char MarkerOfKind(int kindFlags) {
  if (kindFlags & 0x08)
    return 'B';
  if (kindFlags & 0x10)
    return 'P';
  if (kindFlags & 0x20)
    return 'O';
  return ' ';
}

std::string Key(const TREND_DATA& data) {
  std::string date = data.Date;
  while (!date.empty() && date.back() == ' ')
    date.pop_back();
  return date + '@' + data.Time;
}

}  // namespace TrendLine
