#pragma once

// Where the provocation window's parts lie: the 800 x 600 design, and the
// few rectangles given per screen class (640, 800, 1024, 1152, 1280, 1600
// pixels wide; any other width is class 1).

#include "platform/basekit/DrawSurface.h"

#include <array>

namespace ProvocationLayout {

// The screen class of a screen width.
short ResolutionIndex(int screenWidth);

// The step list in screen pixels (not scaled), by screen class.
TRect ListRect(short resolutionIndex);
// The same kept inside the parameter panel at the window's vertical scale:
// the table's pixels suit screens of 4:3; on a wider or taller one the list
// leaves room for the two header rows and ends at the graph.
TRect ListRectOnScreen(short resolutionIndex, float yScale);
// The countdown box and the set-up panel in the design, by screen class.
TRect CountdownBox(short resolutionIndex);
TRect SetupPanel(short resolutionIndex);

inline constexpr TRect PatientLine{106, 8, 741, 27};
inline constexpr TRect SecondBar{106, 35, 741, 59};
inline constexpr TRect ParameterPanel{320, 67, 741, 276};
inline constexpr TRect GraphArea{8, 283, 741, 456};
// The parameter panel's column borders: concentration, dose, three parameters.
inline constexpr std::array<int, 6> Columns{320, 370, 412, 513, 615, 710};
inline constexpr TPoint CountdownText{11, 18};

// Mouse areas in the design (strict bounds).
bool InSetupArea(double x, double y);
// The parameter column (0 to 2) of a header click: between its borders,
// below the panel's top and above the step list; `margin` narrows it on
// each side (the hand cursor's area). Nothing outside.
int HeaderColumn(double x, double y, double listTopDesign, int margin);

}  // namespace ProvocationLayout
