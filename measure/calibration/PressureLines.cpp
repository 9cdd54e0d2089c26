#include "measure/calibration/PressureLines.h"

#include <algorithm>

namespace calibration {

short CalculatePressureLoss(float startPa, float endPa) {
  if (!(startPa > 0.0f) || !(endPa > 0.0f)) {
    return 100;
  }
  // Per cent of the start in one division, so 1000 to 800 is 20, not the
  // 19.999998 that 1 - end / start leaves in single precision.
  // A line that gained pressure counts as no loss below -100 %.
  return static_cast<short>(std::max((startPa - endPa) * 100.0f / startPa, -100.0f));
}

}  // namespace calibration
