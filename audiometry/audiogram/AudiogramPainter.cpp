#include "audiometry/audiogram/AudiogramPainter.h"

#include "platform/basekit/Message.h"
#include "platform/basekit/TextFormat.h"
#include "platform/basekit/Util.h"
#include "platform/framework/DatePicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int TextNote = 149;
constexpr int TextActual = 302;
constexpr int TextPrevious = 303;
constexpr int TextLeftEar = 312;
constexpr int TextRightEar = 313;
constexpr int TextPatientMetric = 50;
constexpr int TextPatientImperial = 51;

constexpr TColor Magenta{255, 0, 255};
constexpr TColor LightBlue{0, 0, 255};
constexpr std::array<const char*, AudioFrequencies> FrequencyLabels{"125", "250", "500", "750", "1k", "1.5k",
                                                                    "2k",  "3k",  "4k",  "6k",  "8k"};

std::string Printf(const char* format, int value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

bool TAudiogramData::AnyMeasured() const {
  for (const auto& ear : Flags)
    for (const auto& kind : ear)
      for (bool measured : kind)
        if (measured)
          return true;
  return false;
}

bool TAudiogramData::PreviousMeasured() const {
  for (const auto& ear : Flags)
    if (std::find(ear[Previous].begin(), ear[Previous].end(), true) != ear[Previous].end())
      return true;
  return false;
}

void TAudiogramPens::SetCurveWidth(int width) {
  width = width < 1 ? 1 : width;
  Right.Width = Left.Width = Previous.Width = width;
}

void TAudiogramPens::SetPenSize(int width, bool bitmapMode) {
  General = {bitmapMode ? TColor::Black() : General.Color, width < 1 ? 1 : width, TPenStyle::Solid};
}

void TAudiogramPens::ChangePenDot(int deviceColours) {
  Previous = {TColor(0, 255, 0), 2, deviceColours < 3 ? TPenStyle::Dot : TPenStyle::Solid};
}

TAudiogramPainter::TAudiogramPainter(TDrawSurface& surface, const TMessage* texts, const TAudiogramData& data,
                                     TAudiogramLayout& layout, const TAudiogramPens& pens)
    : Surface(surface), Texts(texts), Data(data), Layout(layout), Pens(pens) {}

TPoint TAudiogramPainter::P(double x, double y) const {
  return {static_cast<int>(x * Layout.XScale), static_cast<int>(y * Layout.YScale)};
}

TRect TAudiogramPainter::R(double left, double top, double right, double bottom) const {
  const TPoint a = P(left, top);
  const TPoint b = P(right, bottom);
  return {a.X, a.Y, b.X, b.Y};
}

std::string TAudiogramPainter::Text(int number) const { return Texts ? Texts->LoadStringA(number) : std::string(); }

TFontSpec TAudiogramPainter::Font(const char* face, double points, int weight) const {
  return TUtil::LayoutFont(face, points, Layout.YScale, weight);
}

TFontSpec TAudiogramPainter::FittingFont(const char* face, double points, int weight, double widthUnits) const {
  // The frequencies stand 23 units apart: a font that would run two labels
  // together is made smaller until the widest label fits its column.
  TFontSpec font = Font(face, points, weight);
  const double room = widthUnits * Layout.XScale;
  const auto widest = [&] {
    int width = 0;
    for (const char* label : FrequencyLabels)
      width = std::max(width, Surface.MeasureText(label, font).Width);
    return width;
  };
  while (font.PixelHeight > 6 && widest() > room)
    --font.PixelHeight;
  return font;
}

void TAudiogramPainter::Write(double left, double top, double right, double bottom, const std::string& text,
                              const TFontSpec& font, TColor colour, TTextAlign align) {
  TTextStyle style;
  style.Font = font;
  style.Color = Layout.BitmapMode && colour == Pens.Text ? TColor::Black() : colour;
  style.Opaque = false;
  style.Align = align;
  Surface.TextInRect(R(left, top, right, bottom), text, style);
}

int TAudiogramPainter::ChartTop() const { return Layout.BitmapMode ? Layout.PrintOffset : RightChart.Top; }

int TAudiogramPainter::GridX(int ear) const {
  if (ear == TAudiogramData::Right)
    return Layout.BitmapMode ? 59 : 26;
  return Layout.BitmapMode ? 454 : 449;
}

int TAudiogramPainter::GetTableHeight(int row) const { return (Layout.BitmapMode ? PrintedRowHeight : 18) * row; }
int TAudiogramPainter::GetMaxTableHeight() const { return 3 * (Layout.BitmapMode ? PrintedRowHeight : 18); }

int TAudiogramPainter::GetDiagnosisHeight(const TAudiogramData& data) {
  const int rows = (!data.CurrentNote.empty() || data.NoteFlags[0]) + (data.NoteFlags[1] ? 1 : 0);
  return NoteRowHeight * rows;
}

TRect TAudiogramPainter::ChartRect(int ear) const {
  const TRect chart = ear == TAudiogramData::Right ? RightChart : LeftChart;
  return R(chart.Left, chart.Top, chart.Right + (ear == TAudiogramData::Right ? 60 : 0), chart.Bottom + 30);
}

TRect TAudiogramPainter::TableRect() const { return R(Table.Left, Table.Top, Table.Right + 5, Table.Bottom); }

void TAudiogramPainter::FillFields() {
  TUtil::FillRect(Surface, Layout.XScale, Layout.YScale, {7, 8, 742, 31}, Pens.Field);
  TUtil::FillRect(Surface, Layout.XScale, Layout.YScale, {7, 37, 742, 70}, Pens.Field);
  TUtil::FillRect(Surface, Layout.XScale, Layout.YScale, {7, 76, 742, 456}, Pens.Field);
}

void TAudiogramPainter::DoPaint() {
  FillFields();
  DrawKoordinata();
  WriteTable();
  DrawCurves();
  WritePatientData();
  DrawMarker();
  DrawRedCross(1);
  DrawRedCross(0);
}

void TAudiogramPainter::DoPaintUnderMeasurement() {
  Surface.FillRect(ChartRect(Data.Ear), Pens.Field);
  Surface.FillRect(TableRect(), Pens.Field);
  DrawChart(Data.Ear);
  WriteTable();
  DrawCurves(Data.Ear);
  DrawMarker();
  DrawRedCross(1);
  DrawRedCross(0);
}

void TAudiogramPainter::DashedLine(double x0, double y0, double x1, double y1) {
  // 2-unit dashes every 6 units.
  const double length = std::hypot(x1 - x0, y1 - y0);
  for (double s = 0; s < length; s += 6) {
    const double e = std::min(s + 2, length);
    Surface.Line(P(x0 + (x1 - x0) * s / length, y0 + (y1 - y0) * s / length),
                 P(x0 + (x1 - x0) * e / length, y0 + (y1 - y0) * e / length));
  }
}

void TAudiogramPainter::DrawKoordinata() {
  DrawChart(TAudiogramData::Right);
  DrawChart(TAudiogramData::Left);
}

void TAudiogramPainter::DrawChart(int ear) {
  const bool bitmap = Layout.BitmapMode;
  const bool right = ear == TAudiogramData::Right;
  const int top = ChartTop();
  const int gridX = GridX(ear);
  const int frameX = right ? (bitmap ? 50 : 17) : (bitmap ? 445 : 440);

  Surface.SetPen(Pens.General);
  Surface.FrameRect(R(frameX, top, frameX + 297, top + 181));

  // Grid.
  Surface.SetPen(bitmap ? TPen{TColor::Black(), 1} : Pens.Grid);
  for (int db = 0; db <= 100; db += 20)
    DashedLine(gridX, LevelY(db), gridX + 23 * 12, LevelY(db));
  for (int column = 0; column <= 12; ++column)
    if (column != 1 && column != 3)
      DashedLine(gridX + 23 * column, top, gridX + 23 * column, top + 180);

  // Level scale with its ticks.
  Surface.SetPen(Pens.General);
  const TFontSpec scaleFont = Font("Courier New", 8, 700);
  const int scaleX = right ? (bitmap ? 347 : 314) : (bitmap ? 445 : 440);
  for (int i = 0; i <= 12; ++i) {
    const double y = top + 15.0 * i;
    const int db = -10 + 10 * i;
    if (right) {
      Surface.Line(P(scaleX, y), P(scaleX + 8, y));
      Write(scaleX + 9, y - 7, scaleX + 40, y + 7, Printf("%3d", db), scaleFont, Pens.Text, TTextAlign::Left);
    } else {
      Surface.Line(P(scaleX - 8, y), P(scaleX, y));
      Write(scaleX - 36, y - 7, scaleX - 9, y + 7, Printf("%-3d", db), scaleFont, Pens.Text, TTextAlign::Right);
    }
  }
  const double dbLabelX = right ? scaleX + 8 : scaleX - 44;
  Write(dbLabelX, top - 18, dbLabelX + 40, top - 4, "[dB]", Font("Courier New", 10, 700), Pens.Text, TTextAlign::Left);

  // Frequency labels and their ticks.
  const TFontSpec frequencyFont = FittingFont("Haettenschweiler", bitmap ? 10 : 12, 400, 20);
  for (int f = 0; f < AudioFrequencies; ++f) {
    const double x = gridX + 23.0 * Column(f);
    Surface.Line(P(x, top + 181), P(x, top + 189));
    Write(x - 11.5, top + 189, x + 11.5, top + 205, FrequencyLabels[static_cast<std::size_t>(f)], frequencyFont,
          Pens.Text, TTextAlign::Centre);
  }

  // Title.
  const TFontSpec titleFont = Font("Courier New", 10, 700);
  if (right)
    Write(50, top - 20, 347, top - 4, Text(TextRightEar), titleFont, Pens.Text, TTextAlign::Centre);
  else
    Write(bitmap ? 445 : 440, top - 20, bitmap ? 742 : 737, top - 4, Text(TextLeftEar), titleFont, Pens.Text,
          TTextAlign::Centre);
}

const TPen& TAudiogramPainter::CurvePen(int kind, int ear) const {
  if (kind == TAudiogramData::Previous)
    return Pens.Previous;
  return ear == TAudiogramData::Right ? Pens.Right : Pens.Left;
}

void TAudiogramPainter::DrawCurves() {
  DrawCurves(TAudiogramData::Right);
  DrawCurves(TAudiogramData::Left);
}

void TAudiogramPainter::DrawCurves(int ear) {
  for (int kind : {TAudiogramData::Previous, TAudiogramData::Actual})
    for (int f = 0; f < AudioFrequencies; ++f)
      DrawCurve(kind, ear, f);
}

void TAudiogramPainter::DrawCurve(int kind, int ear, int frequency) {
  const auto e = static_cast<std::size_t>(ear);
  const auto k = static_cast<std::size_t>(kind);
  const auto& flags = Data.Flags[e][k];
  const auto& values = Data.Thresholds[e][k];
  if (!flags[static_cast<std::size_t>(frequency)])
    return;
  TPen pen = CurvePen(kind, ear);
  if (Layout.BitmapMode && kind == TAudiogramData::Actual && ear == TAudiogramData::Left)
    pen.Color = LightBlue;  // cyan does not show on paper
  Surface.SetPen(pen);
  const int gridX = GridX(ear);
  const auto at = [&](int f) {
    return P(gridX + 23.0 * Column(f), LevelY(values[static_cast<std::size_t>(f)]));
  };
  const TPoint point = at(frequency);
  int lower = frequency - 1;
  while (lower >= 0 && !flags[static_cast<std::size_t>(lower)])
    --lower;
  if (lower >= 0)
    Surface.Line(at(lower), point);
  else
    Surface.Line(point, {point.X + 1, point.Y});
  const int symbol = ear == TAudiogramData::Right ? 0 : 1;
  DrawSymbol(Surface, symbol, point, static_cast<int>(4 * Layout.XScale + 0.5), {pen.Color, pen.Width > 2 ? 2 : pen.Width});
}

void TAudiogramPainter::DrawSymbol(TDrawSurface& surface, int symbol, TPoint at, int size, const TPen& pen) {
  surface.SetPen({pen.Color, pen.Width, TPenStyle::Solid});
  const int s = size < 2 ? 2 : size;
  switch (symbol) {
  case 0: {
    std::vector<TPoint> circle;
    const double radius = s - 1;
    for (int i = 0; i <= 16; ++i) {
      const double a = 2 * std::numbers::pi * i / 16;
      circle.push_back({at.X + static_cast<int>(std::lround(radius * std::cos(a))),
                        at.Y + static_cast<int>(std::lround(radius * std::sin(a)))});
    }
    surface.Polyline(circle);
    break;
  }
  case 1:
    surface.Line({at.X - s, at.Y - s}, {at.X + s, at.Y + s});
    surface.Line({at.X - s, at.Y + s}, {at.X + s, at.Y - s});
    break;
  case 2: {
    const std::array<TPoint, 3> open{TPoint{at.X + s, at.Y - s}, TPoint{at.X - s, at.Y}, TPoint{at.X + s, at.Y + s}};
    surface.Polyline(open);
    break;
  }
  default: {
    const std::array<TPoint, 3> open{TPoint{at.X - s, at.Y - s}, TPoint{at.X + s, at.Y}, TPoint{at.X - s, at.Y + s}};
    surface.Polyline(open);
    break;
  }
  }
}

namespace {

// Three parts written as "%04d%02d%02d" or "%02d%02d%02d" and recoded from
// their picture into the display format; the format itself when empty.
std::string Recoded(bool present, const char* raw, int a, int b, int c, std::string_view picture,
                    const std::string& format) {
  if (!present)
    return format;
  char text[16];
  std::snprintf(text, sizeof text, raw, a, b % 100, c % 100);
  return DatePicture::Recode(text, picture, format);
}

}  // namespace

std::string TAudiogramPainter::DateText(const TAudiogramStamp& stamp, const std::string& format) {
  return Recoded(stamp.Year != 0, "%04d%02d%02d", stamp.Year % 10000, stamp.Month, stamp.Day, "YYYYMMDD", format);
}

std::string TAudiogramPainter::TimeText(const TAudiogramStamp& stamp, const std::string& format) {
  return Recoded(stamp.Hour != 0, "%02d%02d%02d", stamp.Hour % 100, stamp.Minute, stamp.Second, "HHMMSS", format);
}

void TAudiogramPainter::WriteTable() {
  const bool bitmap = Layout.BitmapMode;
  // On paper the table starts below the charts' frequency labels, and its
  // frame holds all four rows.
  const int top = bitmap ? Layout.PrintOffset + PrintedTableTop : Table.Top;
  const int rowHeight = bitmap ? PrintedRowHeight : 18;
  const int left = bitmap ? 50 : 17;
  const int width = bitmap ? 692 : 720;
  const int frameTop = top + GetTableHeight(0);
  const int frameBottom = frameTop + GetMaxTableHeight() + (bitmap ? rowHeight : 20);

  Surface.SetPen(Pens.General);
  Surface.FrameRect(R(left, frameTop, left + width, frameBottom));
  for (int row = 1; row < 4; ++row)
    Surface.Line(P(left, top + GetTableHeight(row)), P(left + width, top + GetTableHeight(row)));

  // Row labels between the two ears' columns.
  const TFontSpec labelFont = Font("Courier New", 7, 700);
  const auto label = [&](int kind) {
    const TAudiogramStamp& stamp = Data.Stamps[static_cast<std::size_t>(kind)];
    const int text = kind == TAudiogramData::Actual ? TextActual : TextPrevious;
    if (stamp.Year == 0)
      return Text(text) + " [dB]";
    const std::string date = DateText(stamp, Layout.DateFormat);
    if (Layout.ScreenIndex == 0 && !bitmap)
      return date;
    return date + " " + TimeText(stamp, Layout.TimeFormat);
  };
  const std::string difference =
      bitmap ? Text(TextActual) + " - " + Text(TextPrevious).substr(0, 3) + "." : Text(TextActual) + " - " + Text(TextPrevious);
  const std::array<std::string, 4> labels{"Freq [Hz]", label(TAudiogramData::Actual), label(TAudiogramData::Previous),
                                          difference};
  const double labelLeft = bitmap ? 347 : 314;
  const double labelRight = bitmap ? 449 : 440;
  for (int row = 0; row < 4; ++row) {
    const double y = top + GetTableHeight(row);
    Write(labelLeft + 2, y, labelRight - 2, y + rowHeight, labels[static_cast<std::size_t>(row)], labelFont, Pens.Text,
          TTextAlign::Centre);
  }

  const TFontSpec valueFont = FittingFont("Haettenschweiler", bitmap ? 8 : 9, 400, 25);
  for (int ear : {TAudiogramData::Right, TAudiogramData::Left}) {
    const double x0 = ear == TAudiogramData::Right ? (bitmap ? 50 : 17) : (bitmap ? 449 : 440);
    const auto e = static_cast<std::size_t>(ear);
    const TColor actualColour = ear == TAudiogramData::Right ? Pens.Right.Color : (bitmap ? LightBlue : Pens.Left.Color);
    for (int f = 0; f < AudioFrequencies; ++f) {
      const auto i = static_cast<std::size_t>(f);
      const double x = x0 + 27.0 * f;
      const auto cell = [&](int row, const std::string& text, TColor colour) {
        const double y = top + GetTableHeight(row);
        Write(x, y, x + 27, y + rowHeight, text, valueFont, colour, TTextAlign::Centre);
      };
      // A threshold never measured stays empty, so that it is not read as
      // 0 dB HL; the difference stands where both tests have a value, with
      // the sign its label gives: actual minus previous.
      const bool hasActual = Data.Flags[e][TAudiogramData::Actual][i];
      const bool hasPrevious = Data.Flags[e][TAudiogramData::Previous][i];
      const int actual = Data.Thresholds[e][TAudiogramData::Actual][i];
      const int previous = Data.Thresholds[e][TAudiogramData::Previous][i];
      cell(0, FrequencyLabels[i], Pens.Text);
      if (hasActual)
        cell(1, Printf("%d", actual), actualColour);
      if (hasPrevious)
        cell(2, Printf("%d", previous), Pens.Previous.Color);
      if (hasActual && hasPrevious)
        cell(3, Printf("%d", actual - previous), Pens.Text);
    }
  }
}

void TAudiogramPainter::WritePatientData() {
  const PREDICTED_DATA& p = Data.Patient;
  std::string line;
  if (Texts) {
    const std::string name = p.GetName();
    std::optional<std::string> filled;
    if (p.Unit == 0)
      filled = TextFormat::Fill(Text(TextPatientMetric),
                                std::array<std::string, 4>{name, std::to_string(p.Age), std::to_string(p.Height),
                                                           std::to_string(p.Weight)});
    else
      filled = TextFormat::Fill(Text(TextPatientImperial),
                                std::array<std::string, 5>{name, std::to_string(p.Age), std::to_string(p.Height / 12),
                                                           std::to_string(p.Height % 12), std::to_string(p.Weight)});
    line = filled.value_or(name);
  }
  Write(7 + 8, 8, 742, 31, line, Font("Times New Roman", 10, 700), TColor::Black(), TTextAlign::Left);
}

void TAudiogramPainter::DrawMarker() {
  if (!Data.SequenceRunning || Data.Frequency < 0 || Data.Frequency >= AudioFrequencies)
    return;
  const bool right = Data.Ear == TAudiogramData::Right;
  Surface.SetPen({Magenta, 1});
  const double x = (right ? 26 : 449) + 23.0 * Column(Data.Frequency);
  Surface.Line(P(x, 114), P(x, 114 + 180));
  const double y = 129 + 1.5 * Data.LevelDb;
  const double x0 = right ? 17 : 440;
  Surface.Line(P(x0, y), P(x0 + 297, y));
}

void TAudiogramPainter::DrawRedCross(int which) {
  // Drawn in place of pictures: the response button and the headphone,
  // lit or dark, in the gap between the two charts' level scales (their
  // numbers end at 345 and begin at 406), scaled with the layout so that
  // they never cover a scale number.
  constexpr double Centre = PictureCentreX;
  constexpr double Half = PictureHalfWidth;
  if (which == 0) {
    const TColor face = Data.PatientButton ? TColor(255, 0, 0) : TColor(96, 0, 0);
    Surface.FillRect(R(Centre - Half, 264, Centre + Half, 280), TColor(64, 64, 64));
    Surface.FillRect(R(Centre - 18, 248, Centre + 18, 266), face);
    Surface.SetPen({TColor::Black(), 1});
    Surface.FrameRect(R(Centre - 18, 248, Centre + 18, 266));
    return;
  }
  const bool right = Data.Ear == TAudiogramData::Right;
  const TColor lit = right ? TColor(255, 0, 0) : TColor(0, 0, 255);
  const TColor colour = Data.Tone ? lit : TColor(96, 96, 96);
  Surface.SetPen({TColor(64, 64, 64), 3});
  const std::array<TPoint, 5> band{P(Centre - Half + 6, 166), P(Centre - Half + 9, 144), P(Centre, 136),
                                   P(Centre + Half - 9, 144), P(Centre + Half - 6, 166)};
  Surface.Polyline(band);
  Surface.FillRect(R(Centre - Half, 162, Centre - Half + 13, 186), right ? colour : TColor(96, 96, 96));
  Surface.FillRect(R(Centre + Half - 13, 162, Centre + Half, 186), right ? TColor(96, 96, 96) : colour);
}

void TAudiogramPainter::WriteDiagnosis() {
  const bool actualRow = !Data.CurrentNote.empty() || Data.NoteFlags[0];
  const bool previousRow = Data.NoteFlags[1];
  if (!actualRow && !previousRow)
    return;
  const TFontSpec font = Font("Courier New", 9, 700);
  int y = Layout.PrintOffset;
  const int first = y;
  Surface.SetPen({TColor::Black(), 2});
  if (actualRow) {
    const std::string note = Data.CurrentNote.empty() ? Data.Notes[0] : Data.CurrentNote;
    Write(65, y, 200, y + NoteRowHeight, Text(TextNote) + " (Akt.)", font, TColor::Black(), TTextAlign::Left);
    Write(210, y, 790, y + NoteRowHeight, note, font, TColor::Black(), TTextAlign::Left);
    y += NoteRowHeight;
  }
  if (previousRow) {
    if (actualRow && Data.NoteFlags[0])
      Surface.Line(P(50, y), P(742, y));
    Write(65, y, 200, y + NoteRowHeight, Text(TextNote) + " (Pre.)", font, TColor::Black(), TTextAlign::Left);
    Write(210, y, 790, y + NoteRowHeight, Data.Notes[1], font, TColor::Black(), TTextAlign::Left);
    y += NoteRowHeight;
  }
  for (int x : {50, 200, 742})
    Surface.Line(P(x, first), P(x, y));
  Surface.Line(P(50, y), P(742, y));
  Layout.PrintOffset = y;
}

void TAudiogramPainter::DrawPenMinta(int y) {
  // The legend: each curve's name with a sample of its line and symbol.
  const TFontSpec font = Font("Courier New", 9, 700);
  struct TEntry {
    std::string Name;
    TPen Pen;
    int Symbol;
  };
  TPen left = Pens.Left;
  if (Layout.BitmapMode)
    left.Color = LightBlue;
  const std::array<TEntry, 3> entries{TEntry{Text(TextRightEar), Pens.Right, 0}, TEntry{Text(TextLeftEar), left, 1},
                                      TEntry{"Pre. ", Pens.Previous, 0}};
  // Three rows above the charts' titles, which stand 20 units over the
  // charts at the legend's height below the legend's top. The previous
  // test's row only when its curve is drawn: a sample of a curve that is
  // not there would tell a reader there was an earlier test.
  const std::size_t rows = Data.PreviousMeasured() ? entries.size() : entries.size() - 1;
  for (std::size_t i = 0; i < rows; ++i) {
    const int rowY = y + LegendRowPitch * static_cast<int>(i);
    Write(51, rowY, 611, rowY + LegendRowPitch, entries[i].Name, font, TColor::Black(), TTextAlign::Right);
    Surface.SetPen(entries[i].Pen);
    Surface.Line(P(621, rowY + LegendRowPitch / 2), P(681, rowY + LegendRowPitch / 2));
    DrawSymbol(Surface, entries[i].Symbol, P(651, rowY + LegendRowPitch / 2), 4, entries[i].Pen);
  }
}

void TAudiogramPainter::PaintCharts() {
  DrawKoordinata();
  DrawCurves();
}

void TAudiogramPainter::AudioPrint() {
  DrawPenMinta(Layout.PrintOffset);
  Layout.PrintOffset += LegendHeight;
  WriteTable();
  PaintCharts();
  Layout.PrintOffset += AudioHeight;
  WriteDiagnosis();
}
