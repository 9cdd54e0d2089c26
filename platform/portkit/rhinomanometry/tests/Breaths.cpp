#include "platform/portkit/rhinomanometry/tests/Breaths.h"

#include <cmath>
#include <numbers>

namespace rhinomanometry::testing {

FlowLaw SquareRootLaw(double flowAt150Mlps) {
  const double k = flowAt150Mlps / std::sqrt(150.0);
  return [k](double p) { return k * std::sqrt(std::abs(p)); };
}

FlowLaw RohrerLaw(double k1, double k2) {
  return [k1, k2](double p) { return (-k1 + std::sqrt(k1 * k1 + 4.0 * k2 * std::abs(p))) / (2.0 * k2); };
}

Recording Record(const std::vector<Breath>& breaths, const FlowLaw& law, std::size_t bufferSamples) {
  Recording r;
  r.phases.push_back({});
  for (const Breath& b : breaths) {
    const auto half = static_cast<std::size_t>(std::lround(b.periodS * 50.0));
    for (int phase = 0; phase < 2; ++phase) {
      const double sign = phase == 0 ? 1.0 : -1.0;  // expiration: pressure up, flow out
      const double peak = phase == 1 && b.inspirationPeakPa > 0.0 ? b.inspirationPeakPa : b.peakPa;
      for (std::size_t i = 0; i < half; ++i) {
        const double p = sign * peak * std::sin(std::numbers::pi * (static_cast<double>(i) + 0.5) / static_cast<double>(half));
        r.pressurePa.push_back(static_cast<float>(p));
        r.flowMlps.push_back(static_cast<float>(-sign * law(p)));
      }
      const auto last = static_cast<std::uint16_t>(r.pressurePa.size() - 1);
      r.phases.push_back({static_cast<float>(last) * 0.01f, 0.0f, last});
    }
  }
  r.samples = r.flowMlps.size();
  if (bufferSamples > r.flowMlps.size()) {
    r.flowMlps.resize(bufferSamples);
    r.pressurePa.resize(bufferSamples);
  }
  return r;
}

}  // namespace rhinomanometry::testing
