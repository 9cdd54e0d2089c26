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
#include <cctype>
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

// Where a text written into a rectangle lands: its measured size, placed
// by its alignment and centred vertically.
TRect TextBox(const TRecordingSurface& surface, const TRecordingSurface::TCall& call) {
  const TSize size = surface.MeasureText(call.Text, call.Style.Font);
  const TRect& r = call.Rect;
  const int left = call.Style.Align == TTextAlign::Left    ? r.Left
                   : call.Style.Align == TTextAlign::Right ? r.Right - size.Width
                                                           : (r.Left + r.Right - size.Width) / 2;
  const int top = (r.Top + r.Bottom - size.Height) / 2;
  return {left, top, left + size.Width, top + size.Height};
}

bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// A straight line across the inside of a box.
bool Crosses(TPoint from, TPoint to, const TRect& box) {
  const int left = std::min(from.X, to.X), right = std::max(from.X, to.X);
  const int top = std::min(from.Y, to.Y), bottom = std::max(from.Y, to.Y);
  return left < box.Right && box.Left < right + 1 && top < box.Bottom && box.Top < bottom + 1 &&
         (from.X == to.X || from.Y == to.Y);
}

// The table cells of the right ear's row, by the row's text label order:
// cells are the texts written into 27-unit columns from x 17.
std::map<std::pair<int, int>, std::string> RightEarCells(const TRecordingSurface& surface) {
  std::map<std::pair<int, int>, std::string> cells;
  for (const auto& call : surface.OfKind(K::TextInRect))
    if (call.Rect.Top >= TAudiogramPainter::Table.Top && call.Rect.Left < 314 && call.Rect.Right - call.Rect.Left == 27)
      cells[{(call.Rect.Top - TAudiogramPainter::Table.Top) / 18, (call.Rect.Left - 17) / 27}] = call.Text;
  return cells;
}

TEST(Audiogram, TheTableLeavesUnmeasuredCellsEmptyAndSubtractsAsItsLabelSays) {
  const TMessage texts = EnglishTexts();
  TAudiogramData data;
  // Right ear: 500 Hz measured at 0 dB HL, 1 kHz at 25 dB HL now and
  // 10 dB HL before; 2 kHz only before (40). Nothing else measured.
  Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 2, 0);
  Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 4, 25);
  Measure(data, TAudiogramData::Right, TAudiogramData::Previous, 4, 10);
  Measure(data, TAudiogramData::Right, TAudiogramData::Previous, 6, 40);
  TAudiogramPens pens;
  TAudiogramLayout layout;
  TRecordingSurface surface;
  TAudiogramPainter(surface, &texts, data, layout, pens).WriteTable();
  const auto cells = RightEarCells(surface);
  // Row 0 the frequencies; then only what was measured: "Actual - Previous"
  // at 1 kHz is 25 - 10 = 15.
  const std::map<std::pair<int, int>, std::string> measured{
      {{1, 2}, "0"}, {{1, 4}, "25"}, {{2, 4}, "10"}, {{2, 6}, "40"}, {{3, 4}, "15"}};
  for (const auto& [at, text] : cells)
    if (at.first > 0) {
      const auto expected = measured.find(at);
      EXPECT_TRUE(expected != measured.end() && expected->second == text)
          << "row " << at.first << ", column " << at.second << " shows " << text;
    }
  for (const auto& [at, text] : measured)
    EXPECT_EQ(cells.count(at), 1u) << "row " << at.first << ", column " << at.second;
  const auto written = surface.Texts();
  EXPECT_NE(std::find(written.begin(), written.end(), texts.LoadStringA(302) + " - " + texts.LoadStringA(303)),
            written.end());
}

