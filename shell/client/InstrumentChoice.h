#pragma once

// Which instrument a new measurement window drives: decided from the
// installed hardware sections, or asked with the instrument-choice dialog
// when more than one is installed.

#include "shell/settings/AppSettings.h"

#include <array>
#include <optional>

namespace InstrumentChoice {

inline constexpr int TitleText = 499;
inline constexpr int Button1 = 5881;
inline constexpr int Button2 = 5882;
inline constexpr int Button3 = 5883;

// The kind without asking; nothing when the dialog must ask. `command` is
// the test's command; `quietLoad` is set while stored tests load for a
// printout.
std::optional<short> KindWithoutAsking(const TInstallFlags& install, unsigned command, short currentKind,
                                       bool quietLoad);

// The dialog's three button captions as language texts; 0 for a button
// without one.
std::array<int, 3> ButtonTexts(const TInstallFlags& install);

// The kind of the button that ended the dialog; `currentKind` when it was
// cancelled.
short KindOfButton(const TInstallFlags& install, int button, short currentKind);

}  // namespace InstrumentChoice
