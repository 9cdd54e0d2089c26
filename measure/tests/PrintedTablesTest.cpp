#include "measure/report/PrintedTables.h"

#include "common/ParameterBlocks.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace PrintedTables;
using Kind = TRecordingSurface::TKind;

namespace {

const TMessage Texts = TMessage::FromText(
    "English", "44=Parameter\n72=Act.\n73=Change\n149=Notes:\n295=Provoked\n296=Agent:\n297=Concentration:\n"
               "298=Dose:\n299=Solvent\n");

// FVC with FVC, FEV*1,0 and PEF shown; FVC 3.00 of 4.00 predicted.
ResultCells::TResultTable FvcTable(std::vector<float>& results, std::vector<float>& predicted,
                                   std::vector<unsigned>& shown) {
  const std::size_t n = FVC_PARAMETER_COUNT;
  results.assign(4 * n, 0.0f);
  predicted.assign(n, 0.0f);
  shown.assign(n, 0u);
  shown[0] = shown[2] = shown[7] = 1;
  results[0] = 3.0f;
  predicted[0] = 4.0f;
  ResultCells::TResultSource source;
  source.Kind = 0;
  source.Results = results;
  source.Predicted = predicted;
  source.Names = ParameterNames(0);
  source.Units = ParameterUnits(0);
  source.Shown = shown;
  source.Trials = {1, 0, 0};
  return ResultCells::BuildTable(source);
}

std::vector<TColor> BandColours(const TRecordingSurface& surface) {
  std::vector<TColor> colours;
  for (const auto& call : surface.OfKind(Kind::FillRect))
    if (call.Rect.Left == 51 && call.Rect.Right == 741)
      colours.push_back(call.Color);
  return colours;
}

TEST(PrintedTables, PrePostRowsAdvanceAndShadeAcrossTables) {
  std::vector<float> results, predicted;
  std::vector<unsigned> shown;
  const auto table = FvcTable(results, predicted, shown);
  TRecordingSurface surface({800, 1200});
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  canvas.PrintY = 100;
  short counter = 0;
  DrawPrePostTable(canvas, table, counter);
  EXPECT_EQ(canvas.PrintY, 100 + 3 * 11 + 5);
  EXPECT_EQ(counter, 3);
  // The second table goes on shading where the first stopped.
  DrawPrePostTable(canvas, table, counter);
  const TColor grey = TPrintCanvas::Shade, white = TColor::White();
  EXPECT_EQ(BandColours(surface), (std::vector<TColor>{grey, white, grey, white, grey, white}));

  const auto texts = surface.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), std::string(" 3.00   4.00   75") + std::string(6, ' ')), texts.end())
      << "no grader: the mark is three blanks";
  // Rows close up: the name of the third shown parameter sits on row 2.
  bool found = false;
  for (const auto& call : surface.OfKind(Kind::TextInRect))
    if (call.Text == "PEF" && call.Rect.Top == 100 + 2 * 11 + 5)
      found = true;
  EXPECT_TRUE(found);
}

TEST(PrintedTables, TitleBlockAndProvocationSteps) {
  TRecordingSurface surface({800, 1200});
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  canvas.PrintY = 200;
  DrawPrePostTitle(canvas, Texts, {"2026.12.10.", "10:20:30", "YYYY.MM.DD.", "HH:MM:SS", "", ""});
  EXPECT_EQ(canvas.PrintY, 230);
  auto texts = surface.Texts();
  for (const char* expected : {"2026.12.10.", "YYYY.MM.DD.", "Change", "Parameter", "Act.   Ref.   %    RSD"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;

  surface.Calls.clear();
  DrawProvocationSteps(canvas, Texts, {"Metacholin", "", false, 2.5f, 2.0f, 0}, 1);
  EXPECT_EQ(canvas.PrintY, 230 + 44);
  texts = surface.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "  2.50 mg/ml"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "  2.00    ml"), texts.end());
  surface.Calls.clear();
  DrawProvocationSteps(canvas, Texts, {"Metacholin", "", false, 2.5f, 2.0f, 1}, 1);
  texts = surface.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "  5.00    mg"), texts.end());
}

TEST(PrintedTables, MonochromeProvocationValuesAreBlack) {
  std::vector<float> results, predicted;
  std::vector<unsigned> shown;
  auto table = FvcTable(results, predicted, shown);
  TRecordingSurface surface({800, 1200});
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  canvas.ColourDevice = false;
  short counter = 0;
  DrawProvocationTable(canvas, table, false, counter);
  for (const auto& call : surface.OfKind(Kind::TextInRect))
    EXPECT_EQ(call.Style.Color, TColor::Black()) << call.Text;
}

TEST(PrintedTables, NoteBox) {
  TRecordingSurface surface({800, 1200});
  TPrintCanvas canvas(surface, 1.25f, 1.25f);
  canvas.PrintY = 300;
  // No note: no box and no height.
  TNotes notes;
  EXPECT_EQ(DiagnosisHeight(canvas, notes), 0);
  WriteDiagnosis(canvas, Texts, notes);
  EXPECT_TRUE(surface.Calls.empty());
  EXPECT_EQ(canvas.PrintY, 300);
  // An unset actual note brings no box either.
  notes.Actual = "No note for the actual measurement.";
  EXPECT_EQ(DiagnosisHeight(canvas, notes), 0);

  // One line on the left: 15 px font on a 1.25 scale, (15 + 2) / 1.25 = 13 units.
  notes.Current = "Good effort.";
  EXPECT_EQ(DiagnosisHeight(canvas, notes), 5 + 13);
  // A long pre note wraps in its 363-pixel column (40 characters of 9 px):
  // 60 characters take two lines, and the box grows with it.
  notes.Pre = std::string(30, 'a') + " " + std::string(29, 'b');
  notes.PreSet = true;
  const int height = DiagnosisHeight(canvas, notes);
  EXPECT_EQ(height, 5 + static_cast<int>((2 * 15 + 2) / 1.25f));
  WriteDiagnosis(canvas, Texts, notes);
  EXPECT_EQ(canvas.PrintY, 300 + height);
  const auto texts = surface.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), std::string(30, 'a')), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), std::string(29, 'b')), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Notes:"), texts.end());
}

TEST(PrintedTables, WrapCutsAWordWithoutBlanks) {
  TRecordingSurface surface;
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  const TFontSpec font{"Courier New", 10, 700};  // 6 px a character
  EXPECT_EQ(canvas.Wrap("abcdefghij", 30, font), (std::vector<std::string>{"abcde", "fghij"}));
  EXPECT_EQ(canvas.Wrap("ab cd ef\ngh", 30, font), (std::vector<std::string>{"ab cd", "ef", "gh"}));
}

}  // namespace
