#include "shell/bars/TestToolBox.h"

#include "common/CommandNumbers.h"

namespace TestToolBox {

std::vector<unsigned> Buttons(const TInstallFlags& install) {
  std::vector<unsigned> ids{CM_MEASURE_FVC, CM_MEASURE_VC, CM_MEASURE_MVV};
  if (install.DiffusionInstalled)
    ids.push_back(CM_MEASURE_DFC);
  if (install.PlethysmographInstalled)
    ids.push_back(CM_MEASURE_PLETHY);
  if ((install.HardwareMode & 4) != 0)
    ids.push_back(CM_MEASURE_SHUTTER);
  ids.push_back(CM_MEASURE_MENU_CLOSE);
  return ids;
}

}  // namespace TestToolBox
