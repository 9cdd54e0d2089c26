#include "measure/report/SpiroExport.h"
#include "platform/basekit/DdeExport.h"

#include "common/ParameterBlocks.h"
#include "platform/basekit/Dde.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

using namespace SpiroExport;

namespace {

using TCells = std::map<std::pair<unsigned, unsigned>, std::string>;

std::string At(const TCells& cells, unsigned row, unsigned column) {
  const auto found = cells.find({row, column});
  return found == cells.end() ? "<not poked>" : found->second;
}

class SpiroExportTest : public ::testing::Test {
protected:
  SpiroExportTest() {
    Texts.SetSink(&Sink);
    Magyar.SetSink(&Sink);
    const std::size_t n = FVC_PARAMETER_COUNT;
    Results.assign(4 * n, 0.0f);
    Predicted.assign(n, 0.0f);
    PredictedPre.assign(n, 0.0f);
    Shown.assign(n, 0u);
    // FVC and FEV*1,0 shown; FVC 3.25 of 4.00 (81 %), pre 3.00 of 4.00.
    Shown[0] = Shown[2] = 1;
    Results[0] = 3.25f;
    Results[2] = 2.5f;
    Results[3 * n + 0] = 3.0f;
    Results[1 * n + 0] = 3.2f;  // trial 2
    Predicted[0] = 4.0f;
    PredictedPre[0] = 4.0f;
    std::strcpy(Block.Patient.Name, "Kovacs Anna");
    Block.Patient.Age = 42;
    Block.Patient.Height = 170;
    Block.Patient.Weight = 65;
    Block.EquationName = "ECCS";
    Block.Dates = {"2026.12.10.", "09:30:00", "2026.11.02.", "08:15:00", "2026.12.10.", "09:45:00",
                   "YYYY.MM.DD.", "HH:MM:SS"};
    Block.Provocation = {"Metacholin", "NaCl", 2.5f, 2.0f, 0};
  }

  ResultCells::TResultTable Table(std::array<short, 3> trials = {1, 2, 0}) const {
    ResultCells::TResultSource source;
    source.Kind = 0;
    source.Results = Results;
    source.Predicted = Predicted;
    source.PredictedPre = PredictedPre;
    source.Names = ParameterNames(0);
    source.Units = ParameterUnits(0);
    source.Shown = Shown;
    source.Trials = trials;
    return ResultCells::BuildTable(source);
  }

  TCells Send(const TMessage& texts, int failAt = -1) {
    TCells cells;
    int count = 0;
    const TPoke poke = [&](unsigned row, unsigned column, std::string_view text) {
      if (count++ == failAt)
        return false;
      cells[{row, column}] = std::string(text);
      return true;
    };
    LastResult = SendDataToExcel(poke, texts, Table(), Block);
    Pokes = count;
    return cells;
  }

