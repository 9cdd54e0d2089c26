#include "trend/TrendParams.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <span>

namespace TrendParams {
namespace {

struct TGroup {
  std::string_view Prefix;
  std::span<const std::string_view> Names;
  std::span<const std::string_view> Units;
};

constexpr std::array<std::string_view, 19> FvcNames = {
  "FVC", "FEV*0,5", "FEV*1,0", "FEV*0,5/IVC", "FEV*0,5/FVC", "FEV*1,0/IVC", "FEV*1,0/FVC",
  "PEF", "FEF*25-75%", "MEF*75%", "MEF*50%", "MEF*25%", "FET", "MTT", "FIVC", "FIV*0,5",
  "FIV*1,0", "PIF", "FIF*25-75%"};
constexpr std::array<std::string_view, 19> FvcUnits = {
  "[L]", "[L]", "[L]", "[%]", "[%]", "[%]", "[%]", "[L/s]", "[L/s]", "[L/s]", "[L/s]", "[L/s]",
  "[s]", "[s]", "[L]", "[L]", "[L]", "[L/s]", "[L/s]"};
constexpr std::array<std::string_view, 5> VcNames = {"IVC", "IRV", "ERV", "TV", "SVC"};
constexpr std::array<std::string_view, 5> VcUnits = {"[L]", "[L]", "[L]", "[L]", "[L]"};
constexpr std::array<std::string_view, 2> MvvNames = {"MVV", "MVV*f"};
constexpr std::array<std::string_view, 2> MvvUnits = {"[L]", "[1/min]"};
constexpr std::array<std::string_view, 13> DfcNames = {
  "TLC", "IVC", "IRV", "ERV", "TV", "RV", "RV/TLC", "FRC", "FRC/TLC", "Tlco", "Klco", "BHtime", "WOV"};
constexpr std::array<std::string_view, 13> DfcUnits = {
  "[L]", "[L]", "[L]", "[L]", "[L]", "[L]", "[%]", "[L]", "[%]", "[mmol/min*kPa]",
  "[mmol/min*kPa*L]", "[s]", "[L]"};
constexpr std::array<std::string_view, 19> PlNames = {
  "TLC", "TGV", "RV", "RV/TLC", "Raw", "Rin", "Rex", "Req", "sRaw", "sRin", "sRex", "Gaw", "Gin",
  "Gex", "sGaw", "sGin", "sGex", "Rfreq", "W"};
constexpr std::array<std::string_view, 19> PlUnits = {
  "[L]", "[L]", "[L]", "[%]", "[kPa*s/L]", "[kPa*s/L]", "[kPa*s/L]", "[kPa*s/L]", "[kPa*s]",
  "[kPa*s]", "[kPa*s]", "[L/kPa*s]", "[L/kPa*s]", "[L/kPa*s]", "[/kPa*s]", "[/kPa*s]",
  "[/kPa*s]", "[1/min]", "[W]"};
constexpr std::array<std::string_view, 5> ShNames = {"Raw", "Rin", "Rex", "Gaw", "Rfreq"};
constexpr std::array<std::string_view, 5> ShUnits = {
  "[kPa*s/L]", "[kPa*s/L]", "[kPa*s/L]", "[L/kPa*s]", "[1/min]"};

const std::array<TGroup, GroupCount> Groups = {{
  {"FVC", FvcNames, FvcUnits},
  {"VC", VcNames, VcUnits},
  {"MVV", MvvNames, MvvUnits},
  {"DFC", DfcNames, DfcUnits},
  {"PL", PlNames, PlUnits},
  {"SH", ShNames, ShUnits},
}};

}  // namespace

std::string_view GroupPrefix(int group) {
  return group >= 0 && group < GroupCount ? Groups[group].Prefix : std::string_view();
}

int GroupSize(int group) {
  return group >= 0 && group < GroupCount ? static_cast<int>(Groups[group].Names.size()) : 0;
}

bool IsValid(short number) {
  return number >= 0 && number % 100 < GroupSize(number / 100);
}

std::string_view Name(short number) {
  return IsValid(number) ? Groups[number / 100].Names[number % 100] : std::string_view();
}

std::string_view Unit(short number) {
  return IsValid(number) ? Groups[number / 100].Units[number % 100] : std::string_view();
}

std::optional<int> ItemOfParam(short number) {
  if (number == Empty)
    return 0;
  if (!IsValid(number))
    return std::nullopt;
  int item = 1;
  for (int group = 0; group < number / 100; ++group)
    item += GroupSize(group);
  return item + number % 100;
}

short ParamOfItem(int item, short current) {
  if (item == 0)
    return Empty;
  if (item < 0 || item >= ItemCount)
    return current;
  int first = 1;
  for (int group = 0; group < GroupCount; ++group) {
    if (item < first + GroupSize(group))
      return static_cast<short>(group * 100 + item - first);
    first += GroupSize(group);
  }
  return current;
}

std::string IniText(short number) {
  if (!IsValid(number))
    return {};
  char digits[8];
  std::snprintf(digits, sizeof digits, "%02d", number % 100);
  return std::string(GroupPrefix(number / 100)) + digits;
}

short FromIniText(std::string_view text) {
  if (text.empty())
    return Empty;
  for (int group = 0; group < GroupCount; ++group) {
    const std::string_view prefix = Groups[group].Prefix;
    if (!text.starts_with(prefix))
      continue;
    // The number after the prefix as atoi reads it: leading digits, none → 0.
    std::string_view rest = text.substr(prefix.size());
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
      rest.remove_prefix(1);
    int index = 0;
    const char* end = rest.data() + rest.size();
    const auto [ptr, ec] = std::from_chars(rest.data(), end, index);
    if (ec == std::errc::result_out_of_range || index < 0 || index >= GroupSize(group))
      return Empty;
    (void)ptr;
    return static_cast<short>(group * 100 + index);
  }
  return 0;
}

}  // namespace TrendParams
