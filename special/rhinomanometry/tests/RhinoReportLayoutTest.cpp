#include "special/rhinomanometry/RhinoReportLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RhinoReportLayout, HeightIsWhatThePrintoutAdvances) {
  // The printout advances: title 20 + 30; rows 11 each and 5 below them;
  // provocation 44; notes 5 + measured + 2 when printed; diagram 20 + 336.
  // Anterior defaults (75, 100, 150 Pa): six rows, 66 units:
  // 50 + 66 + 5 + 356 = 477.
  EXPECT_EQ(RhinoReport::PrintedRows(DefaultAnteriorRows), 6);
  EXPECT_EQ(RhinoReport::Height(DefaultAnteriorRows, false, std::nullopt), 477);
  // After a provocation, with notes of 30 units: 477 + 44 + 37 = 558.
  EXPECT_EQ(RhinoReport::Height(DefaultAnteriorRows, true, 30), 558);
  // No rows: the closing line 5 below the title box only; 50 + 5 + 356.
  EXPECT_EQ(RhinoReport::Height(TRhinoRows{}, false, std::nullopt), 411);
}

TEST(RhinoReportLayout, DottedCurvesDrawRisingDashesOfThreeSamples) {
  const std::vector<float> flow{0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 1};
  bool toggle = false;
  std::vector<bool> shown;
  for (std::size_t i = 0; i < flow.size(); ++i)
    shown.push_back(RhinoReport::DottedSegmentShown(flow, i, toggle));
  // The toggle is set at 0, clear at 3, set at 6, clear at 9, set at 12:
  // samples 3 to 5 rise and are drawn; 9 to 11 fall (|1| <= |1| at 11 is
  // drawn); the last sample has no follower.
  const std::vector<bool> expected{false, false, false, true, true, true, false, false, false, false, false, true, false};
  EXPECT_EQ(shown, expected);
}

}  // namespace
