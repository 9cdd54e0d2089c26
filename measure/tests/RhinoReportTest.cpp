// The rhinomanometry report and spreadsheet sheet of a window: the
// report's height is what its printing advances (so the page count is
// never short), its legend and provocation rows, and the sheet's cells
// worked by hand; a failed poke in a data line ends only that line.

#include "common/CommandNumbers.h"
#include "measure/report/MeasurePrintout.h"
#include "measure/report/RhinoSheet.h"
#include "measure/screen/RhinoChart.h"
#include "measure/screen/RhinoScreenTexts.h"
#include "measure/tests/MeasureCoreFixture.h"
#include "platform/basekit/CsvWorkbook.h"
#include "testing/RecordingSurface.h"

#include <algorithm>

namespace {

using RecordedKind = TRecordingSurface::TKind;

class RhinoReportTest : public MeasureCoreTest {
protected:
  RhinoReportTest() {
    Core.SetMeasureMode(MEASURE_RHINO);
    // Right, left and both nostrils at 150 Pa of the actual and the
    // previous result.
    Core.Rhino.ParamsAkt.Flows[3] = {350.4f, 400.6f, 751.0f};
    Core.Rhino.ParamsPre.Flows[3] = {300.0f, 320.0f, 620.0f};
    SecondPairCurve(20);
  }

  // A short breath of the second pair's right nostril (slot 2): up to
  // 200 mL/s at 100 Pa, near the diagram's origin.
  void SecondPairCurve(short samples) {
    Core.Flow[2].assign(static_cast<std::size_t>(samples), 0.0f);
    Core.Third[2].assign(static_cast<std::size_t>(samples), 0.0f);
    for (short i = 0; i < samples; ++i) {
      Core.Flow[2][static_cast<std::size_t>(i)] = 10.0f * i;
      Core.Third[2][static_cast<std::size_t>(i)] = 5.0f * i;
    }
    Core.SampleCount[MEASURE_RHINO][2] = samples;
  }

  // The report on a tall recording page from line 100; what it advanced.
  int Printed(TRecordingSurface& surface, int& height) {
    TMeasurePrintout printout(Core, Texts);
    TRhinoPrintout& report = printout.Rhino();
    report.Notes = Notes;
    report.DottedLines = Dotted;
    TPrintCanvas canvas(surface, 1.0f, 1.0f);
    canvas.PrintY = 100;
    height = report.CalculateMeasureHeight(canvas, 2000, 100);
    report.PrintMeasure(canvas, 1);
    return canvas.PrintY - 100;
  }

  PrintedTables::TNotes Notes;
  bool Dotted = true;
};

TEST_F(RhinoReportTest, TheHeightIsWhatThePrintingAdvances) {
  struct Case {
    const char* name;
    TRhinoRows rows;
    bool provoked;
    int height;  // by hand: title 50, 11 a row and 5, provocation 44, gap 20, diagram 336
  };
  const Case cases[] = {
      {"the anterior defaults: six rows", DefaultAnteriorRows, false, 50 + 66 + 5 + 20 + 336},
      {"after a provocation", DefaultAnteriorRows, true, 50 + 66 + 5 + 44 + 20 + 336},
      {"no row chosen", TRhinoRows{}, false, 50 + 5 + 20 + 336},
      {"one row", TRhinoRows{0, 0, 0, 1, 0}, false, 50 + 22 + 5 + 20 + 336},
  };
  for (const Case& c : cases) {
    Core.Rhino.RowsAnterior = c.rows;
    Core.Rhino.Provoked = c.provoked;
    TRecordingSurface surface({800, 2000});
    int height = 0;
    EXPECT_EQ(Printed(surface, height), c.height) << c.name;
    EXPECT_EQ(height, c.height) << c.name;
  }
}

TEST_F(RhinoReportTest, NotesAddTheirBoxToTheHeightAndTheAdvanceAlike) {
  Notes.Current = "Septal deviation to the left";
  TRecordingSurface surface({800, 2000});
  int height = 0;
  const int advanced = Printed(surface, height);
  EXPECT_EQ(advanced, height);
  EXPECT_GT(height, 50 + 66 + 5 + 20 + 336 + 5) << "the box takes room";
  const std::vector<std::string> texts = surface.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), Texts.LoadStringA(149)), texts.end());
}

