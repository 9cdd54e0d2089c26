#include "platform/portkit/spirometry/BestTrial.h"

#include <gtest/gtest.h>

#include <limits>

namespace spirometry {
namespace {

struct BestCase {
  const char* name;
  float c1, c2, c3;
  TrialOrder order;
};

TEST(BestTrial, OrdersTrialsWithAResultByTheirCriterion) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  const BestCase cases[] = {
      {"largest first", 7.1f, 9.4f, 8.0f, {2, 3, 1}},
      {"already in order", 9.0f, 8.0f, 7.0f, {1, 2, 3}},
      {"a tie keeps the earlier trial first", 8.0f, 9.0f, 9.0f, {2, 3, 1}},
      {"a trial without a result never wins", 0.0f, 3.0f, 0.0f, {2, 0, 0}},
      {"negative and not-a-number are no results", -5.0f, nan, 0.5f, {3, 0, 0}},
      {"no trial at all", 0.0f, 0.0f, 0.0f, {0, 0, 0}},
  };
  for (const BestCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CalculateTheBest(c.c1, c.c2, c.c3), c.order);
  }
}

}  // namespace
}  // namespace spirometry
