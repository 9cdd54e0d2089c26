#include "special/provocation/ProvocationCodes.h"

#include "common/CommandNumbers.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace ProvocationCodes {

namespace {

constexpr std::string_view L = "[L]";
constexpr std::string_view Pct = "[%]";
constexpr std::string_view Lps = "[L/s]";
constexpr std::string_view Sec = "[s]";
constexpr std::string_view PerMin = "[1/min]";
constexpr std::string_view Res = "[kPa*s/L]";
constexpr std::string_view SRes = "[kPa*s]";
constexpr std::string_view Cond = "[L/kPa*s]";
constexpr std::string_view SCond = "[/kPa*s]";

constexpr std::array<TParameterName, 19> Fvc{{
    {"FVC", L},        {"FEV*0,5", L},     {"FEV*1,0", L},       {"FEV*0,5/IVC", Pct}, {"FEV*0,5/FVC", Pct},
    {"FEV*1,0/IVC", Pct}, {"FEV*1,0/FVC", Pct}, {"PEF", Lps},   {"FEF*25-75%", Lps},  {"MEF*75%", Lps},
    {"MEF*50%", Lps},  {"MEF*25%", Lps},   {"FET", Sec},         {"MTT", Sec},         {"FIVC", L},
    {"FIV*0,5", L},    {"FIV*1,0", L},     {"PIF", Lps},         {"FIF*25-75%", Lps},
}};
constexpr std::array<TParameterName, 5> Vc{{{"IVC", L}, {"IRV", L}, {"ERV", L}, {"TV", L}, {"SVC", L}}};
constexpr std::array<TParameterName, 2> Mvv{{{"MVV", L}, {"MVV*f", PerMin}}};
constexpr std::array<TParameterName, 19> Plethy{{
    {"TLC", L},     {"TGV", L},      {"RV", L},       {"RV/TLC", Pct}, {"Raw", Res},   {"Rin", Res},  {"Rex", Res},
    {"Req", Res},   {"sRaw", SRes},  {"sRin", SRes},  {"sRex", SRes},  {"Gaw", Cond},  {"Gin", Cond}, {"Gex", Cond},
    {"sGaw", SCond}, {"sGin", SCond}, {"sGex", SCond}, {"Rfreq", PerMin}, {"W", "[W]"},
}};
constexpr std::array<TParameterName, 5> Shutter{
    {{"Raw", Res}, {"Rin", Res}, {"Rex", Res}, {"Gaw", Cond}, {"Rfreq", PerMin}}};

const std::array<TBand, 5> AllBands{{
    {0, "FVC", CM_MEASURE_FVC, Fvc},
    {100, "VC", CM_MEASURE_VC, Vc},
    {200, "MVV", CM_MEASURE_MVV, Mvv},
    {400, "PL", CM_MEASURE_PLETHY, Plethy},
    {500, "SH", CM_MEASURE_SHUTTER, Shutter},
}};

// The leading integer as atoi reads it: blanks, a sign, digits; 0 without.
int LeadingInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 100000; ++i)
    value = value * 10 + (text[i] - '0');
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::span<const TBand> Bands() { return AllBands; }

const TBand* BandOf(short code) {
  for (const TBand& band : AllBands)
    if (code >= band.FirstCode && code < band.FirstCode + static_cast<short>(band.Names.size()))
      return &band;
  return nullptr;
}

std::optional<TParameterName> Parameter(short code) {
  const TBand* band = BandOf(code);
  if (!band)
    return std::nullopt;
  return band->Names[static_cast<std::size_t>(code - band->FirstCode)];
}

short CodeOfListIndex(int index) {
  int first = 1;
  for (const TBand& band : AllBands) {
    const int count = static_cast<int>(band.Names.size());
    if (index >= first && index < first + count)
      return static_cast<short>(band.FirstCode + index - first);
    first += count;
  }
  return NoParameter;
}

std::optional<int> ListIndexOfCode(short code) {
  if (code == NoParameter)
    return 0;
  int first = 1;
  for (const TBand& band : AllBands) {
    const int count = static_cast<int>(band.Names.size());
    if (code >= band.FirstCode && code < band.FirstCode + count)
      return first + code - band.FirstCode;
    first += count;
  }
  return std::nullopt;
}

unsigned CommandOfCode(short code) {
  // The command goes by the hundreds alone, as the list's code bands do.
  for (const TBand& band : AllBands)
    if (code >= band.FirstCode && code < band.FirstCode + 100)
      return band.Command;
  return 0;
}

std::string IniText(short code) {
  const TBand* band = BandOf(code);
  if (!band)
    return {};
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "%.*s%02d", static_cast<int>(band->IniPrefix.size()),
                band->IniPrefix.data(), code - band->FirstCode);
  return text.data();
}

std::optional<short> CodeOfIniText(std::string_view text) {
  if (text.empty())
    return NoParameter;
  // "FVC" before "VC": the longer prefix is tested first.
  static constexpr std::array<std::pair<std::string_view, short>, 5> Prefixes{
      {{"FVC", 0}, {"VC", 100}, {"MVV", 200}, {"PL", 400}, {"SH", 500}}};
  for (const auto& [prefix, first] : Prefixes) {
    if (!text.starts_with(prefix))
      continue;
    const int index = LeadingInt(text.substr(prefix.size()));
    const int code = first + index;
    const TBand* band = BandOf(static_cast<short>(code));
    if (index < 0 || index >= 100 || !band || band->FirstCode != first)
      return NoParameter;
    return static_cast<short>(code);
  }
  return std::nullopt;
}

std::string DisplayName(short code) {
  const auto parameter = Parameter(code);
  if (!parameter)
    return {};
  std::string name(parameter->Name);
  name.erase(std::remove(name.begin(), name.end(), '*'), name.end());
  return name;
}

std::string ListItemText(int index, int screenWidthPixels) {
  const short code = CodeOfListIndex(index);
  const auto parameter = Parameter(code);
  if (!parameter)
    return {};
  const float factor = static_cast<float>(screenWidthPixels) * 0.00125f;
  const int width = static_cast<int>(26.0f / (factor > 0.0f ? factor : 1.0f)) - static_cast<int>(parameter->Name.size());
  std::string item(parameter->Name);
  // "%*s" pads the unit on the left up to the width; a unit wider than the
  // width stands as it is.
  const int pad = width - static_cast<int>(parameter->Unit.size());
  if (pad > 0)
    item.append(static_cast<std::size_t>(pad), ' ');
  item += parameter->Unit;
  return item;
}

}  // namespace ProvocationCodes
