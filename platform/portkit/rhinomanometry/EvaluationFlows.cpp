#include "platform/portkit/rhinomanometry/EvaluationFlows.h"

#include <array>
#include <cmath>

namespace rhinomanometry {
namespace {

// The rows in the order a point tries them: highest pressure first.
constexpr std::array<std::size_t, RHINO_PRESSURE_COUNT> ScanOrder{4, 3, 2, 1, 0};
constexpr std::size_t Row75 = 1;
constexpr std::size_t Row150 = 3;
constexpr std::size_t Row300 = 4;

}  // namespace

RhinoColumn ColumnOfSide(short rhinoSide) { return rhinoSide == 0 ? LeftNostril : RightNostril; }

void ReadFlows(const RhinoCurve& curve, RHINO_PARAMS& params, RhinoColumn column) {
  for (auto& row : params.Flows)
    row[column] = 0.0f;
  std::array<bool, RHINO_PRESSURE_COUNT> filled{};
  const std::size_t n = curve.Usable();
  for (std::size_t i = 0; i < n; ++i) {
    if (filled[Row300] && filled[Row150] && filled[Row75])
      break;
    if (!(curve.pressurePa[i] < 0.0f))
      continue;
    const float a = std::fabs(curve.pressurePa[i]);
    for (const std::size_t row : ScanOrder) {
      const float p = RhinoPressures[row];
      if (filled[row] || !(a >= p))
        continue;
      const float flow = curve.flowMlps[i];
      // The first point has no neighbour before it: its own flow stands.
      params.Flows[row][column] = a == p || i == 0 ? std::fabs(flow) : std::fabs(flow + curve.flowMlps[i - 1]) / 2.0f;
      filled[row] = true;
      break;
    }
  }
}

float WholeFlow(float flowMlps) { return std::isfinite(flowMlps) ? std::nearbyint(flowMlps) + 0.0f : 0.0f; }

void FormTotals(RHINO_PARAMS& params, bool posterior) {
  for (auto& row : params.Flows) {
    row[BothNostrils] = WholeFlow(row[RightNostril]) + WholeFlow(row[LeftNostril]);
    if (posterior)
      row[RightNostril] = row[LeftNostril] = 0.0f;
  }
}

}  // namespace rhinomanometry
