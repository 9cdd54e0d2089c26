#include "special/provocation/ProvocationSheet.h"

#include "platform/basekit/CsvWorkbook.h"
#include "platform/basekit/Dde.h"
#include "platform/basekit/Message.h"
#include "special/tests/ProvocationFixture.h"

#include <fstream>

namespace {

struct SheetTest : ProvocationFixture {
  TMessage English{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources" / "lang"};
  PREDICTED_DATA Patient = [] {
    PREDICTED_DATA p;
    p.SetName("Kovacs Anna");
    p.Age = 42;
    p.Height = 165;
    p.Weight = 58;
    return p;
  }();

  TProvocationModel Provoked() {
    WriteIni("Histamine", "Type=0\nConcentration=2.5\nAccum=1\nMaximum=2.0\nMaterialOfSolution=Salbutamol\n",
             "Param1=FVC02\nLimit1=-20\nParam2=VC00\nLimit2=-10\nParam3=\n");
    TProvocationModel model = Open();
    model.AddDataToProvListBox({3.00f, 4.00f, 0.0f});
    model.SetAccumulatedDose(1.25f);
    model.AddDataToProvListBox({2.35f, 3.90f, 0.0f});
    return model;
  }

  // Pokes through the real connection into the workbook and reads it back.
  std::optional<TCsvWorkbook> Export(const std::vector<ProvocationSheet::TRow>& rows, std::string_view settings,
                                     bool* sent = nullptr) {
    std::ofstream(Ini, std::ios::app) << "[DDE]\n" << settings;
    TDDE dde(&English, Ini, Folder.Path());
    if (!dde.ConnectDDE())
      return std::nullopt;
    const bool ok = ProvocationSheet::SendDataToExcel(rows, dde);
    if (sent)
      *sent = ok;
    dde.DisconnectDDE();
    return TCsvWorkbook::Parse(TTemporaryFolder::Read(Folder / "Halvetra.csv"));
  }
};

}  // namespace

TEST_F(SheetTest, HeaderAndStepRowsInTheirCells) {
  const TProvocationModel model = Provoked();
  const auto rows = ProvocationSheet::Rows(model, English, Patient);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0], (ProvocationSheet::TRow{"Kovacs Anna", "42", "165 cm", "58 kg", "", "", "", ""}));
  EXPECT_EQ(rows[1], ProvocationSheet::TRow{});
  EXPECT_EQ(rows[2][0], English.LoadStringA(349));
  EXPECT_EQ(rows[3], (ProvocationSheet::TRow{"Histamine", "2.0 ml", English.LoadStringA(351), English.LoadStringA(339),
                                             English.LoadStringA(342), "2.5", English.LoadStringA(347),
                                             "Salbutamol"}));
  EXPECT_EQ(rows[4], (ProvocationSheet::TRow{"", "", "FEV*1,0", "", "IVC", "", "", ""}));
  EXPECT_EQ(rows[5], (ProvocationSheet::TRow{"[mg/ml]", "[ml]", "AKT.", "%", "AKT.", "%", "AKT.", "%"}));
  // 2.35 / 3.00 -> -22 %; 3.90 / 4.00 = 0.975 -> -2.5 %, shown "-2" (printf rounds half to even).
  EXPECT_EQ(rows[7], (ProvocationSheet::TRow{" 2.5", " 1.25", " 2.35", " -22", " 3.90", "  -2", " 0.00", "   0"}));

  PREDICTED_DATA imperial = Patient;
  imperial.Unit = 1;
  imperial.Height = 65;  // 5 ft 5 in
  imperial.Weight = 128;
  const auto feet = ProvocationSheet::Rows(model, English, imperial);
  EXPECT_EQ(feet[0][2], "5 ft 5 in");
  EXPECT_EQ(feet[0][3], "128 lb");
}

TEST_F(SheetTest, AnEmptyListSendsOnlyTheHeader) {
  WriteIni("Histamine", "Type=0\nConcentration=2.5\n");
  const TProvocationModel model = Open();
  const auto book = Export(ProvocationSheet::Rows(model, English, Patient), "");
  ASSERT_TRUE(book.has_value());
  EXPECT_EQ(book->RowCount(), 6u);
  EXPECT_EQ(book->Get(6, 3), "AKT.");
}

TEST_F(SheetTest, MagyarCommasEverywhereButTheUnitsRow) {
  Folder.Write("Magyar.txt", "349=Anyag\n351=Halmozott\n");
  const TMessage magyar{"Magyar", Folder.Path()};
  const TProvocationModel model = Provoked();
  const auto rows = ProvocationSheet::Rows(model, magyar, Patient);
  EXPECT_EQ(rows[7][1], " 1,25");
  EXPECT_EQ(rows[3][1], "2,0 ml");
  EXPECT_EQ(rows[4][2], "FEV*1,0");
  EXPECT_EQ(rows[5], (ProvocationSheet::TRow{"[mg/ml]", "[ml]", "AKT.", "%", "AKT.", "%", "AKT.", "%"}));
}

TEST_F(SheetTest, FirstRowFiveAndColumnTwoShiftEveryCell) {
  const TProvocationModel model = Provoked();
  bool sent = false;
  const auto book = Export(ProvocationSheet::Rows(model, English, Patient), "FirstRow=5\nFirstColumn=2\n", &sent);
  ASSERT_TRUE(book.has_value());
  EXPECT_TRUE(sent);
  EXPECT_EQ(book->Get(5, 2), "Kovacs Anna");
  // The first step line, the baseline, on row 5 + 6 = 11, columns 2 to 9.
  // The baseline of one concentration lists none: "%4s" of nothing, blanks kept.
  EXPECT_EQ(book->Get(11, 2), "    ");
  EXPECT_EQ(book->Get(11, 4), " 3.00");
  EXPECT_EQ(book->Get(12, 2), " 2.5");
  EXPECT_EQ(book->Get(12, 9), "   0");
}

TEST_F(SheetTest, WideValuesKeepTheirCells) {
  WriteIni("Histamine", "Type=1\nQueue=12.5\nAccum=1\n");
  TProvocationModel model = Open();
  model.AddDataToProvListBox({3.0f, 0.0f, 0.0f});
  model.SetAccumulatedDose(125.0f);
  model.AddDataToProvListBox({0.01f, 0.0f, 0.0f});  // 0.01 / 3 - 1: -99.67 %
  const auto rows = ProvocationSheet::Rows(model, English, Patient);
  EXPECT_EQ(rows[7][0], "12.5");
  EXPECT_EQ(rows[7][1], "125.00");
  EXPECT_EQ(rows[7][2], " 0.01");
  EXPECT_EQ(rows[7][3], "-100");
}

TEST_F(SheetTest, AFailedPokeEndsTheExport) {
  const TProvocationModel model = Provoked();
  auto rows = ProvocationSheet::Rows(model, English, Patient);
  rows[3][0] = "\xff\xfe";  // no UTF-8: the connection refuses the cell
  bool sent = true;
  const auto book = Export(rows, "", &sent);
  ASSERT_TRUE(book.has_value());
  EXPECT_FALSE(sent);
  EXPECT_EQ(book->Get(3, 1), English.LoadStringA(349));  // poked before it
  EXPECT_EQ(book->RowCount(), 3u);                       // nothing after it
}
