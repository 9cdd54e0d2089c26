#pragma once

// One line of the provocation's step list, kept as numbers beside the text
// the list shows. Every reader (the stored concentration and dose, the
// graph, the spreadsheet) takes the numbers from here, so a wide value
// (a five-character concentration, a dose of 100 or a change below -999 %)
// shifts nothing; the shown line is the system's own.

#include <array>
#include <string>

struct TProvStep {
  std::string Concentration;      // as listed: a queue item, the set-up's, "0.00" or empty
  float Dose = 0.0f;              // the accumulated dose when the line was added
  std::array<float, 3> Values{};  // the three parameters' values
  std::array<float, 3> Changes{}; // their change in percent of the baseline
};

namespace ProvocationStep {

// (value / baseline - 1) x 100 in single precision; 0 when either is 0.
float PercentChange(float value, float baseline);

// The list's line: "%4s %5s %5.2f %4.0f %5.2f %4.0f %5.2f %4.0f" of the
// concentration, the dose as "%5.2f", and each value with its change.
std::string Line(const TProvStep& step);

// The number the shown text gives: the dose to two decimals, the change
// as a whole percent (rounded as the line shows it).
float ShownDose(const TProvStep& step);
int ShownChange(const TProvStep& step, std::size_t parameter);

// The eight cells of the spreadsheet row: each field of the line as the
// line formats it, blanks kept.
std::array<std::string, 8> Cells(const TProvStep& step);

}  // namespace ProvocationStep
