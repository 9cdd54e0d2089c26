#pragma once

// Every test kind has a fixed order of parameters. A parameter's index
// counts from 0 in that order, and the same index is used by the
// predicted-value tables, the result records, the parameter list and the
// ini sections "Index of Parameters", "Merge Index By Parameter" and
// "Params Struct".

#include <array>
#include <span>
#include <string_view>

inline constexpr short TEST_KIND_COUNT = 6;  // FVC, VC, MVV, DFC, PLETHY, SHUTTER
inline constexpr short MAX_PARAMETER_COUNT = 19;

inline constexpr short FVC_PARAMETER_COUNT = 19;
inline constexpr short VC_PARAMETER_COUNT = 5;
inline constexpr short MVV_PARAMETER_COUNT = 2;
inline constexpr short DFC_PARAMETER_COUNT = 13;
inline constexpr short PLETHY_PARAMETER_COUNT = 19;
inline constexpr short SHUTTER_PARAMETER_COUNT = 5;

inline constexpr std::array<short, TEST_KIND_COUNT> ParameterCounts{
    FVC_PARAMETER_COUNT,    VC_PARAMETER_COUNT,     MVV_PARAMETER_COUNT,
    DFC_PARAMETER_COUNT,    PLETHY_PARAMETER_COUNT, SHUTTER_PARAMETER_COUNT};

inline constexpr std::array<std::string_view, FVC_PARAMETER_COUNT> FvcParameterNames{
    "FVC",       "FEV*0,5", "FEV*1,0", "FEV*0,5/IVC", "FEV*0,5/FVC", "FEV*1,0/IVC", "FEV*1,0/FVC",
    "PEF",       "FEF*25-75%", "MEF*75%", "MEF*50%", "MEF*25%",     "FET",         "MTT",
    "FIVC",      "FIV*0,5", "FIV*1,0", "PIF",         "FIF*25-75%"};

inline constexpr std::array<std::string_view, VC_PARAMETER_COUNT> VcParameterNames{"IVC", "IRV", "ERV", "TV",
                                                                                   "SVC"};

inline constexpr std::array<std::string_view, MVV_PARAMETER_COUNT> MvvParameterNames{"MVV", "MVV*f"};

inline constexpr std::array<std::string_view, DFC_PARAMETER_COUNT> DfcParameterNames{
    "TLC", "IVC", "IRV", "ERV", "TV", "RV", "RV/TLC", "FRC", "FRC/TLC", "Tlco", "Klco", "BHtime", "WOV"};

inline constexpr std::array<std::string_view, PLETHY_PARAMETER_COUNT> PlethyParameterNames{
    "TLC", "TGV", "RV",  "RV/TLC", "Raw", "Rin",  "Rex",  "Req",  "sRaw", "sRin",
    "sRex", "Gaw", "Gin", "Gex",    "sGaw", "sGin", "sGex", "Rfreq", "W"};

inline constexpr std::array<std::string_view, SHUTTER_PARAMETER_COUNT> ShutterParameterNames{"Raw", "Rin", "Rex",
                                                                                             "Gaw", "Rfreq"};

// The unit text of every parameter, in the same order as the names. MVV
// is a ventilation in litres per minute, its rate in breaths per minute.
inline constexpr std::array<std::string_view, FVC_PARAMETER_COUNT> FvcParameterUnits{
    "[L]",   "[L]",   "[L]",   "[%]", "[%]", "[%]", "[%]", "[L/s]", "[L/s]", "[L/s]",
    "[L/s]", "[L/s]", "[s]",   "[s]", "[L]", "[L]", "[L]", "[L/s]", "[L/s]"};

inline constexpr std::array<std::string_view, VC_PARAMETER_COUNT> VcParameterUnits{"[L]", "[L]", "[L]", "[L]",
                                                                                   "[L]"};

inline constexpr std::array<std::string_view, MVV_PARAMETER_COUNT> MvvParameterUnits{"[L/min]", "[1/min]"};

inline constexpr std::array<std::string_view, DFC_PARAMETER_COUNT> DfcParameterUnits{
    "[L]", "[L]", "[L]", "[L]", "[L]", "[L]", "[%]", "[L]", "[%]", "[mmol/min*kPa]", "[mmol/min*kPa*L]", "[s]",
    "[L]"};

inline constexpr std::array<std::string_view, PLETHY_PARAMETER_COUNT> PlethyParameterUnits{
    "[L]",      "[L]",       "[L]",       "[%]",       "[kPa*s/L]", "[kPa*s/L]", "[kPa*s/L]",
    "[kPa*s/L]", "[kPa*s]",  "[kPa*s]",   "[kPa*s]",   "[L/kPa*s]", "[L/kPa*s]", "[L/kPa*s]",
    "[/kPa*s]", "[/kPa*s]",  "[/kPa*s]",  "[1/min]",   "[W]"};

inline constexpr std::array<std::string_view, SHUTTER_PARAMETER_COUNT> ShutterParameterUnits{
    "[kPa*s/L]", "[kPa*s/L]", "[kPa*s/L]", "[L/kPa*s]", "[1/min]"};

// The names of a test kind's block, in index order; empty for another kind.
constexpr std::span<const std::string_view> ParameterNames(short kind) {
  switch (kind) {
  case 0: return FvcParameterNames;
  case 1: return VcParameterNames;
  case 2: return MvvParameterNames;
  case 3: return DfcParameterNames;
  case 4: return PlethyParameterNames;
  case 5: return ShutterParameterNames;
  default: return {};
  }
}

// The parameter count of a test kind, 0 for another kind.
constexpr short ParameterCount(short kind) {
  return kind >= 0 && kind < TEST_KIND_COUNT ? ParameterCounts[static_cast<std::size_t>(kind)] : short{0};
}

// The unit texts of a test kind's block, in index order; empty for another kind.
constexpr std::span<const std::string_view> ParameterUnits(short kind) {
  switch (kind) {
  case 0: return FvcParameterUnits;
  case 1: return VcParameterUnits;
  case 2: return MvvParameterUnits;
  case 3: return DfcParameterUnits;
  case 4: return PlethyParameterUnits;
  case 5: return ShutterParameterUnits;
  default: return {};
  }
}

// The flags, positions and other per-parameter blocks of all kinds stand
// one after another in kind order: 63 entries, FVC first.
inline constexpr short ALL_PARAMETER_COUNT = FVC_PARAMETER_COUNT + VC_PARAMETER_COUNT + MVV_PARAMETER_COUNT +
                                             DFC_PARAMETER_COUNT + PLETHY_PARAMETER_COUNT +
                                             SHUTTER_PARAMETER_COUNT;

// Where a kind's block starts among the 63 entries; -1 for another kind.
constexpr short ParameterOffset(short kind) {
  if (kind < 0 || kind >= TEST_KIND_COUNT)
    return -1;
  short offset = 0;
  for (short k = 0; k < kind; ++k)
    offset = static_cast<short>(offset + ParameterCounts[static_cast<std::size_t>(k)]);
  return offset;
}
