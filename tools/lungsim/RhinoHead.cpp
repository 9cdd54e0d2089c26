#include "tools/lungsim/RhinoHead.h"

#include "platform/portkit/Protocol.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

std::optional<double> Number(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (errno || end == text.c_str() || *end)
    return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::string> ParseRhinoHeadOption(const std::string& option, const char* value, TRhinoHeadOptions& o) {
  const std::string text = value;
  if (option == "--rhino-flows") {
    o.FlowsAt150PaMlps.clear();
    for (std::size_t from = 0; from <= text.size();) {
      const std::size_t comma = std::min(text.find(',', from), text.size());
      const auto flow = Number(text.substr(from, comma - from));
      if (!flow || *flow <= 0.0)
        return "--rhino-flows: " + text + " is not a list of positive flows";
      o.FlowsAt150PaMlps.push_back(*flow);
      from = comma + 1;
    }
  } else if (option == "--nasal-rohrer") {
    const auto share = Number(text);
    if (!share || *share < 0.0 || *share >= 1.0)
      return "--nasal-rohrer: a share of 0 to below 1";
    o.LaminarShare = *share;
  } else if (option == "--flow-scale") {
    if (text != "normal" && text != "fine")
      return "--flow-scale: " + text + " is neither normal nor fine";
    o.FineFlowScale = text == "fine";
  } else if (option == "--nasal-offset") {
    const auto offset = Number(text);
    if (!offset)
      return "--nasal-offset: " + text + " is not a number";
    o.NasalOffsetPa = *offset;
  } else if (option == "--nasal-noise") {
    const auto noise = Number(text);
    if (!noise || *noise < 0.0 || *noise != static_cast<int>(*noise))
      return "--nasal-noise: " + text + " is not a whole number";
    o.NasalNoiseCounts = static_cast<int>(*noise);
  } else {
    return std::nullopt;
  }
  return std::string();
}

LungModel::TRhinoTrial TRhinoHead::NextTrial(double patientFlowAt150PaMlps) {
  const auto& flows = Options.FlowsAt150PaMlps;
  Last = flows.empty() ? patientFlowAt150PaMlps : flows[std::min(Starts, flows.size() - 1)];
  ++Starts;
  return LungModel::RhinoTrial(LungModel::TNose{Last, Options.LaminarShare});
}

double TRhinoHead::FlowScale() const {
  return Options.FineFlowScale ? InstrumentProtocol::FineFlowCountsPerCount : 1.0;
}

std::int16_t TRhinoHead::NasalCounts(double pressurePa, std::mt19937& random) const {
  int noise = 0;
  if (Options.NasalNoiseCounts > 0)
    noise = std::uniform_int_distribution<int>(-Options.NasalNoiseCounts, Options.NasalNoiseCounts)(random);
  return InstrumentProtocol::Counts(pressurePa + Options.NasalOffsetPa + noise * InstrumentProtocol::NasalPaPerCount,
                                    InstrumentProtocol::NasalPaPerCount);
}
