#include "shell/bars/BarLayouts.h"

#include "common/CommandNumbers.h"
#include "platform/framework/Profile.h"

#include <algorithm>

TBarGadget TBarGadget::Button(unsigned id, int type, bool down, std::string bitmap) {
  TBarGadget g;
  g.Kind = TKind::Button;
  g.Id = id;
  g.Type = type;
  g.Down = down;
  g.Bitmap = bitmap.empty() ? std::to_string(id) : std::move(bitmap);
  return g;
}

TBarGadget TBarGadget::Separator(int size) {
  TBarGadget g;
  g.Kind = TKind::Separator;
  g.Size = size;
  return g;
}

TBarGadget TBarGadget::Spacer(int width) {
  TBarGadget g;
  g.Kind = TKind::Spacer;
  g.Size = width;
  return g;
}

TBarGadget TBarGadget::TextGadget(int characters, std::string text, int textNumber) {
  TBarGadget g;
  g.Kind = TKind::Text;
  g.Size = characters;
  g.Text = std::move(text);
  g.TextNumber = textNumber;
  return g;
}

TBarGadget TBarGadget::Slider(unsigned id, int position) {
  TBarGadget g;
  g.Kind = TKind::Slider;
  g.Id = id;
  g.Position = position;
  return g;
}

const TBarGadget* TBarLayout::Find(unsigned id) const {
  const auto it = std::find_if(Gadgets.begin(), Gadgets.end(),
                               [id](const TBarGadget& g) { return g.Kind == TBarGadget::TKind::Button && g.Id == id; });
  return it == Gadgets.end() ? nullptr : &*it;
}

std::vector<unsigned> TBarLayout::ButtonIds() const {
  std::vector<unsigned> ids;
  for (const TBarGadget& g : Gadgets)
    if (g.Kind == TBarGadget::TKind::Button)
      ids.push_back(g.Id);
  return ids;
}