TEST_F(RhinoReportTest, LegendAndProvocationRowsFollowTheProvocation) {
  Core.Rhino.RowsAnterior = {0, 0, 0, 1, 0};
  {
    TRecordingSurface surface({800, 2000});
    int height = 0;
    Printed(surface, height);
    const std::vector<std::string> texts = surface.Texts();
    for (const char* expected : {"Act. ", "Pre. ", "Flow [150]", "  350", "  401", "  751", "   17", "   25", "   21"})
      EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "Histamine"), texts.end());
  }
  Core.Rhino.Provoked = true;
  Core.Rhino.ProvocationMaterial = "Histamine";
  Core.Rhino.ProvocationConcentration = 2.5f;
  Core.Rhino.ProvocationDose = 0.1f;
  TRecordingSurface surface({800, 2000});
  int height = 0;
  Printed(surface, height);
  const std::vector<std::string> texts = surface.Texts();
  for (const char* expected : {"Base", "Prov", "Histamine", "  2.50 mg/ml", "  0.10    ml"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  // After a provocation the change is the provoked result's against the
  // base: (300 - 350) / 350 = -14.3 %.
  EXPECT_NE(std::find(texts.begin(), texts.end(), "  -14"), texts.end());
}

// The legend's second line names the previous (or provoked) test beside a
// sample of its pen only when that test's curve is drawn: the diagram's
// top lies at 100 + 50 + 5 + 20 (title, no rows, gap), 44 lower after a
// provocation (its rows), the second line 9 below it, its sample at y + 4.
TEST_F(RhinoReportTest, TheLegendsSecondLineOnlyWithTheSecondPairsCurve) {
  Core.Rhino.RowsAnterior = {};
  struct Case {
    const char* name;
    bool provoked;
    short samples;
    const char* text;
  };
  for (const Case c : {Case{"a previous test", false, 20, "Pre. "}, Case{"no previous test", false, 0, "Pre. "},
                       Case{"after a provocation", true, 20, "Prov"}, Case{"provoked, not yet measured", true, 0, "Prov"}}) {
    SCOPED_TRACE(c.name);
    Core.Rhino.Provoked = c.provoked;
    SecondPairCurve(c.samples);
    TRecordingSurface surface({800, 2000});
    int height = 0;
    Printed(surface, height);
    const std::vector<std::string> texts = surface.Texts();
    const bool shown = c.samples > 0;
    const int second = 100 + 50 + 5 + (c.provoked ? 44 : 0) + 20 + 9;
    EXPECT_EQ(std::count(texts.begin(), texts.end(), c.text), shown ? 1 : 0);
    int samples = 0;
    for (const auto& call : surface.OfKind(RecordedKind::Line))
      samples += call.Points[0].Y == second + 4 && call.Points[1].Y == second + 4 && call.Points[0].X >= 641 &&
                 call.Points[1].X <= 681;
    EXPECT_EQ(samples, shown ? 5 : 0) << "dotted lines: five dashes";
  }
}

TEST_F(RhinoReportTest, SecondPairValuesInDarkRedUnlessZero) {
  Core.Rhino.RowsAnterior = {0, 0, 0, 1, 0};
  Core.Rhino.ParamsPre.Flows[3] = {0.0f, 320.0f, 320.0f};
  TRecordingSurface surface({800, 2000});
  int height = 0;
  Printed(surface, height);
  const auto colourOf = [&](const std::string& text, int left) {
    for (const auto& call : surface.OfKind(RecordedKind::TextInRect))
      if (call.Text == text && call.Rect.Left == left)
        return call.Style.Color;
    ADD_FAILURE() << text << " at " << left;
    return TColor::White();
  };
  // Cells of 53 from 251: the second pair's right nostril at 410, left at 463.
  EXPECT_EQ(colourOf("    0", 410), TColor::Black());
  EXPECT_EQ(colourOf("  320", 463), (TColor{128, 0, 0}));
  EXPECT_EQ(colourOf("  350", 251), (TColor{0, 0, 255}));
}

TEST_F(RhinoReportTest, TheSecondLegendSampleIsDashedOnlyWithDottedLines) {
  const auto dashesAt = [](const TRecordingSurface& surface, int y) {
    int count = 0;
    for (const auto& call : surface.OfKind(RecordedKind::Line))
      if (call.Points[0].Y == y && call.Points[1].Y == y && call.Points[0].X >= 641 && call.Points[1].X <= 681)
        ++count;
    return count;
  };
  // The diagram's top lies 20 below the report's other blocks: title 50,
  // the closing 5 of no rows.
  const int top = 100 + 50 + 5 + 20;
  Core.Rhino.RowsAnterior = {};
  for (const bool dotted : {true, false}) {
    Dotted = dotted;
    TRecordingSurface surface({800, 2000});
    int height = 0;
    Printed(surface, height);
    EXPECT_EQ(dashesAt(surface, top + 4), 1) << dotted;
    EXPECT_EQ(dashesAt(surface, top + 13), dotted ? 5 : 1) << dotted;
    // Each sample in its pair's pen: light blue, then dark red.
    for (const auto& call : surface.OfKind(RecordedKind::Line))
      if (call.Points[0].X == 641 && call.Points[0].Y == call.Points[1].Y) {
        const bool second = call.Points[0].Y == top + 13;
        EXPECT_EQ(call.Pen.Color, second ? (TColor{128, 0, 0}) : (TColor{0, 0, 255})) << second;
      }
  }
}

TEST_F(RhinoReportTest, TheSheetInTheWorkbook) {
  Core.SetPredictedData(ExportedPatient());
  Core.Rhino.RowsAnterior = {0, 0, 0, 1, 0};
  Core.DdeFolder = Folder.Path();
  Client.Answers = {0};  // not in context-help mode
  Core.RunDdeDialog = [](TTDdeDialogStruct&) { return true; };
  Core.DispatchCommand(CM_DDE);
  const auto book = TCsvWorkbook::Parse(TTemporaryFolder::Read(Folder.Path() / "Halvetra.csv"));
  ASSERT_TRUE(book.has_value());
  // The sheet starts at row 1, column 1: the header's five rows, then the
  // flow line and the resistance line of 150 Pa.
  EXPECT_EQ(book->Get(1, 1), "Kovacs Anna");
  EXPECT_EQ(book->Get(1, 3), "168 cm");
  EXPECT_EQ(book->Get(5, 3), Texts.LoadStringA(313));
  // Flows as shown; changes of the actual against the previous result:
  // (350 - 300) / 300 = 16.7, (401 - 320) / 320 = 25.3, (751 - 620) / 620 = 21.1.
  const std::vector<std::string> flow{"Flow [150]", "[mL/s]", "  350", "  401", "  751", "  300",
                                      "  320",      "  620",  "   17", "   25", "   21"};
  // Resistances 150 / flow to two decimals: 0.43, 0.37, 0.20 and 0.50, 0.47,
  // 0.24; changes (0.43 - 0.50) / 0.50 = -14, (0.37 - 0.47) / 0.47 = -21.3,
  // (0.20 - 0.24) / 0.24 = -16.7, whole, then to two decimals.
  const std::vector<std::string> resistance{"RES  [150]", "[Pa/mL/s]", " 0.43",  " 0.37",  " 0.20",  " 0.50",
                                            " 0.47",      " 0.24",     "-14.00", "-21.00", "-17.00"};
  for (std::size_t c = 0; c < flow.size(); ++c) {
    EXPECT_EQ(book->Get(6, c + 1), flow[c]) << c;
    EXPECT_EQ(book->Get(7, c + 1), resistance[c]) << c;
  }
}

TEST_F(RhinoReportTest, TheScreenHeadNamesEachPairByItsDateOrWhatItHolds) {
  const TUtil colours = TMeasurePrintout::PrintColours();
  const TMeasurePainter painter(Core, colours, Texts, nullptr);
  const auto has = [](const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  RhinoScreenTexts::TRhinoTableHead head;
  head.PairStored = {true, false};
  head.Date = {"2026.12.11", ""};
  head.Time = {"09:30:15", ""};
  TRecordingSurface stored;
  RhinoScreenTexts::WriteRhinoTable(painter, stored, Texts, head);
  std::vector<std::string> texts = stored.Texts();
  EXPECT_TRUE(has(texts, "Parameter  "));
  EXPECT_TRUE(has(texts, "2026.12.11"));
  EXPECT_TRUE(has(texts, "09:30:15"));
  EXPECT_TRUE(has(texts, Texts.LoadStringA(303))) << "the second pair holds the previous result";
  EXPECT_FALSE(has(texts, Texts.LoadStringA(302)));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), Texts.LoadStringA(313)), 2) << "right, over both pairs";

  head.PairStored = {false, false};
  head.Provoked = true;
  TRecordingSurface provoked;
  RhinoScreenTexts::WriteRhinoTable(painter, provoked, Texts, head);
  texts = provoked.Texts();
  EXPECT_TRUE(has(texts, Texts.LoadStringA(294)));
  EXPECT_TRUE(has(texts, Texts.LoadStringA(295)));
  EXPECT_FALSE(has(texts, "2026.12.11"));

  TRecordingSurface block;
  RhinoScreenTexts::WriteRhinoProvocation(painter, block, Texts, {"Histamine", 2.5f, 0.1f});
  texts = block.Texts();
  for (const std::string& expected :
       {Texts.LoadStringA(582), Texts.LoadStringA(349) + ":", std::string("Histamine"), std::string("2.50 mg/ml"),
        std::string("0.10 ml")})
    EXPECT_TRUE(has(texts, expected)) << expected;
}

