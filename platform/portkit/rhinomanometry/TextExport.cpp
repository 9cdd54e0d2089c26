#include "platform/portkit/rhinomanometry/TextExport.h"

#include "platform/portkit/rhinomanometry/ShownValues.h"

namespace rhinomanometry {

std::string RhinoExportText(const TextExportInput& input) {
  std::string text = input.firstDate + "@" + input.firstTime + "@" + input.secondDate + "@" + input.secondTime + "\n";
  for (const RhinoLine& line : RhinoLines(input.first, input.second, input.rowFlags, input.provocation.has_value())) {
    text += line.Label() + "@" + std::string(line.Unit());
    for (const float value : line.values)
      text += "@" + Fixed(value, line.Precision());
    // An unchanged value leaves its field empty.
    for (const float change : line.changesPercent)
      text += "@" + (change != 0.0f ? Fixed(change, 0) : std::string());
    text += "\n";
  }
  if (const auto& p = input.provocation) {
    text += p->materialLabel + "@" + p->material + "\n";
    text += p->concentrationLabel + "@" + Fixed(p->concentrationMgPerMl, 2) + " mg/ml\n";
    text += p->doseLabel + "@" + Fixed(p->doseMl, 2) + " ml\n";
  }
  text += input.notes;
  return text;
}

}  // namespace rhinomanometry
