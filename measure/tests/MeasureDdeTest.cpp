// The window's spreadsheet export command: the settings dialog first,
// then the shown test's cells in the workbook; nothing on a cancel.

#include "common/CommandNumbers.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "platform/basekit/CsvWorkbook.h"
#include "platform/basekit/Dde.h"

#include <cstring>

namespace {

class MeasureDdeTest : public MeasureCoreTest {
protected:
  MeasureDdeTest() {
    Core.SetPredictedData(ExportedPatient());
    Core.SetMeasureMode(MEASURE_FVC);
    Core.TrialOrder = {1, 0, 0};
    Core.GetAktBuffer(MEASURE_FVC, 0)[0] = 3.25f;
    Core.DdeFolder = Folder.Path();
    Client.Answers = {0};  // not in context-help mode
  }
  std::filesystem::path Workbook() const { return Folder.Path() / "Halvetra.csv"; }
};

TEST_F(MeasureDdeTest, TheCommandPutsTheShownTestIntoTheWorkbook) {
  TCommandEnabler enabler(CM_DDE);
  Core.CommandEnable(enabler);
  EXPECT_TRUE(enabler.GetEnabled()) << "idle";

  int asked = 0;
  Core.RunDdeDialog = [&](TTDdeDialogStruct& settings) {
    ++asked;
    settings.FirstRow = "3";
    return true;
  };
  Core.DispatchCommand(CM_DDE);
  EXPECT_EQ(asked, 1);
  const auto book = TCsvWorkbook::Parse(TTemporaryFolder::Read(Workbook()));
  ASSERT_TRUE(book.has_value());
  EXPECT_EQ(book->Get(3, 1), "Kovacs Anna");
  EXPECT_EQ(book->Get(3, 3), "168 cm");
  EXPECT_EQ(book->Get(8, 1), "FVC");   // the first parameter row, five rows below the first
  EXPECT_EQ(book->Get(8, 3), " 3.25");
  EXPECT_EQ(TDDE(&Texts, Ini.string(), Folder.Path()).Settings.FirstRow, 3) << "the settings are kept";
}

TEST_F(MeasureDdeTest, AStageViewSendsTheWindowsProvocationStep) {
  Core.StageView = true;
  Core.ProvocationStep.Material = "Methacholine";
  Core.ProvocationStep.SolutionMaterial = "Saline";
  Core.ProvocationStep.ConcentrationMgPerMl = 2.5f;
  Core.ProvocationStep.Dose = 0.5f;
  Core.RunDdeDialog = [](TTDdeDialogStruct&) { return true; };
  Core.DispatchCommand(CM_DDE);
  const std::string book = TTemporaryFolder::Read(Workbook());
  EXPECT_NE(book.find("Methacholine"), std::string::npos) << book;
  EXPECT_NE(book.find("Saline"), std::string::npos) << book;
}

TEST_F(MeasureDdeTest, CancelSendsAndStoresNothing) {
  Core.RunDdeDialog = [](TTDdeDialogStruct& settings) {
    settings.FirstRow = "9";
    return false;
  };
  Core.DispatchCommand(CM_DDE);
  EXPECT_FALSE(std::filesystem::exists(Workbook()));
  EXPECT_EQ(TDDE(&Texts, Ini.string(), Folder.Path()).Settings.FirstRow, 1);
}

}  // namespace
