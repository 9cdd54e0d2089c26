#include "special/provocation/ProvocationCodes.h"

#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

// Its own namespace: the headless tests compile in batches, and this
// file's names meet the others' there.
namespace provocation_codes_tests {

using namespace ProvocationCodes;

// The dialog's list: item 0 is "no parameter", then the five bands in the
// order FVC (19), VC (5), MVV (2), plethysmography (19), shutter (5).
TEST(ProvocationCodes, ListItemsAndCodesMapBothWays) {
  struct TCase {
    int Index;
    short Code;
  };
  for (const TCase c : {TCase{0, -1}, {1, 0}, {19, 18}, {20, 100}, {24, 104}, {25, 200}, {26, 201}, {27, 400},
                        {45, 418}, {46, 500}, {50, 504}}) {
    EXPECT_EQ(CodeOfListIndex(c.Index), c.Code) << c.Index;
    EXPECT_EQ(ListIndexOfCode(c.Code), c.Index) << c.Code;
  }
  EXPECT_EQ(CodeOfListIndex(51), -1);
  EXPECT_EQ(CodeOfListIndex(-3), -1);
  // Diffusion codes and codes past a band's names select nothing.
  for (short code : {300, 312, 19, 105, 202, 419, 505, 600})
    EXPECT_FALSE(ListIndexOfCode(code).has_value()) << code;
  EXPECT_EQ(Parameter(418)->Name, "W");
  EXPECT_EQ(Parameter(500)->Name, "Raw");
  EXPECT_EQ(Parameter(2)->Name, "FEV*1,0");
  EXPECT_EQ(Parameter(2)->Unit, "[L]");
}

TEST(ProvocationCodes, CommandOfEachBand) {
  EXPECT_EQ(CommandOfCode(2), CM_MEASURE_FVC);
  EXPECT_EQ(CommandOfCode(103), CM_MEASURE_VC);
  EXPECT_EQ(CommandOfCode(201), CM_MEASURE_MVV);
  EXPECT_EQ(CommandOfCode(350), 0u);  // the diffusion test is never a step
  EXPECT_EQ(CommandOfCode(404), CM_MEASURE_PLETHY);
  EXPECT_EQ(CommandOfCode(504), CM_MEASURE_SHUTTER);
  EXPECT_EQ(CommandOfCode(-1), 0u);
}

TEST(ProvocationCodes, IniTextsReadAndWriteBack) {
  struct TCase {
    std::string_view Text;
    std::optional<short> Code;
  };
  for (const TCase& c : {TCase{"VC03", 103}, {"MVV01", 201}, {"FVC02", 2}, {"PL17", 417}, {"SH04", 504}, {"", -1},
                         // an index beyond its band names no parameter
                         TCase{"FVC99", -1}, {"VC05", -1}, {"SH-1", -1},
                         // no known prefix: the caller keeps what it had
                         TCase{"XYZ", std::nullopt}, {"fvc01", std::nullopt}}) {
    EXPECT_EQ(CodeOfIniText(c.Text), c.Code) << c.Text;
  }
  for (short code : {103, 201, 2, 417, 504, 0})
    EXPECT_EQ(CodeOfIniText(IniText(code)), code) << code;
  EXPECT_EQ(IniText(103), "VC03");
  EXPECT_EQ(IniText(-1), "");
  EXPECT_EQ(IniText(350), "");  // a diffusion code names no parameter
  EXPECT_EQ(IniText(600), "");
}

TEST(ProvocationCodes, ListItemPadsTheUnitToColumn26At800Pixels) {
  // "%s%*s": "FVC" then "[L]" right-aligned in 26 - 3 = 23 characters.
  EXPECT_EQ(ListItemText(1, 800), "FVC" + std::string(20, ' ') + "[L]");
  // At 1600 pixels the column is 26 / 2 = 13: "MVV*f" + "%8s" of "[1/min]".
  EXPECT_EQ(ListItemText(26, 1600), "MVV*f [1/min]");
  EXPECT_EQ(ListItemText(0, 800), "");
}

}  // namespace provocation_codes_tests
