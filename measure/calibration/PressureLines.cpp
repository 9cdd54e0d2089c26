#include "measure/calibration/PressureLines.h"

namespace calibration {

short CalculatePressureLoss(float startPa, float endPa) {
  if (!(startPa > 0.0f) || !(endPa > 0.0f)) {
    return 100;
  }
  // Per cent of the start in one division, so 1000 to 800 is 20, not the
  // 19.999998 that 1 - end / start leaves in single precision.
  return static_cast<short>((startPa - endPa) * 100.0f / startPa);
}

}  // namespace calibration
