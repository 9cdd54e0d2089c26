#include "platform/portkit/diffusion/BreathHold.h"

#include "platform/portkit/spirometry/Sampling.h"

#include <algorithm>

namespace diffusion {

using spirometry::Direction;

std::optional<JonesMeade> JonesMeadeBreathHold(const spirometry::TrialCurve& curve, const BreathMarks& marks) {
  if (!marks.FitOn(curve.Size())) {
    return std::nullopt;
  }
  const auto turn = static_cast<double>(marks.turn);
  const auto hold = static_cast<double>(marks.holdStart);
  const double level = curve.VolumeAt(turn);
  const double inspiredL = curve.VolumeAt(hold) - level;
  const std::size_t peak = spirometry::PeakFlowSample(curve, marks.turn + 1, marks.holdStart, Direction::Inspiration);
  if (!(inspiredL > 0.0) || !(curve.flowLps[peak] > 0.0f)) {
    return std::nullopt;
  }
  const double peakTime = static_cast<double>(peak) - 0.5;
  const double timeZero = std::clamp(spirometry::TangentMeetsLevel(curve, peak, level), turn, peakTime);
  const std::optional<double> ninety =
      spirometry::TimeOfDisplacement(curve, turn, hold, level, 0.9 * inspiredL, Direction::Inspiration);
  if (!ninety) {
    return std::nullopt;
  }
  const double s = spirometry::SampleIntervalS;
  JonesMeade jm;
  jm.timeZeroS = timeZero * s;
  jm.inspiratoryTimeS = std::max(0.0, *ninety - timeZero) * s;
  jm.startS = jm.timeZeroS + 0.3 * jm.inspiratoryTimeS;
  jm.sampleMiddleS = 0.5 * static_cast<double>(marks.sampleStart + marks.sampleEnd) * s;
  jm.breathHoldS = jm.sampleMiddleS - jm.startS;
  return jm;
}

}  // namespace diffusion
