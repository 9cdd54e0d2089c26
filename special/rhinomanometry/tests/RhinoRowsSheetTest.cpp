#include "special/rhinomanometry/RhinoRowsSheet.h"

#include <gtest/gtest.h>

namespace {

TEST(RhinoRowsSheet, AtMostThreeRowsPerGroup) {
  TRhinoRowsSheet sheet(DefaultAnteriorRows, DefaultPosteriorRows);
  EXPECT_TRUE(sheet.CanConfirm());
  sheet.Click(4, true);  // a fourth anterior row: 300 Pa
  EXPECT_FALSE(sheet.CanConfirm());
  sheet.Click(3, false);  // one off again
  EXPECT_TRUE(sheet.CanConfirm());
  EXPECT_EQ(sheet.Anterior(), (TRhinoRows{0, 1, 1, 0, 1}));
  // The posterior group is judged by itself.
  sheet.Click(8, true);
  EXPECT_FALSE(sheet.CanConfirm());
  sheet.Click(5, false);
  EXPECT_TRUE(sheet.CanConfirm());
  EXPECT_EQ(sheet.Posterior(), (TRhinoRows{0, 1, 1, 1, 0}));
}

TEST(RhinoRowsSheet, FourRowsFromTheIniFileLeaveOkUntilTheFirstClick) {
  TRhinoRowsSheet sheet({1, 1, 1, 1, 0}, {0, 0, 0, 0, 0});
  EXPECT_TRUE(sheet.CanConfirm());
  sheet.Click(7, true);
  EXPECT_FALSE(sheet.CanConfirm());
  EXPECT_TRUE(sheet.Ticked(0));
  EXPECT_FALSE(sheet.Ticked(10));
}

}  // namespace
