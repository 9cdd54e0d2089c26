#include "measure/results/ResultCells.h"
#include "platform/framework/Utf8.h"

#include "common/ParameterBlocks.h"
#include "predicted/Predicted.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace ResultCells;

namespace {

// One kind's arrays, all parameters shown, natural order, no values.
struct Fixture {
  explicit Fixture(short kind)
      : Kind(kind), Count(ParameterCount(kind)), Results(4 * Count, 0.0f), Predicted(Count, 0.0f),
        PredictedPre(Count, 0.0f), Rsd(Count, 0.0f), Shown(Count, 1u) {}

  short Kind;
  std::size_t Count;
  std::vector<float> Results, Predicted, PredictedPre, Rsd;
  std::vector<unsigned> Shown;
  std::vector<short> Positions;
  std::array<short, 3> Trials{1, 2, 3};

  float& Slot(std::size_t slot, std::size_t i) { return Results[slot * Count + i]; }

  TResultTable Table(const TPredicted* grader = nullptr) const {
    TResultSource source;
    source.Kind = Kind;
    source.Results = Results;
    source.Predicted = Predicted;
    source.PredictedPre = PredictedPre;
    source.Rsd = Rsd;
    source.Names = ParameterNames(Kind);
    source.Units = ParameterUnits(Kind);
    source.Shown = Shown;
    source.Positions = Positions;
    source.Trials = Trials;
    source.Grader = grader;
    return BuildTable(source);
  }
};

TEST(ResultCells, ValueFormatsByKindAndIndex) {
  struct Case {
    short kind, index;
    float value;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, 4.126f, " 4.13"}, {0, 3, 81.6f, "   82"},  {0, 6, 79.4f, "   79"}, {0, 7, 9.5f, " 9.50"},
      {1, 0, 3.456f, " 3.46"}, {2, 0, 120.04f, "120.0"}, {2, 1, 42.0f, " 42.0"}, {3, 6, 31.2f, "   31"},
      {3, 8, 50.5f, "   50"}, {3, 9, 9.87f, " 9.87"},  {4, 3, 33.3f, "   33"}, {4, 17, 20.0f, "   20"},
      {4, 18, 1.7f, "    2"},  {4, 4, 0.25f, " 0.25"},  {5, 4, 18.0f, "   18"}, {5, 0, 0.31f, " 0.31"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatValue(c.value, FormatOf(c.kind, c.index)), c.text) << c.kind << "/" << c.index;
  EXPECT_EQ(FormatValue(3.456f, FormatOf(1, 0), 0), "3.46");
}

TEST(ResultCells, NonFiniteGivesAnEmptyCellAndNegativeZeroPrintsAsZero) {
  EXPECT_EQ(FormatValue(std::numeric_limits<float>::quiet_NaN(), TValueFormat::TwoDecimals), "");
  EXPECT_EQ(FormatValue(std::numeric_limits<float>::infinity(), TValueFormat::Whole), "");
  EXPECT_EQ(FormatPercent(-std::numeric_limits<float>::infinity()), "");
  EXPECT_EQ(FormatValue(-0.004f, TValueFormat::TwoDecimals), " 0.00");
  EXPECT_EQ(FormatValue(-0.0f, TValueFormat::Whole, 0), "0");
  EXPECT_EQ(FormatPercent(-0.4f), "  0");
  EXPECT_EQ(FormatPercent(-0.4f, 3, true), " +0");
  EXPECT_EQ(FormatValue(-0.006f, TValueFormat::TwoDecimals), "-0.01");
  // A cell never outgrows the table's cell.
  EXPECT_EQ(FormatValue(1e30f, TValueFormat::TwoDecimals).size(), CellLength);
}

TEST(ResultCells, RowsAreRanksAmongShownParametersInDisplayOrder) {
  Fixture fvc(0);
  // Natural order, parameters 1 and 2 hidden: the rows close up.
  fvc.Shown[1] = fvc.Shown[2] = 0;
  TResultTable table = fvc.Table();
  ASSERT_EQ(table.Rows.size(), 17u);
  EXPECT_EQ(table.Rows[0].Row, 0);
  EXPECT_EQ(table.Rows[1].Parameter, 3);
  EXPECT_EQ(table.Rows[1].Row, 1);

  // The user moved FEV*1,0 (index 2) to the top and FVC (0) to line 2: with
  // the old rule (position minus hidden ones below it) two rows met on one
  // line once parameters were hidden.
  fvc.Shown.assign(fvc.Count, 0u);
  fvc.Shown[0] = fvc.Shown[2] = fvc.Shown[5] = 1;
  fvc.Positions.resize(fvc.Count);
  for (std::size_t i = 0; i < fvc.Count; ++i)
    fvc.Positions[i] = static_cast<short>(i);
  fvc.Positions[0] = 2;
  fvc.Positions[2] = 0;
  table = fvc.Table();
  ASSERT_EQ(table.Rows.size(), 3u);
  EXPECT_EQ(table.Rows[0].Parameter, 0);
  EXPECT_EQ(table.Rows[0].Row, 1);  // FVC after FEV*1,0
  EXPECT_EQ(table.Rows[1].Row, 0);  // FEV*1,0 first
  EXPECT_EQ(table.Rows[2].Row, 2);

  // Two parameters on one line: no permutation, the natural order holds.
  fvc.Positions[2] = 2;
  table = fvc.Table();
  EXPECT_EQ(table.Rows[0].Row, 0);
  EXPECT_EQ(table.Rows[1].Row, 1);
  EXPECT_EQ(table.Rows[2].Row, 2);
  EXPECT_EQ(DisplayOrder(std::vector<short>{0, 5}, 2), (std::vector<short>{0, 1}));
  EXPECT_EQ(DisplayOrder(std::vector<short>{1, 0}, 2), (std::vector<short>{1, 0}));
}

TEST(ResultCells, PrintedPrePostRowByHand) {
  TPredicted grader("", 0, 1.0f);
  Fixture fvc(0);
  // FVC 3.00 L against 4.00 L predicted (RSD 0.5): 75 %; the lower limit
  // 4 - 1.64 x 0.5 = 3.18 is passed, 4 - 2.46 x 0.5 = 2.77 is not: "  -".
  fvc.Slot(0, 0) = 3.0f;
  fvc.Predicted[0] = 4.0f;
  fvc.Rsd[0] = 0.5f;
  // Pre test 2.50 L of 5.00 L predicted: 50 %; change (75 - 50) / 50 = +50 %.
  fvc.Slot(3, 0) = 2.5f;
  fvc.PredictedPre[0] = 5.0f;
  TResultTable table = fvc.Table(&grader);
  TPrintedRow row = PrintedPrePostRow(table, table.Rows[0]);
  EXPECT_EQ(row.Name, "FVC");
  EXPECT_EQ(row.Unit, "[L] ");
  // As printf lays out "%5.2f %6.6s %4.4s %5s" and "%5.2f %6.6s %4.4s".
  EXPECT_EQ(row.Columns[0].Text, " 3.00   4.00   75     -");
  EXPECT_EQ(row.Columns[0].Colour, LightBlue);
  EXPECT_EQ(row.Columns[1].Text, " 2.50   5.00   50");
  EXPECT_EQ(row.Columns[1].Colour, DarkRed);
  EXPECT_EQ(row.Columns[2].Text, " 0.50     +50");
  EXPECT_EQ(row.Columns[2].Colour, TColor::Black());

  // Predicted 0 (FEV*0,5, nothing stored): the value alone.
  fvc.Slot(0, 1) = 2.0f;
  table = fvc.Table(&grader);
  row = PrintedPrePostRow(table, table.Rows[1]);
  EXPECT_EQ(row.Columns[0].Text, " 2.00" + std::string(18, ' '));
  EXPECT_EQ(table.Rows[1].RsdMark, "");

  // No pre test: nothing in the pre and change columns (a pre value 0 and
  // a change equal to the actual value would report a test never made).
  Fixture vc(1);
  vc.Slot(0, 0) = 3.0f;
  vc.Predicted[0] = 4.0f;
  table = vc.Table();
  row = PrintedPrePostRow(table, table.Rows[0]);
  EXPECT_EQ(row.Columns[0].Text, " 3.00   4.00   75" + std::string(6, ' '));
  EXPECT_EQ(row.Columns[1].Text, "");
  EXPECT_EQ(row.Columns[2].Text, "");

  // Only the pre test: the actual column holds the predicted value and
  // nothing that reads as a measured 0 (no " 0.00", no "0" %, no -100 %
  // change, no difference of -2.50).
  fvc.Trials = {0, 0, 0};
  fvc.Slot(0, 0) = 0.0f;
  table = fvc.Table(&grader);
  row = PrintedPrePostRow(table, table.Rows[0]);
  EXPECT_EQ(row.Columns[0].Text, std::string(5, ' ') + "   4.00" + std::string(11, ' '));
  EXPECT_EQ(row.Columns[1].Text, " 2.50   5.00   50");
  EXPECT_EQ(row.Columns[2].Text, std::string(13, ' '));
}

TEST(ResultCells, PrintedProvocationRow) {
  Fixture fvc(0);
  fvc.Slot(0, 0) = 4.0f;  // base
  fvc.Slot(1, 0) = 3.0f;  // provoked: 75 % of base, difference -1.00 = -25 %
  fvc.Predicted[0] = 4.0f;
  TResultTable table = fvc.Table();
  TPrintedRow row = PrintedProvocationRow(table, table.Rows[0], false, true);
  EXPECT_EQ(row.Columns[0].Text, " 4.00   4.00  100" + std::string(6, ' '));
  EXPECT_EQ(row.Columns[1].Text, " 3.00     75");
  EXPECT_EQ(row.Columns[1].Colour, DarkRed);
  EXPECT_EQ(row.Columns[2].Text, "-1.00    -25");
  EXPECT_EQ(row.Columns[2].Colour, TColor::Black());  // no second stage result
  // Monochrome: every provocation value is black.
  row = PrintedProvocationRow(table, table.Rows[0], false, false);
  for (const auto& cell : row.Columns)
    EXPECT_EQ(cell.Colour, TColor::Black());
  // A base of 0 shows both percentages as 0.
  Fixture empty(1);
  empty.Slot(1, 0) = 1.0f;
  empty.Slot(2, 0) = 0.5f;
  table = empty.Table();
  row = PrintedProvocationRow(table, table.Rows[0], true, true);
  EXPECT_EQ(row.Columns[1].Text, " 1.00      0");
  EXPECT_EQ(row.Columns[2].Text, " 0.50      0");
  // A stage not measured yet prints nothing (not " 0.00      0"), and
  // without the provocation stage there is no difference to print either.
  empty.Slot(2, 0) = 0.0f;
  table = empty.Table();
  row = PrintedProvocationRow(table, table.Rows[0], true, true);
  EXPECT_EQ(row.Columns[1].Text, " 1.00      0");
  EXPECT_EQ(row.Columns[2].Text, "");
  Fixture baseOnly(0);
  baseOnly.Slot(0, 0) = 4.0f;
  table = baseOnly.Table();
  for (const bool secondStage : {false, true}) {
    row = PrintedProvocationRow(table, table.Rows[0], secondStage, true);
    EXPECT_EQ(row.Columns[0].Text, " 4.00" + std::string(18, ' '));
    EXPECT_EQ(row.Columns[1].Text, "");
    EXPECT_EQ(row.Columns[2].Text, "");
  }
}

TEST(ResultCells, ExportRowNormalAndProvocationView) {
  Fixture fvc(0);
  fvc.Trials = {1, 0, 0};
  fvc.Slot(0, 0) = 3.0f;
  fvc.Predicted[0] = 4.0f;
  TResultTable table = fvc.Table();
  auto cells = ExportRow(table.Rows[0], false);
  ASSERT_EQ(cells.size(), 15u);
  EXPECT_EQ(cells[0], "FVC");
  EXPECT_EQ(cells[1], "[L]");
  EXPECT_EQ(cells[2], " 3.00");
  EXPECT_EQ(cells[3], " 4.00");
  EXPECT_EQ(cells[4], " 75");
  EXPECT_EQ(cells[5], "   ");
  // No pre test: no previous value, and no difference that would repeat
  // the actual value against a test never made.
  EXPECT_EQ(cells[6], "");
  EXPECT_EQ(cells[7], "");
  EXPECT_EQ(cells[8], "");
  EXPECT_EQ(cells[9], "");
  EXPECT_EQ(cells[10], "");
  // No second or third trial: their columns stay empty, not a measured 0.
  EXPECT_EQ(cells[11], "");
  EXPECT_EQ(cells[12], "");
  EXPECT_EQ(cells[13], "");
  EXPECT_EQ(cells[14], "");
  // Before the first result not even the actual column reads as a value.
  fvc.Trials = {0, 0, 0};
  cells = ExportRow(fvc.Table().Rows[0], false);
  for (const std::size_t c : {2u, 4u, 9u, 10u, 11u, 13u})
    EXPECT_EQ(cells[c], "") << c;
  EXPECT_EQ(cells[3], " 4.00") << "the predicted value stands without a trial";
  fvc.Trials = {1, 0, 0};
  // Predicted 0: empty predicted, percent and mark; the value still sent.
  cells = ExportRow(fvc.Table().Rows[1], false);
  EXPECT_EQ(cells[2], " 0.00");
  EXPECT_EQ(cells[3], "");
  EXPECT_EQ(cells[4], "");
  EXPECT_EQ(cells[5], "");
  EXPECT_EQ(DecimalComma(" 3.00"), " 3,00");

  // Provocation view with a base of 0: the ratios are zeros, not blanks.
  Fixture prov(0);
  prov.Slot(1, 0) = 2.0f;
  cells = ExportRow(prov.Table().Rows[0], true);
  ASSERT_EQ(cells.size(), 12u);
  EXPECT_EQ(cells[6], " 2.00");
  EXPECT_EQ(cells[7], "  0");
  EXPECT_EQ(cells[8], " 2.00");
  EXPECT_EQ(cells[9], "  0");
  EXPECT_EQ(cells[11], "  0");
}

TEST(ResultCells, ScreenColourEntries) {
  Fixture fvc(0);
  fvc.Trials = {2, 0, 1};
  TResultTable table = fvc.Table();
  EXPECT_EQ(ScreenColourEntry(0, false, table), 1);
  EXPECT_EQ(ScreenColourEntry(1, false, table), 5);   // trial 2: entry 3 + 2
  EXPECT_EQ(ScreenColourEntry(5, false, table), 2);   // no pre result
  EXPECT_EQ(ScreenColourEntry(10, false, table), 2);  // no second trial number
  EXPECT_EQ(ScreenColourEntry(13, false, table), 4);
  fvc.Slot(3, 0) = 1.0f;
  EXPECT_EQ(ScreenColourEntry(7, false, fvc.Table()), 8);
  EXPECT_EQ(ScreenColourEntry(6, true, table), 5);
  EXPECT_EQ(ScreenColourEntry(8, true, table), 2);
  EXPECT_EQ(ScreenColourEntry(9, true, table), 6);
}

TEST(ResultCells, TextExportFields) {
  Fixture fvc(0);
  fvc.Slot(0, 3) = 81.6f;  // FEV*0,5/IVC, a whole-number parameter
  fvc.Predicted[3] = 80.0f;
  TResultTable table = fvc.Table();
  const auto fields = TextExportFields(table.Rows[3]);
  EXPECT_EQ(fields[0], "FEV*0,5/IVC");
  EXPECT_EQ(fields[2], "82");
  EXPECT_EQ(fields[3], "80");
  EXPECT_EQ(fields[4], "102");
  EXPECT_EQ(fields[5], "   ");
  EXPECT_EQ(fields[6], "0");
  EXPECT_EQ(fields[7], "");
  EXPECT_EQ(fields[8], "");
  EXPECT_EQ(fields[9], "82");
  EXPECT_EQ(fields[10], "");
}

}  // namespace

