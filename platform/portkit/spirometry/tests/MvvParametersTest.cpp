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

// A ventilation is a flow: 2.5 % or 0.1 L/s (6 L/min).
double VentilationTolerance(double lpm) { return 60.0 * FlowTolerance(lpm / 60.0); }
double FrequencyTolerance(double perMinute) { return 0.025 * perMinute; }

struct MvvCase {
  std::string name;
  Waveform waveform;
  double mvvLpm;
  double perMinute;
};

// Sinusoidal breathing: each breath expires its tidal volume, so MVV is the
// tidal volume × breaths per minute wherever a whole number of breaths fills
// the 12 s.
std::vector<MvvCase> MvvCases() {
  std::vector<MvvCase> cases;
  {
    Waveform w(3.0);  // the inspiration that arms the start, then 15 s at 90/min
    w.GlideTo(3.5, 0.5).Breathe(23, 2.0, 60.0 / 90.0).Pause(0.3);
    cases.push_back({"adult, 2 L at 90/min", w, 2.0 * 90.0, 90.0});
  }
  {
    Waveform w(2.0);
    w.GlideTo(2.4, 0.5).Breathe(19, 0.6, 0.8).Pause(0.3);
    cases.push_back({"child, 0.6 L at 75/min", w, 0.6 * 75.0, 75.0});
  }
  {
    // 4 s of 1 L breaths before 10 s of 2.5 L ones: the best 12 s hold the
    // last two shallow breaths and all deep ones, 2 × 1 + 10 × 2.5 = 27 L.
    Waveform w(3.0);
    w.GlideTo(3.6, 0.5).Breathe(4, 1.0, 1.0).Breathe(10, 2.5, 1.0).Pause(0.3);
    cases.push_back({"the best 12 s after a slow start", w, 27.0 * 5.0, 60.0});
  }
  {
    // A trial of 8 s counts over its own length.
    Waveform w(3.0);
    w.GlideTo(3.6, 0.5).Breathe(16, 1.5, 0.5);
    cases.push_back({"shorter than 12 s", w, 1.5 * 120.0, 120.0});
  }
  return cases;
}

TEST(MvvParameters, VentilationAndFrequencyOfKnownWaveforms) {
  for (const MvvCase& c : MvvCases()) {
    SCOPED_TRACE(c.name);
    RecordedTrial trial = Acquire(Quantise(c.waveform.Sample(0.61)), MEASURE_MVV);
    std::array<float, MVV_PARAMETER_COUNT> record{};
    ASSERT_TRUE(EvaluateMvv(trial, record));
    EXPECT_NEAR(record[MVV], c.mvvLpm, VentilationTolerance(c.mvvLpm));
    EXPECT_NEAR(record[MVV_F], c.perMinute, FrequencyTolerance(c.perMinute));
  }
}

}  // namespace
}  // namespace spirometry::testing
