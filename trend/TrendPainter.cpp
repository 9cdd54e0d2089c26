#include "trend/TrendPainter.h"

#include "platform/basekit/Message.h"
#include "trend/TrendGeometry.h"
#include "trend/TrendModel.h"
#include "trend/TrendParams.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

std::array<QColor, 5> TTrendColors::PrintCurves() {
  return {QColor(0x00, 0x80, 0x00), QColor(0x00, 0x80, 0x80), QColor(0xFF, 0x00, 0xFF), QColor(0xFF, 0x00, 0x00),
          QColor(0x00, 0x00, 0xFF)};
}

namespace TrendPainter {
namespace {

constexpr std::array<double, 6> ScreenBounds = {190, 290, 395, 498, 603, 705};

enum class TAlign { Left, Centre, Right };

QFont Font(const char* family, double points, bool bold = true) {
  QFont font(family);
  // Points on the 800 × 600 design screen of 96 dots per inch.
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
  font.setBold(bold);
  return font;
}

void WriteText(QPainter& p, const std::string& text, const QRectF& box, TAlign align, const QColor& background,
               const QColor& colour, const QFont& font) {
  if (background.isValid())
    p.fillRect(box, background);
  p.setFont(font);
  p.setPen(colour);
  const int flags = Qt::TextSingleLine | Qt::AlignVCenter |
                    (align == TAlign::Left ? Qt::AlignLeft : align == TAlign::Right ? Qt::AlignRight : Qt::AlignHCenter);
  p.drawText(box, flags, QString::fromStdString(text));
}

QFont Mono(double points) { return Font("Liberation Mono", points); }

bool ShowsGraph(const TTrendModel& model) { return !(model.Relative() && !model.Predicted()); }

void DrawLine(QPainter& p, double x0, double y0, double x1, double y1) { p.drawLine(QPointF(x0, y0), QPointF(x1, y1)); }

void DrawGrid(QPainter& p, const TTrendGraphFrame& frame, const QColor& colour) {
  QPen pen(colour, 0);
  pen.setDashPattern({2, 4});
  p.setPen(pen);
  for (int k = 0; k <= 8; ++k)
    if (k != 4)
      DrawLine(p, frame.Origin, frame.Top + 20 * k, frame.Origin + frame.AxisWidth, frame.Top + 20 * k);
  for (int j = 1; j <= 10; ++j)
    DrawLine(p, frame.Origin + frame.Division() * j, frame.Top, frame.Origin + frame.Division() * j,
             frame.Top + TTrendGraphFrame::Height);
}

void DrawAxes(QPainter& p, const TTrendGraphFrame& frame, int zoom, bool grid, const QColor& axis, const QColor& gridColour,
              const QColor& background) {
  if (grid)
    DrawGrid(p, frame, gridColour);
  p.setPen(QPen(axis, 1));
  DrawLine(p, frame.Origin, frame.Top, frame.Origin, frame.Top + TTrendGraphFrame::Height);
  for (int k = 0; k <= 8; ++k)
    DrawLine(p, frame.Origin - 4, frame.Top + 20 * k, frame.Origin + 4, frame.Top + 20 * k);
  const double middle = frame.Top + TTrendGraphFrame::Height / 2;
  DrawLine(p, frame.Origin, middle, frame.Origin + frame.AxisWidth, middle);
  for (int j = 0; j <= 10; ++j)
    DrawLine(p, frame.Origin + frame.Division() * j, middle - 4, frame.Origin + frame.Division() * j, middle + 4);
  const int factor = TTrendModel::ZoomFactor(zoom);
  char label[16];
  std::snprintf(label, sizeof label, "%4d %%", 100 / factor);
  WriteText(p, label, QRectF(frame.Origin + 5, frame.Top - 5, 50, 20), TAlign::Left, background, axis, Font("Liberation Mono", 8));
  std::snprintf(label, sizeof label, "%4d %%", -100 / factor);
  WriteText(p, label, QRectF(frame.Origin + 5, frame.Top + 150, 50, 20), TAlign::Left, background, axis, Font("Liberation Mono", 8));
}

void DrawCurves(QPainter& p, const TTrendPageContext& c, const TTrendGraphFrame& frame, int zoom,
                const std::array<QColor, 5>& colours, bool dotted, std::array<bool, 5>& drawn) {
  const auto& lines = c.Model.Lines();
  const std::vector<double> xs = TrendGeometry::LineXs(lines, c.DatePicture, frame);
  const int factor = TTrendModel::ZoomFactor(zoom);
  for (int slot = 0; slot < TrendSlots; ++slot) {
    if (c.Model.Params[slot] == TrendParams::Empty)
      continue;
    p.setPen(QPen(colours[slot], 2, Qt::SolidLine, Qt::FlatCap));
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const TTrendSegment segment{
        {xs[i - 1], TrendGeometry::PercentY(TrendLine::ShownPercent(lines[i - 1].Percents[slot]), factor, frame)},
        {xs[i], TrendGeometry::PercentY(TrendLine::ShownPercent(lines[i].Percents[slot]), factor, frame)}};
      const auto clipped = TrendGeometry::Clip(segment, frame);
      if (!clipped)
        continue;
      for (const TTrendSegment& piece : TrendGeometry::DashPieces(*clipped, dotted ? slot : 0))
        DrawLine(p, piece.From.X, piece.From.Y, piece.To.X, piece.To.Y);
      drawn[slot] = true;
    }
  }
}

std::string ReferenceText(const TTrendModel& model) {
  std::array<float, TrendSlots> percents{};
  for (int slot = 0; slot < TrendSlots; ++slot)
    percents[slot] = model.Params[slot] == TrendParams::Empty ? 0 : 100;
  return TrendLine::Format(model.Reference(), percents);
}

void WriteHeads(QPainter& p, const TTrendPageContext& c, const double* bounds, double top, double unitBottom,
                const QColor& background, const std::array<QColor, 5>* drawnColours,
                const std::array<bool, 5>& drawn, const QColor& textColour) {
  for (int slot = 0; slot < TrendSlots; ++slot) {
    const short number = c.Model.Params[slot];
    if (number == TrendParams::Empty)
      continue;
    const QColor colour = drawnColours && drawn[slot] ? (*drawnColours)[slot] : textColour;
    const double unitPoints = (number == 309 || number == 409) ? 9 : (number == 310 || number == 410) ? 7 : 10;
    WriteText(p, std::string(TrendParams::Name(number)), QRectF(QPointF(bounds[slot], top), QPointF(bounds[slot + 1], top + 16)),
              TAlign::Centre, background, colour, Mono(10));
    WriteText(p, std::string(TrendParams::Unit(number)),
              QRectF(QPointF(bounds[slot], top + 16), QPointF(bounds[slot + 1], unitBottom)), TAlign::Centre, background,
              colour, Mono(unitPoints));
  }
}

}  // namespace

