#pragma once

// The exports of the test a measurement window shows: the block of cells
// poked into the spreadsheet workbook, and the "@"-separated text file.
// Both take their cells from the result-cell model, so they agree with
// the printout.

#include "common/PredictedData.h"
#include "measure/results/ProvocationBlock.h"
#include "measure/results/ResultCells.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class TDDE;
class TMessage;
class TMeasureCore;
class TParamListData;

namespace SpiroExport {

// Where the cells go: row and column offsets from the first cell. False
// stops the export at that cell.
using TPoke = std::function<bool(unsigned row, unsigned column, std::string_view text)>;

using TProvocationBlock = ::TProvocationBlock;

// Dates and times as the window shows them (a missing one is its picture).
struct TExportDates {
  std::string ActualDate, ActualTime;  // of the actual trial number
  std::string PreDate, PreTime;        // of the pre slot
  std::string Slot1Date, Slot1Time;    // provocation view: stages 1 and 2
  std::string Slot2Date, Slot2Time;
};

struct TExportBlock {
  PREDICTED_DATA Patient{};
  std::string EquationName;  // the selected equation set's text
  TExportDates Dates;
  bool ProvocationView = false;
  TProvocationBlock Provocation;
};

// Pokes the header rows, one row per shown parameter and, in provocation
// view, the three provocation rows. Parameter and provocation cells take
// decimal commas in the language that writes them. False at the first
// failed poke; the cells poked before it stay.
bool SendDataToExcel(const TPoke& poke, const TMessage& texts, const ResultCells::TResultTable& table,
                     const TExportBlock& block);

// A poke into the workbook of the export settings.
TPoke PokeInto(TDDE& dde);

// --- What the window's core gives the exports ------------------------

// The 0-based display lines of a kind's parameters.
std::vector<short> DisplayPositions(const TParamListData& list, short kind);
// A kind's result rows from the window's core: its four slots, predicted
// values, RSDs, shown flags and trial numbers.
ResultCells::TResultTable CoreTable(TMeasureCore& core, short kind, std::span<const short> positions);
// The dates and times of the actual trial, the pre slot and slots 1 and 2.
TExportDates CoreDates(const TMeasureCore& core);

// --- The text export -----------------------------------------------------

// The header line, one line per shown parameter (parameter order) and the
// notes (no line end after them). False, with text 28, when the file cannot
// be written; it then stays as it was.
bool WriteTextExport(const std::filesystem::path& file, const TMessage& texts, const ResultCells::TResultTable& table,
                     const TExportDates& dates, const std::string& currentNote, const std::string& actualNote,
                     bool actualNoteSet, const std::string& preNote, bool preNoteSet);

}  // namespace SpiroExport
