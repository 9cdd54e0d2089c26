#include "measure/results/ParamList.h"

#include "common/CommandNumbers.h"
#include "common/MeasureMode.h"
#include "platform/basekit/CLocaleFormat.h"

#include <cmath>

namespace {

constexpr std::size_t IniNameLimit = 254;

// How a parameter's values are printed: ratios and rates in whole numbers,
// MVV with one decimal, everything else with two.
enum class TPrecision { Whole, One, Two };

TPrecision PrecisionOf(unsigned short kind, unsigned short i) {
  switch (kind) {
  case MEASURE_FVC:
    return i >= 3 && i <= 6 ? TPrecision::Whole : TPrecision::Two;
  case MEASURE_MVV:
    return TPrecision::One;
  case MEASURE_DFC:
    return i == 6 || i == 8 ? TPrecision::Whole : TPrecision::Two;
  case MEASURE_PLETHY:
    return i == 3 || i == 17 || i == 18 ? TPrecision::Whole : TPrecision::Two;
  case MEASURE_SHUTTER:
    return i == 4 ? TPrecision::Whole : TPrecision::Two;
  default:
    return TPrecision::Two;
  }
}

// The formats of one precision: the predicted value, a line of the
// parameter list and a line of the pre/post comparison.
struct TFormats {
  const char* Reference;
  const char* Line;
  const char* PrePostLine;
};

// The trial values come into the lines as texts, so that a trial that was
// not run leaves its column blank instead of showing a measured-looking 0.
constexpr const char* ListLine = "%-11s %5s %5.5s %3.3s %s %5s %5s";

const TFormats& FormatsOf(TPrecision precision) {
  static constexpr TFormats whole{"%5.0f", ListLine, "%-11s %5s %5.5s %3.3s %5.0f %3.3s %5.5s"};
  static constexpr TFormats one{"%5.1f", ListLine, "%-11s %5s %5.5s %3.3s %5.1f %3.3s %5.5s"};
  static constexpr TFormats two{"%5.2f", ListLine, "%-11s %5s %5.5s %3.3s %5.2f %3.3s %5.5s"};
  switch (precision) {
  case TPrecision::Whole: return whole;
  case TPrecision::One: return one;
  case TPrecision::Two: return two;
  }
  return two;
}

template <class T>
T At(std::span<const T> values, std::size_t index) {
  return index < values.size() ? values[index] : T{};
}

// The value of parameter i in a 1-based trial, 0 for trial 0 or a value
// the array does not hold.
float TrialValue(std::span<const float> actual, short trial, unsigned short count, unsigned short i) {
  if (trial <= 0)
    return 0.0f;
  return At(actual, static_cast<std::size_t>(trial - 1) * count + i);
}

// A trial's value in the list's format, or nothing when the column holds no trial.
std::string TrialText(const TFormats& formats, short trial, float value) {
  return trial > 0 ? CLocale::Format(formats.Reference, value) : std::string();
}

float Percent(float value, float reference) { return reference != 0.0f ? value / reference * 100 : 0.0f; }

// A flow as "%.0f" shows it: to the nearest whole number, halves to the
// even one; what is no number shows as 0.
float ShownFlow(float flow) { return std::isfinite(flow) ? std::nearbyint(flow) + 0.0f : 0.0f; }  // no "-0"

std::string NameOf(std::span<const std::string_view> names, unsigned short i) {
  return i < names.size() ? std::string(names[i]) : std::string();
}

}  // namespace

TParamList::TParamList(std::string_view iniName, short language, TEventHandler* window, short testKind, float factor)
    : TPredicted(std::string(iniName.substr(0, IniNameLimit)).c_str(), language, factor),
      TestKind(testKind),
      Window(window) {
  TParamListData::IniName = std::string(iniName.substr(0, IniNameLimit));
  ReadIndexOfParams();
  MergeIndexByParam();
  SetupWindow();
}

TParamList::~TParamList() {
  if (PredictedAlgorithm != PREDICTED_UNSTORED)
    WriteAlgorithmConstans();
}

void TParamList::SetHelpTargets(TEventHandler* client, TEventHandler* mainWindow) {
  HelpClient = client;
  HelpMainWindow = mainWindow;
}

