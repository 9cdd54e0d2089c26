#pragma once

// What the evaluation of plethysmograph trials leaves beside their result
// records: the share of the BTPS artefact searched for each loop with the
// score it left (read back when the user steps to another loop or trial),
// and the fields a stored or replayed trial brings along.

#include "platform/portkit/plethysmography/BoxEvaluation.h"

#include <array>
#include <string>

struct TPlethyEvaluation {
  using TAdaptiveRow = std::array<plethysmography::AdaptiveEntry, plethysmography::AdaptiveCapacity>;

  // By trial slot and loop number.
  std::array<TAdaptiveRow, 4> Adaptive{};
  // The searched share and score of the selected loop, as the window's
  // status line shows them.
  std::string Status;
  // The flow factor and the four bytes of the log a trial was replayed
  // from, kept so that a log written again holds them.
  float FlowFactor = 1.0f;
  std::array<char, 4> LogValue{};
  // RV of the trials shown: current, comparison, and the provocation's
  // stages (baseline, provoked, third).
  float RvCurrent = 0.0f;
  float RvComparison = 0.0f;
  std::array<float, 3> RvStage{};
};

// "K:%5.3f, H:%4.0f; ": the searched share and its score, as the status
// line and the note show them.
std::string AdaptiveReadout(const plethysmography::AdaptiveEntry& entry);
