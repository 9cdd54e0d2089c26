#include "common/CommandNumbers.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

TEST(CommandNumbers, NoNumberIsGivenTwice) {
  std::map<unsigned, std::string_view> seen;
  for (const TNumberedName& entry : CommandNumberTable) {
    const auto [at, inserted] = seen.emplace(entry.Number, entry.Name);
    EXPECT_TRUE(inserted) << entry.Number << " is both " << at->second << " and " << entry.Name;
  }
  std::set<std::string_view> names;
  for (const TNumberedName& entry : CommandNumberTable)
    EXPECT_TRUE(names.insert(entry.Name).second) << entry.Name;
}

TEST(CommandNumbers, OnlyTheNamedDoublesAreCommandAndMessage) {
  const std::set<unsigned> doubles{2006, 2014, 2021, 2022, 2023, 2025, 2051, 2052,
                                   2053, 2054, 2055, 2056, 2057, 2129, 2156};
  std::set<unsigned> found;
  for (const TNumberedName& entry : CommandNumberTable)
    if (entry.Kind == TNumberKind::CommandAndMessage)
      found.insert(entry.Number);
  EXPECT_EQ(found, doubles);
}

TEST(CommandNumbers, ClosingCommandsAreCommandsAndPrivateMessagesLieInTheirRange) {
  for (const TNumberedName& entry : CommandNumberTable) {
    if (entry.Number >= CM_MEASURE_CLOSED && entry.Number <= CM_TREND_CLOSED) {
      EXPECT_EQ(entry.Kind, TNumberKind::Command) << entry.Name;
    }
    if (entry.Kind != TNumberKind::Command) {
      EXPECT_TRUE((entry.Number >= 2004 && entry.Number <= 2076) || (entry.Number >= 2140 && entry.Number <= 2142) ||
                  entry.Number == 2129 || entry.Number == 2156)
          << entry.Name;
    }
  }
  EXPECT_EQ(CM_MEASURE_FVC, 2147u);
  EXPECT_EQ(CM_MEASURE_SHUTTER, 2152u);
  EXPECT_EQ(CM_PATIENT_LAST, 2118u);
  EXPECT_EQ(CM_RIGHT_NEXT, 2133u);
  EXPECT_EQ(CM_ALGORITHM4, 2074u);
}

}  // namespace
