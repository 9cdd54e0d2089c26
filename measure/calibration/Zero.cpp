#include "measure/calibration/Zero.h"

#include <cmath>

namespace calibration {

namespace {

float Offset(std::span<const float> samples) {
  float sum = 0.0f;
  for (const float s : samples) {
    sum += s;
  }
  return sum * 0.01f;
}

}  // namespace

ZeroReading CalculateZero(std::span<const float> flow, std::span<const float> pressure, bool shutter) {
  ZeroReading zero;
  zero.flowOffset = Offset(flow);
  if (std::fabs(zero.flowOffset) >= FlowOffsetLimit) {
    zero.textId = ZeroOffsetText;
    return zero;
  }
  for (const float s : flow) {
    if (std::fabs(zero.flowOffset - s) >= FlowQuietLimit) {
      zero.textId = ZeroNoiseText;
      return zero;
    }
  }
  if (shutter) {
    zero.pressureOffset = Offset(pressure);
    if (std::fabs(zero.pressureOffset) >= PressureOffsetLimit) {
      zero.textId = ZeroOffsetText;
    }
  }
  return zero;
}

}  // namespace calibration
