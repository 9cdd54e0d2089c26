#pragma once

// The flows a rhinomanometry result reads off its averaged curve at the
// evaluation pressures (50, 75, 100, 150 and 300 Pa), and the total of both
// nostrils.

#include "common/RhinoParams.h"
#include "platform/portkit/rhinomanometry/RhinoCurve.h"

#include <cstddef>

namespace rhinomanometry {

// The columns of a row of RHINO_PARAMS.
enum RhinoColumn : std::size_t { RightNostril = 0, LeftNostril = 1, BothNostrils = 2 };

// The column a nostril's curve fills: the left nostril (side 0) fills
// column 1, the right nostril or the whole nose (side 1) column 0.
RhinoColumn ColumnOfSide(short rhinoSide);

// Reads the flows of one nostril's averaged curve into `column` of every
// row, from the inspiratory (negative-pressure) points in their order: each
// point fills at most one row, the highest pressure not yet filled that its
// |pressure| reaches; the flow is the point's own when |pressure| equals the
// row's pressure, else the mean of the point's and the one before it. Rows
// the curve never reaches stay 0. The scan ends once 300, 150 and 75 Pa are
// filled.
void ReadFlows(const RhinoCurve& curve, RHINO_PARAMS& params, RhinoColumn column);

// A flow as the tables show it: the nearest whole mL/s, halves to the even
// one (as "%.0f" prints it); what is no number counts as 0.
float WholeFlow(float flowMlps);

// Column 2 of every row: the sum of both nostrils' whole flows. For a
// posterior test (the whole nose through one curve) the nostril columns are
// then cleared, so only the total remains.
void FormTotals(RHINO_PARAMS& params, bool posterior);

}  // namespace rhinomanometry
