#include "measure/results/CalibList.h"

#include "common/MeasureMode.h"
#include "platform/basekit/CLocaleFormat.h"

namespace {

struct TWidths {
  int Label;
  int First;
  int Second;
  int Third;
  int TimeConstant;
};

// A deviation from the nominal volume in per cent. No measured volume (the
// whole -100 %) or no nominal volume shows as 0.
float NominalDeviation(float measured, short nominal) {
  if (nominal == 0)
    return 0.0f;
  const float deviation = (measured / nominal - 1) * 100;
  return deviation == -100.0f ? 0.0f : deviation;
}

}  // namespace

void TCalibList::SetupWindow() { Font = ParamListFont(); }

void TCalibList::ChangeFont(short mode) {
  Font = mode == MEASURE_CALIBRATION ? CalibListFont() : ParamListFont();
  Changed();
}

void TCalibList::SetScreenSize(int width, int lines) {
  ScreenWidth = width;
  ScreenLines = lines;
}

void TCalibList::ClearList() {
  Lines.clear();
  Changed();
}

void TCalibList::AddString(std::string line) {
  Lines.push_back(std::move(line));
  Changed();
}

void TCalibList::InsertString(std::string line, int index) {
  if (index < 0 || index > GetCount())
    index = GetCount();
  Lines.insert(Lines.begin() + index, std::move(line));
  Changed();
}

void TCalibList::DeleteString(int index) {
  if (index < 0 || index >= GetCount())
    return;
  Lines.erase(Lines.begin() + index);
  Changed();
}

void TCalibList::SetRedraw(bool redraw) {
  Redraw = redraw;
  Changed();
}

void TCalibList::Changed() const {
  if (Redraw && OnChanged)
    OnChanged();
}

void TCalibList::FillCalibList(const CALIB_PARAMS& p) {
  const TWidths w = ScreenLines == 480 ? TWidths{27, 7, 9, 5, 17} : TWidths{20, 5, 7, 4, 13};
  const float d1 = NominalDeviation(p.M1, p.NominalVolume);
  const float d2 = NominalDeviation(p.M2, p.NominalVolume);
  const float d3 = NominalDeviation(p.M3, p.NominalVolume);
  const auto volumeLine = [&](const std::string& label, float constant, float measured, float deviation) {
    AddString(CLocale::Format("%-*s [ml] %5d %*.2f %*.0f %*.1f", w.Label, label.c_str(), p.NominalVolume, w.First,
                              constant, w.Second, measured, w.Third, deviation));
  };
  const auto gasLine = [&](const std::string& label, float factor, float constant) {
    AddString(CLocale::Format("%-*s [%%] %6.2f %*.2f %*.2f", w.Label, label.c_str(), factor, w.First, constant,
                              w.Second, factor * constant));
  };

  SetRedraw(false);
  ClearList();
  volumeLine(p.Labels[0], p.A1, p.M1, d1);
  volumeLine(p.Labels[1], p.A2, p.M2, d2);
  if (p.InstrumentType != 0) {
    if ((p.InstrumentType & 0xE0) == 0x60) {
      volumeLine(p.Labels[2], p.A3, p.M3, d3);
      gasLine(p.Labels[4], p.F5, p.X5);
      gasLine(p.Labels[3], p.F4, p.X4);
    } else if ((p.InstrumentType & 0xE0) == 0) {
      // No first box pressure gives a ratio of 0, not inf.
      const float ratio = p.P1 != 0.0f ? p.P2 / p.P1 : 0.0f;
      AddString(CLocale::Format("%-*s [Pa] %5.2f %*.2f %*.2f", w.Label, "Pbox", p.P1, w.First, ratio, w.Second,
                                p.P2));
      // U+00F7, the division sign, between the two time constants.
      AddString(CLocale::Format("%-*s [s] %3.0f\u00F7%-2.0f %*.2f", w.Label, "Tconst", p.T2, p.T3,
                                w.TimeConstant, p.T1));
    }
  }
  SetRedraw(true);
}
