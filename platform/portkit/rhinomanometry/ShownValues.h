#pragma once

// The values the rhinomanometry tables, printout and exports show for the
// chosen evaluation pressures: the flows and resistances of both results
// and the change between them in per cent, each carried at the precision it
// is shown with, so that a change is the change of the numbers printed
// beside it.

#include "common/RhinoParams.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rhinomanometry {

// `value` printed with `precision` decimals in the C locale and read back.
float AsShown(float value, int precision);

// `value` as "%<width>.<precision>f" prints it in the C locale.
std::string Fixed(double value, int precision, int width = 0);

// The resistance of a whole flow at a pressure, Pa/(mL/s); 0 for no flow.
float Resistance(float pressurePa, float wholeFlowMlps);

// The change of the second value against the first in per cent: without a
// provocation that of the actual result (first) against the previous one
// (second), after a provocation that of the provoked result (second)
// against the base (first). 0 when the divisor is 0.
float ChangePercent(float first, float second, bool provoked);

struct RhinoLine {
  std::size_t row = 0;      // index of the evaluation pressure
  bool resistance = false;  // a resistance line, else a flow line
  // Right, left and both of the first result, then of the second, at the
  // line's precision: whole mL/s, or Pa/(mL/s) to two decimals.
  std::array<float, 2 * RHINO_FLOW_COUNT> values{};
  std::array<float, RHINO_FLOW_COUNT> changesPercent{};  // right, left, both

  int Precision() const { return resistance ? 2 : 0; }
  std::string Label() const;  // "Flow [150]" or "RES  [150]"
  std::string_view Unit() const;
};

// The lines of the rows whose flag is set: the flow lines in rising
// pressure, then the resistance lines of the same rows. Each resistance is
// the pressure over the whole flow.
std::vector<RhinoLine> RhinoLines(const RHINO_PARAMS& first, const RHINO_PARAMS& second,
                                  std::span<const unsigned> rowFlags, bool provoked);

}  // namespace rhinomanometry
