#include "special/rhinomanometry/RhinoState.h"

#include "common/CommandNumbers.h"

std::optional<TRhinoStart> RhinoStartOf(unsigned startId, bool provoked) {
  const short pair = provoked ? 2 : 0;
  switch (startId) {
    case CM_START:
      return TRhinoStart{pair, 0, false};
    case CM_START2:
      return TRhinoStart{static_cast<short>(pair + 1), 1, false};
    case CM_START3:
      return TRhinoStart{static_cast<short>(pair + 1), 1, true};
    default:
      return std::nullopt;
  }
}

int RhinoAlgorithmText(short algorithm) { return algorithm >= 0 && algorithm <= 2 ? 405 + algorithm : 0; }
