#pragma once

// The one model of a test's result rows: what each shown parameter's row
// holds (values, percentages, RSD mark), where it stands, and how each
// output renders it. The printed tables, the spreadsheet export, the
// result table on screen and the text export all take their cells from
// here, so a percentage or a blank is decided in one place.
//
// Formatting rules shared by every output:
// - a value that is not finite gives an empty cell (never "nan" or "inf");
// - a value that rounds to zero prints as zero, never as "-0" ("-0.00");
// - every cell is bounded to the 24 characters the table cells hold.

#include "measure/results/ProvocationBlock.h"
#include "platform/basekit/Color.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TPredicted;

namespace ResultCells {

inline constexpr std::size_t CellLength = 24;  // characters of a cell, without terminator

// The decimals a parameter's values are shown with.
enum class TValueFormat { Whole, OneDecimal, TwoDecimals };

// By kind (0 FVC .. 5 SHUTTER) and parameter index.
TValueFormat FormatOf(short kind, short index);

// "%5.0f", "%5.1f" or "%5.2f" with `width` 5 (tables, export cells), or
// "%.0f" ... with width 0 (the text export). Empty when not finite.
std::string FormatValue(float value, TValueFormat format, int width = 5);
// A percentage: "%3.0f" (width 3) or "%.0f" (width 0); with `sign` the
// signed forms "%+3.0f" and "%+.0f". Empty when not finite.
std::string FormatPercent(float value, int width = 3, bool sign = false);

// Every "." of a text becomes "," (the spreadsheet export in the
// language that writes decimal commas).
std::string DecimalComma(std::string text);

// What one kind's rows are made from. Spans are borrowed for the call.
struct TResultSource {
  short Kind = 0;                           // 0 FVC .. 5 SHUTTER
  std::span<const float> Results;           // four slots of Count values, slot-major; slot 3 the pre test
  std::span<const float> Predicted;         // of the actual test
  std::span<const float> PredictedPre;      // stored with the pre test
  std::span<const float> Rsd;
  std::span<const std::string_view> Names;
  std::span<const std::string_view> Units;
  std::span<const unsigned> Shown;          // nonzero: the parameter is shown
  std::span<const short> Positions;         // 0-based display line of each parameter; empty: natural order
  std::array<short, 3> Trials{};            // the actual, second and third trial numbers (1-based, 0 none)
  const TPredicted* Grader = nullptr;       // gives the RSD marks; null: no marks
};

// One shown parameter.
struct TResultRow {
  short Parameter = 0;   // index in the kind's block
  short Row = 0;         // rank among the shown parameters in display order
  std::string_view Name;
  std::string_view Unit;
  TValueFormat Format = TValueFormat::TwoDecimals;
  std::array<float, 4> Slots{};  // the parameter in trial slots 0..2 and the pre slot 3
  float Actual = 0.0f;   // of the actual trial number (0 when none)
  float Second = 0.0f;   // of the second trial number
  float Third = 0.0f;    // of the third trial number
  // Whether the actual, second and third columns hold a trial at all: a
  // column without one is left blank, never shown as a measured 0.
  std::array<bool, 3> HasTrial{};
  bool HasPre = false;   // the table has a previous (pre) result
  float Predicted = 0.0f;
  float PredictedPre = 0.0f;
  std::string RsdMark;   // three characters; empty when the predicted value is 0

  float Pre() const { return Slots[3]; }
  // Percent of predicted of a value; 0 when the predicted value is 0.
  float PercentOfPredicted(float value) const;
  float PercentPre() const;   // pre value of its own predicted value
  // Relative change of the percent of predicted, actual against pre; 0 when pre's is 0.
  float Change() const;
};

struct TResultTable {
  short Kind = 0;
  std::vector<TResultRow> Rows;   // in parameter order, each with its display row
  bool PreHasResult = false;      // the pre slot's first parameter is not 0
  std::array<bool, 3> SlotHasResult{};  // slots 0..2's first parameter is not 0
  std::array<short, 3> Trials{};
};

// A kind's display positions make a permutation of 0..n-1, else the
// natural order is used (so no two rows share a line).
std::vector<short> DisplayOrder(std::span<const short> positions, std::size_t count);

TResultTable BuildTable(const TResultSource& source);

// --- The printed tables ------------------------------------------------

struct TPrintedCell {
  std::string Text;
  TColor Colour;
};

struct TPrintedRow {
  std::string Name;
  std::string Unit;             // with its trailing blank
  std::array<TPrintedCell, 3> Columns;  // first, second, third value column
};

inline constexpr TColor LightBlue{0, 0, 255};
inline constexpr TColor LightMagenta{255, 0, 255};
inline constexpr TColor DarkRed{128, 0, 0};

// Actual against pre: the actual value with its predicted value, percent
// and mark; the pre value with its own; the difference and change.
TPrintedRow PrintedPrePostRow(const TResultTable& table, const TResultRow& row);
// Base stage (slot 0) against the provocation stage (slot 1) and either the
// second stage (slot 2, when there is one) or the difference. On a device
// without colours every value is black.
TPrintedRow PrintedProvocationRow(const TResultTable& table, const TResultRow& row, bool secondStage,
                                  bool colourDevice);

// --- The spreadsheet export and the screen table -------------------------

inline constexpr int ExportColumns = 15;
inline constexpr int ProvocationExportColumns = 12;

// The cells of a parameter row of the export: 15 (12 in provocation
// view), decimal points as they are.
std::vector<std::string> ExportRow(const TResultRow& row, bool provocationView);

// The screen table's cell c (c >= 1) is the export's cell c + 1; its colour
// is an entry of the window's colour set.
short ScreenColourEntry(int screenColumn, bool provocationView, const TResultTable& table);

// The three rows under the results in provocation view, each with the
// text number of its label: the agent, the concentration ("%6.2f mg/ml")
// and the dose ("%6.2f    %s": the dose in ml, or concentration x dose in
// mg), and on the first row the solvent.
struct TProvocationRow {
  int LabelText = 0;
  std::string Value;
  std::string Solvent;
};
std::array<TProvocationRow, 3> ProvocationRows(const TProvocationBlock& block);

// --- The text export -------------------------------------------------------

// The eleven fields of a parameter line, in parameter order.
std::array<std::string, 11> TextExportFields(const TResultRow& row);

}  // namespace ResultCells
