#include "platform/portkit/spirometry/BestTrial.h"

#include <algorithm>
#include <cmath>

namespace spirometry {

TrialOrder CalculateTheBest(float criterion1, float criterion2, float criterion3) {
  const std::array<float, 3> criteria{criterion1, criterion2, criterion3};
  TrialOrder order{0, 0, 0};
  std::size_t results = 0;
  for (short trial = 1; trial <= 3; ++trial) {
    const float c = criteria[static_cast<std::size_t>(trial - 1)];
    if (std::isfinite(c) && c > 0.0f) {
      order[results++] = trial;
    }
  }
  std::stable_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(results), [&](short a, short b) {
    return criteria[static_cast<std::size_t>(a - 1)] > criteria[static_cast<std::size_t>(b - 1)];
  });
  return order;
}

}  // namespace spirometry
