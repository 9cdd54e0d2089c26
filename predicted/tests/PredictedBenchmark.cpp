// All six blocks of predicted values for one patient and one equation set:
// what the measurement window computes whenever the patient or set changes.

#include "predicted/Predicted.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

void AllSixBlocks(benchmark::State& state) {
  // Only read, and only once: a missing ini file gives the default set.
  TPredicted object("predicted-benchmark-none.ini", 2, 1.0f);
  object.PredictedAlgorithm = static_cast<short>(state.range(0));
  const TPredicted* predicted = &object;
  PREDICTED_DATA patient;
  patient.Sex = 1;
  patient.Age = 40;
  patient.Height = 175;
  patient.Weight = 75;
  std::array<float, MAX_PARAMETER_COUNT> values{};
  std::array<float, MAX_PARAMETER_COUNT> rsds{};
  for (auto _ : state) {
    predicted->CalculateFvcPredicted(patient, values.data(), rsds.data());
    predicted->CalculateVcPredicted(patient, values.data(), rsds.data());
    predicted->CalculateMvvPredicted(patient, values.data(), rsds.data());
    predicted->CalculateDfcPredicted(patient, values.data(), rsds.data());
    predicted->CalculatePlethyPredicted(patient, values.data(), rsds.data());
    predicted->CalculateShPredicted(patient, values.data(), rsds.data());
    benchmark::DoNotOptimize(values);
    benchmark::DoNotOptimize(rsds);
  }
}

BENCHMARK(AllSixBlocks)->DenseRange(PREDICTED_ECCS, PREDICTED_FINNISH)->Unit(benchmark::kMicrosecond);

}  // namespace
