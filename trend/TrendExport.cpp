#include "trend/TrendExport.h"

#include "trend/TrendModel.h"
#include "trend/TrendParams.h"

#include <algorithm>
#include <cstdio>

namespace TrendExport {
namespace {

std::string Text(const char* format, int a, int b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

TRow PatientRow(const PREDICTED_DATA& patient) {
  TRow row;
  const bool imperial = patient.Unit != 0;
  row[0] = patient.GetName();
  row[1] = Text("%d", patient.Age);
  row[2] = imperial ? Text("%d ft %d in", patient.Height / 12, patient.Height % 12)
                    : Text("%d cm", patient.Height);
  row[3] = Text(imperial ? "%d lb" : "%d kg", patient.Weight);
  return row;
}

TRow ReferenceRow(const TTrendModel& model) {
  TRow row;
  if (model.Relative() || model.Predicted())
    return row;
  const TREND_DATA& reference = model.Reference();
  row[0] = reference.Date;
  row[1] = reference.Time;
  for (int slot = 0; slot < TrendSlots; ++slot) {
    const bool used = model.Params[slot] != TrendParams::Empty;
    row[2 + 2 * slot] = TrendLine::ValueText(reference.Values[slot]);
    row[3 + 2 * slot] = used ? "100%" : "0%";
  }
  row[12] = std::string(1, reference.Marker);
  return row;
}

TRow HeadRow(const TTrendModel& model) {
  TRow row;
  for (int slot = 0; slot < TrendSlots; ++slot) {
    row[2 + 2 * slot] = TrendParams::Name(model.Params[slot]);
    row[3 + 2 * slot] = TrendParams::Unit(model.Params[slot]);
  }
  return row;
}

TRow LineRow(const TTrendLine& line) {
  TRow row;
  row[0] = TrendLine::DateText(line.Data);
  row[1] = line.Data.Time;
  for (int slot = 0; slot < TrendSlots; ++slot) {
    row[2 + 2 * slot] = TrendLine::ValueText(line.Data.Values[slot]);
    row[3 + 2 * slot] = TrendLine::PercentText(line.Percents[slot]) + '%';
  }
  row[12] = std::string(1, line.Data.Marker);
  return row;
}

}  // namespace

std::vector<TRow> Rows(const TTrendModel& model, const PREDICTED_DATA& patient, bool decimalComma) {
  std::vector<TRow> rows = {PatientRow(patient), TRow{}, ReferenceRow(model), HeadRow(model)};
  for (const TTrendLine& line : model.Lines())
    rows.push_back(LineRow(line));
  if (decimalComma)
    for (TRow& row : rows)
      for (int column = 1; column < Columns; ++column)
        std::replace(row[column].begin(), row[column].end(), '.', ',');
  return rows;
}

bool SendDataToExcel(const std::vector<TRow>& rows, TTrendPokeTarget& target) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (int c = 0; c < Columns; ++c)
      if (!target.PokeDDE(target.CellAddress(static_cast<unsigned>(r), static_cast<unsigned>(c)),
                          rows[r][static_cast<std::size_t>(c)]))
        return false;
  return true;
}

}  // namespace TrendExport
