#include "patients/PatientText.h"
#include "platform/framework/Utf8.h"

#include <gtest/gtest.h>

namespace {

constexpr std::string_view Placeholder = "<new patient>";

TEST(PatientText, CorrectingStringTidiesBlanksOnly) {
  struct Case {
    std::string_view typed, expected;
  };
  const Case cases[] = {
      {"  Anna   Kovacs  ", "Anna Kovacs"},
      {"Anna Kovacs", "Anna Kovacs"},
      {"     ", ""},
      {"", ""},
      {" x ", "x"},
      // Only the blank is tidied: a tab stays where it is.
      {"Anna\t Kovacs", "Anna\t Kovacs"},
      {"  Zoë   Müller ", "Zoë Müller"},
      // The placeholder is never altered, blanks and all.
      {Placeholder, Placeholder},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PatientText::CorrectingString(c.typed, Placeholder), c.expected) << "'" << c.typed << "'";
  EXPECT_EQ(PatientText::CorrectingString("  <x  y>  ", "  <x  y>  "), "  <x  y>  ");
}

TEST(PatientText, FilterOnlyDigitsKeepsAtMostEightDigits) {
  EXPECT_EQ(PatientText::FilterOnlyDigits("1950.03.07."), "19500307");
  EXPECT_EQ(PatientText::FilterOnlyDigits("a1b2c3"), "123");
  EXPECT_EQ(PatientText::FilterOnlyDigits("123456789012"), "12345678");
  EXPECT_EQ(PatientText::FilterOnlyDigits("no digits"), "");
  EXPECT_EQ(PatientText::FilterOnlyDigits(""), "");
}

TEST(PatientText, LeadingIntegerReadsAsPercentD) {
  struct Case {
    std::string_view text;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {"45", 45},           {"45 years", 45}, {"  7x", 7},          {"-12", -12},
      {"+3", 3},            {"", {}},         {"years 45", {}},     {"-", {}},
      {"2147483647", 2147483647}, {"2147483648", {}}, {"99999999999999999999", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PatientText::LeadingInteger(c.text), c.expected) << "'" << c.text << "'";
}

TEST(PatientText, BoundedNeverCutsInsideACharacter) {
  // "é" is two bytes: ten of them do not fit 19 bytes, nine do.
  std::string accented;
  for (int i = 0; i < 10; ++i)
    accented += "é";
  EXPECT_EQ(Utf8::Truncate(accented, 19).size(), 18u);
  EXPECT_EQ(Utf8::Truncate(accented, 20), accented);
  EXPECT_EQ(Utf8::Truncate("Kovacs", 3), "Kov");
}

}  // namespace
