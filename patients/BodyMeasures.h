#pragma once

// Height and weight as the patient sheet shows them: a number with its unit
// in the text ("175 cm", "5 ft 7 in", "72 kg", "150 lb"). Values are whole
// centimetres or inches, kilograms or pounds; they are never converted
// here, the unit travels with them.

#include <optional>
#include <string>
#include <string_view>

// The unit system of a record, and the unit in which a height (cm or in)
// or a weight (kg or lb) was entered.
enum class TUnitSystem { Metric = 0, Imperial = 1 };

// What a typed height or weight says: its value, and its unit when the
// text names one (a bare number keeps the unit it had).
struct TMeasureEntry {
  int Value = 0;
  std::optional<TUnitSystem> Unit;
};

namespace BodyMeasures {

// The largest value a field holds: the block and the table carry 16 bits.
inline constexpr int MaximumValue = 32767;

// "%d cm"; in inches "%d in" up to 12, "%d ft" for whole feet, else "%d ft %d in".
std::string HeightText(int value, TUnitSystem unit);
// "%d kg" or "%d lb".
std::string WeightText(int value, TUnitSystem unit);
// The height a new imperial record starts with: "%d ft %d in" from 12
// inches on, else "%d in"; metric "%d cm".
std::string InitialHeightText(int value, TUnitSystem unit);

// Reads a height typed into the sheet, already tidied: "5 ft 7 in",
// "6 ft", "70 in", "175 cm" or a bare number. A number that is missing
// after the unit word counts as 0 ("5 ft7 in" is 5 ft). Nothing when the
// text holds anything else, or a value below 0 or above MaximumValue.
std::optional<TMeasureEntry> ReadHeightEntry(std::string_view text);
// Reads a weight: "72 kg", "150 lb" or a bare number, as above.
std::optional<TMeasureEntry> ReadWeightEntry(std::string_view text);

// The height a shown text stands for in the unit it was entered in
// (feet and inches together in inches), 0 when no number can be read.
int HeightValue(std::string_view text, TUnitSystem entryUnit);
// The leading number of a weight text, whatever its unit word.
int WeightValue(std::string_view text);

// True when height and weight are in the same system: "cm" with "kg", or
// "in" or "ft" with "lb".
bool UnitsAgree(std::string_view heightText, std::string_view weightText);

// The examples shown under a height or weight that cannot be read.
std::string HeightExamples(TUnitSystem recordUnit);
std::string WeightExamples(TUnitSystem recordUnit);

}  // namespace BodyMeasures
