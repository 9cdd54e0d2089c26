// Expanding a full stored curve: 1,502 stored samples back to 6,008, as
// every load of a stored test does for each of its curves.

#include "measure/core/MeasureCore.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void ExpandFullCurve(benchmark::State& state) {
  std::vector<float> stored(1502);
  for (std::size_t i = 0; i < stored.size(); ++i)
    stored[i] = static_cast<float>(std::sin(static_cast<double>(i) * 0.01) * 3.0);
  std::vector<float> curve(TMeasureData::CurveBufferSamples);
  for (auto _ : state) {
    std::copy(stored.begin(), stored.end(), curve.begin());
    int count = 1502;
    TMeasureCore::DeCompressGrafikon(curve.data(), count, static_cast<int>(curve.size()));
    benchmark::DoNotOptimize(curve.data());
    benchmark::DoNotOptimize(count);
  }
}
BENCHMARK(ExpandFullCurve)->Unit(benchmark::kMicrosecond);

}  // namespace
