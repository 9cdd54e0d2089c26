#include "platform/portkit/rhinomanometry/Evaluation.h"

#include "platform/portkit/rhinomanometry/SideAverage.h"

namespace rhinomanometry {

void CalculateFlows(const RhinoCurve& curve, RHINO_PARAMS& params, RhinoColumn column, bool posterior) {
  ReadFlows(curve, params, column);
  FormTotals(params, posterior);
}

bool EvaluateRecording(RhinoCurve& curve, CycleAlgorithm algorithm, std::span<const TPhaseEntry> phases,
                       RHINO_PARAMS& params, RhinoColumn column, bool posterior) {
  if (algorithm != CycleAlgorithm::WholeRecording)
    KeepRange(curve, ChooseCycle(algorithm, phases, curve));
  const bool complete = AverageCurve(curve);
  CalculateFlows(curve, params, column, posterior);
  return complete;
}

}  // namespace rhinomanometry
