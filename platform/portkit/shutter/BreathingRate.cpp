#include "platform/portkit/shutter/BreathingRate.h"

#include <cmath>

namespace shutter {

std::optional<int> BreathingRate(std::span<const double> reversalTimesS) {
  const std::size_t n = reversalTimesS.size();
  if (n < 5)
    return std::nullopt;
  double sumS = 0.0;
  for (std::size_t k = n - 4; k <= n - 2; ++k)
    sumS += reversalTimesS[k] - reversalTimesS[k - 1];
  if (!(sumS > 0.0))
    return std::nullopt;
  return static_cast<int>(std::trunc(30.0 / (sumS / 3.0)));
}

}  // namespace shutter
