#pragma once

// The cells a rhinomanometry result is sent to a spreadsheet as: a header
// of 5 rows by 11 columns, one row per shown flow and resistance line, and
// after a provocation three rows that name it. Row and column offsets count
// from the sheet's first cell.

#include "common/RhinoParams.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace rhinomanometry {

struct SheetCell {
  int row = 0;
  int column = 0;
  std::string text;
};

struct SheetInput {
  std::string patientName;
  int age = 0;
  int height = 0;  // cm, or inches for an imperial patient
  int weight = 0;  // kg or lb
  bool imperial = false;
  std::string algorithmName;  // the window's choice
  std::string firstDate, firstTime, secondDate, secondTime;
  std::string rightName, leftName;  // the names of the nostril columns
  RHINO_PARAMS first;
  RHINO_PARAMS second;
  std::array<unsigned, RHINO_PRESSURE_COUNT> rowFlags{};
  bool provoked = false;
  // "label: material", "label: 2.50 mg/ml", "label: 0.10 ml" after a
  // provocation.
  std::string materialLabel, concentrationLabel, doseLabel, material;
  float concentrationMgPerMl = 0.0f;
  float doseMl = 0.0f;
  bool decimalComma = false;  // numbers with a comma, as the language wants
};

struct SheetCells {
  std::vector<SheetCell> header;                // every cell of 5 × 11, empty ones too
  std::vector<std::vector<SheetCell>> lines;    // 11 cells each, from row 5
  std::vector<SheetCell> provocation;           // below the last line
};

SheetCells RhinoSheetCells(const SheetInput& input);

}  // namespace rhinomanometry