void TParamList::FillPredictedRSD(float* predicted, float* rsd, unsigned short kind,
                                  const PREDICTED_DATA& patient) const {
  switch (kind) {
  case MEASURE_FVC: CalculateFvcPredicted(patient, predicted, rsd); break;
  case MEASURE_VC: CalculateVcPredicted(patient, predicted, rsd); break;
  case MEASURE_MVV: CalculateMvvPredicted(patient, predicted, rsd); break;
  case MEASURE_DFC: CalculateDfcPredicted(patient, predicted, rsd); break;
  case MEASURE_PLETHY: CalculatePlethyPredicted(patient, predicted, rsd); break;
  case MEASURE_SHUTTER: CalculateShPredicted(patient, predicted, rsd); break;
  default: break;
  }
}

void TParamList::BeginFill(unsigned short count) {
  SetRedraw(false);
  ClearList();
  for (unsigned short i = 0; i < count; ++i)
    AddString(" ");
}

void TParamList::EndFill() {
  DeleteNullString();
  SetRedraw(true);
}

void TParamList::FillParamList(std::span<const float> actual, std::span<const float> reference,
                               std::span<const float> rsd, std::span<const std::string_view> names,
                               unsigned short count, std::span<const short, 3> trials, unsigned short kind,
                               std::span<const unsigned> selected, bool showVext, float vext) {
  BeginFill(count);
  for (unsigned short i = 0; i < count; ++i) {
    if (At(selected, i) == 0)
      continue;
    const float a1 = TrialValue(actual, trials[0], count, i);
    const float a2 = TrialValue(actual, trials[1], count, i);
    const float a3 = TrialValue(actual, trials[2], count, i);
    const float predicted = At(reference, i);
    const TFormats& formats = FormatsOf(PrecisionOf(kind, i));
    std::string referenceText;
    std::string percentText;
    if (predicted != 0.0f) {
      referenceText = CLocale::Format(formats.Reference, predicted);
      if (trials[0] > 0)
        percentText = CLocale::Format("%3.0f", Percent(a1, predicted));
    }
    const std::string grade = GetPredictedRSD(a1, predicted, At(rsd, i));
    const std::string name = NameOf(names, i);
    const std::string line =
        CLocale::Format(formats.Line, name.c_str(), TrialText(formats, trials[0], a1).c_str(), referenceText.c_str(),
                        percentText.c_str(), grade.c_str(), TrialText(formats, trials[1], a2).c_str(),
                        TrialText(formats, trials[2], a3).c_str());
    PutString(line, GetParamIndex(static_cast<short>(kind), static_cast<short>(i)));
  }
  DeleteNullString();
  if (kind == MEASURE_FVC && showVext)
    AddString(trials[0] > 0 ? CLocale::Format("%-11s %5.2f", "Vext", vext) : CLocale::Format("%-11s", "Vext"));
  SetRedraw(true);
}

void TParamList::FillPrePostParamList(std::span<const float> actual, std::span<const float> reference,
                                      std::span<const float> preReference, std::span<const std::string_view> names,
                                      unsigned short count, std::span<const short, 3> trials, unsigned short kind,
                                      std::span<const unsigned> selected) {
  BeginFill(count);
  constexpr short PreTrial = 4;
  for (unsigned short i = 0; i < count; ++i) {
    if (At(selected, i) == 0)
      continue;
    const float a1 = TrialValue(actual, trials[0], count, i);
    const float pre = TrialValue(actual, PreTrial, count, i);
    const float predicted = At(reference, i);
    const float prePredicted = At(preReference, i);
    const float pct1 = Percent(a1, predicted);
    const float pct2 = Percent(pre, prePredicted);
    const float change = pct2 != 0.0f ? (pct1 - pct2) / pct2 * 100 : 0.0f;
    const TFormats& formats = FormatsOf(PrecisionOf(kind, i));
    std::string referenceText;
    std::string percentText;
    std::string prePercentText;
    std::string changeText;
    const bool hasActual = trials[0] > 0;
    if (predicted != 0.0f) {
      referenceText = CLocale::Format(formats.Reference, predicted);
      if (hasActual)
        percentText = CLocale::Format("%3.0f", pct1);
    }
    if (prePredicted != 0.0f) {
      prePercentText = CLocale::Format("%3.0f", pct2);
      if (hasActual)
        changeText = CLocale::Format("%+3.0f%%", change);
    }
    const std::string name = NameOf(names, i);
    const std::string line =
        CLocale::Format(formats.PrePostLine, name.c_str(), TrialText(formats, trials[0], a1).c_str(),
                        referenceText.c_str(), percentText.c_str(), pre, prePercentText.c_str(), changeText.c_str());
    PutString(line, GetParamIndex(static_cast<short>(kind), static_cast<short>(i)));
  }
  EndFill();
}