// The provocation step's rows, by hand: 2.5 mg/ml and 2 ml, or 2.5 x 2 =
// 5 mg; a value that is not a number leaves its cell empty.
// A cell holds 24 bytes. " 3.00   4.00   75 " takes 18; a mark of "xéééé"
// (9 bytes in UTF-8) would be cut after 6 of them, inside the third "é"
// (bytes C3 A9): the cut falls back to the letter's start.
TEST(ResultCells, ACellIsCutAtALetterNeverInsideOne) {
  Fixture fvc(0);
  fvc.Slot(0, 0) = 3.0f;
  fvc.Predicted[0] = 4.0f;
  fvc.Rsd[0] = 0.5f;
  TResultTable table = fvc.Table();
  table.Rows[0].RsdMark = "x\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
  const TPrintedRow row = PrintedPrePostRow(table, table.Rows[0]);
  EXPECT_EQ(row.Columns[0].Text, " 3.00   4.00   75 x\xC3\xA9\xC3\xA9");
  EXPECT_TRUE(Utf8::IsValid(row.Columns[0].Text));
}

TEST(ResultCells, ProvocationRows) {
  struct TCase {
    TProvocationBlock block;
    std::array<std::string, 3> values;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const TCase cases[] = {
      {{"Metacholin", "NaCl", 2.5f, 2.0f, 0}, {"Metacholin", "  2.50 mg/ml", "  2.00    ml"}},
      {{"Metacholin", "NaCl", 2.5f, 2.0f, 1}, {"Metacholin", "  2.50 mg/ml", "  5.00    mg"}},
      {{"Histamine", "", nan, 2.0f, 1}, {"Histamine", "", ""}},
      {{"Histamine", "", 1.0f, nan, 0}, {"Histamine", "  1.00 mg/ml", ""}},
  };
  for (const TCase& c : cases) {
    const auto rows = ResultCells::ProvocationRows(c.block);
    EXPECT_EQ(rows[0].LabelText, 296);
    EXPECT_EQ(rows[1].LabelText, 297);
    EXPECT_EQ(rows[2].LabelText, 298);
    for (std::size_t n = 0; n < 3; ++n)
      EXPECT_EQ(rows[n].Value, c.values[n]) << c.block.Material << " row " << n;
    EXPECT_EQ(rows[0].Solvent, c.block.SolutionMaterial);
    EXPECT_TRUE(rows[1].Solvent.empty());
  }
}