// On paper the table stands 208 units below the print offset, its cells
// 27 wide from x 50 for the right ear and its rows 32 high: the same rule,
// an unmeasured threshold and a missing previous test print nothing.
TEST(Audiogram, ThePrintedTableLeavesUnmeasuredCellsEmptyToo) {
  const TMessage texts = EnglishTexts();
  TAudiogramData data;
  Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 2, 0);   // 500 Hz at 0 dB HL
  Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 4, 25);  // 1 kHz
  TAudiogramPens pens;
  TAudiogramLayout layout;
  layout.BitmapMode = true;
  layout.PrintOffset = 100;
  TRecordingSurface surface({800, 1200});
  TAudiogramPainter(surface, &texts, data, layout, pens).WriteTable();
  const int top = 100 + TAudiogramPainter::PrintedTableTop;
  std::map<std::pair<int, int>, std::string> cells;
  for (const auto& call : surface.OfKind(K::TextInRect))
    if (call.Rect.Top >= top && call.Rect.Left < 347 && call.Rect.Right - call.Rect.Left == 27)
      cells[{(call.Rect.Top - top) / TAudiogramPainter::PrintedRowHeight, (call.Rect.Left - 50) / 27}] = call.Text;
  const std::map<std::pair<int, int>, std::string> measured{{{1, 2}, "0"}, {{1, 4}, "25"}};
  for (const auto& [at, text] : cells) {
    if (at.first > 0) {
      EXPECT_TRUE(measured.contains(at) && measured.at(at) == text)
          << "row " << at.first << ", column " << at.second << " prints " << text;
    }
  }
  for (const auto& [at, text] : measured)
    EXPECT_EQ(cells.count(at), 1u) << "row " << at.first << ", column " << at.second;
  EXPECT_EQ(std::count_if(cells.begin(), cells.end(), [](const auto& c) { return c.first.first == 0; }), 11)
      << "the frequencies' row";
}

// On the screen at 800 x 600 and at 1280 x 800, and on paper: frequency
// labels apart from each other, no tick, picture or border through a scale
// number or label, the table's frame around all its rows, and the legend
// above the charts' titles.
TEST(Audiogram, NothingRunsIntoTheScaleNumbersLabelsOrTable) {
  const TMessage texts = EnglishTexts();
  TAudiogramData data;
  Measure(data, TAudiogramData::Left, TAudiogramData::Actual, 4, 30);
  // A previous test, so that the legend has all three rows.
  Measure(data, TAudiogramData::Left, TAudiogramData::Previous, 4, 10);
  struct Case {
    float xScale, yScale;
    bool paper;
  };
  for (const Case c : {Case{1.0f, 1.0f, false}, Case{1.6f, 1.333f, false}, Case{1.0f, 1.0f, true}}) {
    SCOPED_TRACE(c.paper ? "paper" : std::to_string(c.xScale));
    TAudiogramPens pens;
    TAudiogramLayout layout;
    layout.XScale = c.xScale;
    layout.YScale = c.yScale;
    layout.BitmapMode = c.paper;
    TRecordingSurface surface({1400, 1200});
    TAudiogramPainter painter(surface, &texts, data, layout, pens);
    if (c.paper)
      painter.AudioPrint();
    else
      painter.DoPaint();

    std::vector<TRect> labels, numbers;
    TRect legendText{0, 0, 0, 0}, title{0, 0, 0, 0};
    for (const auto& call : surface.OfKind(K::TextInRect)) {
      const std::string& t = call.Text;
      const TRect box = TextBox(surface, call);
      const bool frequency = t == "125" || t == "250" || t == "500" || t == "750" || t.back() == 'k';
      if (frequency && call.Rect.Top < (c.paper ? 260 : static_cast<int>(320 * c.yScale)))
        labels.push_back(box);
      else if (!t.empty() && (std::isdigit(static_cast<unsigned char>(t[0])) || t[0] == '-' || t[0] == ' '))
        numbers.push_back(box);
      if (t == "Pre. ")
        legendText = box;
      if (t == texts.LoadStringA(312))
        title = box;
    }
    ASSERT_EQ(labels.size(), 22u);
    ASSERT_GE(numbers.size(), 26u);
    std::sort(labels.begin(), labels.end(), [](const TRect& a, const TRect& b) { return a.Left < b.Left; });
    for (std::size_t i = 1; i < labels.size(); ++i)
      EXPECT_FALSE(Overlap(labels[i - 1], labels[i])) << "labels " << i - 1 << " and " << i << " run together";
    for (const auto& call : surface.Calls) {
      for (const TRect& box : numbers) {
        if (call.Kind == K::Line) {
          EXPECT_FALSE(Crosses(call.Points[0], call.Points[1], box)) << "a line through a scale number";
        }
        if (call.Kind == K::FillRect && call.Color != pens.Field) {
          EXPECT_FALSE(Overlap(call.Rect, box)) << "a picture over a scale number";
        }
      }
      if (call.Kind == K::Line || call.Kind == K::FrameRect)
        for (const TRect& box : labels) {
          const TPoint a = call.Kind == K::Line ? call.Points[0] : TPoint{call.Rect.Left, call.Rect.Top};
          const TPoint b = call.Kind == K::Line ? call.Points[1] : TPoint{call.Rect.Right, call.Rect.Top};
          EXPECT_FALSE(Crosses(a, b, box)) << "a line through a frequency label";
        }
    }
    if (c.paper) {
      // The table's frame: its bottom below the text of the last row.
      const auto frames = surface.OfKind(K::FrameRect);
      const auto table = std::max_element(frames.begin(), frames.end(),
                                          [](const auto& a, const auto& b) { return a.Rect.Top < b.Rect.Top; });
      int lowestText = 0;
      for (const auto& call : surface.OfKind(K::TextInRect))
        if (call.Rect.Top >= table->Rect.Top)
          lowestText = std::max(lowestText, TextBox(surface, call).Bottom);
      EXPECT_GE(table->Rect.Bottom, lowestText);
      EXPECT_GT(legendText.Bottom, 0) << "the previous test's legend row";
      EXPECT_LE(legendText.Bottom, title.Top) << "the legend runs into the chart's title";
    }
  }
}

