#pragma once

// The text part of a printed test: the title blocks, one result table per
// test kind (actual against pre, or the provocation stages), the table of
// the provocation steps and the note box. Each block starts at the
// canvas's print line and moves it on; positions are layout units.

#include "platform/basekit/PrintCanvas.h"
#include "measure/results/ResultCells.h"

#include <string>

class TMessage;

namespace PrintedTables {

inline constexpr int RowHeight = 11;
inline constexpr int TitleHeight = 30;
inline constexpr int ProvocationStepsHeight = 44;

// The dates and times under the title: missing ones are their pictures.
struct TTitleTexts {
  std::string Date1, Time1, Date2, Time2, Time3;
  std::string BtpsLine;  // empty when the BTPS line is not printed
  // Whether a previous test is printed beside the actual one; without one
  // the block has no previous and no change column.
  bool Previous = true;
};

// Without a previous test a pre/post block ends at the actual column's
// rule: no empty previous and change columns beside it.
inline constexpr int ActualColumnRight = 446;
int TableRight(bool previous);

// Height of a kind's table: 11 per shown parameter and 5.
int TableHeight(const ResultCells::TResultTable& table);

void DrawPrePostTitle(TPrintCanvas& canvas, const TMessage& texts, const TTitleTexts& title);
// The shared row counter shades the rows of every table of the page alike.
void DrawPrePostTable(TPrintCanvas& canvas, const ResultCells::TResultTable& table, short& rowCounter,
                      bool previous = true);

// A line under a table that says what its values are not (empty: none);
// its height is RemarkHeight.
int RemarkHeight(const std::string& remark);
void DrawRemark(TPrintCanvas& canvas, const std::string& remark);

void DrawProvocationTitle(TPrintCanvas& canvas, const TMessage& texts, const TTitleTexts& title, bool secondStage);
void DrawProvocationTable(TPrintCanvas& canvas, const ResultCells::TResultTable& table, bool secondStage,
                          short& rowCounter);

struct TProvocationSteps {
  std::string Agent;        // of the provocation stage
  std::string SecondAgent;  // of the second stage
  bool SecondStage = false;
  float ConcentrationMgPerMl = 0.0f;
  float VolumeMl = 0.0f;
  short DoseUnit = 0;       // 0 the dose in ml, else in mg
};
void DrawProvocationSteps(TPrintCanvas& canvas, const TMessage& texts, const TProvocationSteps& steps,
                          short rowCounter);

// The notes of the examination: the current note, the actual test's and
// the pre test's with their set flags.
struct TNotes {
  std::string Current;
  std::string Actual;
  bool ActualSet = false;
  std::string Pre;
  bool PreSet = false;

  bool BoxDue() const { return !Current.empty() || ActualSet || PreSet; }
  const std::string& LeftText() const { return Current.empty() ? Actual : Current; }
};

// Where the note box divides its two columns: the test tables' split, or
// the rhinomanometry table's, whose pairs of columns are wider.
inline constexpr int NotesSplit = 446;
inline constexpr int RhinoNotesSplit = 491;

// The box's height (0 when no box is due); equals the advance of WriteDiagnosis.
int DiagnosisHeight(TPrintCanvas& canvas, const TNotes& notes, int split = NotesSplit);
// `right`: the box's right edge (the actual column's rule when the tables
// above have no previous column and there is no previous note).
void WriteDiagnosis(TPrintCanvas& canvas, const TMessage& texts, const TNotes& notes, int split = NotesSplit,
                    int right = TPrintCanvas::Right);

}  // namespace PrintedTables
