#include "platform/portkit/diffusion/BreathHold.h"

#include "platform/portkit/spirometry/tests/Waveforms.h"
#include "platform/portkit/spirometry/tests/WindowPipeline.h"

#include <gtest/gtest.h>

namespace diffusion {
namespace {

using spirometry::testing::Blast;
using spirometry::testing::RecordedTrial;
using spirometry::testing::Replay;
using spirometry::testing::Waveform;

// Volume sample i holds the volume at the end of the i-th 10-ms step, so a
// time T of the waveform is sample time T / 0.01 - 1.
std::size_t SampleAt(double seconds) { return static_cast<std::size_t>(seconds * 100.0 + 0.5) - 1; }

RecordedTrial Record(const Waveform& w) {
  std::vector<float> flow;
  for (const double f : w.Sample(0.5)) {
    flow.push_back(static_cast<float>(f));
  }
  return Replay(flow);
}

TEST(BreathHold, JonesMeadeOnABreathOfKnownTimes) {
  // Tidal breathing, out to RV, the test gas in one quick inspiration, a
  // ten-second hold, and out again; the sample is collected from 29.0 s to
  // 29.5 s.
  const Blast inspiration{.hesitationS = 0.0, .hesitationLps = 0.0, .riseS = 0.2, .peakLps = 6.0, .decayS = 0.4,
                          .durationS = 2.5};
  Waveform w(3.0);
  w.Breathe(3, 0.5, 4.0).GlideTo(1.2, 4.0);
  const double turnS = w.NowS();
  w.Inspire(inspiration).Pause(10.0).GlideTo(2.0, 4.0);
  const RecordedTrial trial = Record(w);

  const BreathMarks marks{SampleAt(turnS), SampleAt(turnS + 2.5), SampleAt(29.0), SampleAt(29.5)};
  const std::optional<JonesMeade> jm = JonesMeadeBreathHold(trial.Curve(), marks);
  ASSERT_TRUE(jm);

  // By hand: the tangent at the peak (6 L/s at 0.2 s, 0.6 L in) meets the
  // start level at 0.2 - 0.6 / 6 = 0.1 s; 90 % of the inspired volume is in
  // at the time the blast's closed form gives.
  const double inspiredL = inspiration.Volume(2.5);
  const double timeZeroS = turnS + 0.1;
  const double ninetyS = turnS + inspiration.TimeOfVolume(0.9 * inspiredL);
  const double startS = timeZeroS + 0.3 * (ninetyS - timeZeroS);
  const double wantBreathHoldS = 29.25 - startS;
  EXPECT_NEAR(jm->inspiratoryTimeS, ninetyS - timeZeroS, 0.02);
  EXPECT_NEAR(jm->breathHoldS, wantBreathHoldS, 0.02);
  EXPECT_NEAR(jm->timeZeroS, timeZeroS - 0.01, 0.02);
}

TEST(BreathHold, NoTimeWithoutAManoeuvreOnTheCurve) {
  Waveform w(3.0);
  w.Breathe(3, 0.5, 4.0).Pause(3.0);
  const RecordedTrial trial = Record(w);
  const std::size_t n = trial.flowLps.size();
  // Marks out of order, beyond the curve, or an "inspiration" that does not rise.
  EXPECT_FALSE(JonesMeadeBreathHold(trial.Curve(), {100, 50, 200, 300}));
  EXPECT_FALSE(JonesMeadeBreathHold(trial.Curve(), {100, 200, 300, n}));
  EXPECT_FALSE(JonesMeadeBreathHold(trial.Curve(), {n - 250, n - 200, n - 100, n - 50}));
  EXPECT_FALSE(JonesMeadeBreathHold({}, {0, 1, 2, 3}));
}

}  // namespace
}  // namespace diffusion
