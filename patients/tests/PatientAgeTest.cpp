#include "patients/PatientAge.h"

#include <gtest/gtest.h>

namespace {

constexpr std::string_view Picture = "YYYY.MM.DD.";

TEST(PatientAge, DatesAreCheckedForRangesNotForTheCalendar) {
  EXPECT_TRUE(PatientAge::VerifyDate("1950.03.07.", Picture));
  EXPECT_TRUE(PatientAge::VerifyDate("2001.02.31.", Picture));  // the 31st of February passes
  EXPECT_TRUE(PatientAge::VerifyDate("1000.01.01.", Picture));
  EXPECT_FALSE(PatientAge::VerifyDate("2001.13.01.", Picture));
  EXPECT_FALSE(PatientAge::VerifyDate("0999.12.31.", Picture));
  EXPECT_FALSE(PatientAge::VerifyDate("2001.00.10.", Picture));
  EXPECT_FALSE(PatientAge::VerifyDate("2001.01.32.", Picture));
  EXPECT_FALSE(PatientAge::VerifyDate("2001.01.00.", Picture));
  EXPECT_FALSE(PatientAge::VerifyDate("", Picture));
  EXPECT_FALSE(PatientAge::VerifyDate("7 March 1950", Picture));
  EXPECT_TRUE(PatientAge::VerifyDate("31/02/2001", "DD/MM/YYYY"));
}

TEST(PatientAge, AgeCountsCompletedYears) {
  struct Case {
    TCalendarDate birth, today;
    int age;
  };
  const Case cases[] = {
      {{1980, 6, 15}, {2024, 6, 15}, 44},  // the birthday itself
      {{1980, 6, 16}, {2024, 6, 15}, 43},  // tomorrow
      {{1980, 6, 14}, {2024, 6, 15}, 44},
      {{1980, 7, 1}, {2024, 6, 30}, 43},
      {{1980, 5, 31}, {2024, 6, 1}, 44},
      // Born on the 29th of February: on the 28th of a common year the birthday is still ahead.
      {{1972, 2, 29}, {2023, 2, 28}, 50},
      {{1972, 2, 29}, {2023, 3, 1}, 51},
      {{1972, 2, 29}, {2024, 2, 29}, 52},
      {{2024, 6, 15}, {2024, 6, 15}, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PatientAge::AgeInYears(c.birth, c.today), c.age)
        << c.birth.Year << "-" << c.birth.Month << "-" << c.birth.Day << " on " << c.today.Year << "-"
        << c.today.Month << "-" << c.today.Day;
}

TEST(PatientAge, ASevenCharacterIdentifierGivesBirthDateAndSex) {
  struct Case {
    std::string_view id;
    std::string_view picture;
    std::optional<std::string> birthDate;
    int sex;
  };
  const Case cases[] = {
      {"2850315", Picture, "1985.03.15.", 0},  // 2: even, a woman
      {"1850315", Picture, "1985.03.15.", 1},  // 1: odd, a man
      {"3000101", Picture, "1900.01.01.", 1},
      {"4991231", Picture, "1999.12.31.", 0},
      {"1850315", "DD/MM/YYYY", "15/03/1985", 1},
      {"1850231", Picture, "1985.02.31.", 1},  // the 31st of February passes here too
      // Only seven characters count, and only a date that passes the check.
      {"185031", Picture, std::nullopt, 0},
      {"18503150", Picture, std::nullopt, 0},
      {"1851315", Picture, std::nullopt, 0},
      {"1850300", Picture, std::nullopt, 0},
      {"185031A", Picture, std::nullopt, 0},
      {"ABCDEFG", Picture, std::nullopt, 0},
  };
  for (const Case& c : cases) {
    const auto facts = PatientAge::FactsFromIdentifier(c.id, c.picture);
    ASSERT_EQ(facts.has_value(), c.birthDate.has_value()) << c.id;
    if (!facts)
      continue;
    EXPECT_EQ(facts->BirthDate, *c.birthDate) << c.id;
    EXPECT_EQ(facts->Sex, c.sex) << c.id;
  }
}

}  // namespace
