#include "measure/screen/MeasureTexts.h"

#include "measure/results/ParamColumns.h"

#include "common/MeasureMode.h"
#include "common/ParameterBlocks.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"

#include <cmath>
#include <cstdio>
#include <numeric>

namespace MeasureTexts {

namespace {

constexpr int TitleX = 321;
constexpr int HeaderY = 68;

std::string Printf(const char* format, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

// The column a heading starts on so that it ends where the values of the
// column it names end.
int OverValues(int valueColumn, const std::string& heading) {
  return valueColumn + ParamColumns::ValueWidth - static_cast<int>(heading.size());
}

}  // namespace

std::array<int, 3> HeaderColumns(short screenIndex) {
  switch (screenIndex) {
  case 0:
    return {431, 606, 657};
  case 1:
    return {431, 611, 666};
  default:
    return {431, 596, 648};
  }
}

int HeaderPoints(short screenIndex) { return screenIndex == 0 ? 10 : 11; }

std::string ThirdStageShort(const TMessage& messages) {
  return std::string(Utf8::Truncate(messages.LoadStringA(299), 3)) + ".";
}

std::vector<TTextItem> TableHeader(const THeaderState& state, const TMessage& messages) {
  const int points = HeaderPoints(state.ScreenIndex);
  const std::string title = messages.LoadStringA(44);
  std::vector<TTextItem> items;
  if (state.ResultKind == 0) {
    items.push_back({{TitleX, HeaderY},
                     Printf("%-22s %-4s %-6s %5s %3s", title.c_str(), " Ref.", messages.LoadStringA(47).c_str(),
                            messages.LoadStringA(46).c_str(), " % "),
                     TextColor, PanelColor, points, "Courier New", 0});
    return items;
  }
  items.push_back({{TitleX, HeaderY}, Printf("%-11s", title.c_str()), TextColor, PanelColor, points, "Courier New", 0});
  const std::array<int, 3> columns = HeaderColumns(state.ScreenIndex);
  constexpr std::array<int, 3> valueColumns{ParamColumns::Actual, ParamColumns::Second, ParamColumns::Third};
  for (std::size_t c = 0; c < columns.size(); ++c) {
    std::string text;
    if (c == 0)
      text = Printf("%5s %5s %3s %s", state.StageView ? "Base" : " Akt.", " Ref.", " % ", "RSD");
    else if (!state.StageView)
      text = Printf("%.4s%d.", " Akt.", static_cast<int>(c));
    else if (c == 1)
      text = Printf("%5s", "Prov.");
    else
      text = Printf("%5s", ThirdStageShort(messages).c_str());
    const short trial = state.TrialOrder[c];
    const std::size_t color = trial >= 1 && trial <= 3 ? TrialColor(trial) : TextColor;
    const int listColumn = c == 0 ? ParamColumns::Actual : OverValues(valueColumns[c], text);
    items.push_back({{columns[c], HeaderY}, std::move(text), color, PanelColor, points, "Courier New", listColumn});
  }
  return items;
}

std::vector<TTextItem> PrePostHeader(const TPrePostState& state, const TMessage& messages) {
  const int points = HeaderPoints(state.ScreenIndex);
  const short index = state.ScreenIndex;
  const int lineY = index == 1 || index == 2 ? 105 : 103;
  const int actualX = 431;
  const int previousX = index <= 1 ? 576 : 570;
  const std::size_t previousColor = state.PreviousHasSamples ? PreviousColor : TextColor;
  const std::string face = "Courier New";
  constexpr int actual = ParamColumns::Actual;
  constexpr int previous = ParamColumns::Previous;
  return {
      {{actualX, 68}, state.ActualDate, TextColor, PanelColor, points, face, actual},
      {{actualX, 85}, state.ActualTime, TextColor, PanelColor, points, face, actual},
      {{previousX, 68}, state.PreviousDate, previousColor, PanelColor, points, face, previous},
      {{previousX, 85}, state.PreviousTime, previousColor, PanelColor, points, face, previous},
      {{TitleX, lineY}, Printf("%-11s", messages.LoadStringA(44).c_str()), TextColor, PanelColor, points, face, 0},
      {{actualX, lineY}, Printf("%5s %5s %3s", " Akt.", " Ref.", " % "), TextColor, PanelColor, points, face, actual},
      {{previousX, lineY}, Printf("%5s %3s", " Pre.", " % "), previousColor, PanelColor, points, face, previous},
  };
}

std::string PatientLine(const PREDICTED_DATA& patient, const TMessage& messages) {
  return PatientLine(patient, messages, patient.GetName());
}

std::string PatientLine(const PREDICTED_DATA& patient, const TMessage& messages, const std::string& name) {
  if (patient.Unit == 0)
    return messages.Format(50, {name, std::to_string(patient.Age), std::to_string(patient.Height),
                                std::to_string(patient.Weight)});
  return messages.Format(51, {name, std::to_string(patient.Age), std::to_string(patient.Height / 12),
                              std::to_string(patient.Height % 12), std::to_string(patient.Weight)});
}

std::optional<std::string> TLargeParam::Next(float value, bool rhino) {
  if (!std::isfinite(value))
    return std::nullopt;
  const float step = rhino ? 1.0f : 0.01f;
  if (Shown && std::fabs(value - *Shown) < step)
    return std::nullopt;
  Shown = value;
  return rhino ? Printf("%3.0f s", static_cast<double>(value)) : Printf("%5.2f", static_cast<double>(value));
}

namespace {

struct TDiagram {
  TPoint Origin;     // the flow-volume diagram's zero point
  int K = 1;
  int BaseY = 406;   // the volume-time diagram's zero-volume line
  MeasureLayout::TZoomStep Zoom;
};

TDiagram DiagramOf(const TRangeGeometry& g) {
  TDiagram d{MeasureLayout::FlowVolumeOrigin(g.ScreenMode), MeasureLayout::ScreenMultiplier(g.ScreenMode),
             MeasureLayout::VolumeTimeBase, MeasureLayout::Zoom(g.Zoom)};
  if (g.Printing) {
    d.Origin = MeasureLayout::PrintFlowVolumeOrigin(g.PrintLine);
    d.Origin.X += g.PrintOffset;
    d.BaseY = g.PrintLine + 112;
  }
  return d;
}

float At(std::span<const float> values, std::size_t index) {
  return index < values.size() && std::isfinite(values[index]) ? values[index] : 0.0f;
}

int Px(float value) { return static_cast<int>(value); }

}  // namespace

void PredictedLine(const TRangeGeometry& g, float flowLps, float volumeL, float rsd, TRangeMarks& marks) {
  const TDiagram d = DiagramOf(g);
  const float high = flowLps + NormalRangeZ * rsd;
  const float low = flowLps - NormalRangeZ * rsd;
  if (high > d.Zoom.FlowMaxLps || low < 0.0f || volumeL > d.Zoom.VolumeMaxL)
    return;
  const auto k = static_cast<float>(d.K);
  const int x = d.Origin.X + Px(volumeL * MeasureLayout::VolumePixelsPerL * k / d.Zoom.Volume);
  const int top = d.Origin.Y - Px(high * MeasureLayout::FlowPixelsPerLps * k / d.Zoom.Flow);
  const int bottom = d.Origin.Y - Px(low * MeasureLayout::FlowPixelsPerLps * k / d.Zoom.Flow);
  marks.Lines.push_back({{x, top}, {x, bottom}});
  marks.Lines.push_back({{x - 2, top}, {x + 3, top}});
  marks.Lines.push_back({{x - 2, bottom}, {x + 3, bottom}});
}

TRangeMarks NormalRanges(const TRangeGeometry& g, std::span<const float> predicted, std::span<const float> rsd) {
  TRangeMarks marks;
  const TDiagram d = DiagramOf(g);
  const auto k = static_cast<float>(d.K);
  const auto volumePx = [&](float litres) { return Px(litres * MeasureLayout::VolumePixelsPerL * k / d.Zoom.Volume); };
  const auto flowPx = [&](float lps) { return Px(lps * MeasureLayout::FlowPixelsPerLps * k / d.Zoom.Flow); };

  if (g.MeasureMode == MEASURE_CALIBRATION) {
    // The target flow of the syringe strokes, both ways.
    constexpr float target = 8.0f;
    if (target > d.Zoom.FlowMaxLps)
      return marks;
    const int y = flowPx(target);
    marks.Boxes.push_back({d.Origin.X - 3, d.Origin.Y - y - 2, d.Origin.X + 4, d.Origin.Y - y + 3});
    marks.Boxes.push_back({d.Origin.X - 3, d.Origin.Y + y - 2, d.Origin.X + 4, d.Origin.Y + y + 3});
    return marks;
  }

  const auto range = [&](std::size_t index) -> std::optional<std::pair<float, float>> {
    const float value = At(predicted, index);
    if (value == 0.0f)
      return std::nullopt;
    const float spread = NormalRangeZ * At(rsd, index);
    return std::pair{value - spread, value + spread};
  };

  if (g.MeasureMode == MEASURE_FVC) {
    if (const auto fvc = range(0); fvc && fvc->second <= d.Zoom.VolumeMaxL)
      marks.Boxes.push_back({d.Origin.X + volumePx(fvc->first), d.Origin.Y - 1, d.Origin.X + volumePx(fvc->second),
                             d.Origin.Y + 2});
    constexpr std::size_t pef = 7;
    if (const auto peak = range(pef); peak && peak->second <= d.Zoom.FlowMaxLps)
      marks.Boxes.push_back({d.Origin.X - 1, d.Origin.Y - flowPx(peak->second), d.Origin.X + 2,
                             d.Origin.Y - flowPx(peak->first)});
    // MEF75, MEF50 and MEF25: the flows with 75, 50 and 25 % of the FVC
    // still to breathe out.
    const float fvc = At(predicted, 0);
    if (fvc != 0.0f) {
      constexpr std::array<std::pair<std::size_t, float>, 3> points{{{9, 0.75f}, {10, 0.5f}, {11, 0.25f}}};
      for (const auto& [index, share] : points)
        if (At(predicted, index) != 0.0f)
          PredictedLine(g, At(predicted, index), share * fvc, At(rsd, index), marks);
    }
  }

  // The volume-time band: the slow vital capacity of VC and DFC, the FVC
  // beneath the loop; MVV has no volume to mark.
  std::optional<std::size_t> volume;
  if (g.MeasureMode == MEASURE_FVC && g.ScreenMode == 1)
    volume = 0;
  else if (g.MeasureMode == MEASURE_VC)
    volume = 0;
  else if (g.MeasureMode == MEASURE_DFC)
    volume = 1;
  if (volume) {
    if (const auto band = range(*volume); band && band->second <= d.Zoom.VolumeMaxL) {
      // Across the time axis: on a printed page the right column's, at
      // half the screen's time scale.
      const int left = g.Printing ? MeasureLayout::PrintVolumeTimeLeft : MeasureLayout::VolumeTimeLeft;
      const int length = g.Printing ? 723 / 2 : 723;
      const auto timeAxisPx = [&](float litres) {
        return Px(litres * MeasureLayout::VolumePixelsPerL / d.Zoom.Volume);
      };
      marks.Boxes.push_back(
          {left, d.BaseY - timeAxisPx(band->second), left + length, d.BaseY - timeAxisPx(band->first)});
    }
  }
  return marks;
}

std::vector<TToolTip> ToolTips(short screenMode, bool bigTable, bool prePost, bool stageView,
                               const TMessage& messages) {
  if (screenMode == 0)
    return {};
  const std::string aktRef = "(Akt. / Ref.) * 100";
  const std::string preRef = "(Pre. / Ref.) * 100";
  const std::string change = "((Akt.[%] - Ref.[%]) / Ref.[%]) * 100";
  if (!bigTable && !prePost)
    return {{5600, {535, 67, 565, 86}, aktRef}};
  if (!bigTable)
    return {{5601, {535, 106, 565, 120}, aktRef}, {5602, {627, 106, 663, 120}, preRef},
            {5603, {692, 106, 741, 120}, change}};
  if (!stageView)
    return {{5604, {273, 67, 309, 120}, aktRef},      {5605, {445, 67, 481, 120}, preRef},
            {5606, {482, 67, 531, 120}, "Akt. - Pre."}, {5607, {532, 67, 569, 120}, change},
            {5608, {619, 67, 654, 120}, "(Akt1. / Ref.) * 100"}, {5610, {706, 67, 741, 120}, "(Akt2. / Ref.) * 100"}};
  return {{5611, {304, 67, 353, 120}, "(Base / Ref.) * 100"},
          {5612, {466, 67, 516, 120}, "(Prov. / Base) * 100"},
          {5613, {517, 67, 579, 120}, "Prov. - Base"},
          {5614, {580, 67, 628, 120}, "((Prov. - Base) / Base) * 100"},
          {5615, {692, 67, 741, 120}, "((" + ThirdStageShort(messages) + " - Base) / Base) * 100"}};
}

std::vector<TTextItem> RhinoDateTime(const TRhinoDates& dates, const TMessage& messages) {
  constexpr std::array<int, 2> SideX{200, 370};
  std::vector<TTextItem> items;
  for (std::size_t side = 0; side < SideX.size(); ++side) {
    const int x = SideX[side];
    if (dates.SideShown[side]) {
      items.push_back({{x, 68}, dates.Date[side]});
      items.push_back({{x, 85}, dates.Time[side]});
    } else {
      const int text = dates.ProvocationView ? 294 + static_cast<int>(side) : 302 + static_cast<int>(side);
      items.push_back({{x, 85}, messages.LoadStringA(text)});
    }
  }
  return items;
}

int TBigTableLayout::Edge(std::size_t column) const {
  const std::size_t end = std::min(column, Widths.size());
  const int before = std::accumulate(Widths.begin(), Widths.begin() + static_cast<std::ptrdiff_t>(end), 0);
  return 8 + static_cast<int>(Unit * before);
}

TBigTableLayout BigTableLayout(bool provocationView, bool rhino) {
  TBigTableLayout layout;
  if (provocationView) {
    layout.Widths = {24, 9, 9, 7, 7, 9, 7, 9, 7, 9, 7};
    layout.ThickAfter = {0, 4, 6, 8};
  } else if (rhino) {
    layout.Widths = {27, 8, 8, 8, 8, 8, 8, 10, 10, 10, 0, 0, 0, 0, 0};
  } else {
    layout.Widths = {23, 7, 7, 5, 5, 7, 7, 5, 7, 5, 7, 5, 7, 5};
    layout.ThickAfter = {0, 4, 7, 9, 11};
  }
  layout.Unit = 734.0 / std::accumulate(layout.Widths.begin(), layout.Widths.end(), 0);
  return layout;
}

short GetMaxCols(bool provocationView, bool rhino) {
  return static_cast<short>(BigTableLayout(provocationView, rhino).Widths.size());
}

int GetColWidth(bool provocationView, bool rhino, short column) {
  const auto widths = BigTableLayout(provocationView, rhino).Widths;
  return column >= 0 && static_cast<std::size_t>(column) < widths.size() ? widths[static_cast<std::size_t>(column)]
                                                                         : 0;
}

double GetColWidth(bool provocationView, bool rhino) { return BigTableLayout(provocationView, rhino).Unit; }

}  // namespace MeasureTexts
