#include "trend/TrendExport.h"

#include "common/CommandNumbers.h"
#include "trend/TrendModel.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Records every poke; a poke numbered FailAt (from 1) fails.
class TRecordingPokes : public TTrendPokeTarget {
public:
  unsigned FirstRow = 5;
  unsigned FirstColumn = 2;
  int FailAt = 0;
  std::vector<std::pair<std::string, std::string>> Pokes;

  std::string CellAddress(unsigned row, unsigned column) const override {
    return "R" + std::to_string(FirstRow + row) + "C" + std::to_string(FirstColumn + column);
  }
  bool PokeDDE(std::string_view item, std::string_view text) override {
    Pokes.emplace_back(item, text);
    return static_cast<int>(Pokes.size()) != FailAt;
  }
  std::map<std::string, std::string> Cells() const { return {Pokes.begin(), Pokes.end()}; }
};

class TrendExportTest : public ::testing::Test {
protected:
  TrendExportTest() {
    patient.SetName("Nagy Eva");
    patient.Age = 52;
    patient.Height = 165;
    patient.Weight = 60;
    model.Params = {0, -1, 2, 404, 309};
    model.AddDataToTrendListBox("2024.03.05.", "09:15:00", {3.45f, 0, 2.10f, 0.85f, 12.5f}, {}, 'B', 0);
    model.AddDataToTrendListBox("2024.04.05.", "10:00:00", {3.00f, 0, 2.31f, 0.85f, 0}, {}, ' ', 0);
  }
  PREDICTED_DATA patient;
  TTrendModel model;
};

TEST_F(TrendExportTest, RowsCellByCellFromTheFirstRowAndColumn) {
  TRecordingPokes pokes;
  ASSERT_TRUE(TrendExport::SendDataToExcel(TrendExport::Rows(model, patient, false), pokes));
  ASSERT_EQ(pokes.Pokes.size(), 6u * 13u);
  EXPECT_EQ(pokes.Pokes.front(), (std::pair<std::string, std::string>{"R5C2", "Nagy Eva"}));
  EXPECT_EQ(pokes.Pokes.back().first, "R10C14");
  auto cells = pokes.Cells();
  EXPECT_EQ(cells["R5C3"], "52");
  EXPECT_EQ(cells["R5C4"], "165 cm");
  EXPECT_EQ(cells["R5C5"], "60 kg");
  EXPECT_EQ(cells["R5C6"], "");
  for (int column = 2; column <= 14; ++column)
    EXPECT_EQ(cells["R6C" + std::to_string(column)], "");
  // The reference row: date, time, value and 100 % per used slot, marker.
  const std::vector<std::string> reference = {"2024.03.05.", "09:15:00", "  3.45", "100%", "  0.00", "0%",
                                              "  2.10", "100%", "  0.85", "100%", " 12.50", "100%", "B"};
  const std::vector<std::string> heads = {"", "", "FVC", "[L]", "", "", "FEV*1,0", "[L]", "Raw",
                                          "[kPa*s/L]", "Tlco", "[mmol/min*kPa]", ""};
  const std::vector<std::string> second = {"2024.04.05.  ", "10:00:00", "  3.00", "  87%", "  0.00", "   0%",
                                           "  2.31", " 110%", "  0.85", " 100%", "  0.00", "   0%", " "};
  for (int c = 0; c < 13; ++c) {
    const std::string column = "C" + std::to_string(2 + c);
    EXPECT_EQ(cells["R7" + column], reference[static_cast<std::size_t>(c)]) << column;
    EXPECT_EQ(cells["R8" + column], heads[static_cast<std::size_t>(c)]) << column;
    EXPECT_EQ(cells["R10" + column], second[static_cast<std::size_t>(c)]) << column;
  }
}

TEST_F(TrendExportTest, ReferenceRowOnlyInAbsoluteMode) {
  model.Command(CM_NORMREL);
  auto relative = TrendExport::Rows(model, patient, false);
  EXPECT_EQ(relative[2], TrendExport::TRow{});
  EXPECT_EQ(relative[5][3], " -13%");
}

TEST_F(TrendExportTest, ImperialUnitsAndTheDecimalComma) {
  patient.Unit = 1;
  patient.Height = 70;
  patient.Weight = 154;
  const auto rows = TrendExport::Rows(model, patient, true);
  EXPECT_EQ(rows[0][2], "5 ft 10 in");
  EXPECT_EQ(rows[0][3], "154 lb");
  // Every column but the first: the dates there keep their dots.
  EXPECT_EQ(rows[2][0], "2024.03.05.");
  EXPECT_EQ(rows[2][2], "  3,45");
  EXPECT_EQ(rows[4][0], "2024.03.05.  ");
  EXPECT_EQ(rows[4][10], " 12,50");
  EXPECT_EQ(rows[3][6], "FEV*1,0");
}

TEST_F(TrendExportTest, TheFirstFailedPokeEndsTheExport) {
  TRecordingPokes pokes;
  pokes.FailAt = 20;
  EXPECT_FALSE(TrendExport::SendDataToExcel(TrendExport::Rows(model, patient, false), pokes));
  EXPECT_EQ(pokes.Pokes.size(), 20u);
  EXPECT_EQ(pokes.Pokes.back().first, "R6C8");
}

}  // namespace
