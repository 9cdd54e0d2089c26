#include "measure/screen/RhinoScreenTexts.h"

#include "measure/screen/MeasurePainter.h"
#include "measure/screen/MeasureTexts.h"
#include "platform/basekit/CLocaleFormat.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/Util.h"
#include "platform/portkit/rhinomanometry/ShownValues.h"

namespace RhinoScreenTexts {

namespace {

constexpr const char* HeadFace = "Courier New";
constexpr short Bold = 700;
constexpr int Centred = 1;
constexpr int ProvocationTitle = 582;
constexpr std::size_t PlotBackground = 0;
constexpr std::size_t AxisInk = 2;
constexpr int BigTableTop = 122;
constexpr int BigTableRow = 15;
constexpr int FirstColumn = 420;  // the left edge of the first pair's columns

}  // namespace

int TableRow(short screenIndex) {
  constexpr std::array<int, 6> rows{94, 103, 103, 100, 100, 100};
  return screenIndex >= 0 && screenIndex < 6 ? rows[static_cast<std::size_t>(screenIndex)] : rows[5];
}

void WriteRhinoTable(const TMeasurePainter& painter, TDrawSurface& surface, const TMessage& texts,
                     const TRhinoTableHead& head) {
  const TMeasureDisplay& d = painter.Display;
  const TColor panel = painter.Color(MeasureTexts::PanelColor);
  const TColor ink = painter.Color(MeasureTexts::TextColor);
  const int y = TableRow(head.ScreenIndex);
  const int points = head.ScreenIndex == 0 ? 10 : 11;
  const auto centred = [&](const TRect& rect, const std::string& text) {
    TUtil::TextRectOut(surface, d.XScale, d.YScale, rect, text, panel, ink, points, HeadFace, Centred, Bold, false);
  };
  // The label's font grows with the height and its room with the width: on
  // a screen taller than the layout's shape it takes a smaller font, so
  // that it ends where the first column begins.
  const std::string label = CLocale::Format("%-11s", texts.LoadStringA(44).c_str());
  const TPoint at = TUtil::Scale(d.XScale, d.YScale, TPoint{321, y});
  const int room = TUtil::Scale(d.XScale, d.YScale, TPoint{FirstColumn, y}).X - at.X;
  TFontSpec font = TUtil::LayoutFont(HeadFace, points, d.YScale, Bold);
  while (font.PixelHeight > 1 && surface.MeasureText(label, font).Width > room)
    --font.PixelHeight;
  surface.TextAt(at, label, {font, ink, panel, true, TTextAlign::Left});
  // Over each pair: its stored date and time, or what it holds (the base
  // and the provoked result, or the actual and the previous one).
  constexpr std::array<int, 2> left{431, 590};
  constexpr std::array<int, 2> right{580, 740};
  for (std::size_t pair = 0; pair < 2; ++pair) {
    if (head.PairStored[pair]) {
      centred({left[pair], 68, right[pair], 83}, head.Date[pair]);
      centred({left[pair], 83, right[pair], 98}, head.Time[pair]);
    } else {
      const int text = (head.Provoked ? 294 : 302) + static_cast<int>(pair);
      centred({left[pair], y - 20, right[pair], y}, texts.LoadStringA(text));
    }
  }
  // The column names of both results: right, left and the sum (sigma).
  const std::array<std::string, 3> names{texts.LoadStringA(313), texts.LoadStringA(312), "\xCE\xA3"};
  for (const int x0 : {FirstColumn, 580})
    for (std::size_t c = 0; c < names.size(); ++c) {
      const int x = x0 + 60 * static_cast<int>(c);
      centred({x, y, x + 60, y + 20}, names[c]);
    }
}

void WriteRhinoProvocation(const TMeasurePainter& painter, TDrawSurface& surface, const TMessage& texts,
                           const TRhinoProvocationBlock& block) {
  const TMeasureDisplay& d = painter.Display;
  const TColor panel = painter.Color(MeasureTexts::PanelColor);
  const TColor ink = painter.Color(MeasureTexts::TextColor);
  const auto write = [&](int x, int y, const std::string& text, int points) {
    TUtil::TextOutA(surface, d.XScale, d.YScale, x, y, text, panel, points, HeadFace, ink, Bold);
  };
  write(18, 293, texts.LoadStringA(ProvocationTitle), 16);
  const auto row = [&](int y, int label, const std::string& value) {
    // A label that has its colon keeps it alone.
    std::string text = texts.LoadStringA(label);
    if (text.empty() || text.back() != ':')
      text += ':';
    write(18, y, text, 12);
    write(269, y, value, 12);
  };
  row(320, 349, block.Material);
  row(337, 342, CLocale::Format("%.2f mg/ml", static_cast<double>(block.ConcentrationMgPerMl)));
  row(354, 298, CLocale::Format("%.2f ml", static_cast<double>(block.DoseMl)));
}

void DrawRhinoBigTable(TMeasurePainter& painter, TDrawSurface& surface, const TMessage& texts,
                       const RHINO_PARAMS& first, const RHINO_PARAMS& second, std::span<const unsigned> rowFlags,
                       bool provoked) {
  const MeasureTexts::TBigTableLayout layout = MeasureTexts::BigTableLayout(false, true);
  const int x1 = layout.Edge(1);
  const auto fill = [&](const TRect& rect, std::size_t colour) {
    TUtil::FillRect(surface, painter.Display.XScale, painter.Display.YScale, rect, painter.Color(colour));
  };
  fill({8, 107, 742, 122}, MeasureTexts::PanelColor);
  fill({8, BigTableTop, x1, 456}, MeasureTexts::PanelColor);
  fill({x1, BigTableTop, 742, 456}, PlotBackground);
  const auto cell = [&](std::size_t c, int top) { return TRect{layout.Edge(c), top, layout.Edge(c + 1), top + 15}; };
  // The table's texts are a point smaller than the other tests' big
  // tables: its label column holds a label and a unit side by side.
  const auto text = [&](const TRect& at, const std::string& value, int alignment, std::size_t ink,
                        std::size_t background, bool opaque, int points = 9) {
    TUtil::TextRectOut(surface, painter.Display.XScale, painter.Display.YScale, at, value, painter.Color(background),
                       painter.Color(ink), points, HeadFace, alignment, Bold, opaque);
  };
  const std::string right = texts.LoadStringA(313);
  const std::string left = texts.LoadStringA(312);
  const std::string sum = "\xCE\xA3";
  const std::array<std::string, 10> header{texts.LoadStringA(44), right, left, sum, right, left, sum,
                                           CLocale::Format("%s [%%]", right.c_str()),
                                           CLocale::Format("%s [%%]", left.c_str()),
                                           CLocale::Format("%s [%%]", sum.c_str())};
  for (std::size_t c = 0; c < header.size(); ++c) {
    TRect at = cell(c, 107);
    if (c == 0)
      at.Left += 5;
    // The change columns' heads ("Right [%]") are wider than their cells
    // at the table's size.
    text(at, header[c], c == 0 ? 0 : 1, MeasureTexts::TextColor, MeasureTexts::PanelColor, true, c >= 7 ? 7 : 9);
  }
  const std::vector<rhinomanometry::RhinoLine> lines = rhinomanometry::RhinoLines(first, second, rowFlags, provoked);
  // A label and its unit share the first column, the label at its left and
  // the unit at its right. Their font grows with the height and the column
  // with the width: on a screen taller than the layout's shape the font
  // shrinks until every label, a blank and its unit fit.
  const float fx = painter.Display.XScale;
  const float fy = painter.Display.YScale;
  const TRect column = TUtil::Scale(fx, fy, TRect{layout.Edge(0) + 5, 0, x1 - 5, 0});
  TFontSpec labelFont = TUtil::LayoutFont(HeadFace, 9, fy, Bold);
  for (const rhinomanometry::RhinoLine& line : lines)
    while (labelFont.PixelHeight > 1 &&
           surface.MeasureText(line.Label() + " " + std::string(line.Unit()), labelFont).Width > column.Width())
      --labelFont.PixelHeight;
  const TColor labelInk = painter.Color(MeasureTexts::TextColor);
  const TColor labelPanel = painter.Color(MeasureTexts::PanelColor);
  int n = 0;
  for (const rhinomanometry::RhinoLine& line : lines) {
    const int top = BigTableTop + BigTableRow * n++;
    surface.TextInRect(TUtil::Scale(fx, fy, TRect{layout.Edge(0) + 5, top, x1, top + 15}),
                       line.Label(), {labelFont, labelInk, labelPanel, true, TTextAlign::Left});
    // The unit goes beside the label, which it must not cover.
    surface.TextInRect(TUtil::Scale(fx, fy, TRect{layout.Edge(0), top, x1 - 5, top + 15}), std::string(line.Unit()),
                       {labelFont, labelInk, labelPanel, false, TTextAlign::Right});
    const auto value = [&](std::size_t c, const std::string& shown) {
      const TRect at = cell(c, top);
      text({at.Left, top, at.Right - 5, top + 15}, shown, 2, AxisInk, PlotBackground, true);
    };
    for (std::size_t c = 0; c < line.values.size(); ++c)
      value(c + 1, rhinomanometry::Fixed(line.values[c], line.Precision(), 5));
    for (std::size_t c = 0; c < line.changesPercent.size(); ++c)
      if (line.changesPercent[c] != 0.0f)
        value(c + 7, rhinomanometry::Fixed(line.changesPercent[c], 0, 5));
  }
  painter.DrawBigTableFrame(surface, n);
}

}  // namespace RhinoScreenTexts