// The head's label and the column names side by side on the screens the
// window meets: the same shape as the layout (800 x 600, 1024 x 768), a
// wide one (1280 x 800) and a square one, whose fonts grow with the height
// faster than the columns spread with the width (the offscreen 800 x 800).
TEST_F(RhinoReportTest, TheHeadsLabelAndColumnNamesNeverOverlap) {
  const TUtil colours = TMeasurePrintout::PrintColours();
  TMeasurePainter painter(Core, colours, Texts, nullptr);
  struct Shape {
    float x, y;
  };
  for (const Shape shape : {Shape{1.0f, 1.0f}, Shape{1.28f, 1.28f}, Shape{1.6f, 1.333f}, Shape{1.0f, 1.333f},
                            Shape{0.98f, 1.2f}})
    for (const short screen : {short{0}, short{1}, short{5}}) {
      SCOPED_TRACE(testing::Message() << shape.x << " x " << shape.y << ", screen index " << screen);
      painter.Display.XScale = shape.x;
      painter.Display.YScale = shape.y;
      RhinoScreenTexts::TRhinoTableHead head;
      head.ScreenIndex = screen;
      TRecordingSurface surface({static_cast<int>(800 * shape.x), static_cast<int>(600 * shape.y)});
      RhinoScreenTexts::WriteRhinoTable(painter, surface, Texts, head);
      const std::vector<std::string> texts = surface.Texts();
      ASSERT_NE(std::find(texts.begin(), texts.end(), "Parameter  "), texts.end());
      for (const std::string& overlap : surface.OverlappingTexts())
        ADD_FAILURE() << overlap;
    }
}

