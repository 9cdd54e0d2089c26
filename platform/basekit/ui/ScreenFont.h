#pragma once

// Fonts by the system's faces and sizes. "Courier New" and "Times New
// Roman" resolve to the metric-compatible Liberation fonts.

#include "platform/basekit/DrawSurface.h"

#include <QFont>

#include <string_view>

// The pixel height of a font of `points` on the screen, at the screen's
// logical density (96 pixels per inch when there is no screen), for the
// fonts of controls.
int HeightInPixels(double points);

// The font of a drawing: face, height in device pixels and weight.
QFont MakeFont(const TFontSpec& spec);

// A control's font: face, points on the screen (HeightInPixels) and weight.
QFont ScreenFont(std::string_view face, double points, int weight = 700);
