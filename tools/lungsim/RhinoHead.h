#pragma once

// The rhinomanometer head of the simulated instrument: which nose each
// start measures, the flow scale it sends on, and the nasal pressure
// sensor's offset and noise.

#include "tools/lungmodel/RhinoModel.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

struct TRhinoHeadOptions {
  // The flow at 150 Pa of each start in turn (left, right, both, and again
  // after a provocation); the last one stays. Empty: the patient's.
  std::vector<double> FlowsAt150PaMlps;
  double LaminarShare = 0.0;  // Rohrer's form: the laminar part's share of 150 Pa
  bool FineFlowScale = false;
  double NasalOffsetPa = 0.0;  // the pressure sensor at rest
  int NasalNoiseCounts = 0;    // either way
};

// Reads one of the head's options: nothing when `option` is not one of
// them, an empty text when it was read, else the reason it is wrong.
std::optional<std::string> ParseRhinoHeadOption(const std::string& option, const char* value, TRhinoHeadOptions& options);

class TRhinoHead {
public:
  explicit TRhinoHead(TRhinoHeadOptions options) : Options(std::move(options)) {}

  // The trial of the next start and the flow at 150 Pa it plays.
  LungModel::TRhinoTrial NextTrial(double patientFlowAt150PaMlps);
  double LastFlowAt150PaMlps() const { return Last; }

  // Flow counts per count of the spirometric scale.
  double FlowScale() const;
  // The nasal pressure channel's count for a true pressure.
  std::int16_t NasalCounts(double pressurePa, std::mt19937& random) const;

private:
  TRhinoHeadOptions Options;
  std::size_t Starts = 0;
  double Last = 0.0;
};
