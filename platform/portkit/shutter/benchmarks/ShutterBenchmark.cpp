// The shutter test's two calculations against their budgets: one closure
// fit (once every ten samples during the test) under 20 µs, the final
// curve of 1,000 points (at the stop) under 1 ms.

#include "platform/portkit/shutter/ClosureFit.h"
#include "platform/portkit/shutter/ShutterCurve.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <vector>

namespace shutter {
namespace {

void OneClosure(benchmark::State& state) {
  const std::array<std::int16_t, GroupSize> flows{57, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  // A plateau that is not straight, so several models are tried.
  const std::array<std::int16_t, GroupSize> pressures{2, 60, 90, 105, 112, 116, 118, 119, 120, 120};
  for (auto _ : state)
    benchmark::DoNotOptimize(ClosurePoint(flows, pressures, {}));
}
BENCHMARK(OneClosure)->Unit(benchmark::kMicrosecond);

void FinalCurveOfAThousandPoints(benchmark::State& state) {
  std::vector<Point> points;
  for (int i = 0; i < 1000; ++i) {
    const double flow = 0.9 * std::sin(i * 0.37);
    points.push_back({flow, -0.2 * flow, flow <= 0.0});
  }
  for (auto _ : state)
    benchmark::DoNotOptimize(BuildCurve(points, 1.0, 1.0));
}
BENCHMARK(FinalCurveOfAThousandPoints)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace shutter
