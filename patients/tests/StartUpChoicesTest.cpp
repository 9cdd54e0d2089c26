#include "patients/StartUpChoices.h"

#include <gtest/gtest.h>

namespace {

using namespace StartUpChoices;

// Drivers as an engine with several collations would list them.
const std::vector<std::string> Drivers = {"ASCII order,ascii", "International order,ansiintl",
                                          "Hungarian order 852,anhundc", "German order 850,ansii850"};

TEST(StartUpChoices, AStoredDriverIsShownElseTheLanguagesOne) {
  EXPECT_EQ(DriverIndexForStored(Drivers, "anhundc"), 2);
  EXPECT_EQ(DriverIndexForStored(Drivers, "ascii"), 0);
  EXPECT_EQ(DriverIndexForStored(Drivers, "gone"), 3);  // none: the last stays chosen
  EXPECT_EQ(DriverIndexForStored({}, "ascii"), -1);

  struct TCase {
    const char* language;
    int index;
  };
  for (const TCase& c : {TCase{"Magyar", 2}, TCase{"Deutsch", 3}, TCase{"English", 1}, TCase{"Español", -1}})
    EXPECT_EQ(DriverIndexForLanguage(Drivers, c.language), c.index) << c.language;
  // This system's one driver suits no language by name.
  EXPECT_EQ(DriverIndexForLanguage({"Latin alphabet (case-insensitive),latin_ci"}, "English"), -1);
}

TEST(StartUpChoices, TheDriversNameIsTheTextAfterTheFirstComma) {
  EXPECT_EQ(DriverName("Latin alphabet (case-insensitive),latin_ci"), "latin_ci");
  EXPECT_EQ(DriverName("a,b,c"), "b,c");
  EXPECT_EQ(DriverName(",x"), "x");
  EXPECT_EQ(DriverName("latin_ci"), std::nullopt);
  EXPECT_EQ(DriverName(""), std::nullopt);
}

}  // namespace
