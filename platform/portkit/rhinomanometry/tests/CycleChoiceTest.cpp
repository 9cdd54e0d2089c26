#include "platform/portkit/rhinomanometry/CycleChoice.h"

#include "platform/portkit/rhinomanometry/tests/Breaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rhinomanometry::testing {
namespace {

// Breaths of 2 s: each phase is 100 samples, so the phase table ends its
// phases at samples 99, 199, 299, ... and cycle j (from 0) spans
// 200·j (+1 after the first) to 200·j + 199; the smallest cycle starts
// one past the end of the phase before it, 200·j.
struct Case {
  std::string name;
  std::vector<Breath> breaths;
  CycleAlgorithm algorithm;
  SampleRange expected;
};

TEST(CycleChoice, PicksTheCycleByItsExcursionsOnBothSides) {
  const std::vector<Case> cases{
      {"largest of 100, 300, 200 Pa", {{100}, {300}, {200}}, CycleAlgorithm::LargestCycle, {200, 399, true}},
      // The smallest cycle starts one past the phase before it, also the
      // first: sample 1.
      {"smallest of 100, 300, 200 Pa", {{100}, {300}, {200}}, CycleAlgorithm::SmallestCycle, {1, 199, true}},
      {"smallest is the last", {{300}, {200}, {100}}, CycleAlgorithm::SmallestCycle, {400, 599, true}},
      // Larger on the expiratory side, smaller on the inspiratory one: no
      // replacement, whichever algorithm.
      {"largest needs both sides", {{300, 2.0, 100}, {200, 2.0, 200}}, CycleAlgorithm::LargestCycle, {0, 199, true}},
      {"smallest needs both sides", {{100, 2.0, 300}, {50, 2.0, 400}}, CycleAlgorithm::SmallestCycle, {1, 199, true}},
      {"a tie keeps the earlier cycle", {{200}, {200}}, CycleAlgorithm::LargestCycle, {0, 199, true}},
      // |flow| + |pressure| above 1000 in every cycle (400 Pa drives 816
      // mL/s here): the smallest cycle is still found.
      {"smallest among deep breaths", {{500}, {400}}, CycleAlgorithm::SmallestCycle, {200, 399, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recording r = Record(c.breaths, SquareRootLaw(500.0));
    const SampleRange range = ChooseCycle(c.algorithm, r.phases, r.Curve());
    EXPECT_EQ(range.start, c.expected.start);
    EXPECT_EQ(range.end, c.expected.end);
    EXPECT_EQ(range.chosen, c.expected.chosen);
  }
}

TEST(CycleChoice, FewerThanTwoPhasesChooseNothing) {
  Recording r = Record({{200}}, SquareRootLaw(500.0));
  r.phases.resize(2);  // the expiration only
  for (const auto algorithm : {CycleAlgorithm::LargestCycle, CycleAlgorithm::SmallestCycle}) {
    RhinoCurve curve = r.Curve();
    const SampleRange range = ChooseCycle(algorithm, r.phases, curve);
    EXPECT_FALSE(range.chosen);
    EXPECT_EQ(range.end, 0u);
    EXPECT_EQ(KeepRange(curve, range), 0u);
  }
  EXPECT_FALSE(ChooseCycle(CycleAlgorithm::WholeRecording, r.phases, r.Curve()).chosen);
}

TEST(CycleChoice, KeepRangeMovesTheCycleToTheFront) {
  Recording r = Record({{100}, {300}, {200}}, SquareRootLaw(500.0), 6010);
  const float first = r.flowMlps[200];
  const float last = r.pressurePa[399];
  RhinoCurve curve = r.Curve();
  EXPECT_EQ(KeepRange(curve, {200, 399, true}), 199u);
  EXPECT_EQ(curve.count, 199u);
  EXPECT_EQ(r.flowMlps[0], first);
  EXPECT_EQ(r.pressurePa[199], last);

  // A range past the buffers' end is cut at their end, never read beyond.
  std::vector<float> flow(10, 1.0f), pressure(10, 2.0f);
  RhinoCurve small{flow, pressure, 10};
  EXPECT_EQ(KeepRange(small, {4, 6009, true}), 5u);
  EXPECT_EQ(KeepRange(small, {20, 30, true}), 0u);
}

}  // namespace
}  // namespace rhinomanometry::testing
