#pragma once

// The "@"-separated text a rhinomanometry result is exported as: the dates
// and times of both results, one line per shown flow and resistance, the
// provocation and the notes.

#include "common/RhinoParams.h"

#include <array>
#include <optional>
#include <span>
#include <string>

namespace rhinomanometry {

struct ProvocationLines {
  std::string materialLabel;       // the texts that name the three lines
  std::string concentrationLabel;
  std::string doseLabel;
  std::string material;
  float concentrationMgPerMl = 0.0f;
  float doseMl = 0.0f;
};

struct TextExportInput {
  // Date and time of the first result, then of the second, as the window
  // shows them.
  std::string firstDate;
  std::string firstTime;
  std::string secondDate;
  std::string secondTime;
  RHINO_PARAMS first;
  RHINO_PARAMS second;
  std::array<unsigned, RHINO_PRESSURE_COUNT> rowFlags{};
  std::optional<ProvocationLines> provocation;  // after a provocation
  std::string notes;  // the window's note lines, written last as they stand
};

// The whole file, lines ended by a line feed.
std::string RhinoExportText(const TextExportInput& input);

}  // namespace rhinomanometry