void TParamList::FillRhinoParamList(const RHINO_PARAMS& first, const RHINO_PARAMS& second,
                                    std::span<const unsigned> selected) {
  SetRedraw(false);
  ClearList();
  // Whole flows as the table shows them; each resistance divides the
  // pressure by the shown flow, 0 for a flow of 0.
  std::array<std::array<float, 2 * RHINO_FLOW_COUNT>, RHINO_PRESSURE_COUNT> flows{};
  std::array<std::array<float, 2 * RHINO_FLOW_COUNT>, RHINO_PRESSURE_COUNT> resistances{};
  for (std::size_t step = 0; step < RHINO_PRESSURE_COUNT; ++step) {
    for (std::size_t set = 0; set < 2; ++set) {
      const auto& row = (set == 0 ? first : second).Flows[step];
      for (std::size_t c = 0; c < RHINO_FLOW_COUNT; ++c) {
        const float flow = ShownFlow(row[c]);
        flows[step][set * RHINO_FLOW_COUNT + c] = flow;
        resistances[step][set * RHINO_FLOW_COUNT + c] = flow != 0.0f ? RhinoPressures[step] / flow : 0.0f;
      }
    }
  }
  // The flow lines of the chosen steps first, then their resistance lines.
  const auto rows = [&](const auto& values, const char* title, const char* format) {
    for (std::size_t step = 0; step < RHINO_PRESSURE_COUNT; ++step) {
      if (At(selected, step) == 0)
        continue;
      const auto& v = values[step];
      const std::string label = CLocale::Format(title, RhinoPressures[step]);
      AddString(CLocale::Format(format, label.c_str(), v[0], v[1], v[2], v[3], v[4], v[5]));
    }
  };
  rows(flows, "Flow [%3.0f]", "%-10s %5.0f %5.0f %5.0f %5.0f %5.0f %5.0f");
  rows(resistances, "RES  [%3.0f]", "%-10s %5.2f %5.2f %5.2f %5.2f %5.2f %5.2f");
  SetRedraw(true);
}

void TParamList::PutString(const std::string& text, short index) {
  if (index >= 0)
    DeleteString(index);
  InsertString(text, index);
}

void TParamList::DeleteNullString() {
  for (int i = GetCount() - 1; i >= 0; --i)
    if (GetLines()[static_cast<std::size_t>(i)] == " ")
      DeleteString(i);
}

bool TParamList::GetHelpContext() const {
  if (SendMessage(HelpClient, WM_GET_HELP_MODE, 0, 0) != 0)
    return true;
  return SendMessage(HelpMainWindow, WM_GET_HELP_MODE, 0, 0) != 0;
}

bool TParamList::InZoomArea(int x, int y) const {
  const double sx = GetScreenWidth() / 800.0;
  const double sy = GetScreenLines() / 600.0;
  return x > 100 * sx && x < 420 * sx && y > 0 && y < 200 * sy;
}

bool TParamList::Busy() const {
  return Lock != 0 || SendMessage(Window, WM_GET_IS_START, 0, 0) != 0 || GetHelpContext();
}

TParamList::TCursorChange TParamList::EvMouseMove(int x, int y) {
  if (Busy())
    return TCursorChange::None;
  if (InZoomArea(x, y)) {
    const bool wasHovering = Hover;
    Hover = true;
    return wasHovering ? TCursorChange::None : TCursorChange::Zoom;
  }
  if (Hover) {
    Hover = false;
    return TCursorChange::Arrow;
  }
  return TCursorChange::None;
}

bool TParamList::EvLButtonDown(int, int) {
  if (Busy() || !Hover)
    return false;
  return PostMessage(Window, WM_COMMAND, CM_ZOOM_TABLE, 0);
}