std::string PatientLine(const TMessage* messages, const PREDICTED_DATA& patient) {
  if (!messages)
    return patient.GetName();
  if (patient.Unit != 0)
    return messages->Format(51, {patient.GetName(), std::to_string(patient.Age), std::to_string(patient.Height / 12),
                                 std::to_string(patient.Height % 12), std::to_string(patient.Weight)});
  return messages->Format(50, {patient.GetName(), std::to_string(patient.Age), std::to_string(patient.Height),
                               std::to_string(patient.Weight)});
}

void PaintScreen(QPainter& p, const TTrendPageContext& c, std::array<bool, 5>& drawn) {
  const TTrendColors& colors = c.Colors;
  if (c.Background && !c.Background->isNull())
    p.drawImage(QRectF(0, 0, 800, 600), *c.Background);
  else
    p.fillRect(QRectF(0, 0, 800, 600), QColor(0xC0, 0xC0, 0xC0));
  for (const QRectF box : {QRectF(QPointF(9, 8), QPointF(741, 27)), QRectF(QPointF(9, 35), QPointF(741, 59)),
                           QRectF(QPointF(9, 67), QPointF(741, 276))})
    p.fillRect(box, colors.HeaderBackground);
  p.fillRect(QRectF(QPointF(9, 283), QPointF(741, 456)), colors.PlotBackground);

  WriteText(p, PatientLine(c.Messages, c.Patient), QRectF(QPointF(17, 8), QPointF(741, 27)), TAlign::Left,
            colors.HeaderBackground, colors.HeaderText, Font("Liberation Serif", 10));
  p.setPen(QPen(Qt::black, 2));
  for (const double x : ScreenBounds)
    DrawLine(p, x, 67, x, 102);

  const TTrendModel& model = c.Model;
  if (ShowsGraph(model)) {
    if (!model.Predicted() && model.ReferenceTaken())
      WriteText(p, ReferenceText(model), QRectF(QPointF(14, 35), QPointF(741, 59)), TAlign::Left, colors.HeaderBackground,
                Qt::black, Mono(10));
    const TTrendGraphFrame frame = TTrendGraphFrame::Screen();
    DrawAxes(p, frame, model.Zoom, model.Grid, colors.Axis, colors.Grid, colors.PlotBackground);
    DrawCurves(p, c, frame, model.Zoom, colors.Curves, false, drawn);
    if (model.Count() > 0 && model.MarkerIndex() < model.Count()) {
      const auto xs = TrendGeometry::LineXs(model.Lines(), c.DatePicture, frame);
      p.setPen(QPen(colors.Axis, 1));
      const double x = xs[static_cast<std::size_t>(model.MarkerIndex())];
      DrawLine(p, x, 289, x, 289 + TTrendGraphFrame::Height);
    }
  }
  WriteHeads(p, c, ScreenBounds.data(), 67, 96, colors.HeaderBackground, &colors.Curves, drawn, colors.HeaderText);
}

