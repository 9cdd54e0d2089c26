// The audiogram's drawing and its spreadsheet cells, on a recording
// surface: expected positions are worked out by hand from the layout
// (column x = origin + 23 x column, level y = top + 15 + 1.5 x dB).

#include "audiometry/audiogram/AudiogramExport.h"
#include "audiometry/audiogram/AudiogramPainter.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSurface.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using K = TRecordingSurface::TKind;

TMessage EnglishTexts() { return TMessage("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"); }

void Measure(TAudiogramData& data, int ear, int kind, int frequency, int db) {
  data.Thresholds[static_cast<std::size_t>(ear)][static_cast<std::size_t>(kind)][static_cast<std::size_t>(frequency)] = db;
  data.Flags[static_cast<std::size_t>(ear)][static_cast<std::size_t>(kind)][static_cast<std::size_t>(frequency)] = true;
}

// The segments drawn with a pen of this colour and width, dots left out.
std::vector<std::pair<TPoint, TPoint>> Segments(const TRecordingSurface& surface, TColor colour, int width) {
  std::vector<std::pair<TPoint, TPoint>> found;
  for (const auto& call : surface.Calls)
    if (call.Kind == K::Line && call.Pen.Color == colour && call.Pen.Width == width) {
      const TPoint a = call.Points[0];
      const TPoint b = call.Points[1];
      if (std::abs(a.X - b.X) > 1 || std::abs(a.Y - b.Y) > 1)
        found.emplace_back(a, b);
    }
  return found;
}

TEST(Audiogram, ACurveJoinsEachPointToTheNearestLowerMeasuredFrequency) {
  const TMessage texts = EnglishTexts();
  TAudiogramData data;
  Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 2, 20);  // 500 Hz
  Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 6, 40);  // 2000 Hz
  TAudiogramPens pens;
  TAudiogramLayout layout;
  TRecordingSurface surface;
  TAudiogramPainter(surface, &texts, data, layout, pens).DrawCurves(TAudiogramData::Right);

  // Column 4 at x 26 + 92, 20 dB at y 114 + 15 + 30; column 8 at x 26 + 184, 40 dB at 114 + 15 + 60.
  const auto segments = Segments(surface, pens.Right.Color, pens.Right.Width);
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0].first, (TPoint{118, 159}));
  EXPECT_EQ(segments[0].second, (TPoint{210, 189}));
  // Each point carries the right ear's circle.
  EXPECT_EQ(surface.OfKind(K::Polyline).size(), 2u);
}

TEST(Audiogram, ChartColumnsFollowTheFrequencies) {
  const std::map<int, int> columns{{0, 0}, {1, 2}, {2, 4}, {4, 6}, {10, 12}};
  for (const auto& [frequency, column] : columns)
    EXPECT_EQ(TAudiogramPainter::Column(frequency), column) << frequency;
}

TEST(Audiogram, PrintedLeftEarIsBlueCrossesAndThePreviousTestGreen) {
  const TMessage texts = EnglishTexts();
  TAudiogramData data;
  Measure(data, TAudiogramData::Left, TAudiogramData::Actual, 4, 30);    // 1000 Hz
  Measure(data, TAudiogramData::Left, TAudiogramData::Previous, 4, 10);
  TAudiogramPens pens;
  TAudiogramLayout layout;
  layout.BitmapMode = true;
  layout.PrintOffset = 50;
  TRecordingSurface surface;
  TAudiogramPainter(surface, &texts, data, layout, pens).DrawCurves(TAudiogramData::Left);

  // On paper the left chart's grid starts at x 454: column 6 is x 592; 30 dB is y 50 + 15 + 45.
  const TColor blue{0, 0, 255};
  const auto cross = Segments(surface, blue, 2);
  ASSERT_EQ(cross.size(), 2u);
  EXPECT_EQ(cross[0].first, (TPoint{588, 106}));
  EXPECT_EQ(cross[0].second, (TPoint{596, 114}));
  const auto previous = Segments(surface, TColor(0, 255, 0), 2);
  EXPECT_EQ(previous.size(), 2u) << "the previous test's cross in green";
}

TEST(Audiogram, TableLabelsTellTheDatesOrTheMissingTest) {
  const TMessage texts = EnglishTexts();
  TAudiogramData data;
  data.Stamps[TAudiogramData::Previous] = {2026, 3, 7, 10, 5, 9};
  TAudiogramPens pens;
  TAudiogramLayout layout;
  layout.DateFormat = "DD/MM/YYYY";
  TRecordingSurface surface;
  TAudiogramPainter(surface, &texts, data, layout, pens).WriteTable();
  const auto written = surface.Texts();
  EXPECT_NE(std::find(written.begin(), written.end(), texts.LoadStringA(302) + " [dB]"), written.end());
  EXPECT_NE(std::find(written.begin(), written.end(), "07/03/2026 10:05:09"), written.end());
  EXPECT_NE(std::find(written.begin(), written.end(), "Freq [Hz]"), written.end());
}

TEST(Audiogram, PrintHeightCountsTheNoteRows) {
  TAudiogramData data;
  EXPECT_EQ(TAudiogramPainter::CalculateAudioHeight(data), 398);
  data.NoteFlags = {true, true};
  EXPECT_EQ(TAudiogramPainter::CalculateAudioHeight(data), 434);
  data.NoteFlags = {false, false};
  data.CurrentNote = "otitis";
  EXPECT_EQ(TAudiogramPainter::CalculateAudioHeight(data), 416);

  // Printing advances the offset by what the height said.
  const TMessage texts = EnglishTexts();
  data.NoteFlags = {true, true};
  TAudiogramPens pens;
  TAudiogramLayout layout;
  layout.BitmapMode = true;
  layout.PrintOffset = 100;
  TRecordingSurface surface({800, 1200});
  TAudiogramPainter(surface, &texts, data, layout, pens).AudioPrint();
  EXPECT_EQ(layout.PrintOffset, 100 + 434);
}

