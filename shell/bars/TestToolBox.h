#pragma once

// The test tool box that the main bar's test button opens: one row of the
// tests the installed instruments allow and a close button, placed just
// beside the button.

#include "shell/settings/AppSettings.h"

#include <vector>

namespace TestToolBox {

std::vector<unsigned> Buttons(const TInstallFlags& install);

struct TPoint {
  int X = 0;
  int Y = 0;
};

// The tool box's top left corner for the button's rectangle on the screen
// (right edge and top, inclusive pixels).
constexpr TPoint Beside(int buttonRight, int buttonTop) { return {buttonRight + 1, buttonTop}; }

}  // namespace TestToolBox