TEST_F(RhinoReportTest, TheBigTableShowsBothResultsAndTheirChange) {
  const TUtil colours = TMeasurePrintout::PrintColours();
  TMeasurePainter painter(Core, colours, Texts, nullptr);
  const auto texts = [&](const TRhinoRows& rows) {
    TRecordingSurface surface;
    RhinoScreenTexts::DrawRhinoBigTable(painter, surface, Texts, Core.Rhino.ParamsAkt, Core.Rhino.ParamsPre, rows,
                                        false);
    return surface.Texts();
  };
  const std::vector<std::string> none = texts(TRhinoRows{});
  EXPECT_EQ(none.size(), 10u) << "the header row alone";
  const std::vector<std::string> shown = texts(TRhinoRows{0, 0, 0, 1, 0});
  // The changes as in the sheet: 17, 25 and 21 % for the flows, -14, -21
  // and -17 % for the resistances 0.43/0.50, 0.37/0.47, 0.20/0.24.
  for (const char* expected : {"Flow [150]", "[mL/s]", "  350", "  401", "  751", "  300", "   17", "   25", "   21",
                               "RES  [150]", "[Pa/mL/s]", " 0.43", " 0.50", "  -14", "  -21", "  -17"})
    EXPECT_NE(std::find(shown.begin(), shown.end(), expected), shown.end()) << expected;
}

