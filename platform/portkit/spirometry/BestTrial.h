#pragma once

// The choice of the best of the three trials of a test.

#include <array>

namespace spirometry {

// 1-based trial numbers, best first; 0 where there is no trial.
using TrialOrder = std::array<short, 3>;

// Orders the trials by their criterion (for FVC "FVC" + "FEV*1,0", for VC
// "IVC", for MVV "MVV", ...), largest first, an earlier trial first on a tie.
// A trial whose criterion is not positive has no result and is left out.
TrialOrder CalculateTheBest(float criterion1, float criterion2, float criterion3);

}  // namespace spirometry
