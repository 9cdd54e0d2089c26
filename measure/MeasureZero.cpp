// The zero offsets of the flow (and shutter mouth-pressure) channel from
// the samples the link collected while the instrument rested.

#include "measure/MeasureCore.h"

#include "measure/calibration/Zero.h"
#include "platform/basekit/Message.h"

#include <span>

bool TMeasureCore::CalculateZero() {
  ZeroDone = true;
  FlowZero = 0.0f;
  MouthZero = 0.0f;
  const calibration::ZeroReading zero =
      calibration::CalculateZero(std::span<const float>(ZeroBuffer).first(ZeroSamples),
                                 std::span<const float>(ZeroPressureBuffer).first(ZeroSamples),
                                 MeasureType == MEASURE_SHUTTER);
  FlowZero = zero.flowOffset;
  MouthZero = zero.pressureOffset;
  if (zero.textId != 0) {
    if (Messages) {
      Messages->MessageBoxText(Messages->LoadStringA(zero.textId) + "\n" +
                                   Messages->LoadStringA(calibration::ZeroRepeatText),
                               0, TMessageIcon::Stop);
    }
    return false;
  }
  return CreateZeroTimer();
}