namespace BarLayouts {
namespace {

using G = TBarGadget;

// Every component bar begins with the same room at its left.
std::vector<G> Lead() { return {G::Separator(30), G::Separator(15)}; }

void BreathingRateGroup(std::vector<G>& gadgets, const TMeasureBarView& view) {
  if (!view.Rates || view.Rates->High == 0)
    return;
  const std::string normal = std::to_string(view.Rates->Normal) + "/min";
  const std::string high = std::to_string(view.Rates->High) + "/min";
  const bool wide = view.ScreenWidth > 800;
  gadgets.push_back(G::Spacer(6));
  if (wide)
    gadgets.push_back(G::Spacer(14));
  if (view.ScreenWidth > 1024)
    gadgets.push_back(G::TextGadget(8, {}, BreathingRateText));
  gadgets.push_back(G::TextGadget(3, normal));
  gadgets.push_back(G::Button(CM_BREATHING_RATE, G::NonExclusive, true));
  gadgets.push_back(G::Spacer(6));
  if (wide)
    gadgets.push_back(G::Spacer(14));
  gadgets.push_back(G::TextGadget(3, high));
  gadgets.push_back(G::Button(CM_BREATHING_RATE_HIGH, G::NonExclusive, false));
}

std::vector<G>::iterator FindButton(TBarLayout& bar, unsigned id) {
  return std::find_if(bar.Gadgets.begin(), bar.Gadgets.end(),
                      [id](const G& g) { return g.Kind == G::TKind::Button && g.Id == id; });
}

// A button that joins the measurement bar later, placed before `beforeId`.
G MeasureButton(unsigned id, unsigned beforeId, const TMeasureBarView& view) {
  if (id == CM_CAKE)
    return G::Button(CM_CAKE, G::Toggle, view.CakeDown);
  if (id == CM_SHUTTER) {
    const char* bitmap = beforeId == CM_START2   ? "CM_SHUTTER_ENABLE1"
                         : beforeId == CM_START3 ? "CM_SHUTTER_ENABLE2"
                                                 : "CM_SHUTTER_ENABLE3";
    return G::Button(CM_SHUTTER, G::Command, false, bitmap);
  }
  return G::Button(id);
}

}  // namespace

TBarLayout PatientBar1() {
  std::vector<G> g = Lead();
  g.insert(g.end(), {G::Button(CM_PATIENT_NEW), G::Separator(24), G::Button(CM_PATIENT_SEARCH),
                     G::Button(CM_PATIENT_LIST), G::Button(CM_PATIENT_SAVE), G::Button(CM_PATIENT_CANCEL),
                     G::Separator(24), G::Button(CM_PATIENT_FIRST), G::Button(CM_PATIENT_PREV),
                     G::Button(CM_PATIENT_NEXT), G::Button(CM_PATIENT_LAST)});
  return {PatientBar1Caption, TBarLayout::TDock::Top, std::move(g)};
}

TBarLayout PatientBar2(bool ecgAvailable) {
  std::vector<G> g = Lead();
  g.insert(g.end(), {G::Button(CM_BROWSE_MEASUREMENTS), G::Separator(6), G::Button(CM_PATIENT_NOTE),
                     G::Separator(6), G::Button(CM_TREND)});
  if (ecgAvailable)
    g.insert(g.end(), {G::Separator(6), G::Button(CM_ECG)});
  return {PatientBar2Caption, TBarLayout::TDock::Bottom, std::move(g)};
}

TBarLayout Measurement(const TMeasureBarView& v) {
  const bool s = v.StageView;
  const bool r = v.MeasureType == 6;
  const bool p = v.MeasureType == 4;
  const bool provocation = v.ProvocationOpen;
  std::vector<G> g = Lead();
  if (!s)
    g.insert(g.end(), {G::Button(CM_ZERO), G::Separator(3), G::Button(CM_CALIBRATION), G::Separator(3)});
  if (!s && !r)
    g.insert(g.end(), {G::Button(CM_START), G::Button(CM_START2), G::Button(CM_START3), G::Separator(3)});
  if (!s && r)
    g.insert(g.end(), {G::Button(CM_START, G::Command, false, "CM_LEFT_NOSE"),
                       G::Button(CM_START2, G::Command, false, "CM_RIGHT_NOSE"), G::Separator(3),
                       G::Button(CM_START3, G::Command, false, "CM_RHINO_POSTERIOR"), G::Separator(6)});
  if (!s)
    g.insert(g.end(), {G::Button(CM_STOP), G::Separator(3)});
  g.insert(g.end(), {G::Button(CM_ZOOM), G::Separator(6)});
  if (!s && r)
    g.insert(g.end(), {G::Button(CM_RHINO_PROVOCATION, G::Command, false, std::to_string(CM_PROVOCATION)),
                       G::Separator(6)});
  if (!s && !r) {
    g.insert(g.end(), {G::Button(CM_CAKE, G::Toggle, v.CakeDown), G::Separator(6),
                       G::Button(CM_TABLE1, G::Exclusive), G::Button(CM_TABLE2, G::Exclusive),
                       G::Button(CM_TABLE3, G::Exclusive)});
    if (!provocation)
      g.insert(g.end(), {G::Separator(3), G::Button(CM_PREPOST, G::Toggle, v.PrePostDown)});
    g.push_back(G::Separator(6));
  }
  g.insert(g.end(), {G::Button(CM_GRID, G::Toggle, v.GridDown), G::Separator(6)});
  if (provocation) {
    g.insert(g.end(), {G::Button(CM_PROVOCATION_STEP), G::Button(CM_CANCEL_PROV)});
  } else {
    if (!s)
      g.insert(g.end(), {G::Button(CM_SAVE_MEASUREMENT, G::Command, false, std::to_string(CM_PATIENT_SAVE)),
                         G::Separator(6)});
    g.insert(g.end(), {G::Button(CM_PATIENT_NOTE), G::Separator(3), G::Button(CM_DDE)});
  }
  if (p)
    BreathingRateGroup(g, v);
  return {MeasurementCaption, TBarLayout::TDock::Bottom, std::move(g)};
}

TBarLayout Trend(bool gridDown) {
  std::vector<G> g = Lead();
  g.insert(g.end(), {G::Button(CM_NEW_REF), G::Separator(6), G::Button(CM_NORMREL, G::Toggle), G::Separator(3),
                     G::Button(CM_PREDICTED, G::Toggle), G::Separator(6), G::Button(CM_ZOOM), G::Separator(6),
                     G::Button(CM_GRID, G::Toggle, gridDown), G::Separator(12), G::Button(CM_LEFT_PRE),
                     G::Button(CM_LEFT_NEXT), G::Separator(6), G::Button(CM_RIGHT_PRE), G::Button(CM_RIGHT_NEXT),
                     G::Separator(12), G::Button(CM_PATIENT_NOTE), G::Separator(12), G::Button(CM_DDE)});
  return {TrendCaption, TBarLayout::TDock::Bottom, std::move(g)};
}

TBarLayout Provocation(bool gridDown) {
  std::vector<G> g = Lead();
  G cancel = G::Button(CM_CANCEL_PROV);
  cancel.CreatedEnabled = true;
  g.insert(g.end(), {G::Button(CM_ZOOM), G::Separator(6), G::Button(CM_GRID, G::Toggle, gridDown), G::Separator(6),
                     G::Button(CM_PROVOCATION_STEP), G::Separator(6), G::Button(CM_STOP), G::Separator(6),
                     G::Button(CM_PROVOCATION_MEASURE), G::Separator(12), G::Button(CM_PATIENT_NOTE),
                     G::Separator(12), G::Button(CM_DDE), G::Separator(12), cancel});
  return {ProvocationCaption, TBarLayout::TDock::Bottom, std::move(g)};
}

TBarLayout Audiometer(int algorithm, int signalMode, int microphoneVolume) {
  std::vector<G> g = Lead();
  g.push_back(G::Button(CM_MICROPHONE, G::Toggle));
  g.push_back(G::Slider(CM_MICROPHONE_VOLUME, std::clamp(microphoneVolume, 0, 100)));
  constexpr unsigned algorithms[] = {CM_ALGORITHM1, CM_ALGORITHM2, CM_ALGORITHM3, CM_ALGORITHM4};
  for (int i = 0; i < 4; ++i)
    g.push_back(G::Button(algorithms[i], G::Exclusive, i == algorithm));
  g.push_back(G::Separator(6));
  constexpr unsigned modes[] = {CM_SIGNAL_MODE1, CM_SIGNAL_MODE2, CM_SIGNAL_MODE3};
  for (int i = 0; i < 3; ++i)
    g.push_back(G::Button(modes[i], G::Exclusive, i == signalMode));
  g.insert(g.end(), {G::Separator(6), G::Button(CM_SAVE_AUDIOGRAM, G::Command, false, std::to_string(CM_PATIENT_SAVE)),
                     G::Separator(3), G::Button(CM_PATIENT_NOTE), G::Separator(3), G::Button(CM_DDE)});
  return {AudiometerCaption, TBarLayout::TDock::Bottom, std::move(g)};
}

std::vector<TBarGadget> MainBarTestButtons(const TInstallFlags& f) {
  const bool any = f.HardwareInstalled || f.DiffusionInstalled || f.PlethysmographInstalled;
  std::vector<unsigned> ids;
  if (any)
    ids.push_back(CM_MEASURE_MENU);
  if (f.HardwareInstalled && (f.HardwareMode & 1) != 0)
    ids.push_back(CM_MEASURE_RHINO);
  if (any)
    ids.push_back(CM_PROVOCATION);
  if (f.AudioInstalled)
    ids.push_back(CM_AUDIOMETER);
  ids.push_back(CM_FILEPRINT);
  std::vector<G> g;
  for (const unsigned id : ids)
    g.insert(g.end(), {G::Button(id), G::Separator(3)});
  return g;
}

std::vector<unsigned> MainBarRemovals(const std::vector<unsigned>& present) {
  const auto has = [&present](unsigned id) { return std::find(present.begin(), present.end(), id) != present.end(); };
  std::vector<unsigned> removed;
  if (has(CM_MEASURE_MENU)) {
    removed.push_back(CM_MEASURE_MENU);
    if (has(CM_MEASURE_RHINO))
      removed.push_back(CM_MEASURE_RHINO);
    if (has(CM_PROVOCATION))
      removed.push_back(CM_PROVOCATION);
  }
  if (has(CM_AUDIOMETER))
    removed.push_back(CM_AUDIOMETER);
  if (has(CM_FILEPRINT))
    removed.push_back(CM_FILEPRINT);
  return removed;
}

std::optional<TBreathingRates> ReadBreathingRates(const std::string& iniPath) {
  const TProfile profile("Plethysmograph Parameters", iniPath);
  TBreathingRates rates;
  rates.Normal = profile.GetInt("BreathingRate", 40);
  rates.High = profile.GetInt("BreathingRateHigh", 0);
  if (!profile.GetLastError().empty())
    return std::nullopt;
  return rates;
}

void RemoveMeasurementButton(TBarLayout& bar, unsigned id, bool alsoNext) {
  auto it = FindButton(bar, id);
  if (it == bar.Gadgets.end())
    return;
  const auto last = (alsoNext && std::next(it) != bar.Gadgets.end()) ? std::next(it, 2) : std::next(it);
  bar.Gadgets.erase(it, last);
}

void InsertMeasurementButton(TBarLayout& bar, unsigned id, unsigned beforeId, int separatorSize,
                             const TMeasureBarView& view) {
  if (bar.Find(id))
    return;
  auto at = bar.Gadgets.insert(FindButton(bar, beforeId), MeasureButton(id, beforeId, view));
  if (separatorSize > 0)
    bar.Gadgets.insert(std::next(at), G::Separator(separatorSize));
}

void AdaptMeasurementBar(TBarLayout& bar, short measureType, const TMeasureBarView& view) {
  const auto removeLoops = [&bar] {
    for (const unsigned loop : {CM_RESISTANCE_LOOP1, CM_RESISTANCE_LOOP2, CM_RESISTANCE_LOOP3})
      RemoveMeasurementButton(bar, loop, false);
  };
  switch (measureType) {
  case 0:
  case 1:
  case 2:
    removeLoops();
    InsertMeasurementButton(bar, CM_CAKE, CM_TABLE1, 6, view);
    break;
  case 3:
  case 5:
    RemoveMeasurementButton(bar, CM_CAKE, false);
    removeLoops();
    break;
  case 4: {
    RemoveMeasurementButton(bar, CM_CAKE, false);
    const unsigned beside = view.ProvocationOpen ? CM_GRID : CM_PREPOST;
    for (const unsigned loop : {CM_RESISTANCE_LOOP1, CM_RESISTANCE_LOOP2, CM_RESISTANCE_LOOP3})
      InsertMeasurementButton(bar, loop, beside, 0, view);
    break;
  }
  default:
    break;
  }
}

bool ChangeCommandButton(TBarLayout& bar, unsigned oldId, unsigned newId, const TMeasureBarView& view) {
  const auto at = FindButton(bar, oldId);
  if (at == bar.Gadgets.end())
    return false;
  const auto either = [&](unsigned id) { return oldId == id || newId == id; };
  if (either(CM_START) || either(CM_START2) || either(CM_START3)) {
    const unsigned beside = either(CM_START) ? CM_START2 : either(CM_START2) ? CM_START3 : CM_STOP;
    // Beside Stop the old button goes with the separator that kept it apart.
    RemoveMeasurementButton(bar, oldId, beside == CM_STOP);
    InsertMeasurementButton(bar, newId, beside, beside == CM_STOP ? 3 : 0, view);
    return true;
  }
  // Any other button takes the place of the one it replaces.
  if (!bar.Find(newId))
    *at = MeasureButton(newId, 0, view);
  return true;
}

}  // namespace BarLayouts
