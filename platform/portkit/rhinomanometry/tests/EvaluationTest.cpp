#include "platform/portkit/rhinomanometry/Evaluation.h"

#include "platform/portkit/rhinomanometry/tests/Breaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rhinomanometry::testing {
namespace {

// The true flows of the two laws, worked by hand:
//   k·√P with 500 mL/s at 150 Pa: k = 500/√150 = 40.8248;
//     50 Pa 288.68, 75 Pa 353.55, 100 Pa 408.25, 150 Pa 500.00, 300 Pa 707.11.
//   Rohrer P = 0.1·V + 0.0004·V²: V = (-0.1 + √(0.01 + 0.0016·P)) / 0.0008;
//     50 Pa: √0.09 = 0.3 -> 250.00; 75 Pa: √0.13 = 0.360555 -> 325.69;
//     100 Pa: √0.17 = 0.412311 -> 390.39; 150 Pa: √0.25 = 0.5 -> 500.00;
//     300 Pa: √0.49 = 0.7 -> 750.00.
//
// The averaged curve has a point about every 4 Pa, and a flow between two
// points is read as their mean: at most 2 Pa away from the evaluation
// pressure. Where the curve bends most (low pressures) that is more than
// 1.5 %: the relative slope of the flow, times 2 Pa, plus 0.5 % for the
// smoothing, bounds it:
//   √:      50 Pa 1/(2·50) = 1 %/Pa -> 2.5 %;  75 Pa 0.67 %/Pa -> 1.9 %;
//   Rohrer: dV/dP = 1/(0.1 + 0.0008·V): 50 Pa 3.33/250 = 1.33 %/Pa -> 3.2 %;
//           75 Pa 2.78/325.7 = 0.85 %/Pa -> 2.2 %.
// From 100 Pa on the bound is below 1.5 %, which the flows must meet.
struct Law {
  std::string name;
  FlowLaw law;
  std::array<double, 5> flows;
  std::array<double, 5> tolerance;  // relative
};

std::vector<Law> Laws() {
  return {{"square root", SquareRootLaw(500.0), {288.68, 353.55, 408.25, 500.00, 707.11},
           {0.025, 0.019, 0.015, 0.015, 0.015}},
          {"Rohrer", RohrerLaw(0.1, 0.0004), {250.00, 325.69, 390.39, 500.00, 750.00},
           {0.032, 0.022, 0.015, 0.015, 0.015}}};
}

TEST(Evaluation, FlowsOfAnalyticCurves) {
  for (const Law& law : Laws()) {
    for (const double period : {3.0, 4.0}) {
      for (const double peak : {250.0, 420.0}) {
        SCOPED_TRACE(law.name + ", period " + std::to_string(period) + ", peak " + std::to_string(peak));
        // Quiet breaths of differing depth and length, the whole recording.
        Recording r = Record({{peak * 0.8, period * 1.2}, {peak, period}, {peak * 0.9, period * 1.5}, {peak, period * 1.3}},
                             law.law, 6010);
        RhinoCurve curve = r.Curve();
        RHINO_PARAMS params;
        ASSERT_TRUE(EvaluateRecording(curve, CycleAlgorithm::WholeRecording, r.phases, params, RightNostril, false));
        for (std::size_t row = 0; row < 5; ++row) {
          const float flow = params.Flows[row][RightNostril];
          if (RhinoPressures[row] > peak)
            EXPECT_EQ(flow, 0.0f) << RhinoPressures[row] << " Pa is never reached";
          else
            EXPECT_NEAR(flow, law.flows[row], law.tolerance[row] * law.flows[row]) << "at " << RhinoPressures[row] << " Pa";
          EXPECT_EQ(params.Flows[row][LeftNostril], 0.0f);
          EXPECT_FLOAT_EQ(params.Flows[row][BothNostrils], WholeFlow(flow));
        }
      }
    }
  }
}

TEST(Evaluation, EveryAlgorithmReadsTheFlowAt150Pa) {
  for (const Law& law : Laws()) {
    for (const auto algorithm : {CycleAlgorithm::LargestCycle, CycleAlgorithm::WholeRecording, CycleAlgorithm::SmallestCycle}) {
      for (const double period : {2.0, 3.0, 4.0}) {
        for (const double peak : {250.0, 420.0}) {
          SCOPED_TRACE(law.name + ", algorithm " + std::to_string(static_cast<int>(algorithm)) + ", period " +
                       std::to_string(period) + ", peak " + std::to_string(peak));
          Recording r = Record({{peak * 0.8, period * 1.2}, {peak, period}, {peak * 0.9, period * 1.5}, {peak, period * 1.3}},
                               law.law, 6010);
          RhinoCurve curve = r.Curve();
          RHINO_PARAMS params;
          ASSERT_TRUE(EvaluateRecording(curve, algorithm, r.phases, params, RightNostril, false));
          EXPECT_NEAR(params.Flows[3][RightNostril], 500.0, 7.5);
        }
      }
    }
  }
}

TEST(Evaluation, PosteriorKeepsOnlyTheTotal) {
  Recording r = Record({{200}, {200}, {200}}, SquareRootLaw(500.0), 6010);
  RhinoCurve curve = r.Curve();
  RHINO_PARAMS params;
  ASSERT_TRUE(EvaluateRecording(curve, CycleAlgorithm::WholeRecording, r.phases, params, RightNostril, true));
  EXPECT_EQ(params.Flows[3][RightNostril], 0.0f);
  EXPECT_NEAR(params.Flows[3][BothNostrils], 500.0f, 7.5f);
}

TEST(Evaluation, ALoadedCurveGivesTheSameFlows) {
  // The stored form is the averaged curve: evaluating it again reads the
  // same flows.
  Recording r = Record({{250}, {250}}, RohrerLaw(0.1, 0.0004), 6010);
  RhinoCurve curve = r.Curve();
  RHINO_PARAMS evaluated;
  ASSERT_TRUE(EvaluateRecording(curve, CycleAlgorithm::WholeRecording, r.phases, evaluated, LeftNostril, false));
  RHINO_PARAMS loaded;
  CalculateFlows(curve, loaded, LeftNostril, false);
  EXPECT_EQ(loaded.Flows, evaluated.Flows);
}

TEST(Evaluation, NoBreathIsNoResult) {
  // Flow and pressure that never leave the first bin.
  std::vector<float> flow(300, 3.0f), pressure(300, -1.5f);
  RhinoCurve curve{flow, pressure, 300};
  RHINO_PARAMS params;
  params.Flows[3] = {1.0f, 2.0f, 3.0f};
  const std::vector<TPhaseEntry> phases(1);
  EXPECT_FALSE(EvaluateRecording(curve, CycleAlgorithm::LargestCycle, phases, params, LeftNostril, false));
  EXPECT_EQ(curve.count, 1u);
  EXPECT_EQ(params.Flows[3][LeftNostril], 0.0f);
  EXPECT_EQ(params.Flows[3][RightNostril], 1.0f);
  EXPECT_EQ(params.Flows[3][BothNostrils], 1.0f);
}

}  // namespace
}  // namespace rhinomanometry::testing
