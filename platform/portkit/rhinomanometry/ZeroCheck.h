#pragma once

// The check of the flow and pressure zero of a rhinomanometer before a
// test: the sensors at rest must read close to nothing and hold still.

#include <span>

namespace rhinomanometry {

// The rhinomanometer's other flow scale reads this many counts where the
// spirometric flow head reads one.
inline constexpr float OtherFlowScale = 2.5048f;

enum class ZeroVerdict {
  Passed,
  FlowOffset,      // the flow at rest is too far from 0
  FlowUnsteady,    // a flow sample strays from the mean by the noise limit or more
  PressureOffset,  // the pressure at rest is too far from 0
};

struct ZeroCheck {
  ZeroVerdict verdict = ZeroVerdict::Passed;
  float flowZeroMlps = 0.0f;    // the mean flow at rest, computed before any verdict
  float pressureZeroPa = 0.0f;  // the mean pressure at rest; 0 when the flow already failed
};

// The limits of the flow zero for a flow scale: the offset a zero may have
// and the distance a sample may stray from it.
struct ZeroLimits {
  float offsetMlps;
  float noiseMlps;
};
ZeroLimits FlowZeroLimits(bool otherFlowScale);
inline constexpr float PressureOffsetLimitPa = 400.0f;

// Checks the samples at rest (100 of each in the instrument's zero buffers).
// Empty buffers give zeros of 0.
ZeroCheck CheckZero(std::span<const float> flowAtRestMlps, std::span<const float> pressureAtRestPa,
                    bool otherFlowScale);

}  // namespace rhinomanometry
