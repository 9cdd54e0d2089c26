#include "special/provocation/ProvocationPainter.h"

#include "platform/basekit/Message.h"
#include "platform/basekit/Util.h"
#include "special/provocation/ProvocationCodes.h"
#include "special/provocation/ProvocationGraph.h"
#include "special/provocation/ProvocationLayout.h"
#include "special/provocation/ProvocationModel.h"
#include "special/provocation/ProvocationTexts.h"

#include <algorithm>
#include <cmath>

namespace ProvocationPainter {

namespace {

using namespace ProvocationLayout;
namespace G = ProvocationGraph;

constexpr std::string_view Courier = "Courier New";
constexpr std::string_view Times = "Times New Roman";
constexpr int Left = 0;
constexpr int Centre = 1;
constexpr int Right = 2;

// A coordinate on the surface; doses far beyond the last one stay drawable.
int Pixel(double value) { return static_cast<int>(std::clamp(value, -1.0e6, 1.0e6)); }

TColor Role(const TProvPaintContext& c, std::size_t role) { return c.Colors.GetColor(role); }
TColor Curve(const TProvPaintContext& c, std::size_t k) { return c.Colors.GetColor(TUtil::Trial1 + k); }

void Text(TDrawSurface& s, const TProvPaintContext& c, const TRect& rect, std::string_view text, int align,
          TColor background, TColor colour, int points, std::string_view face, bool opaque = false) {
  TUtil::TextRectOut(s, c.XScale, c.YScale, rect, text, background, colour, points, face, align, 700, opaque);
}

void Line(TDrawSurface& s, const TProvPaintContext& c, double x, double y, double dx, double dy, const TPen& pen) {
  s.SetPen(pen);
  s.Line({Pixel(x * c.XScale), Pixel(y * c.YScale)}, {Pixel((x + dx) * c.XScale), Pixel((y + dy) * c.YScale)});
}

// One tick per value from `from` to `to`, 8 long.
void DrawScale(TDrawSurface& s, const TProvPaintContext& c, int x0, int y0, int step, bool vertical, int from, int to,
               int inc) {
  const TPen axis{Role(c, TUtil::Axis), 1};
  for (int i = from; i <= to; i += inc) {
    if (vertical)
      Line(s, c, x0 - 4, y0 + i * step, 8, 0, axis);
    else
      Line(s, c, x0 + i * step, y0 - 4, 0, 8, axis);
  }
}

// Dashes 2 long every 6 along every row and column of the grid.
void DrawGird(TDrawSurface& s, const TProvPaintContext& c, int x0, int y0, int width, int height, int xStep,
              int yStep) {
  const TPen grid{Role(c, TUtil::Grid), 1};
  for (int y = y0; y <= y0 + height; y += yStep)
    for (int x = x0; x < x0 + width; x += 6)
      Line(s, c, x, y, 2, 0, grid);
  for (int x = x0; x <= x0 + width; x += xStep)
    for (int y = y0; y < y0 + height; y += 6)
      Line(s, c, x, y, 0, 2, grid);
}

std::string Unit(const TProvocationModel& model) { return model.Nebulizer.UnitOfDose == 0 ? "ml" : "mg"; }

bool IsNonZero(const std::string& number) { return std::strtof(number.c_str(), nullptr) != 0.0f; }

}  // namespace

int HeaderHeight(const TProvPaintContext& c) {
  const double listTop = ListRectOnScreen(c.ResolutionIndex, c.YScale).Top / static_cast<double>(c.YScale);
  return static_cast<int>((listTop - ParameterPanel.Top) * 0.5);
}

void Paint(TDrawSurface& s, const TProvPaintContext& c) {
  DrawBoard(s, c);
  ClearScreen(s, c);
  WritePatientData(s, c);
  WriteProvSetup(s, c);
  DrawSeparatorLine(s, c);
  WriteProvParam(s, c);
  DrawKoordinata(s, c);
  DrawCurve(s, c);
  DrawMarker(s, c);
  DrawLimits(s, c);
  DrawCountdown(s, c);
}

void DrawBoard(TDrawSurface& s, const TProvPaintContext& c) {
  if (!c.Board)
    return;
  const TSize size = c.Board->Size();
  s.DrawPicture(*c.Board, TUtil::Scale(c.XScale, c.YScale, TRect{0, 0, size.Width, size.Height}), TRasterOp::SrcCopy);
}

void ClearScreen(TDrawSurface& s, const TProvPaintContext& c) {
  TUtil::FillRect(s, c.XScale, c.YScale, GraphArea, Role(c, TUtil::Background));
  for (const TRect& panel : {CountdownBox(c.ResolutionIndex), SetupPanel(c.ResolutionIndex), PatientLine, SecondBar,
                             ParameterPanel})
    TUtil::FillRect(s, c.XScale, c.YScale, panel, Role(c, TUtil::Panel));
}

void WritePatientData(TDrawSurface& s, const TProvPaintContext& c) {
  const PREDICTED_DATA& p = c.Patient;
  const std::string text =
      p.Unit == 0 ? c.Texts.Format(50, {p.GetName(), std::to_string(p.Age), std::to_string(p.Height),
                                        std::to_string(p.Weight)})
                  : c.Texts.Format(51, {p.GetName(), std::to_string(p.Age), std::to_string(p.Height / 12),
                                        std::to_string(p.Height % 12), std::to_string(p.Weight)});
  Text(s, c, PatientLine, text, Left, Role(c, TUtil::Panel), TColor::Black(), 10, Times);
}

void WriteProvSetup(TDrawSurface& s, const TProvPaintContext& c) {
  using namespace ProvocationTexts;
  const TProvSetupRecord& setup = c.Model.Setup();
  const TRect panel = SetupPanel(c.ResolutionIndex);
  const TColor background = Role(c, TUtil::Panel);
  const TColor colour = Role(c, TUtil::Text);
  Text(s, c, {panel.Left, panel.Top, panel.Right, panel.Top + 24}, c.Texts.LoadStringA(SetupTitle), Centre,
       background, colour, 14, Times);
  int row = 0;
  const auto write = [&](const std::string& label, const std::string& value) {
    const int top = panel.Top + 24 + 18 * row++;
    Text(s, c, {panel.Left + 10, top, panel.Right - 5, top + 18}, label + ':', Left, background, colour, 12, Times);
    Text(s, c, {panel.Left + 10, top, panel.Right - 5, top + 18}, value, Right, background, colour, 12, Times);
  };
  const auto label = [&](int number) { return c.Texts.LoadStringA(number); };
  write(label(MaterialLabel), setup.Material);
  if (setup.Material.empty())
    return;
  if (IsNonZero(setup.Maximum))
    write(label(MaximumLabel), setup.Maximum + ' ' + Unit(c.Model));
  write(label(AccumLabel), label(AccumText(setup.Accum)));
  write(label(ModeLabel), label(ModeText(setup.Mode)));
  write(label(TypeLabel), label(TypeText(setup.Type)));
  if (setup.Type != 0) {
    const std::string item = c.Model.GetCurrentQueueItem(setup.Queue);
    write(label(QueueLabel), c.Model.Finished() || item.empty() ? std::string() : item + " mg/ml");
  } else {
    write(label(ConcentrationLabel), setup.Concentration + " mg/ml");
  }
  if (setup.Mode != 0)
    write(label(HeadLabel), label(HeadText(setup.Head)));
  if (!setup.MaterialOfSolution.empty())
    write(label(SolutionLabel), setup.MaterialOfSolution);
}

void DrawSeparatorLine(TDrawSurface& s, const TProvPaintContext& c) {
  const TPen black{TColor::Black(), 2};
  for (std::size_t k = 1; k <= 4; ++k)
    Line(s, c, Columns[k], ParameterPanel.Top, 0, ParameterPanel.Height(), black);
}

void WriteProvParam(TDrawSurface& s, const TProvPaintContext& c) {
  const int top = ParameterPanel.Top;
  const int h = HeaderHeight(c);
  const TColor panel = Role(c, TUtil::Panel);
  for (std::size_t k = 0; k < 3; ++k) {
    const TRect cell{Columns[2 + k], top, Columns[3 + k], top + h};
    const std::string name = ProvocationCodes::DisplayName(c.Model.ParamCode(k));
    if (name.empty())
      continue;
    if (c.Model.LimitHit(k))
      Text(s, c, cell, name, Centre, Curve(c, k), TColor::Black(), 9, Courier, true);
    else
      Text(s, c, cell, name, Centre, panel, Curve(c, k), 9, Courier);
  }
  const TColor colour = Role(c, TUtil::Text);
  Text(s, c, {Columns[0], top + h, Columns[1], top + 2 * h}, "[mg/ml]", Centre, panel, colour, 9, Courier);
  Text(s, c, {Columns[1], top + h, Columns[2], top + 2 * h}, '[' + Unit(c.Model) + ']', Centre, panel, colour, 9,
       Courier);
  for (std::size_t k = 0; k < 3; ++k) {
    const int left = Columns[2 + k];
    const int half = (Columns[3 + k] - left) / 2;
    Text(s, c, {left, top + h, left + half, top + 2 * h}, "  Akt.", Centre, panel, colour, 9, Courier);
    Text(s, c, {left + half, top + h, Columns[3 + k], top + 2 * h}, "  %", Centre, panel, colour, 9, Courier);
  }
}

void DrawKoordinata(TDrawSurface& s, const TProvPaintContext& c) {
  const TColor axisColour = Role(c, TUtil::Axis);
  DrawScale(s, c, G::OriginX, G::AxisTop, 35, true, 0, 100, 25);
  const auto labels = G::YLabels(c.Model.ZoomState);
  for (int k = 0; k < 5; ++k) {
    const int y = 289 + 35 * k;
    Text(s, c, {20, y, 80, y + 20}, labels[static_cast<std::size_t>(k)], Left, Role(c, TUtil::Background), axisColour,
         8, Courier);
  }
  if (c.GridEnabled)
    DrawGird(s, c, G::OriginX, G::AxisTop, G::AxisLength, G::AxisHeight, 72, 35);
  const TPen axis{axisColour, 1};
  Line(s, c, G::OriginX, G::AxisTop, 0, G::AxisHeight, axis);
  Line(s, c, G::OriginX, G::ZeroY, G::AxisLength, 0, axis);
  DrawScale(s, c, G::OriginX, G::ZeroY, 72, false, 0, 10, 1);
  Text(s, c, {710, 367, 770, 387}, '[' + Unit(c.Model) + ']', Left, Role(c, TUtil::Background), axisColour, 8,
       Courier);
}

void DrawCurve(TDrawSurface& s, const TProvPaintContext& c) {
  for (std::size_t k = 0; k < 3; ++k) {
    if (c.Model.ParamCode(k) == ProvocationCodes::NoParameter)
      continue;
    s.SetPen({Curve(c, k), 2});
    for (const G::TSegment& segment : G::Curve(c.Model.StepList(), k, c.Model.ZoomState))
      s.Line({Pixel(segment.From.X * c.XScale), Pixel(segment.From.Y * c.YScale)},
             {Pixel(segment.To.X * c.XScale), Pixel(segment.To.Y * c.YScale)});
  }
}

void DrawMarker(TDrawSurface& s, const TProvPaintContext& c) {
  const double x = G::MarkerX(c.Model.StepList(), c.Model.SelectedLine);
  Line(s, c, x, G::AxisTop, 0, G::AxisHeight, {Role(c, TUtil::Axis), 1});
}

void DrawLimits(TDrawSurface& s, const TProvPaintContext& c) {
  for (std::size_t k = 0; k < 3; ++k) {
    if (c.Model.ParamCode(k) == ProvocationCodes::NoParameter)
      continue;
    if (const auto y = G::LimitY(c.Model.Limit(k), c.Model.ZoomState))
      Line(s, c, G::OriginX, *y, G::AxisLength, 0, {Curve(c, k), 1});
  }
}

void DrawCountdown(TDrawSurface& s, const TProvPaintContext& c) {
  if (c.Countdown.empty())
    return;
  TUtil::TextOutA(s, c.XScale, c.YScale, CountdownText.X, CountdownText.Y, c.Countdown, Role(c, TUtil::Panel), 22,
                  Courier, Role(c, TUtil::Text), 700);
}

}  // namespace ProvocationPainter
