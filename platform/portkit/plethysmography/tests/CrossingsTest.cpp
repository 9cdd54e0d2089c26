#include "platform/portkit/plethysmography/Crossings.h"
#include "platform/portkit/plethysmography/tests/AnalyticTrial.h"

#include <gtest/gtest.h>

namespace plethysmography {
namespace {

using testing::AnalyticPatient;
using testing::MakeTrial;

TEST(Crossings, LinIntIsTheStraightLineThroughTwoPoints) {
  EXPECT_DOUBLE_EQ(LinInt(2.0, -1.0, 4.0, 1.0, 0.0), 3.0);
  EXPECT_DOUBLE_EQ(LinInt(2.0, 1.0, 4.0, 3.0, 4.0), 5.0);  // beyond the pair
  EXPECT_DOUBLE_EQ(LinInt(2.0, 1.0, 4.0, 1.0, 0.0), 0.0);  // vertical
}

TEST(Crossings, InspirationStartsThenPantingCrossings) {
  // Four loops of 200 samples from sample 51 (the first inspiratory mean
  // flow after the start at 50), the resistance end at 851, two breaths to
  // the shutter at 1251, panting of 50 samples whose mouth pressure turns
  // negative halfway through each cycle.
  AnalyticPatient p;
  testing::AnalyticTrial t = MakeTrial(p, {});
  const std::vector<std::size_t> list = FindCrossings(t.Signals(), t.marks);
  ASSERT_EQ(t.marks.resistanceEnd, 851u);
  ASSERT_EQ(t.marks.tgvStart, 1251u);
  ASSERT_GE(list.size(), 5u + 5u);
  EXPECT_EQ((std::vector<std::size_t>(list.begin(), list.begin() + 5)),
            (std::vector<std::size_t>{51, 251, 451, 651, 851}));
  for (std::size_t k = 5; k + 1 < list.size(); ++k)
    EXPECT_EQ(list[k + 1] - list[k], 50u) << k;
  EXPECT_EQ(list.back(), t.marks.end);
  EXPECT_EQ(list.size(), 5u + static_cast<std::size_t>(p.pantingCycles));
}

TEST(Crossings, DriftRampIsRemovedSegmentBySegment) {
  // The same patient with and without a drift of 2 Pa/s: after the
  // compensation, the box pressure within every segment moves as without
  // drift; only the level at the segment's start differs. (The flow is
  // stored as 0 from the resistance end, so the crossing there is read
  // half a sample late: 0.01 Pa of drift at 2 Pa/s stays at most.)
  AnalyticPatient p;
  testing::AnalyticTrial clean = MakeTrial(p, {});
  p.driftPaPerS = 2.0;
  testing::AnalyticTrial drifting = MakeTrial(p, {});
  const std::vector<std::size_t> a = BoxPressureDriftCompensation(clean.Signals(), clean.marks);
  const std::vector<std::size_t> b = BoxPressureDriftCompensation(drifting.Signals(), drifting.marks);
  ASSERT_EQ(a, b);
  for (std::size_t k = 0; k + 1 < a.size(); ++k) {
    if (a[k] == clean.marks.resistanceEnd)
      continue;  // the open-shutter breaths before the shutter are not read
    for (std::size_t j = a[k]; j < a[k + 1]; ++j) {
      const double withDrift = drifting.boxPa[j] - drifting.boxPa[a[k]];
      const double without = clean.boxPa[j] - clean.boxPa[a[k]];
      ASSERT_NEAR(withDrift, without, 0.011) << "segment " << k << " sample " << j;
    }
  }
}

TEST(Crossings, NoListWithoutMarks) {
  testing::AnalyticTrial t = MakeTrial({}, {});
  Marks m = t.marks;
  m.end = 0;
  EXPECT_TRUE(FindCrossings(t.Signals(), m).empty());
  m = t.marks;
  m.end = t.Size();
  EXPECT_TRUE(BoxPressureDriftCompensation(t.Signals(), m).empty());
}

}  // namespace
}  // namespace plethysmography
