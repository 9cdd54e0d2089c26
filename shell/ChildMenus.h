#pragma once

// The menus that the frames of the component windows carry, built at run
// time from language texts like the main menu. Each is a bar of one popup.

#include "shell/MainMenuLayout.h"

#include <vector>

namespace ChildMenus {

// The note window's: the edit commands, Save as and the date-and-time stamp.
std::vector<TMenuEntry> Note();

}  // namespace ChildMenus
