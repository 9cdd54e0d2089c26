#pragma once

// The menus that the frames of the component windows carry, built at run
// time from language texts like the main menu. Each is a bar of one popup
// between two separators, so that the popup joins the main menu between
// File and Help while its frame is the active child.

#include "shell/settings/AppSettings.h"
#include "shell/bars/BarLayouts.h"
#include "shell/bars/MainMenuLayout.h"

#include <optional>
#include <vector>

namespace ChildMenus {

// The tests popup of the patient sheet; with `withMeasure` the measurement
// window's, which adds the measurement popup as its last item. `stageView`
// is the stored view the window opens in; `rates` the breathing rates of
// the settings file (nothing when it cannot be read).
std::vector<TMenuEntry> PatientMeasure(const TInstallFlags& install, bool withMeasure, bool stageView,
                                       const std::optional<TBreathingRates>& rates);
// The measurement window's while a provocation window is open.
std::vector<TMenuEntry> ShortMeasure();
// The note window's: the edit commands, Save as and the date-and-time stamp.
std::vector<TMenuEntry> Note();
std::vector<TMenuEntry> Trend();
std::vector<TMenuEntry> Provocation();
std::vector<TMenuEntry> Audiometer();

// The popup of a child's menu bar; null when it has none.
const TMenuEntry* PopupOf(const std::vector<TMenuEntry>& childMenu);

// The main menu with the child's popup between the two separators that
// mark the place; the main menu alone without a child menu.
std::vector<TMenuEntry> Merged(const std::vector<TMenuEntry>& mainMenu, const std::vector<TMenuEntry>* childMenu);

// The language text of a command's item in the main menu or any window's
// menu; -1 for a command no menu carries.
int TextNumberOf(unsigned command);

}  // namespace ChildMenus