// The big table's labels and units side by side in their column, on the
// same screens as the head.
TEST_F(RhinoReportTest, TheBigTablesLabelsAndUnitsNeverOverlap) {
  const TUtil colours = TMeasurePrintout::PrintColours();
  TMeasurePainter painter(Core, colours, Texts, nullptr);
  const TRhinoRows all{1, 1, 1, 1, 1};
  struct Shape {
    float x, y;
  };
  for (const Shape shape : {Shape{1.0f, 1.0f}, Shape{1.28f, 1.28f}, Shape{1.6f, 1.333f}, Shape{1.0f, 1.333f},
                            Shape{0.98f, 1.2f}}) {
    SCOPED_TRACE(testing::Message() << shape.x << " x " << shape.y);
    painter.Display.XScale = shape.x;
    painter.Display.YScale = shape.y;
    TRecordingSurface surface({static_cast<int>(800 * shape.x), static_cast<int>(600 * shape.y)});
    RhinoScreenTexts::DrawRhinoBigTable(painter, surface, Texts, Core.Rhino.ParamsAkt, Core.Rhino.ParamsPre, all,
                                        false);
    const std::vector<std::string> texts = surface.Texts();
    ASSERT_NE(std::find(texts.begin(), texts.end(), "[Pa/mL/s]"), texts.end());
    for (const std::string& overlap : surface.OverlappingTexts())
      ADD_FAILURE() << overlap;
  }
}

TEST_F(RhinoReportTest, TheVolumeStripIsLabelledAtEveryStep) {
  const TUtil colours = TMeasurePrintout::PrintColours();
  const TMeasurePainter painter(Core, colours, Texts, nullptr);
  struct Case {
    short scaleIndex;
    std::vector<std::string> volumes;  // 1000 to -250 mL times the volume factor, 0 unlabelled
  };
  const Case cases[] = {{1, {"1000", "750", "500", "250", "-250"}}, {0, {"1500", "1125", "750", "375", "-375"}}};
  for (const Case& c : cases) {
    TRecordingSurface surface;
    RhinoChart::DrawRhinoVolumeKoordinata(painter, surface, RhinoFactors(c.scaleIndex));
    const std::vector<std::string> texts = surface.Texts();
    for (const std::string& expected : c.volumes)
      EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    // Seconds every 5 up to 60, whatever rhinomanometry's diagram labels.
    for (const char* expected : {"5", "30", "60", "[s]", "[mL]"})
      EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  }
}

TEST(RhinoSheet, AFailedPokeEndsItsPartButADataLineOnlyItself) {
  rhinomanometry::SheetCells cells;
  cells.header = {{0, 0, "h0"}, {0, 1, "h1"}};
  cells.lines = {{{5, 0, "a0"}, {5, 1, "a1"}, {5, 2, "a2"}}, {{6, 0, "b0"}, {6, 1, "b1"}, {6, 2, "b2"}}};
  cells.provocation = {{7, 0, "p0"}, {8, 0, "p1"}};
  struct Case {
    const char* name;
    std::string failing;
    std::vector<std::string> poked;
    bool result;
  };
  const Case cases[] = {
      {"all poked", "", {"h0", "h1", "a0", "a1", "a2", "b0", "b1", "b2", "p0", "p1"}, true},
      {"the header ends the export", "h0", {"h0"}, false},
      {"a data line ends itself", "a1", {"h0", "h1", "a0", "a1", "b0", "b1", "b2", "p0", "p1"}, false},
      {"the provocation rows end there", "p0", {"h0", "h1", "a0", "a1", "a2", "b0", "b1", "b2", "p0"}, false},
  };
  for (const Case& c : cases) {
    std::vector<std::string> poked;
    const bool result = RhinoSheet::SendRhinoDataToExcel(
        [&](unsigned, unsigned, std::string_view text) {
          poked.emplace_back(text);
          return text != c.failing;
        },
        cells);
    EXPECT_EQ(poked, c.poked) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
  }
}

}  // namespace
