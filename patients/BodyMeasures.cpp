#include "patients/BodyMeasures.h"

#include "patients/PatientText.h"

#include <algorithm>

namespace BodyMeasures {
namespace {

bool Contains(std::string_view text, std::string_view word) { return text.find(word) != std::string_view::npos; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads a text the way "%d%s%d%s" does: numbers and words separated by
// white space; the first number that cannot be read ends the reading, and
// it and every later number count as 0.
class TScanner {
public:
  explicit TScanner(std::string_view text) : Text(text) {}

  std::int64_t Number() {
    if (Failed)
      return 0;
    SkipSpace();
    std::size_t end = Position;
    if (end < Text.size() && (Text[end] == '+' || Text[end] == '-'))
      ++end;
    while (end < Text.size() && Text[end] >= '0' && Text[end] <= '9')
      ++end;
    const std::optional<std::int32_t> value = PatientText::LeadingInteger(Text.substr(Position, end - Position));
    if (!value) {
      // Digits that do not fit 32 bits are a number too large, not a missing one.
      TooLarge = end > Position && Text[end - 1] >= '0' && Text[end - 1] <= '9';
      Failed = true;
      return 0;
    }
    Position = end;
    return *value;
  }

  // Skips the next word.
  void Word() {
    if (Failed)
      return;
    SkipSpace();
    if (Position == Text.size())
      Failed = true;
    while (Position < Text.size() && !IsSpace(Text[Position]))
      ++Position;
  }

  bool TooLarge = false;

private:
  void SkipSpace() {
    while (Position < Text.size() && IsSpace(Text[Position]))
      ++Position;
  }

  std::string_view Text;
  std::size_t Position = 0;
  bool Failed = false;
};

std::optional<TMeasureEntry> Checked(std::int64_t value, std::optional<TUnitSystem> unit, bool tooLarge) {
  if (tooLarge || value < 0 || value > MaximumValue)
    return std::nullopt;
  return TMeasureEntry{static_cast<int>(value), unit};
}

// A bare number: digits only, the unit unchanged (an empty text reads as 0).
std::optional<TMeasureEntry> BareNumber(std::string_view text) {
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > MaximumValue)
      return std::nullopt;
  }
  return TMeasureEntry{static_cast<int>(value), std::nullopt};
}

// "%d%s": the leading number, 0 when there is none.
std::optional<TMeasureEntry> NumberAndWord(std::string_view text, TUnitSystem unit, std::int64_t factor) {
  TScanner scan(text);
  const std::int64_t value = scan.Number();
  return Checked(value * factor, unit, scan.TooLarge);
}

}  // namespace

std::string HeightText(int value, TUnitSystem unit) {
  if (unit == TUnitSystem::Metric)
    return std::to_string(value) + " cm";
  if (value <= 12)
    return std::to_string(value) + " in";
  if (value % 12 == 0)
    return std::to_string(value / 12) + " ft";
  return std::to_string(value / 12) + " ft " + std::to_string(value % 12) + " in";
}

std::string WeightText(int value, TUnitSystem unit) {
  return std::to_string(value) + (unit == TUnitSystem::Imperial ? " lb" : " kg");
}

std::string InitialHeightText(int value, TUnitSystem unit) {
  if (unit == TUnitSystem::Metric)
    return std::to_string(value) + " cm";
  if (value >= 12)
    return std::to_string(value / 12) + " ft " + std::to_string(value % 12) + " in";
  return std::to_string(value) + " in";
}

std::optional<TMeasureEntry> ReadHeightEntry(std::string_view text) {
  const bool feet = Contains(text, "ft");
  const bool inches = Contains(text, "in");
  if (feet && inches) {
    TScanner scan(text);
    const std::int64_t wholeFeet = scan.Number();
    scan.Word();
    const std::int64_t rest = scan.Number();
    return Checked(wholeFeet * 12 + rest, TUnitSystem::Imperial, scan.TooLarge);
  }
  if (feet)
    return NumberAndWord(text, TUnitSystem::Imperial, 12);
  if (inches)
    return NumberAndWord(text, TUnitSystem::Imperial, 1);
  if (Contains(text, "cm"))
    return NumberAndWord(text, TUnitSystem::Metric, 1);
  return BareNumber(text);
}

std::optional<TMeasureEntry> ReadWeightEntry(std::string_view text) {
  if (Contains(text, "kg"))
    return NumberAndWord(text, TUnitSystem::Metric, 1);
  if (Contains(text, "lb"))
    return NumberAndWord(text, TUnitSystem::Imperial, 1);
  return BareNumber(text);
}

int HeightValue(std::string_view text, TUnitSystem entryUnit) {
  TScanner scan(text);
  std::int64_t value = 0;
  if (entryUnit == TUnitSystem::Imperial && Contains(text, "ft")) {
    value = scan.Number() * 12;
    if (Contains(text, "in")) {
      scan.Word();
      value += scan.Number();
    }
  } else {
    value = scan.Number();
  }
  return static_cast<int>(std::clamp<std::int64_t>(value, -MaximumValue - 1, MaximumValue));
}

int WeightValue(std::string_view text) {
  TScanner scan(text);
  return static_cast<int>(std::clamp<std::int64_t>(scan.Number(), -MaximumValue - 1, MaximumValue));
}

bool UnitsAgree(std::string_view heightText, std::string_view weightText) {
  if (Contains(heightText, "cm") && Contains(weightText, "kg"))
    return true;
  return (Contains(heightText, "in") || Contains(heightText, "ft")) && Contains(weightText, "lb");
}

std::string HeightExamples(TUnitSystem recordUnit) {
  if (recordUnit == TUnitSystem::Imperial)
    return "\n\t- 9 ft 12 in,\n\t- 9 ft,\n\t- 120 [in].";
  return "\n\t- 175 [cm].";
}

std::string WeightExamples(TUnitSystem recordUnit) {
  return recordUnit == TUnitSystem::Imperial ? "\n\t- 30 [lb]." : "\n\t- 60 [kg].";
}

}  // namespace BodyMeasures
