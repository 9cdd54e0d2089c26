#include "special/provocation/ProvocationStep.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ProvocationStep {

namespace {

template <class... TArgs>
std::string Print(const char* format, TArgs... args) {
  std::array<char, 128> text{};
  std::snprintf(text.data(), text.size(), format, args...);
  return text.data();
}

std::string DoseText(float dose) { return Print("%5.2f", static_cast<double>(dose)); }

}  // namespace

float PercentChange(float value, float baseline) {
  if (value == 0.0f || baseline == 0.0f)
    return 0.0f;
  return (value / baseline - 1.0f) * 100.0f;
}

std::string Line(const TProvStep& step) {
  const std::array<std::string, 8> cells = Cells(step);
  std::string line = cells[0];
  for (std::size_t i = 1; i < cells.size(); ++i)
    line += ' ' + cells[i];
  return line;
}

float ShownDose(const TProvStep& step) { return std::strtof(DoseText(step.Dose).c_str(), nullptr); }

int ShownChange(const TProvStep& step, std::size_t parameter) {
  return std::atoi(Print("%.0f", static_cast<double>(step.Changes.at(parameter))).c_str());
}

std::array<std::string, 8> Cells(const TProvStep& step) {
  std::array<std::string, 8> cells;
  cells[0] = Print("%4s", step.Concentration.c_str());
  cells[1] = Print("%5s", DoseText(step.Dose).c_str());
  for (std::size_t i = 0; i < 3; ++i) {
    cells[2 + 2 * i] = Print("%5.2f", static_cast<double>(step.Values[i]));
    cells[3 + 2 * i] = Print("%4.0f", static_cast<double>(step.Changes[i]));
  }
  return cells;
}

}  // namespace ProvocationStep
