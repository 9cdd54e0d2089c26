#include "measure/report/SpiroExport.h"

#include "measure/core/MeasureCore.h"
#include "measure/results/ParamListData.h"
#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/Dde.h"
#include "platform/basekit/Message.h"
#include "platform/framework/AtomicFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace SpiroExport {

namespace {

std::string HeightText(const PREDICTED_DATA& patient) {
  if (patient.Unit != 0) {
    const int feet = patient.Height / 12;
    return CLocale::Format("%d ft %d in", feet, patient.Height - 12 * feet);
  }
  return CLocale::Format("%d cm", patient.Height);
}

std::string WeightText(const PREDICTED_DATA& patient) {
  return CLocale::Format(patient.Unit != 0 ? "%d lb" : "%d kg", patient.Weight);
}

std::string NameOf(const PREDICTED_DATA& patient) {
  return std::string(patient.Name, strnlen(patient.Name, PREDICTED_DATA::NameSize));
}

// Pokes a row of `columns` cells, each empty unless set.
class TRowWriter {
public:
  TRowWriter(const TPoke& poke, int columns, bool decimalComma)
      : Poke(poke), Columns(columns), DecimalComma(decimalComma) {}

  bool Header(unsigned row, const std::vector<std::pair<int, std::string>>& cells) const {
    return Write(row, cells, false);
  }
  bool Body(unsigned row, const std::vector<std::pair<int, std::string>>& cells) const {
    return Write(row, cells, DecimalComma);
  }

private:
  bool Write(unsigned row, const std::vector<std::pair<int, std::string>>& cells, bool comma) const {
    std::vector<std::string> texts(static_cast<std::size_t>(Columns));
    for (const auto& [column, text] : cells)
      if (column < Columns)
        texts[static_cast<std::size_t>(column)] = text;
    for (int c = 0; c < Columns; ++c) {
      const std::string& text = texts[static_cast<std::size_t>(c)];
      if (!Poke(row, static_cast<unsigned>(c), comma ? ResultCells::DecimalComma(text) : text))
        return false;
    }
    return true;
  }

  const TPoke& Poke;
  int Columns;
  bool DecimalComma;
};

}  // namespace

bool SendDataToExcel(const TPoke& poke, const TMessage& texts, const ResultCells::TResultTable& table,
                     const TExportBlock& block) {
  const bool prov = block.ProvocationView;
  const int columns = prov ? ResultCells::ProvocationExportColumns : ResultCells::ExportColumns;
  const TRowWriter writer(poke, columns, texts.GetLanguageName() == "Magyar");
  const TExportDates& d = block.Dates;
  const PREDICTED_DATA& p = block.Patient;

  std::vector<std::pair<int, std::string>> row0{
      {0, NameOf(p)}, {1, CLocale::Format("%d", p.Age)}, {2, HeightText(p)}, {3, WeightText(p)}};
  if (!prov)
    row0.emplace_back(4, block.EquationName);
  if (!writer.Header(0, row0) || !writer.Header(1, {}))
    return false;
  if (!writer.Header(2, {{2, d.ActualDate}, {6, prov ? d.Slot1Date : d.PreDate}, {11, prov ? d.Slot2Date : ""}}) ||
      !writer.Header(3, {{2, d.ActualTime}, {6, prov ? d.Slot1Time : d.PreTime}, {11, prov ? d.Slot2Time : ""}}))
    return false;
  std::vector<std::pair<int, std::string>> titles{{0, texts.LoadStringA(44)}};
  const std::vector<std::string> names =
      prov ? std::vector<std::string>{"BASE", "REF.", "%", "RSD", "PROV.", "%", "ABS.", "%",
                                      texts.LoadStringA(299).substr(0, 3) + ".", "%"}
           : std::vector<std::string>{"AKT.", "REF.", "%", "RSD", "PRE.", "REF.", "%", "ABS.", "%", "AKT1.", "%",
                                      "AKT2.", "%"};
  for (std::size_t i = 0; i < names.size(); ++i)
    titles.emplace_back(static_cast<int>(i) + 2, names[i]);
  if (!writer.Header(4, titles))
    return false;

  for (const auto& row : table.Rows) {
    const std::vector<std::string> cells = ResultCells::ExportRow(row, prov);
    std::vector<std::pair<int, std::string>> numbered;
    for (std::size_t c = 0; c < cells.size(); ++c)
      numbered.emplace_back(static_cast<int>(c), cells[c]);
    if (!writer.Body(5u + static_cast<unsigned>(row.Row), numbered))
      return false;
  }
  if (!prov)
    return true;

  const unsigned first = 5u + static_cast<unsigned>(table.Rows.size());
  const std::array<ResultCells::TProvocationRow, 3> rows = ResultCells::ProvocationRows(block.Provocation);
  for (unsigned n = 0; n < rows.size(); ++n) {
    const ResultCells::TProvocationRow& row = rows[n];
    std::vector<std::pair<int, std::string>> cells{{0, texts.LoadStringA(row.LabelText)}, {6, row.Value}};
    if (n == 0)
      cells.emplace_back(10, row.Solvent);
    if (!writer.Body(first + n, cells))
      return false;
  }
  return true;
}

