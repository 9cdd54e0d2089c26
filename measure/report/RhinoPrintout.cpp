#include "measure/report/RhinoPrintout.h"

#include "measure/core/MeasureCore.h"
#include "measure/results/ResultCells.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/RhinoChart.h"
#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/rhinomanometry/ShownValues.h"
#include "special/rhinomanometry/RhinoReportLayout.h"

#include <array>

namespace {

constexpr TColor RhinoBlack = TColor::Black();
constexpr TColor RhinoWhite = TColor::White();
constexpr int RightNostrilText = 313;
constexpr int LeftNostrilText = 312;
constexpr int RhinoRowHeight = RhinoReport::RowHeight;

// The nine value cells, 53 units each from x = 251: the first result's
// right, left and sum, the second's, and the changes in per cent.
constexpr int CellLeft(int cell) { return 251 + 53 * cell; }
constexpr int CellRight(int cell) { return 251 + 53 * (cell + 1); }

TColor RhinoShadeOf(int index) { return index % 2 == 0 ? TPrintCanvas::Shade : RhinoWhite; }

// The rules between the label column, the two results and the changes.
void DrawRhinoTableColumn(TPrintCanvas& canvas, int y, int height) {
  for (int x : {51, 251, 411, 571, 741})
    canvas.Line(x, y - 3, x, y + height + 3, 2);
}

}  // namespace

TRhinoPrintout::TRhinoPrintout(TMeasureCore& core, const TMessage& texts, TMeasurePainter& painter)
    : Core(core), Texts(texts), Painter(painter) {}

void TRhinoPrintout::SendProgress() const {
  if (Progress)
    Progress();
}

int TRhinoPrintout::CalculateRhinoHeight(TPrintCanvas& canvas) {
  // The notes box is measured as it will be printed; the rest are the
  // fixed advances of the blocks.
  return RhinoReport::Height(Core.Rhino.ShownRows(), Core.Rhino.Provoked, std::nullopt) +
         PrintedTables::DiagnosisHeight(canvas, Notes, PrintedTables::RhinoNotesSplit);
}

int TRhinoPrintout::CalculateMeasureHeight(TPrintCanvas& canvas, int, int) {
  TextHeight = CalculateRhinoHeight(canvas);
  return TextHeight;
}

void TRhinoPrintout::PrintMeasure(TPrintCanvas& canvas, short page) {
  if (page == 1)
    WritePrintRhinoTable(canvas);
}

void TRhinoPrintout::WritePrintRhinoTable(TPrintCanvas& canvas) {
  SendProgress();
  SendProgress();
  DrawTitle(canvas);
  SendProgress();
  const int rows = WriteParamTables(canvas);
  if (Core.Rhino.Provoked)
    DrawProvocationRows(canvas, rows);
  SendProgress();
  PrintedTables::WriteDiagnosis(canvas, Texts, Notes, PrintedTables::RhinoNotesSplit);
  DrawDiagram(canvas);
  SendProgress();
}

void TRhinoPrintout::DrawTitle(TPrintCanvas& canvas) const {
  std::string firstDate, secondDate, firstTime, secondTime;
  Core.SetRhinoDateTimeStr(firstDate, secondDate, firstTime, secondTime);
  const int y = canvas.PrintY + 20;
  canvas.Line(TPrintCanvas::Left, y, TPrintCanvas::Right, y, 2);
  canvas.Line(TPrintCanvas::Left, y, TPrintCanvas::Left, y + 30, 2);
  canvas.Line(TPrintCanvas::Right, y, TPrintCanvas::Right, y + 30, 2);
  DrawRhinoTableColumn(canvas, y + 3, 27);
  canvas.Text(firstDate, 251, y - 6, 411, y + 5, TTextAlign::Centre);
  canvas.Text(secondDate, 411, y - 6, 571, y + 5, TTextAlign::Centre);
  canvas.Text(Texts.LoadStringA(73), 571, y - 6, 741, y + 5, TTextAlign::Centre);
  canvas.Text(firstTime, 251, y + 6, 411, y + 17, TTextAlign::Centre);
  canvas.Text(secondTime, 411, y + 6, 571, y + 17, TTextAlign::Centre);
  canvas.Text(BtpsLine, 66, y + 6, 251, y + 17, TTextAlign::Left);
  canvas.Text(Texts.LoadStringA(44), 66, y + 18, 251, y + 29, TTextAlign::Left);
  const std::string right = Texts.LoadStringA(RightNostrilText);
  const std::string left = Texts.LoadStringA(LeftNostrilText);
  // The sum's head is the Greek capital sigma.
  const std::array<std::string, 8> heads{CLocale::Format("%5s", right.c_str()), CLocale::Format("%5s", left.c_str()),
                                         "    \xCE\xA3",
                                         CLocale::Format("%5s", right.c_str()), CLocale::Format("%5s", left.c_str()),
                                         "    \xCE\xA3",
                                         right, left};
  for (int cell = 0; cell < 8; ++cell)
    canvas.Text(heads[static_cast<std::size_t>(cell)], CellLeft(cell), y + 18, CellRight(cell), y + 29,
                TTextAlign::Centre);
  canvas.Text("\xCE\xA3  [%] ", CellLeft(8), y + 18, 736, y + 29, TTextAlign::Right);
  canvas.Line(TPrintCanvas::Left, y + 30, TPrintCanvas::Right, y + 30, 2);
  canvas.PrintY = y + 30;
}

