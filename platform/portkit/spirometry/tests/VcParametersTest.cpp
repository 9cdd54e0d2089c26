#include "platform/portkit/spirometry/tests/IsoTolerances.h"
#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include "common/MeasureMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace spirometry::testing {
namespace {

struct VcCase {
  std::string name;
  Waveform waveform;
  std::array<double, VC_PARAMETER_COUNT> want;  // IVC, IRV, ERV, TV, SVC
};

// Levels in litres of lung volume; the curves only ever see differences.
std::vector<VcCase> VcCases() {
  std::vector<VcCase> cases;
  {
    // End-inspiratory level 3.0, tidal 0.5, then out to RV 1.2, in to TLC 6.0
    // and back to the end-expiratory level 2.5.
    Waveform w(3.0);
    w.Breathe(4, 0.5, 4.0).GlideTo(1.2, 4.0).GlideTo(6.0, 5.0).GlideTo(2.5, 3.0).Pause(0.5);
    // IVC 6.0 - 1.2; IRV 6.0 - 3.0; ERV 2.5 - 1.2; the largest expiration is TLC to 2.5.
    cases.push_back({"adult, expiration first", w, {4.8, 3.0, 1.3, 0.5, 3.5}});
  }
  {
    // A child: tidal 0.25 from 1.6, in to TLC 2.6, out to RV 0.6, back to 1.35.
    Waveform w(1.6);
    w.Breathe(5, 0.25, 2.5).GlideTo(2.6, 3.0).GlideTo(0.6, 4.0).GlideTo(1.35, 2.0).Pause(0.5);
    cases.push_back({"child, inspiration first", w, {2.0, 1.0, 0.75, 0.25, 2.0}});
  }
  {
    // The last breath before the manoeuvre is cut short (0.15 L): it is not a
    // regular breath, so the tidal levels come from the three before it.
    Waveform w(3.4);
    w.Breathe(4, 0.6, 4.0).Breathe(1, 0.15, 1.5).GlideTo(1.0, 4.0).GlideTo(7.0, 6.0).GlideTo(1.0, 6.0);
    cases.push_back({"tall adult, a short breath before the manoeuvre", w, {6.0, 3.6, 1.8, 0.6, 6.0}});
  }
  return cases;
}

TEST(VcParameters, EveryParameterOfKnownWaveformsWithinHalfTheIsoTolerance) {
  for (const VcCase& c : VcCases()) {
    SCOPED_TRACE(c.name);
    RecordedTrial trial = Acquire(Quantise(c.waveform.Sample(0.42)), MEASURE_VC);
    std::array<float, VC_PARAMETER_COUNT> record{};
    ASSERT_TRUE(EvaluateVc(trial, record));
    for (std::size_t i = 0; i < VC_PARAMETER_COUNT; ++i) {
      EXPECT_NEAR(record[i], c.want[i], VolumeTolerance(c.want[i])) << VcParameterNames[i];
    }
  }
}

TEST(VcParameters, WithoutTidalBreathingOnlyTheCapacitiesAreMeasured) {
  Waveform w(3.0);
  w.GlideTo(6.0, 4.0).GlideTo(1.0, 6.0).Pause(0.5);  // starts rising: recorded from the expiration
  RecordedTrial trial = Acquire(Quantise(w.Sample(0.1)), MEASURE_VC);
  std::array<float, VC_PARAMETER_COUNT> record{};
  ASSERT_TRUE(EvaluateVc(trial, record));
  EXPECT_NEAR(record[SVC], 5.0, VolumeTolerance(5.0));
  EXPECT_NEAR(record[IVC], 5.0, VolumeTolerance(5.0));
  EXPECT_EQ(record[TV], 0.0f);
  EXPECT_EQ(record[IRV], 0.0f);
  EXPECT_EQ(record[ERV], 0.0f);
}

}  // namespace
}  // namespace spirometry::testing
