#include "common/ParameterBlocks.h"

#include <gtest/gtest.h>

namespace {

TEST(ParameterBlocks, CountsAndNamesOfEveryKind) {
  const short counts[] = {19, 5, 2, 13, 19, 5};
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    EXPECT_EQ(ParameterCount(kind), counts[kind]);
    EXPECT_EQ(ParameterNames(kind).size(), static_cast<std::size_t>(counts[kind]));
  }
  EXPECT_EQ(ParameterCount(6), 0);
  EXPECT_EQ(ParameterCount(-1), 0);
  EXPECT_TRUE(ParameterNames(7).empty());
  // Indexes used across the system.
  EXPECT_EQ(FvcParameterNames[2], "FEV*1,0");
  EXPECT_EQ(FvcParameterNames[7], "PEF");
  EXPECT_EQ(FvcParameterNames[18], "FIF*25-75%");
  EXPECT_EQ(DfcParameterNames[9], "Tlco");
  EXPECT_EQ(PlethyParameterNames[17], "Rfreq");
  EXPECT_EQ(ShutterParameterNames[4], "Rfreq");
}

TEST(ParameterBlocks, UnitsMatchTheNamesAndTheBlocksLineUp) {
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    EXPECT_EQ(ParameterUnits(kind).size(), ParameterNames(kind).size()) << kind;
  EXPECT_TRUE(ParameterUnits(6).empty());
  EXPECT_EQ(FvcParameterUnits[3], "[%]");
  EXPECT_EQ(MvvParameterUnits[0], "[L/min]");
  EXPECT_EQ(DfcParameterUnits[9], "[mmol/min*kPa]");
  EXPECT_EQ(PlethyParameterUnits[18], "[W]");
  EXPECT_EQ(ShutterParameterUnits[3], "[L/kPa*s]");
  EXPECT_EQ(ALL_PARAMETER_COUNT, 63);
  const short offsets[] = {0, 19, 24, 26, 39, 58};
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    EXPECT_EQ(ParameterOffset(kind), offsets[kind]);
  EXPECT_EQ(ParameterOffset(6), -1);
}

}  // namespace
