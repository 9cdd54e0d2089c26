#include "measure/report/PrintedTables.h"

#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/Message.h"

#include <algorithm>

using ResultCells::TResultTable;

namespace PrintedTables {

namespace {

constexpr TColor Black = TColor::Black();
constexpr TColor White = TColor::White();

TColor ShadeOf(int rowCounter) { return rowCounter % 2 == 0 ? TPrintCanvas::Shade : White; }

// The column rules up to the table's right edge, from y - 3, h + 6 long.
void ColumnRules(TPrintCanvas& canvas, int y, int height, int right) {
  if (right == TPrintCanvas::Right) {
    canvas.DrawTableColumn(y, height);
    return;
  }
  for (int x : {51, 251, 446, 611, 741})
    if (x <= right)
      canvas.Line(x, y - 3, x, y - 3 + height + 6, 2);
}

// A rule of pen width 2 from the left edge to the table's right edge.
void RuleTo(TPrintCanvas& canvas, int y, int right) { canvas.Line(TPrintCanvas::Left, y, right, y, 2); }

// The frame and the three text rows of a title block; the rows' texts
// come from the caller, column by column.
void TitleFrame(TPrintCanvas& canvas, int right) {
  const int y0 = canvas.PrintY;
  canvas.Line(TPrintCanvas::Left, y0, right, y0, 2);
  canvas.Line(TPrintCanvas::Left, y0, TPrintCanvas::Left, y0 + TitleHeight, 2);
  canvas.Line(right, y0, right, y0 + TitleHeight, 2);
  ColumnRules(canvas, y0 + 3, TitleHeight - 3, right);
}

// Row r of a title block: three rows of 10 units between its rules.
void TitleText(TPrintCanvas& canvas, int row, std::string_view text, int left, int right, TTextAlign align) {
  const int y = canvas.PrintY + 10 * row;
  canvas.Text(text, left, y, right, y + 10, align);
}

// What both title blocks share: the frame, the first column's date and
// time, the BTPS line and the parameter column's heads.
std::string SharedTitle(TPrintCanvas& canvas, const TMessage& texts, const TTitleTexts& title, int right) {
  TitleFrame(canvas, right);
  TitleText(canvas, 0, title.Date1, 251, 446, TTextAlign::Centre);
  TitleText(canvas, 1, title.Time1, 251, 446, TTextAlign::Centre);
  if (title.Previous)
    TitleText(canvas, 1, title.Time2, 446, 611, TTextAlign::Centre);
  TitleText(canvas, 1, title.BtpsLine, 66, 251, TTextAlign::Left);
  const std::string act = texts.LoadStringA(72);
  TitleText(canvas, 2, texts.LoadStringA(44), 66, 251, TTextAlign::Left);
  TitleText(canvas, 2, CLocale::Format("%.24s%8s%s%5s", act.c_str(), " Ref. ", "  %  ", "RSD"), 256, 446,
            TTextAlign::Centre);
  return act;
}

void FinishTitle(TPrintCanvas& canvas, int right) {
  RuleTo(canvas, canvas.PrintY + TitleHeight, right);
  canvas.PrintY += TitleHeight;
}

void DrawRow(TPrintCanvas& canvas, const ResultCells::TPrintedRow& printed, int y, int rowCounter,
             int right = TPrintCanvas::Right) {
  const TColor shade = ShadeOf(rowCounter);
  // The row's band across the table, under its texts.
  canvas.Surface.FillRect(canvas.Scale({TPrintCanvas::Left, y, right, y + RowHeight}), shade);
  canvas.Text(printed.Name, 66, y, 241, y + RowHeight, TTextAlign::Left, false, shade);
  canvas.Text(printed.Unit, 66, y, 241, y + RowHeight, TTextAlign::Right, false, shade);
  constexpr int columns[4] = {251, 446, 611, 741};
  for (int c = 0; c < 3 && columns[c + 1] <= right; ++c)
    canvas.Text(printed.Columns[c].Text, columns[c], y, columns[c + 1], y + RowHeight, TTextAlign::Centre, false,
                shade, printed.Columns[c].Colour);
  ColumnRules(canvas, y + 3, RowHeight - 6, right);
}

void FinishTable(TPrintCanvas& canvas, int rows, int right = TPrintCanvas::Right) {
  const int y = canvas.PrintY + RowHeight * rows;
  RuleTo(canvas, y + 7, right);
  canvas.PrintY = y + 5;
}

}  // namespace

int TableHeight(const TResultTable& table) { return RowHeight * static_cast<int>(table.Rows.size()) + 5; }

int TableRight(bool previous) { return previous ? TPrintCanvas::Right : ActualColumnRight; }

void DrawPrePostTitle(TPrintCanvas& canvas, const TMessage& texts, const TTitleTexts& title) {
  const int right = TableRight(title.Previous);
  const std::string act = SharedTitle(canvas, texts, title, right);
  // Without a previous test there is nothing to head, and no change.
  if (title.Previous) {
    TitleText(canvas, 0, title.Date2, 446, 611, TTextAlign::Centre);
    TitleText(canvas, 0, texts.LoadStringA(73), 611, 741, TTextAlign::Centre);
    TitleText(canvas, 2, CLocale::Format("%5.24s%8s%s", act.c_str(), " Ref. ", "  %  "), 456, 611,
              TTextAlign::Centre);
    TitleText(canvas, 2, CLocale::Format("ABS. %8s", "  %  "), 626, 741, TTextAlign::Centre);
  }
  FinishTitle(canvas, right);
}

void DrawPrePostTable(TPrintCanvas& canvas, const TResultTable& table, short& rowCounter, bool previous) {
  const int right = TableRight(previous);
  const short base = rowCounter;
  for (const auto& row : table.Rows) {
    const int y = canvas.PrintY + RowHeight * row.Row + 5;
    DrawRow(canvas, ResultCells::PrintedPrePostRow(table, row), y, base + row.Row, right);
  }
  const int rows = static_cast<int>(table.Rows.size());
  rowCounter = static_cast<short>(base + rows);
  FinishTable(canvas, rows, right);
}

int RemarkHeight(const std::string& remark) { return remark.empty() ? 0 : RowHeight + 2; }

void DrawRemark(TPrintCanvas& canvas, const std::string& remark) {
  if (remark.empty())
    return;
  const int y = canvas.PrintY + 2;
  canvas.Text(remark, 66, y, 741, y + RowHeight, TTextAlign::Left);
  canvas.PrintY += RemarkHeight(remark);
}

void DrawProvocationTitle(TPrintCanvas& canvas, const TMessage& texts, const TTitleTexts& title, bool secondStage) {
  const std::string act = SharedTitle(canvas, texts, title, TPrintCanvas::Right);
  TitleText(canvas, 0, texts.LoadStringA(295), 446, 611, TTextAlign::Centre);
  TitleText(canvas, 0, texts.LoadStringA(secondStage ? 299 : 73), 611, 741, TTextAlign::Centre);
  if (secondStage)
    TitleText(canvas, 1, title.Time3, 611, 741, TTextAlign::Centre);
  const std::string middle = CLocale::Format("%5.24s %7s", act.c_str(), "  %  ");
  TitleText(canvas, 2, middle, 456, 611, TTextAlign::Centre);
  TitleText(canvas, 2, secondStage ? middle : CLocale::Format("ABS. %8s", "  %  "), 626, 741, TTextAlign::Centre);
  FinishTitle(canvas, TPrintCanvas::Right);
}

void DrawProvocationTable(TPrintCanvas& canvas, const TResultTable& table, bool secondStage, short& rowCounter) {
  for (const auto& row : table.Rows) {
    const int y = canvas.PrintY + RowHeight * row.Row + 5;
    rowCounter = row.Row;
    DrawRow(canvas, ResultCells::PrintedProvocationRow(table, row, secondStage, canvas.ColourDevice), y, rowCounter);
    ++rowCounter;
  }
  FinishTable(canvas, static_cast<int>(table.Rows.size()));
}

void DrawProvocationSteps(TPrintCanvas& canvas, const TMessage& texts, const TProvocationSteps& steps,
                          short rowCounter) {
  const int y0 = canvas.PrintY;
  const auto row = [&](int r, int textId, const std::string& middle, const std::string& right) {
    const int top = y0 + 5 + 13 * r;
    const TColor shade = ShadeOf(rowCounter + r);
    canvas.Text(texts.LoadStringA(textId), 66, top, 251, top + 13, TTextAlign::Left, true, shade);
    canvas.Text(middle, 446, top, 611, top + 13, TTextAlign::Centre, false, shade);
    if (!right.empty())
      canvas.Text(right, 611, top, 741, top + 13, TTextAlign::Centre, false, shade);
    canvas.DrawTableColumn(top, 10);
  };
  row(0, 296, steps.Agent, steps.SecondStage ? steps.SecondAgent : std::string());
  row(1, 297, CLocale::Format("%6.2f mg/ml", static_cast<double>(steps.ConcentrationMgPerMl)), {});
  const bool inMl = steps.DoseUnit == 0;
  const double dose = inMl ? steps.VolumeMl : steps.ConcentrationMgPerMl * steps.VolumeMl;
  row(2, 298, CLocale::Format("%6.2f    %s", dose, inMl ? "ml" : "mg"), {});
  canvas.Rule(y0 + ProvocationStepsHeight);
  canvas.PrintY = y0 + ProvocationStepsHeight;
}

namespace {

// The taller of the two columns' wrapped texts, in device units.
int MeasureNotes(TPrintCanvas& canvas, const TNotes& notes, int y0, bool draw, int split) {
  const int top = canvas.ScaleYOf(y0);
  const int bottom = canvas.Surface.Size().Height;
  int height = 0;
  if (!notes.Current.empty() || notes.ActualSet)
    height = canvas.WrappedText(notes.LeftText(), {canvas.ScaleXOf(256), top, canvas.ScaleXOf(split), bottom}, draw);
  if (notes.PreSet)
    height = std::max(
        height, canvas.WrappedText(notes.Pre, {canvas.ScaleXOf(split + 5), top, canvas.ScaleXOf(741), bottom}, draw));
  return height;
}

int BoxDepth(const TPrintCanvas& canvas, int measured) {
  return static_cast<int>(static_cast<float>(measured + 2) / canvas.ScaleY);
}

}  // namespace

int DiagnosisHeight(TPrintCanvas& canvas, const TNotes& notes, int split) {
  if (!notes.BoxDue())
    return 0;
  return 5 + BoxDepth(canvas, MeasureNotes(canvas, notes, canvas.PrintY + 5, false, split));
}

void WriteDiagnosis(TPrintCanvas& canvas, const TMessage& texts, const TNotes& notes, int split, int right) {
  if (!notes.BoxDue())
    return;
  const int y0 = canvas.PrintY + 5;
  canvas.Text(texts.LoadStringA(149), 66, y0, 251, y0 + RowHeight, TTextAlign::Left);
  const int d = BoxDepth(canvas, MeasureNotes(canvas, notes, y0, true, split));
  for (int x : {51, 251, split})
    if (x <= right)
      canvas.Line(x, y0 - 1, x, y0 + d, 2);
  if (right != split)
    canvas.Line(right, y0 - 1, right, y0 + d, 2);
  RuleTo(canvas, y0 + d, right);
  canvas.PrintY = y0 + d;
}

}  // namespace PrintedTables
