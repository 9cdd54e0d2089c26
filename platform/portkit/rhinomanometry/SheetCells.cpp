#include "platform/portkit/rhinomanometry/SheetCells.h"

#include "platform/portkit/rhinomanometry/ShownValues.h"

#include <algorithm>

namespace rhinomanometry {
namespace {

constexpr int HeaderRows = 5;
constexpr int Columns = 11;

std::string Numbers(std::string text, bool decimalComma) {
  if (decimalComma)
    std::replace(text.begin(), text.end(), '.', ',');
  return text;
}

}  // namespace

SheetCells RhinoSheetCells(const SheetInput& in) {
  SheetCells cells;
  std::array<std::array<std::string, Columns>, HeaderRows> header{};
  header[0][0] = in.patientName;
  header[0][1] = std::to_string(in.age);
  header[0][2] = in.imperial ? std::to_string(in.height / 12) + " ft " + std::to_string(in.height % 12) + " in"
                             : std::to_string(in.height) + " cm";
  header[0][3] = std::to_string(in.weight) + (in.imperial ? " lb" : " kg");
  header[0][4] = in.algorithmName;
  header[2][1] = in.firstDate;
  header[2][4] = in.secondDate;
  header[3][1] = in.firstTime;
  header[3][4] = in.secondTime;
  header[4] = {"", "", in.rightName, in.leftName, "SUM", in.rightName, in.leftName, "SUM",
               in.rightName + " [%]", in.leftName + " [%]", "SUM [%]"};
  for (int r = 0; r < HeaderRows; ++r)
    for (int c = 0; c < Columns; ++c)
      cells.header.push_back({r, c, header[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]});

  int row = HeaderRows;
  for (const RhinoLine& line : RhinoLines(in.first, in.second, in.rowFlags, in.provoked)) {
    std::vector<SheetCell> cellsOfLine{{row, 0, line.Label()}, {row, 1, std::string(line.Unit())}};
    int column = 2;
    for (const float value : line.values)
      cellsOfLine.push_back({row, column++, Numbers(Fixed(value, line.Precision(), 5), in.decimalComma)});
    // The changes are whole per cent, written with the line's precision.
    for (const float change : line.changesPercent)
      cellsOfLine.push_back({row, column++, Numbers(Fixed(AsShown(change, 0), line.Precision(), 5), in.decimalComma)});
    cells.lines.push_back(std::move(cellsOfLine));
    ++row;
  }
  if (in.provoked) {
    cells.provocation = {
        {row, 0, Numbers(in.materialLabel + ": " + in.material, in.decimalComma)},
        {row + 1, 0, Numbers(in.concentrationLabel + ": " + Fixed(in.concentrationMgPerMl, 2) + " mg/ml", in.decimalComma)},
        {row + 2, 0, Numbers(in.doseLabel + ": " + Fixed(in.doseMl, 2) + " ml", in.decimalComma)}};
  }
  return cells;
}

}  // namespace rhinomanometry