TPoke PokeInto(TDDE& dde) {
  return [&dde](unsigned row, unsigned column, std::string_view text) {
    return dde.PokeDDE(dde.CellAddress(row, column), text);
  };
}

std::vector<short> DisplayPositions(const TParamListData& list, short kind) {
  std::vector<short> positions(static_cast<std::size_t>(TMeasureCore::GetNumberOfParams(kind)));
  for (std::size_t i = 0; i < positions.size(); ++i)
    positions[i] = list.GetParamIndex(kind, static_cast<short>(i));
  return positions;
}

ResultCells::TResultTable CoreTable(TMeasureCore& core, short kind, std::span<const short> positions) {
  const short count = TMeasureCore::GetNumberOfParams(kind);
  const float* ref = core.GetRefBuffer(kind, 0);
  const float* refPre = core.GetRefBuffer(kind, 3);
  const float* rsd = core.GetRsdBuffer(kind);
  const unsigned* shown = core.GetParamStruct(kind);
  if (count <= 0 || ref == nullptr || refPre == nullptr || rsd == nullptr || shown == nullptr)
    return {};
  const auto n = static_cast<std::size_t>(count);
  std::vector<float> results(4 * n, 0.0f);
  for (short slot = 0; slot < 4; ++slot)
    if (const float* values = core.GetAktBuffer(kind, slot))
      std::copy_n(values, n, results.begin() + static_cast<std::ptrdiff_t>(slot * n));
  ResultCells::TResultSource source;
  source.Kind = kind;
  source.Results = results;
  source.Predicted = {ref, n};
  source.PredictedPre = {refPre, n};
  source.Rsd = {rsd, n};
  source.Names = TMeasureCore::GetParamStr(kind);
  source.Units = TMeasureCore::GetUnitStr(kind);
  source.Shown = {shown, n};
  source.Positions = positions;
  source.Trials = core.TrialOrder;
  source.Grader = core.GetPredicted();
  return ResultCells::BuildTable(source);
}

TExportDates CoreDates(const TMeasureCore& core) {
  TExportDates d;
  core.SetDateTimeStr(d.ActualDate, d.PreDate, d.ActualTime, d.PreTime, core.TrialOrder[0]);
  std::string preDate, preTime;
  core.SetDateTimeStr(d.Slot1Date, preDate, d.Slot1Time, preTime, 2);
  core.SetDateTimeStr(d.Slot2Date, preDate, d.Slot2Time, preTime, 3);
  return d;
}

bool WriteTextExport(const std::filesystem::path& file, const TMessage& texts, const ResultCells::TResultTable& table,
                     const TExportDates& dates, const std::string& currentNote, const std::string& actualNote,
                     bool actualNoteSet, const std::string& preNote, bool preNoteSet) {
  std::string text = dates.ActualDate + "@" + dates.ActualTime + "@" + dates.PreDate + "@" + dates.PreTime + "\n";
  for (const auto& row : table.Rows) {
    const auto fields = ResultCells::TextExportFields(row);
    for (std::size_t i = 0; i < fields.size(); ++i)
      text += (i == 0 ? "" : "@") + fields[i];
    text += "\n";
  }
  if (!currentNote.empty() || actualNoteSet || preNoteSet) {
    text += texts.LoadStringA(149);
    if (!currentNote.empty() || actualNoteSet)
      text += "@" + (currentNote.empty() ? actualNote : currentNote);
    if (preNoteSet)
      text += "@" + preNote;
  }
  if (!AtomicFile::Write(file, text)) {
    texts.MessageBox(28, 0, TMessageIcon::Stop);
    return false;
  }
  return true;
}

}  // namespace SpiroExport
