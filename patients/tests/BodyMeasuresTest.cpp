#include "patients/BodyMeasures.h"

#include <gtest/gtest.h>

namespace {

using TUnit = TUnitSystem;
using enum TUnitSystem;

struct EntryCase {
  std::string_view text;
  std::optional<int> value;  // nothing: the text is refused
  std::optional<TUnit> unit;
};

void ExpectEntries(std::optional<TMeasureEntry> (*read)(std::string_view), std::initializer_list<EntryCase> cases) {
  for (const EntryCase& c : cases) {
    const std::optional<TMeasureEntry> entry = read(c.text);
    ASSERT_EQ(entry.has_value(), c.value.has_value()) << "'" << c.text << "'";
    if (!entry)
      continue;
    EXPECT_EQ(entry->Value, *c.value) << "'" << c.text << "'";
    EXPECT_EQ(entry->Unit, c.unit) << "'" << c.text << "'";
  }
}

TEST(BodyMeasures, HeightTextsAreRead) {
  ExpectEntries(BodyMeasures::ReadHeightEntry,
                {
                    {"5 ft 7 in", 67, Imperial},  // 5 x 12 + 7
                    {"5ft 7in", 67, Imperial},
                    {"6 ft", 72, Imperial},
                    {"72 in", 72, Imperial},
                    {"180 cm", 180, Metric},
                    {"180cm", 180, Metric},
                    {"180", 180, std::nullopt},  // a bare number keeps the unit it had
                    {"", 0, std::nullopt},
                    // Without a blank after "ft" the inches cannot be read and count as 0.
                    {"5 ft7 in", 60, Imperial},
                    {"5ft7in", 60, Imperial},
                    {"ft", 0, Imperial},
                    // Anything else is refused, and so are values the fields cannot hold.
                    {"1,80", std::nullopt, std::nullopt},
                    {"1.80 m", std::nullopt, std::nullopt},
                    {"17a5", std::nullopt, std::nullopt},
                    {"-5 ft", std::nullopt, std::nullopt},
                    {"-170", std::nullopt, std::nullopt},
                    {"40000", std::nullopt, std::nullopt},
                    {"40000 cm", std::nullopt, std::nullopt},
                    {"3000 ft", std::nullopt, std::nullopt},
                    {"99999999999 cm", std::nullopt, std::nullopt},
                });
}

TEST(BodyMeasures, WeightTextsAreRead) {
  ExpectEntries(BodyMeasures::ReadWeightEntry,
                {
                    {"72 kg", 72, Metric},
                    {"72kg", 72, Metric},
                    {"150 lb", 150, Imperial},
                    {"150 lbs", 150, Imperial},
                    {"72", 72, std::nullopt},
                    // "kg" is looked for first.
                    {"72 kg lb", 72, Metric},
                    {"72,5", std::nullopt, std::nullopt},
                    {"heavy", std::nullopt, std::nullopt},
                    {"-70 kg", std::nullopt, std::nullopt},
                });
}

TEST(BodyMeasures, HeightsAreWrittenInTheirUnit) {
  struct Case {
    int value;
    TUnit unit;
    std::string_view text;
  };
  const Case cases[] = {
      {175, Metric, "175 cm"}, {67, Imperial, "5 ft 7 in"}, {72, Imperial, "6 ft"},  {12, Imperial, "12 in"},
      {13, Imperial, "1 ft 1 in"}, {11, Imperial, "11 in"}, {0, Imperial, "0 in"}, {24, Imperial, "2 ft"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BodyMeasures::HeightText(c.value, c.unit), c.text) << c.value;
  EXPECT_EQ(BodyMeasures::WeightText(72, Metric), "72 kg");
  EXPECT_EQ(BodyMeasures::WeightText(150, Imperial), "150 lb");
}

TEST(BodyMeasures, ANewImperialRecordStartsInFeetAndInches) {
  EXPECT_EQ(BodyMeasures::InitialHeightText(70, Imperial), "5 ft 10 in");
  EXPECT_EQ(BodyMeasures::InitialHeightText(72, Imperial), "6 ft 0 in");
  EXPECT_EQ(BodyMeasures::InitialHeightText(11, Imperial), "11 in");
  EXPECT_EQ(BodyMeasures::InitialHeightText(170, Metric), "170 cm");
}

TEST(BodyMeasures, ShownTextsGiveTheirValues) {
  EXPECT_EQ(BodyMeasures::HeightValue("5 ft 7 in", Imperial), 67);
  EXPECT_EQ(BodyMeasures::HeightValue("6 ft", Imperial), 72);
  EXPECT_EQ(BodyMeasures::HeightValue("12 in", Imperial), 12);
  EXPECT_EQ(BodyMeasures::HeightValue("175 cm", Metric), 175);
  EXPECT_EQ(BodyMeasures::HeightValue("", Metric), 0);
  EXPECT_EQ(BodyMeasures::WeightValue("150 lb"), 150);
  EXPECT_EQ(BodyMeasures::WeightValue("kg"), 0);
}

TEST(BodyMeasures, HeightAndWeightMustShareTheirSystem) {
  EXPECT_TRUE(BodyMeasures::UnitsAgree("175 cm", "70 kg"));
  EXPECT_TRUE(BodyMeasures::UnitsAgree("70 in", "150 lb"));
  EXPECT_TRUE(BodyMeasures::UnitsAgree("6 ft", "150 lb"));
  EXPECT_FALSE(BodyMeasures::UnitsAgree("6 ft", "70 kg"));
  EXPECT_FALSE(BodyMeasures::UnitsAgree("175 cm", "150 lb"));
  EXPECT_FALSE(BodyMeasures::UnitsAgree("175", "70 kg"));
}

}  // namespace