  TTemporaryFolder Folder;
  TMessage Texts = TMessage::FromText("English", "44=Parameter\n149=Notes:\n296=Agent:\n297=Concentration:\n"
                                                 "298=Dose:\n299=Solvent\n28=Cannot write the text file.\n0=Halvetra\n");
  TMessage Magyar = TMessage::FromText("Magyar", "44=Parameter\n296=Agent:\n297=Concentration:\n298=Dose:\n");
  TRecordingSink Sink;
  std::vector<float> Results, Predicted, PredictedPre;
  std::vector<unsigned> Shown;
  TExportBlock Block;
  bool LastResult = false;
  int Pokes = 0;
};

TEST_F(SpiroExportTest, NormalViewPokesTheWholeBlock) {
  auto cells = Send(Texts);
  EXPECT_TRUE(LastResult);
  EXPECT_EQ(Pokes, 7 * 15);  // five header rows and two parameter rows, every cell
  EXPECT_EQ(At(cells, 0, 0), "Kovacs Anna");
  EXPECT_EQ(At(cells, 0, 1), "42");
  EXPECT_EQ(At(cells, 0, 2), "170 cm");
  EXPECT_EQ(At(cells, 0, 3), "65 kg");
  EXPECT_EQ(At(cells, 0, 4), "ECCS");
  EXPECT_EQ(At(cells, 2, 2), "2026.12.10.");
  EXPECT_EQ(At(cells, 2, 6), "2026.11.02.");
  EXPECT_EQ(At(cells, 3, 6), "08:15:00");
  EXPECT_EQ(At(cells, 4, 0), "Parameter");
  EXPECT_EQ(At(cells, 4, 2), "AKT.");
  EXPECT_EQ(At(cells, 4, 13), "AKT2.");
  // FVC: 3.25 / 4.00 = 81 %; pre 3.00 / 4.00 = 75 %; change (81.25 - 75) / 75 = +8 %.
  // No third trial: its cells stay empty rather than a 0 that reads as measured.
  const std::vector<std::string> fvc{"FVC", "[L]", " 3.25", " 4.00", " 81", "   ", " 3.00", " 4.00", " 75",
                                     " 0.25", " +8", " 3.20", " 80", "", ""};
  for (unsigned c = 0; c < 15; ++c)
    EXPECT_EQ(At(cells, 5, c), fvc[c]) << c;
  EXPECT_EQ(At(cells, 6, 0), "FEV*1,0");
  EXPECT_EQ(At(cells, 6, 3), "");  // no predicted value
}

TEST_F(SpiroExportTest, DecimalCommaInRowsOnlyAndImperialPatient) {
  Block.Patient.Unit = 1;
  Block.Patient.Height = 70;
  Block.Patient.Weight = 150;
  auto cells = Send(Magyar);
  EXPECT_EQ(At(cells, 0, 2), "5 ft 10 in");
  EXPECT_EQ(At(cells, 0, 3), "150 lb");
  EXPECT_EQ(At(cells, 2, 2), "2026.12.10.");  // header cells keep their points
  EXPECT_EQ(At(cells, 5, 2), " 3,25");
  EXPECT_EQ(At(cells, 6, 0), "FEV*1,0");
}

TEST_F(SpiroExportTest, ProvocationViewAndAFailedPoke) {
  Block.ProvocationView = true;
  auto cells = Send(Texts);
  EXPECT_EQ(Pokes, 10 * 12);  // header, two parameters, three provocation rows
  EXPECT_EQ(At(cells, 0, 4), "");
  EXPECT_EQ(At(cells, 2, 6), "2026.12.10.");
  EXPECT_EQ(At(cells, 2, 11), "YYYY.MM.DD.");
  EXPECT_EQ(At(cells, 4, 2), "BASE");
  EXPECT_EQ(At(cells, 4, 10), "Sol.");
  EXPECT_EQ(At(cells, 7, 0), "Agent:");
  EXPECT_EQ(At(cells, 7, 6), "Metacholin");
  EXPECT_EQ(At(cells, 7, 10), "NaCl");
  EXPECT_EQ(At(cells, 8, 6), "  2.50 mg/ml");
  EXPECT_EQ(At(cells, 9, 6), "  2.00    ml");

  Block.ProvocationView = false;
  cells = Send(Texts, 20);
  EXPECT_FALSE(LastResult);
  EXPECT_EQ(Pokes, 21);
  EXPECT_EQ(cells.size(), 20u);
}

TEST_F(SpiroExportTest, CancelStoresNothingAndALaterExportKeepsEarlierCells) {
  const std::string ini = (Folder / "Halvetra.ini").string();
  // The window's export runs the program's shared export command.
  const auto send = [&](TDDE& dde) { return SendDataToExcel(PokeInto(dde), Texts, Table(), Block); };
  const auto run = [&](const DdeExport::TDialog& dialog) {
    return DdeExport::CmDde(&Texts, ini, dialog, send, Folder.Path());
  };
  EXPECT_FALSE(run([](TTDdeDialogStruct& r) { r.FirstRow = "9"; return false; }));
  EXPECT_FALSE(std::filesystem::exists(ini));
  EXPECT_FALSE(std::filesystem::exists(Folder / "Halvetra.csv"));
  EXPECT_TRUE(run([](TTDdeDialogStruct&) { return true; }));
  EXPECT_TRUE(run([](TTDdeDialogStruct& r) { r.FirstColumn = "20"; return true; }));
  EXPECT_EQ(TDDE(&Texts, ini, Folder.Path()).Settings.FirstColumn, 20);
  const auto book = TCsvWorkbook::Parse(TTemporaryFolder::Read(Folder / "Halvetra.csv"));
  ASSERT_TRUE(book.has_value());
  EXPECT_EQ(book->Get(1, 1), "Kovacs Anna");   // the first export
  EXPECT_EQ(book->Get(1, 20), "Kovacs Anna");  // the second, beside it
  EXPECT_EQ(book->Get(6, 3), " 3.25");
}

TEST_F(SpiroExportTest, TextExportGoldenAndUnwritableFile) {
  const auto file = Folder / "result.txt";
  ASSERT_TRUE(WriteTextExport(file, Texts, Table(), Block.Dates, "", "", false, "", false));
  // Fields by hand: 3.25 / 4.00 = 81 %, pre 75 %, change +8 %.
  EXPECT_EQ(TTemporaryFolder::Read(file),
            "2026.12.10.@09:30:00@2026.11.02.@08:15:00\n"
            "FVC@[L]@3.25@4.00@81@   @3.00@4.00@75@0.25@+8\n"
            "FEV*1,0@[L]@2.50@@@@0.00@@@2.50@\n");
  ASSERT_TRUE(WriteTextExport(file, Texts, Table(), Block.Dates, "", "Fine.", true, "Earlier.", true));
  const std::string text = TTemporaryFolder::Read(file);
  EXPECT_EQ(text.substr(text.rfind('\n') + 1), "Notes:@Fine.@Earlier.");

  const auto missing = Folder / "no-such-folder" / "result.txt";
  EXPECT_FALSE(WriteTextExport(missing, Texts, Table(), Block.Dates, "", "", false, "", false));
  EXPECT_TRUE(Sink.Take("Cannot write the text file."));
  EXPECT_FALSE(std::filesystem::exists(missing));
  Sink.ExpectAllTaken();
}

}  // namespace
