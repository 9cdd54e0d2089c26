#include "shell/bars/ChildMenus.h"

#include "common/CommandNumbers.h"

#include <algorithm>

namespace ChildMenus {
namespace {

using E = TMenuEntry;

std::vector<E> Bar(int popupText, std::vector<E> items) {
  return {E::Separator(), E::Popup(popupText, std::move(items)), E::Separator()};
}

constexpr int TestsText = 124;
constexpr int MeasurementText = 125;

std::vector<E> MeasurementPopup(const TInstallFlags& f, bool s, const std::optional<TBreathingRates>& rates) {
  const bool any = f.HardwareInstalled || f.DiffusionInstalled || f.PlethysmographInstalled;
  const bool shutterBit = (f.HardwareMode & 4) != 0;
  std::vector<E> m;
  if (!s) {
    if (any)
      m.insert(m.end(), {E::Command(CM_ZERO, 126), E::Separator(), E::Command(CM_CALIBRATION, 127), E::Separator(),
                         E::Command(CM_START, 128), E::Command(CM_START2, 129), E::Command(CM_START3, 130)});
    if (f.DiffusionInstalled)
      m.push_back(E::CommandWithKey(CM_GAS, 455, "ENTER"));
    if ((f.HardwareInstalled && shutterBit) || f.PlethysmographInstalled)
      m.push_back(E::Command(CM_SHUTTER, 479));
  }
  if (any) {
    if (!s)
      m.insert(m.end(), {E::Command(CM_STOP, 131), E::Separator()});
    m.insert(m.end(), {E::Command(CM_ZOOM, 132), E::Separator()});
    if (!s)
      m.insert(m.end(), {E::Command(CM_RHINO_PROVOCATION, 408), E::Separator(), E::Command(CM_CAKE, 134),
                         E::Separator(), E::Command(CM_TABLE1, 151), E::Command(CM_TABLE2, 152),
                         E::Command(CM_TABLE3, 153)});
  }
  if (f.PlethysmographInstalled && !s) {
    const TBreathingRates r = rates.value_or(TBreathingRates{40, 0});
    m.insert(m.end(), {E::Separator(), E::Command(CM_RESISTANCE_LOOP1, 490), E::Command(CM_RESISTANCE_LOOP2, 491),
                       E::Command(CM_RESISTANCE_LOOP3, 492), E::Separator()});
    if (r.High != 0) {
      constexpr int RateText = BarLayouts::BreathingRateText;
      m.insert(m.end(), {E::CommandWithSuffix(CM_BREATHING_RATE, RateText, ": " + std::to_string(r.Normal) + "/min"),
                         E::CommandWithSuffix(CM_BREATHING_RATE_HIGH, RateText, ": " + std::to_string(r.High) + "/min"),
                         E::Separator()});
    }
  }
  if (any) {
    if (!s)
      m.insert(m.end(), {E::Command(CM_PREPOST, 133), E::Separator()});
    m.insert(m.end(), {E::Command(CM_GRID, 184), E::Separator()});
    if (!s)
      m.insert(m.end(), {E::Command(CM_SAVE_MEASUREMENT, 287), E::Separator()});
    m.insert(m.end(), {E::Command(CM_PATIENT_NOTE, 251), E::Separator(), E::Command(CM_DDE, 399)});
  }
  return m;
}

}  // namespace

std::vector<TMenuEntry> PatientMeasure(const TInstallFlags& f, bool withMeasure, bool stageView,
                                       const std::optional<TBreathingRates>& rates) {
  const bool any = f.HardwareInstalled || f.DiffusionInstalled || f.PlethysmographInstalled;
  std::vector<E> tests;
  if (any) {
    tests.insert(tests.end(), {E::Command(CM_MEASURE_MENU, 403), E::Command(CM_MEASURE_FVC, 79),
                               E::Command(CM_MEASURE_VC, 80), E::Command(CM_MEASURE_MVV, 81)});
    if (f.DiffusionInstalled)
      tests.push_back(E::Command(CM_MEASURE_DFC, 426));
    if (f.PlethysmographInstalled)
      tests.push_back(E::Command(CM_MEASURE_PLETHY, 475));
    if (f.HardwareInstalled && (f.HardwareMode & 4) != 0)
      tests.push_back(E::Command(CM_MEASURE_SHUTTER, 474));
    if (f.HardwareInstalled && (f.HardwareMode & 1) != 0)
      tests.insert(tests.end(), {E::Separator(), E::Command(CM_MEASURE_RHINO, 404)});
    tests.insert(tests.end(), {E::Separator(), E::Command(CM_PROVOCATION, 337), E::Separator()});
  }
  if (f.AudioInstalled)
    tests.insert(tests.end(), {E::Command(CM_AUDIOMETER, 315), E::Separator()});
  if (any)
    tests.push_back(E::Command(CM_TREND, 250));
  if (withMeasure)
    tests.push_back(E::Popup(MeasurementText, MeasurementPopup(f, stageView, rates)));
  return Bar(TestsText, std::move(tests));
}

std::vector<TMenuEntry> ShortMeasure() {
  return Bar(TestsText, {E::Command(CM_ZERO, 126), E::Separator(), E::Command(CM_CALIBRATION, 127), E::Separator(),
                         E::Command(CM_START, 128), E::Command(CM_START2, 129), E::Command(CM_START3, 130),
                         E::Command(CM_STOP, 131), E::Separator(), E::Command(CM_ZOOM, 132), E::Separator(),
                         E::Command(CM_CAKE, 134), E::Separator(), E::Command(CM_TABLE1, 151),
                         E::Command(CM_TABLE2, 152), E::Command(CM_TABLE3, 153), E::Separator(),
                         E::Command(CM_GRID, 184), E::Separator(), E::Command(CM_PROVOCATION_STEP, 337)});
}

std::vector<TMenuEntry> Note() {
  constexpr int NoteText = 251;
  return Bar(NoteText, {
                           E::CommandWithKey(CM_EDITUNDO, 283, "Ctrl+Z"),
                           E::Separator(),
                           E::CommandWithKey(CM_EDITCUT, 277, "Ctrl+X"),
                           E::CommandWithKey(CM_EDITCOPY, 278, "Ctrl+C"),
                           E::CommandWithKey(CM_EDITPASTE, 279, "Ctrl+V"),
                           E::CommandWithKey(CM_EDITDELETE, 262, "Del"),
                           E::CommandWithKey(CM_EDITCLEAR, 280, "Ctrl+Del"),
                           E::Separator(),
                           E::Command(CM_FILESAVEAS, 281, true),
                           E::Separator(),
                           E::Command(CM_DATE_TIME, 316),
                       });
}

std::vector<TMenuEntry> Trend() {
  return Bar(250, {E::Command(CM_NEW_REF, 329), E::Command(CM_NORMREL, 330), E::Separator(),
                   E::Command(CM_PREDICTED, 540), E::Separator(), E::Command(CM_ZOOM, 132), E::Separator(),
                   E::Command(CM_GRID, 184), E::Separator(), E::Command(CM_LEFT_PRE, 331),
                   E::Command(CM_LEFT_NEXT, 332), E::Separator(), E::Command(CM_RIGHT_PRE, 333),
                   E::Command(CM_RIGHT_NEXT, 334), E::Separator(), E::Command(CM_PATIENT_NOTE, 251), E::Separator(),
                   E::Command(CM_DDE, 399)});
}

std::vector<TMenuEntry> Provocation() {
  // The cancel item has a text of its own beside "next measurement".
  constexpr int CancelProvocationText = 6230;
  return Bar(337, {E::Command(CM_ZOOM, 132), E::Separator(), E::Command(CM_GRID, 184), E::Separator(),
                   E::Command(CM_PROVOCATION_STEP, 43), E::Separator(), E::Command(CM_STOP, 131), E::Separator(),
                   E::Command(CM_PROVOCATION_MEASURE, 544), E::Separator(),
                   E::Command(CM_CANCEL_PROV, CancelProvocationText), E::Separator(),
                   E::Command(CM_PATIENT_NOTE, 251), E::Separator(), E::Command(CM_DDE, 399)});
}

std::vector<TMenuEntry> Audiometer() {
  // The menu saves with the measurement's command; the bar has a button of its own.
  return Bar(315, {E::Command(CM_MICROPHONE, 401), E::Separator(), E::Command(CM_ALGORITHM1, 389),
                   E::Command(CM_ALGORITHM2, 390), E::Command(CM_ALGORITHM3, 391), E::Command(CM_ALGORITHM4, 531),
                   E::Separator(), E::Command(CM_SIGNAL_MODE1, 392), E::Command(CM_SIGNAL_MODE2, 393),
                   E::Command(CM_SIGNAL_MODE3, 306), E::Separator(), E::Command(CM_SAVE_MEASUREMENT, 287),
                   E::Separator(), E::Command(CM_PATIENT_NOTE, 251), E::Separator(), E::Command(CM_DDE, 399)});
}

const TMenuEntry* PopupOf(const std::vector<TMenuEntry>& childMenu) {
  const auto it = std::find_if(childMenu.begin(), childMenu.end(),
                               [](const TMenuEntry& e) { return e.Kind == TMenuEntry::TKind::Popup; });
  return it == childMenu.end() ? nullptr : &*it;
}

std::vector<TMenuEntry> Merged(const std::vector<TMenuEntry>& mainMenu, const std::vector<TMenuEntry>* childMenu) {
  std::vector<TMenuEntry> merged = mainMenu;
  const TMenuEntry* popup = childMenu ? PopupOf(*childMenu) : nullptr;
  if (!popup)
    return merged;
  // Between the first two separators of the bar: the group of the edit menus.
  const auto first = std::find_if(merged.begin(), merged.end(),
                                  [](const TMenuEntry& e) { return e.Kind == TMenuEntry::TKind::Separator; });
  if (first == merged.end()) {
    merged.push_back(*popup);
    return merged;
  }
  merged.insert(std::next(first), *popup);
  return merged;
}

namespace {

int FindText(const std::vector<TMenuEntry>& entries, unsigned command) {
  for (const TMenuEntry& e : entries) {
    if (e.Kind == TMenuEntry::TKind::Command && e.Id == command && e.Suffix.empty())
      return e.TextNumber;
    if (e.Kind == TMenuEntry::TKind::Popup)
      if (const int found = FindText(e.Items, command); found >= 0)
        return found;
  }
  return -1;
}

}  // namespace

int TextNumberOf(unsigned command) {
  TInstallFlags all;
  all.HardwareInstalled = all.DiffusionInstalled = all.PlethysmographInstalled = all.AudioInstalled = true;
  all.HardwareMode = 5;
  for (const auto& menu : {MainMenu::Layout(true, true), PatientMeasure(all, true, false, TBreathingRates{40, 60}),
                           Trend(), Provocation(), Audiometer(), Note()})
    if (const int found = FindText(menu, command); found >= 0)
      return found;
  return -1;
}

}  // namespace ChildMenus