TEST(Audiogram, PreviousCurveIsDottedOnlyOnAPrinterOfFewColours) {
  TAudiogramPens pens;
  pens.ChangePenDot(2);
  EXPECT_EQ(pens.Previous.Style, TPenStyle::Dot);
  EXPECT_EQ(pens.Previous.Width, 2);
  pens.ChangePenDot(256);
  EXPECT_EQ(pens.Previous.Style, TPenStyle::Solid);
}

TEST(Audiogram, MarkerCrossesAtTheFrequencyAndLevelWhileASequenceRuns) {
  TAudiogramData data;
  data.Frequency = 4;  // 1000 Hz, column 6
  data.Ear = TAudiogramData::Left;
  data.LevelDb = 40;
  TAudiogramPens pens;
  TAudiogramLayout layout;
  TRecordingSurface idle;
  TAudiogramPainter(idle, nullptr, data, layout, pens).DrawMarker();
  EXPECT_TRUE(idle.OfKind(K::Line).empty());

  data.SequenceRunning = true;
  TRecordingSurface running;
  TAudiogramPainter(running, nullptr, data, layout, pens).DrawMarker();
  const auto lines = running.OfKind(K::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].Points[0], (TPoint{449 + 138, 114}));
  EXPECT_EQ(lines[1].Points[0], (TPoint{440, 189}));  // 129 + 1.5 x 40
  EXPECT_EQ(lines[1].Points[1], (TPoint{737, 189}));
}

struct TPokes {
  std::vector<std::pair<std::string, std::string>> Cells;
  int FailAt = -1;
  TAudiogramCells Target() {
    TAudiogramCells cells;
    cells.Address = [](unsigned row, unsigned column) {
      return "R" + std::to_string(1 + row) + "C" + std::to_string(1 + column);
    };
    cells.Poke = [this](std::string_view item, std::string_view text) {
      if (static_cast<int>(Cells.size()) == FailAt)
        return false;
      Cells.emplace_back(item, text);
      return true;
    };
    return cells;
  }
  std::string At(const std::string& item) const {
    for (const auto& [address, text] : Cells)
      if (address == item)
        return text;
    return "<none>";
  }
};

TEST(Audiogram, SpreadsheetGetsTwelveByTwelveCellsRowByRow) {
  const TMessage texts = EnglishTexts();
  TAudiogramData data;
  data.Patient.SetName("Kovacs Anna");
  data.Patient.Age = 52;
  data.Patient.Height = 165;
  data.Patient.Weight = 60;
  Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 0, 25);
  Measure(data, TAudiogramData::Left, TAudiogramData::Previous, 10, -10);
  data.Stamps[TAudiogramData::Actual] = {2026, 12, 10, 9, 30, 0};
  TPokes pokes;
  ASSERT_TRUE(SendAudiogramToExcel(data, &texts, "YYYY.MM.DD.", "HH:MM:SS", pokes.Target()));
  ASSERT_EQ(pokes.Cells.size(), 144u);
  EXPECT_EQ(pokes.Cells[0].first, "R1C1");
  EXPECT_EQ(pokes.Cells[13].first, "R2C2") << "row by row";
  EXPECT_EQ(pokes.At("R1C1"), "Kovacs Anna");
  EXPECT_EQ(pokes.At("R1C3"), "165 cm");
  EXPECT_EQ(pokes.At("R1C4"), "60 kg");
  EXPECT_EQ(pokes.At("R3C1"), texts.LoadStringA(313));
  EXPECT_EQ(pokes.At("R4C12"), "8000");
  EXPECT_EQ(pokes.At("R5C1"), texts.LoadStringA(302) + " [dB] (2026.12.10. 09:30:00)");
  EXPECT_EQ(pokes.At("R5C2"), "25");
  EXPECT_EQ(pokes.At("R7C2"), "-25") << "previous minus actual, a missing previous value as 0";
  EXPECT_EQ(pokes.At("R8C1"), texts.LoadStringA(312));
  EXPECT_EQ(pokes.At("R11C12"), "-10");
  EXPECT_EQ(pokes.At("R2C5"), "");

  data.Patient.Unit = 1;
  data.Patient.Height = 65;
  TPokes imperial;
  imperial.FailAt = 5;
  EXPECT_FALSE(SendAudiogramToExcel(data, &texts, "YYYY.MM.DD.", "HH:MM:SS", imperial.Target()));
  EXPECT_EQ(imperial.Cells.size(), 5u) << "the export stops at the first failed poke";
  EXPECT_EQ(imperial.At("R1C3"), "5 ft 5 in");
}

TEST(Audiogram, SpreadsheetInMagyarUsesDecimalCommas) {
  TTemporaryFolder folder;
  folder.Write("Magyar.txt", "302=Aktualis\n303=Elozo\n312=Bal\n313=Jobb\n");
  const TMessage texts("Magyar", folder.Path());
  TAudiogramData data;
  data.Stamps[TAudiogramData::Actual] = {2026, 12, 10, 9, 30, 0};
  TPokes pokes;
  ASSERT_TRUE(SendAudiogramToExcel(data, &texts, "YYYY.MM.DD.", "HH:MM:SS", pokes.Target()));
  EXPECT_EQ(pokes.At("R5C1"), "Aktualis [dB] (2026,12,10, 09:30:00)");
}

}  // namespace
