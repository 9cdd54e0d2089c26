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

}  // namespace
