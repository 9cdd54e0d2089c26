#include "platform/portkit/rhinomanometry/RhinoCurve.h"

#include <algorithm>

namespace rhinomanometry {

std::size_t RhinoCurve::Usable() const { return std::min({count, flowMlps.size(), pressurePa.size()}); }

}  // namespace rhinomanometry
