#include "platform/portkit/rhinomanometry/ShownValues.h"

#include "platform/portkit/rhinomanometry/EvaluationFlows.h"

#include <charconv>
#include <cmath>

namespace rhinomanometry {

std::string Fixed(double value, int precision, int width) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                                    precision);
  std::string text(buffer.data(), result.ec == std::errc{} ? result.ptr : buffer.data());
  if (text.size() < static_cast<std::size_t>(width))
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

float AsShown(float value, int precision) {
  if (!std::isfinite(value))
    return 0.0f;
  const std::string text = Fixed(value, precision);
  float back = 0.0f;
  std::from_chars(text.data(), text.data() + text.size(), back);
  return back;
}

float Resistance(float pressurePa, float wholeFlowMlps) {
  return wholeFlowMlps != 0.0f ? pressurePa / wholeFlowMlps : 0.0f;
}

float ChangePercent(float first, float second, bool provoked) {
  const float from = provoked ? first : second;
  const float to = provoked ? second : first;
  return from != 0.0f ? (to - from) / from * 100.0f : 0.0f;
}

std::string RhinoLine::Label() const {
  return (resistance ? "RES  [" : "Flow [") + Fixed(RhinoPressures[row], 0, 3) + "]";
}

std::string_view RhinoLine::Unit() const { return resistance ? "[Pa/mL/s]" : "[mL/s]"; }

std::vector<RhinoLine> RhinoLines(const RHINO_PARAMS& first, const RHINO_PARAMS& second,
                                  std::span<const unsigned> rowFlags, bool provoked) {
  std::vector<RhinoLine> lines;
  for (const bool resistance : {false, true}) {
    for (std::size_t row = 0; row < RHINO_PRESSURE_COUNT; ++row) {
      if (row >= rowFlags.size() || rowFlags[row] == 0)
        continue;
      RhinoLine line;
      line.row = row;
      line.resistance = resistance;
      for (std::size_t set = 0; set < 2; ++set) {
        const auto& flows = (set == 0 ? first : second).Flows[row];
        for (std::size_t c = 0; c < RHINO_FLOW_COUNT; ++c) {
          const float whole = WholeFlow(flows[c]);
          const float value = resistance ? Resistance(RhinoPressures[row], whole) : whole;
          line.values[set * RHINO_FLOW_COUNT + c] = AsShown(value, line.Precision());
        }
      }
      for (std::size_t c = 0; c < RHINO_FLOW_COUNT; ++c)
        line.changesPercent[c] = ChangePercent(line.values[c], line.values[RHINO_FLOW_COUNT + c], provoked);
      lines.push_back(line);
    }
  }
  return lines;
}

}  // namespace rhinomanometry