int TRhinoPrintout::WriteParamTables(TPrintCanvas& canvas) const {
  const TRhinoRows& flags = Core.Rhino.ShownRows();
  const std::vector<rhinomanometry::RhinoLine> lines =
      rhinomanometry::RhinoLines(Core.Rhino.ParamsAkt, Core.Rhino.ParamsPre, flags, Core.Rhino.Provoked);
  int n = 0;
  for (const rhinomanometry::RhinoLine& line : lines) {
    const int y = canvas.PrintY + RhinoRowHeight * n + 5;
    // Shaded by the candidate row: the flow rows 0 to 4, the resistance
    // rows 5 to 9.
    const TColor shade = RhinoShadeOf(static_cast<int>(line.row) + (line.resistance ? RHINO_PRESSURE_COUNT : 0));
    canvas.Text(line.Label(), 66, y, 241, y + RhinoRowHeight, TTextAlign::Left, true, shade);
    canvas.Text(std::string(line.Unit()) + " ", 66, y, 241, y + RhinoRowHeight, TTextAlign::Right, false, shade);
    const int precision = line.Precision();
    for (int cell = 0; cell < 6; ++cell) {
      const float value = line.values[static_cast<std::size_t>(cell)];
      const TColor colour = cell < 3 ? ResultCells::LightBlue : value == 0.0f ? RhinoBlack : ResultCells::DarkRed;
      canvas.Text(rhinomanometry::Fixed(value, precision, 5), CellLeft(cell), y, CellRight(cell), y + RhinoRowHeight,
                  TTextAlign::Centre, false, shade, colour);
    }
    for (int c = 0; c < 3; ++c) {
      const float change = line.changesPercent[static_cast<std::size_t>(c)];
      if (change != 0.0f)
        canvas.Text(rhinomanometry::Fixed(change, 0, 5), CellLeft(6 + c), y, CellRight(6 + c), y + RhinoRowHeight,
                    TTextAlign::Centre, false, shade);
    }
    DrawRhinoTableColumn(canvas, y, 9);
    ++n;
  }
  const int y = canvas.PrintY + RhinoRowHeight * n + 5;
  canvas.Line(TPrintCanvas::Left, y + 2, TPrintCanvas::Right, y + 2, 2);
  canvas.PrintY = y;
  return n;
}

void TRhinoPrintout::DrawProvocationRows(TPrintCanvas& canvas, int rowsSoFar) const {
  const int y0 = canvas.PrintY;
  const TRhinoState& rhino = Core.Rhino;
  const std::array<std::pair<int, std::string>, 3> rows{
      std::pair{296, rhino.ProvocationMaterial},
      std::pair{297, CLocale::Format("%6.2f mg/ml", static_cast<double>(rhino.ProvocationConcentration))},
      std::pair{298, CLocale::Format("%6.2f    ml", static_cast<double>(rhino.ProvocationDose))}};
  for (int r = 0; r < 3; ++r) {
    const int top = y0 + 5 + 13 * r;
    const TColor shade = RhinoShadeOf(rowsSoFar + r);
    const auto& [text, value] = rows[static_cast<std::size_t>(r)];
    canvas.Text(Texts.LoadStringA(text), 66, top, 251, top + 13, TTextAlign::Left, true, shade);
    canvas.Text(value, 411, top, 551, top + 13, TTextAlign::Centre, false, shade);
    DrawRhinoTableColumn(canvas, top, 10);
  }
  canvas.Line(TPrintCanvas::Left, y0 + RhinoReport::ProvocationAdvance, TPrintCanvas::Right,
              y0 + RhinoReport::ProvocationAdvance, 2);
  canvas.PrintY = y0 + RhinoReport::ProvocationAdvance;
}

void TRhinoPrintout::DrawDiagram(TPrintCanvas& canvas) {
  canvas.PrintY += RhinoReport::DiagramGap;
  TMeasureDisplay& d = Painter.Display;
  const TMeasureDisplay kept = d;
  d.Printing = true;
  d.PrintLine = canvas.PrintY;
  d.XScale = canvas.ScaleX;
  d.YScale = canvas.ScaleY;
  d.Grid = 0;
  // The enlarged diagram (k = 2) with its top at the print line.
  const TRhinoFrame frame{0, static_cast<float>(canvas.PrintY), false};
  const TRhinoFactors factors = RhinoFactors(Core.ZoomLevel);
  RhinoChart::DrawRhinoKoordinata(Painter, canvas.Surface, frame, factors);
  const RhinoChart::TRhinoCurves curves = RhinoChart::CurvesOf(Core);
  RhinoChart::DrawRhinoLegend(Painter, canvas.Surface, canvas.PrintY, Core.Rhino.Provoked, DottedLines,
                              RhinoChart::HasSecondPair(curves));
  RhinoChart::DrawRhinoCurvesBySlot(Painter, canvas.Surface, frame, factors, curves, DottedLines);
  d = kept;
  canvas.PrintY += RhinoReport::DiagramHeight;
}
