#include "measure/results/ResultCells.h"

#include "platform/basekit/CLocaleFormat.h"
#include "platform/framework/Utf8.h"
#include "predicted/Predicted.h"

#include <algorithm>
#include <cmath>

namespace ResultCells {

namespace {

// A cell holds CellLength bytes: a longer text is cut at a character
// boundary, never inside an accented letter.
std::string Fitted(const std::string& text) { return std::string(Utf8::Truncate(text, CellLength)); }

// A formatted number whose digits are all zero but that carries a minus
// sign ("-0", "-0.00") is the same number as its unsigned zero.
bool IsNegativeZeroText(const std::string& text) {
  if (text.find('-') == std::string::npos)
    return false;
  return std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

int Decimals(TValueFormat format) {
  switch (format) {
  case TValueFormat::Whole: return 0;
  case TValueFormat::OneDecimal: return 1;
  case TValueFormat::TwoDecimals: return 2;
  }
  return 2;
}

std::string FormatNumber(double value, int width, int decimals, bool sign) {
  if (!std::isfinite(value))
    return {};
  const auto format = [&](double v) {
    return sign ? CLocale::Format("%+*.*f", width, decimals, v) : CLocale::Format("%*.*f", width, decimals, v);
  };
  std::string text = format(value);
  if (IsNegativeZeroText(text))
    text = format(0.0);
  return Fitted(text);
}

// printf's "%N.Ns" on a text that is already a string.
std::string Fit(const std::string& text, int width, bool truncate) {
  std::string cut = truncate && text.size() > static_cast<std::size_t>(width) ? text.substr(0, width) : text;
  if (cut.size() < static_cast<std::size_t>(width))
    cut.insert(0, width - cut.size(), ' ');
  return cut;
}

std::string Join(std::initializer_list<std::string> parts) {
  std::string text;
  for (const auto& part : parts) {
    if (!text.empty())
      text += ' ';
    text += part;
  }
  return Fitted(text);
}

// A table's value columns keep their shape when a value is missing: the
// empty value takes its width.
std::string Value(const TResultRow& row, float value) { return Fit(FormatValue(value, row.Format), 5, false); }

short TrialColour(short trial) { return trial == 0 ? 2 : static_cast<short>(3 + trial); }

float SafeRatio(float value, float base) { return base == 0.0f ? 0.0f : value / base * 100.0f; }

}  // namespace

TValueFormat FormatOf(short kind, short index) {
  switch (kind) {
  case 0: return index >= 3 && index <= 6 ? TValueFormat::Whole : TValueFormat::TwoDecimals;
  case 2: return TValueFormat::OneDecimal;
  case 3: return index == 6 || index == 8 ? TValueFormat::Whole : TValueFormat::TwoDecimals;
  case 4: return index == 3 || index == 17 || index == 18 ? TValueFormat::Whole : TValueFormat::TwoDecimals;
  case 5: return index == 4 ? TValueFormat::Whole : TValueFormat::TwoDecimals;
  default: return TValueFormat::TwoDecimals;
  }
}

std::string FormatValue(float value, TValueFormat format, int width) {
  return FormatNumber(value, width, Decimals(format), false);
}

std::string FormatPercent(float value, int width, bool sign) { return FormatNumber(value, width, 0, sign); }

std::string DecimalComma(std::string text) {
  std::replace(text.begin(), text.end(), '.', ',');
  return text;
}

float TResultRow::PercentOfPredicted(float value) const { return SafeRatio(value, Predicted); }

float TResultRow::PercentPre() const { return SafeRatio(Pre(), PredictedPre); }

float TResultRow::Change() const {
  const float pre = PercentPre();
  return pre == 0.0f ? 0.0f : (PercentOfPredicted(Actual) - pre) / pre * 100.0f;
}

std::vector<short> DisplayOrder(std::span<const short> positions, std::size_t count) {
  std::vector<short> order(count);
  for (std::size_t i = 0; i < count; ++i)
    order[i] = static_cast<short>(i);
  if (positions.size() < count)
    return order;
  std::vector<bool> seen(count, false);
  for (std::size_t i = 0; i < count; ++i) {
    const short p = positions[i];
    if (p < 0 || static_cast<std::size_t>(p) >= count || seen[p])
      return order;
    seen[p] = true;
  }
  std::copy_n(positions.begin(), count, order.begin());
  return order;
}

TResultTable BuildTable(const TResultSource& source) {
  TResultTable table;
  table.Kind = source.Kind;
  table.Trials = source.Trials;
  const std::size_t count = std::min({source.Names.size(), source.Units.size(), source.Shown.size()});
  const auto result = [&](std::size_t slot, std::size_t i) {
    const std::size_t at = slot * count + i;
    return at < source.Results.size() ? source.Results[at] : 0.0f;
  };
  const auto at = [](std::span<const float> values, std::size_t i) { return i < values.size() ? values[i] : 0.0f; };
  const auto trialValue = [&](short trial, std::size_t i) {
    return trial >= 1 && trial <= 4 ? result(static_cast<std::size_t>(trial - 1), i) : 0.0f;
  };
  if (count > 0) {
    table.PreHasResult = result(3, 0) != 0.0f;
    for (std::size_t slot = 0; slot < 3; ++slot)
      table.SlotHasResult[slot] = result(slot, 0) != 0.0f;
  }

  const std::vector<short> order = DisplayOrder(source.Positions, count);
  for (std::size_t i = 0; i < count; ++i) {
    if (source.Shown[i] == 0)
      continue;
    TResultRow row;
    row.Parameter = static_cast<short>(i);
    short rank = 0;
    for (std::size_t j = 0; j < count; ++j)
      if (source.Shown[j] != 0 && order[j] < order[i])
        ++rank;
    row.Row = rank;
    row.Name = source.Names[i];
    row.Unit = source.Units[i];
    row.Format = FormatOf(source.Kind, static_cast<short>(i));
    for (std::size_t slot = 0; slot < 4; ++slot)
      row.Slots[slot] = result(slot, i);
    for (std::size_t c = 0; c < 3; ++c)
      row.HasTrial[c] = source.Trials[c] >= 1 && source.Trials[c] <= 4;
    row.HasPre = table.PreHasResult;
    row.Actual = trialValue(source.Trials[0], i);
    row.Second = trialValue(source.Trials[1], i);
    row.Third = trialValue(source.Trials[2], i);
    row.Predicted = at(source.Predicted, i);
    row.PredictedPre = at(source.PredictedPre, i);
    if (row.Predicted != 0.0f)
      row.RsdMark = source.Grader != nullptr
                        ? std::string(source.Grader->GetPredictedRSD(row.Actual, row.Predicted, at(source.Rsd, i)))
                        : std::string(3, ' ');
    table.Rows.push_back(std::move(row));
  }
  return table;
}

TPrintedRow PrintedPrePostRow(const TResultTable& table, const TResultRow& row) {
  TPrintedRow printed;
  printed.Name = std::string(row.Name);
  printed.Unit = std::string(row.Unit) + " ";
  std::string ref, pct, refPre, pctPre, change;
  const bool hasActual = row.HasTrial[0];
  if (row.Predicted != 0.0f) {
    ref = FormatValue(row.Predicted, row.Format);
    if (hasActual)
      pct = FormatPercent(row.PercentOfPredicted(row.Actual));
  }
  if (row.PredictedPre != 0.0f) {
    refPre = FormatValue(row.PredictedPre, row.Format);
    pctPre = FormatPercent(row.PercentPre());
  }
  if (hasActual && row.Change() != 0.0f)
    change = FormatPercent(row.Change(), 3, true);
  const std::string actual = hasActual ? Value(row, row.Actual) : std::string(5, ' ');
  printed.Columns[0] = {Join({actual, Fit(ref, 6, true), Fit(pct, 4, true), Fit(row.RsdMark, 5, false)}), LightBlue};
  // Without a previous result the previous and change columns stay empty:
  // zeros there would read as a test that was never made.
  if (!table.PreHasResult)
    return printed;
  printed.Columns[1] = {Join({Value(row, row.Pre()), Fit(refPre, 6, true), Fit(pctPre, 4, true)}), DarkRed};
  const std::string difference = hasActual ? Value(row, row.Actual - row.Pre()) : std::string(5, ' ');
  printed.Columns[2] = {Join({difference, Fit(change, 7, true)}), TColor::Black()};
  return printed;
}

TPrintedRow PrintedProvocationRow(const TResultTable& table, const TResultRow& row, bool secondStage,
                                  bool colourDevice) {
  TPrintedRow printed;
  printed.Name = std::string(row.Name);
  printed.Unit = std::string(row.Unit) + " ";
  const float base = row.Slots[0];
  const float provoked = row.Slots[1];
  const float third = secondStage ? row.Slots[2] : provoked - base;
  std::string ref, pct, mark;
  if (row.Predicted != 0.0f) {
    ref = FormatValue(row.Predicted, row.Format);
    pct = FormatPercent(row.PercentOfPredicted(base));
    mark = row.RsdMark;
  }
  const auto colour = [&](TColor c, bool has) { return colourDevice && has ? c : TColor::Black(); };
  printed.Columns[0] = {Join({Value(row, base), Fit(ref, 6, true), Fit(pct, 4, true), Fit(mark, 5, false)}),
                        colour(LightBlue, true)};
  // A stage not yet measured prints nothing, not a 0 (nor a difference to it).
  const bool hasProvoked = table.SlotHasResult[1];
  const bool hasThird = secondStage ? table.SlotHasResult[2] : hasProvoked;
  const auto stage = [&](bool has, float value) {
    return has ? Join({Value(row, value), Fit(FormatPercent(SafeRatio(value, base)), 6, true)}) : std::string();
  };
  printed.Columns[1] = {stage(hasProvoked, provoked), colour(DarkRed, hasProvoked)};
  printed.Columns[2] = {stage(hasThird, third), colour(LightMagenta, table.SlotHasResult[2])};
  return printed;
}

std::vector<std::string> ExportRow(const TResultRow& row, bool provocationView) {
  const auto value = [&](float v) { return FormatValue(v, row.Format); };
  const auto percent = [](float v) { return FormatPercent(v); };
  const auto blankIfZero = [](float v, std::string text) { return v == 0.0f ? std::string() : text; };
  // A column whose trial was never run stays empty.
  const auto ifRun = [&](std::size_t column, std::string text) {
    return row.HasTrial[column] ? std::move(text) : std::string();
  };
  std::vector<std::string> cells(provocationView ? ProvocationExportColumns : ExportColumns);
  cells[0] = std::string(row.Name);
  cells[1] = std::string(row.Unit);
  cells[2] = ifRun(0, value(row.Actual));
  cells[3] = blankIfZero(row.Predicted, value(row.Predicted));
  const float pA = row.PercentOfPredicted(row.Actual);
  cells[4] = blankIfZero(pA, percent(pA));
  cells[5] = row.RsdMark;
  if (provocationView) {
    const float base = row.Actual;
    const float change = base == 0.0f ? 0.0f : (row.Second - base) / base * 100.0f;
    cells[6] = ifRun(1, value(row.Second));
    cells[7] = ifRun(1, percent(SafeRatio(row.Second, base)));
    cells[8] = ifRun(1, value(row.Second - base));
    cells[9] = ifRun(1, percent(change));
    cells[10] = ifRun(2, value(row.Third));
    cells[11] = ifRun(2, percent(SafeRatio(row.Third, base)));
    return cells;
  }
  const float pPre = row.PercentPre();
  const float change = row.Change();
  const float pT2 = row.PercentOfPredicted(row.Second);
  const float pT3 = row.PercentOfPredicted(row.Third);
  // Without a previous test there is no previous value, and no difference to it.
  cells[6] = row.HasPre ? value(row.Pre()) : std::string();
  cells[7] = blankIfZero(row.PredictedPre, value(row.PredictedPre));
  cells[8] = blankIfZero(pPre, percent(pPre));
  cells[9] = row.HasPre ? ifRun(0, value(row.Actual - row.Pre())) : std::string();
  cells[10] = blankIfZero(change, FormatPercent(change, 3, true));
  cells[11] = ifRun(1, value(row.Second));
  cells[12] = blankIfZero(pT2, percent(pT2));
  cells[13] = ifRun(2, value(row.Third));
  cells[14] = blankIfZero(pT3, percent(pT3));
  return cells;
}

short ScreenColourEntry(int screenColumn, bool provocationView, const TResultTable& table) {
  if (screenColumn <= 0)
    return 1;
  if (screenColumn <= 4)
    return TrialColour(table.Trials[0]);
  if (provocationView) {
    if (screenColumn <= 6)
      return 5;
    if (screenColumn <= 8)
      return 2;
    return table.Trials[2] != 0 ? 6 : 2;
  }
  if (screenColumn <= 7)
    return table.PreHasResult ? 8 : 2;
  if (screenColumn <= 9)
    return 2;
  if (screenColumn <= 11)
    return TrialColour(table.Trials[1]);
  return TrialColour(table.Trials[2]);
}

std::array<std::string, 11> TextExportFields(const TResultRow& row) {
  const auto value = [&](float v) { return FormatValue(v, row.Format, 0); };
  std::array<std::string, 11> fields;
  fields[0] = std::string(row.Name);
  fields[1] = std::string(row.Unit);
  fields[2] = value(row.Actual);
  fields[6] = value(row.Pre());
  fields[9] = value(row.Actual - row.Pre());
  if (row.Predicted != 0.0f) {
    fields[3] = value(row.Predicted);
    fields[4] = FormatPercent(row.PercentOfPredicted(row.Actual), 0);
    fields[5] = row.RsdMark;
  }
  if (row.PredictedPre != 0.0f) {
    fields[7] = value(row.PredictedPre);
    fields[8] = FormatPercent(row.PercentPre(), 0);
  }
  if (row.Change() != 0.0f)
    fields[10] = FormatPercent(row.Change(), 0, true);
  return fields;
}

std::array<TProvocationRow, 3> ProvocationRows(const TProvocationBlock& block) {
  const bool inMl = block.DoseUnit == 0;
  const double concentration = block.ConcentrationMgPerMl;
  const double dose = inMl ? block.Dose : concentration * block.Dose;
  // A value that is not a number leaves its cell empty, as every cell does.
  const std::string concentrationText =
      std::isfinite(concentration) ? CLocale::Format("%6.2f mg/ml", concentration) : std::string();
  const std::string doseText =
      std::isfinite(dose) ? CLocale::Format("%6.2f    %s", dose, inMl ? "ml" : "mg") : std::string();
  return {{{296, block.Material, block.SolutionMaterial}, {297, concentrationText, {}}, {298, doseText, {}}}};
}

}  // namespace ResultCells
