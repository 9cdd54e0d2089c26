#include "shell/client/HelpContext.h"

#include "common/CommandNumbers.h"

#include <string>
#include <system_error>

namespace Help {

int ContextFor(unsigned id, std::optional<int> measureType) {
  switch (id) {
  case CM_ZOOM:
  case CM_STOP:
  case CM_START:
  case CM_START2:
  case CM_START3:
  case CM_TABLE1:
  case CM_TABLE2:
  case CM_TABLE3:
    if (!measureType)
      return 0;
    switch (*measureType) {
    case 0:
      return CM_MEASURE_FVC;
    case 1:
      return CM_MEASURE_VC;
    case 2:
      return CM_MEASURE_MVV;
    case 3:
      return CM_MEASURE_DFC;
    case 4:
      return CM_MEASURE_PLETHY;
    case 6:
      return CM_MEASURE_RHINO;
    default:
      return 0;
    }
  case CM_ABOUT:
  case CM_HELP_MODE:
  case CM_HELP_INDEX:
  case CM_HELP_ON_HELP:
  case CM_FILEPRINTERSETUP:
    return 0;
  case CM_PREPOST:
    if (!measureType)
      return 0;
    switch (*measureType) {
    case 0:
      return 31;
    case 1:
      return 32;
    case 2:
      return 33;
    case 3:
      return 97;
    case 4:
      return 91;
    default:
      return 0;
    }
  default:
    return static_cast<int>(id);
  }
}

bool TPages::Exists() const {
  std::error_code ec;
  return std::filesystem::is_regular_file(Index(), ec);
}

std::filesystem::path TPages::ForContext(int context) const {
  const std::filesystem::path page = Folder / (std::to_string(context) + ".html");
  std::error_code ec;
  return std::filesystem::is_regular_file(page, ec) ? page : Index();
}

}  // namespace Help
