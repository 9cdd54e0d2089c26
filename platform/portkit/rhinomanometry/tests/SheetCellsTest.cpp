#include "platform/portkit/rhinomanometry/SheetCells.h"

#include <gtest/gtest.h>

namespace rhinomanometry {
namespace {

// The records of the text export's test (TextExportTest.cpp), 150 Pa only.
SheetInput SheetOfTwoResults() {
  SheetInput in;
  in.patientName = "Kovacs Anna";
  in.age = 42;
  in.height = 168;
  in.weight = 61;
  in.algorithmName = "Average";
  in.firstDate = "2026.12.11.";
  in.firstTime = "09:15:00";
  in.secondDate = "2026.12.04.";
  in.secondTime = "10:20:30";
  in.rightName = "Right";
  in.leftName = "Left";
  in.first.Flows[3] = {333.0f, 300.4f, 633.0f};
  in.second.Flows[3] = {300.0f, 310.0f, 610.0f};
  in.rowFlags = {0, 0, 0, 1, 0};
  in.materialLabel = "Agent";
  in.concentrationLabel = "Concentration";
  in.doseLabel = "Dose";
  in.material = "Histamine 0.5%";
  in.concentrationMgPerMl = 2.5f;
  in.doseMl = 0.1f;
  return in;
}

std::string At(const std::vector<SheetCell>& cells, int row, int column) {
  for (const SheetCell& c : cells)
    if (c.row == row && c.column == column)
      return c.text;
  ADD_FAILURE() << "no cell at " << row << ", " << column;
  return {};
}

TEST(SheetCells, HeaderOfFiveRowsByElevenColumns) {
  const SheetCells cells = RhinoSheetCells(SheetOfTwoResults());
  ASSERT_EQ(cells.header.size(), 55u);
  EXPECT_EQ(At(cells.header, 0, 0), "Kovacs Anna");
  EXPECT_EQ(At(cells.header, 0, 1), "42");
  EXPECT_EQ(At(cells.header, 0, 2), "168 cm");
  EXPECT_EQ(At(cells.header, 0, 3), "61 kg");
  EXPECT_EQ(At(cells.header, 0, 4), "Average");
  EXPECT_EQ(At(cells.header, 1, 4), "");
  EXPECT_EQ(At(cells.header, 2, 1), "2026.12.11.");
  EXPECT_EQ(At(cells.header, 3, 4), "10:20:30");
  EXPECT_EQ(At(cells.header, 4, 2), "Right");
  EXPECT_EQ(At(cells.header, 4, 6), "Left");
  EXPECT_EQ(At(cells.header, 4, 7), "SUM");
  EXPECT_EQ(At(cells.header, 4, 10), "SUM [%]");

  SheetInput imperial = SheetOfTwoResults();
  imperial.imperial = true;
  imperial.height = 70;  // 5 ft 10 in
  imperial.weight = 134;
  const SheetCells feet = RhinoSheetCells(imperial);
  EXPECT_EQ(At(feet.header, 0, 2), "5 ft 10 in");
  EXPECT_EQ(At(feet.header, 0, 3), "134 lb");
}

TEST(SheetCells, LinesWithWholeChangesAndTheLanguagesComma) {
  SheetInput in = SheetOfTwoResults();
  in.decimalComma = true;
  const SheetCells cells = RhinoSheetCells(in);
  ASSERT_EQ(cells.lines.size(), 2u);
  const std::vector<SheetCell>& flow = cells.lines[0];
  ASSERT_EQ(flow.size(), 11u);
  EXPECT_EQ(At(flow, 5, 0), "Flow [150]");
  EXPECT_EQ(At(flow, 5, 1), "[mL/s]");
  EXPECT_EQ(At(flow, 5, 2), "  333");
  EXPECT_EQ(At(flow, 5, 3), "  300");
  EXPECT_EQ(At(flow, 5, 7), "  610");
  EXPECT_EQ(At(flow, 5, 8), "   11");  // 33 / 300
  EXPECT_EQ(At(flow, 5, 9), "   -3");  // -10 / 310 = -3.2
  EXPECT_EQ(At(flow, 5, 10), "    4");  // 23 / 610 = 3.8
  // Resistances to two decimals, changes rounded to whole per cent first:
  // 0.45 against 0.50 is -10, 0.50 against 0.48 is 4.2 -> 4, 0.24 against
  // 0.25 is -4.
  const std::vector<SheetCell>& res = cells.lines[1];
  EXPECT_EQ(At(res, 6, 0), "RES  [150]");
  EXPECT_EQ(At(res, 6, 1), "[Pa/mL/s]");
  EXPECT_EQ(At(res, 6, 2), " 0,45");
  EXPECT_EQ(At(res, 6, 7), " 0,25");
  EXPECT_EQ(At(res, 6, 8), "-10,00");
  EXPECT_EQ(At(res, 6, 9), " 4,00");
  EXPECT_EQ(At(res, 6, 10), "-4,00");
  EXPECT_TRUE(cells.provocation.empty());
}

TEST(SheetCells, AZeroChangeIsANumberAndTheProvocationFollowsTheLines) {
  SheetInput in = SheetOfTwoResults();
  in.second = in.first;
  in.provoked = true;
  const SheetCells cells = RhinoSheetCells(in);
  EXPECT_EQ(At(cells.lines[0], 5, 8), "    0");
  EXPECT_EQ(At(cells.lines[1], 6, 8), " 0.00");
  ASSERT_EQ(cells.provocation.size(), 3u);
  EXPECT_EQ(At(cells.provocation, 7, 0), "Agent: Histamine 0.5%");
  EXPECT_EQ(At(cells.provocation, 8, 0), "Concentration: 2.50 mg/ml");
  EXPECT_EQ(At(cells.provocation, 9, 0), "Dose: 0.10 ml");

  // No row chosen: only the header, and the provocation from row 5.
  in.rowFlags = {};
  in.decimalComma = true;
  const SheetCells bare = RhinoSheetCells(in);
  EXPECT_TRUE(bare.lines.empty());
  EXPECT_EQ(At(bare.provocation, 5, 0), "Agent: Histamine 0,5%");
  EXPECT_EQ(At(bare.provocation, 7, 0), "Dose: 0,10 ml");
}

}  // namespace
}  // namespace rhinomanometry