namespace {

constexpr std::array<double, 6> PrintBounds = {232, 328, 425, 522, 620, 718};
const QColor Shade(0xDF, 0xDF, 0xDF);

void WritePieces(QPainter& p, const std::vector<TrendPrint::TPiece>& pieces, double top, double height, bool shaded) {
  if (shaded)
    p.fillRect(QRectF(51, top, 690, height), Shade);
  for (const auto& piece : pieces)
    WriteText(p, piece.Text, QRectF(QPointF(piece.Left, top), QPointF(piece.Right, top + height)), TAlign::Centre,
              QColor(), Qt::black, Mono(9));
}

void PrintTable(QPainter& p, const TTrendPageContext& c, const TTrendPrintPage& page) {
  const TTrendModel& model = c.Model;
  const double top = page.TableTop;
  p.setPen(QPen(Qt::black, 1));
  DrawLine(p, 51, top, 741, top);
  DrawLine(p, 51, top + 40, 741, top + 40);
  DrawLine(p, 51, top + 80, 741, top + 80);
  if (!model.Relative() && !model.Predicted() && model.ReferenceTaken()) {
    TTrendLine reference = TrendLine::Make(model.Reference(), {});
    for (int slot = 0; slot < TrendSlots; ++slot)
      reference.Percents[slot] = model.Params[slot] == TrendParams::Empty ? 0 : 100;
    WritePieces(p, TrendPrint::CutStringForPrint(reference), top, 40, false);
  }
  std::array<bool, 5> none{};
  WriteHeads(p, c, PrintBounds.data(), top + 40, top + 80, Qt::white, nullptr, none, Qt::black);
  p.setPen(QPen(Qt::black, 1));
  for (const double x : PrintBounds)
    DrawLine(p, x, top, x, top + 80);

  double y = top + TTrendPrintLayout::HeaderHeight;
  for (int r = 0; r < page.RowCount; ++r) {
    const TTrendLine& line = model.Lines()[static_cast<std::size_t>(page.FirstRow + r)];
    WritePieces(p, TrendPrint::CutStringForPrint(line), y, TTrendPrintLayout::RowHeight, r % 2 == 0);
    p.setPen(QPen(Qt::black, 1));
    for (const double x : PrintBounds)
      DrawLine(p, x, y, x, y + TTrendPrintLayout::RowHeight);
    y += TTrendPrintLayout::RowHeight;
  }
  DrawLine(p, 51, top, 51, y);
  DrawLine(p, 741, top, 741, y);
  DrawLine(p, 51, y, 741, y);
}

void PrintGraph(QPainter& p, const TTrendPageContext& c, double top, bool dotted) {
  const TTrendModel& model = c.Model;
  const auto colours = TTrendColors::PrintCurves();
  // Legend: one line of 9 per used slot, the name right-aligned and a
  // sample of the curve's pen.
  double y = top + 9;
  for (int slot = 0; slot < TrendSlots; ++slot) {
    const short number = model.Params[slot];
    if (number == TrendParams::Empty)
      continue;
    WriteText(p, std::string(TrendParams::Name(number)) + " ", QRectF(QPointF(51, y), QPointF(586, y + 9)), TAlign::Right,
              Qt::white, Qt::black, Mono(9));
    p.setPen(QPen(colours[slot], 2, Qt::SolidLine, Qt::FlatCap));
    for (const TTrendSegment& piece : TrendGeometry::DashPieces({{591, y + 4.5}, {651, y + 4.5}}, dotted ? slot : 0))
      DrawLine(p, piece.From.X, piece.From.Y, piece.To.X, piece.To.Y);
    y += 9;
  }
  y += 9;
  const TTrendGraphFrame frame = TTrendGraphFrame::Print(y);
  const int zoom = TrendGeometry::PrintZoom(model.Lines(), model.Reference());
  DrawAxes(p, frame, zoom, model.Grid, Qt::black, Qt::black, Qt::white);
  std::array<bool, 5> drawn{};
  DrawCurves(p, c, frame, zoom, colours, dotted, drawn);
}

}  // namespace

void PaintPrintPage(QPainter& p, const TTrendPageContext& c, const TTrendPrintPlan& plan, int page, bool dotted) {
  if (page < 1 || page > static_cast<int>(plan.Pages.size()))
    return;
  const TTrendPrintPage& layout = plan.Pages[static_cast<std::size_t>(page - 1)];
  if (layout.RowCount > 0)
    PrintTable(p, c, layout);
  if (layout.GraphTop >= 0 && ShowsGraph(c.Model))
    PrintGraph(p, c, layout.GraphTop, dotted);
}

}  // namespace TrendPainter