// The printed legend names each curve beside a sample of its pen: the two
// ears always, the previous test only when one of its thresholds is drawn
// (a light-green sample with no light-green curve would claim an earlier
// test). The sample lines stand at x 621 to 681 in the legend's rows.
TEST(Audiogram, ThePrintedLegendNamesThePreviousTestOnlyWhenOneIsDrawn) {
  const TMessage texts = EnglishTexts();
  struct Case {
    const char* name;
    bool previousRight, previousLeft;
    bool legendRow;
  };
  for (const Case c : {Case{"no previous test", false, false, false}, Case{"previous right ear", true, false, true},
                       Case{"previous left ear only", false, true, true}}) {
    SCOPED_TRACE(c.name);
    TAudiogramData data;
    Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 4, 30);
    Measure(data, TAudiogramData::Left, TAudiogramData::Actual, 4, 35);
    if (c.previousRight)
      Measure(data, TAudiogramData::Right, TAudiogramData::Previous, 4, 20);
    if (c.previousLeft)
      Measure(data, TAudiogramData::Left, TAudiogramData::Previous, 6, 20);
    TAudiogramPens pens;
    TAudiogramLayout layout;
    layout.BitmapMode = true;
    layout.PrintOffset = 100;
    TRecordingSurface surface({800, 1200});
    TAudiogramPainter(surface, &texts, data, layout, pens).AudioPrint();

    const auto written = surface.Texts();
    EXPECT_EQ(std::count(written.begin(), written.end(), "Pre. "), c.legendRow ? 1 : 0);
    EXPECT_EQ(std::count(written.begin(), written.end(), texts.LoadStringA(313)), 2) << "legend and chart title";
    int samples = 0, previousSamples = 0;
    for (const auto& call : surface.OfKind(K::Line))
      if (call.Points[0] == TPoint{621, call.Points[0].Y} && call.Points[1] == TPoint{681, call.Points[0].Y} &&
          call.Points[0].Y < 100 + TAudiogramPainter::LegendHeight) {
        ++samples;
        previousSamples += call.Pen.Color == pens.Previous.Color ? 1 : 0;
      }
    EXPECT_EQ(samples, c.legendRow ? 3 : 2);
    EXPECT_EQ(previousSamples, c.legendRow ? 1 : 0);
  }
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
  EXPECT_EQ(pokes.At("R7C2"), "") << "no previous value: no difference";
  EXPECT_EQ(pokes.At("R5C3"), "") << "250 Hz was not measured";
  EXPECT_EQ(pokes.At("R8C1"), texts.LoadStringA(312));
  EXPECT_EQ(pokes.At("R11C12"), "-10");
  // Both tests at 1 kHz on the right ear: 40 now, 30 before, so
  // "Actual - Previous" is 40 - 30 = 10.
  Measure(data, TAudiogramData::Right, TAudiogramData::Actual, 4, 40);
  Measure(data, TAudiogramData::Right, TAudiogramData::Previous, 4, 30);
  TPokes both;
  ASSERT_TRUE(SendAudiogramToExcel(data, &texts, "YYYY.MM.DD.", "HH:MM:SS", both.Target()));
  EXPECT_EQ(both.At("R7C6"), "10");
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
