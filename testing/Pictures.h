#pragma once

// Pictures of windows for a person to look at: saved in the build's
// "artifacts" folder under a name of the test's choosing.

#include <string_view>

class QWidget;

// Saves a picture of the window as <build>/artifacts/<name>; false (and
// a failure of the running test) when it cannot be saved.
bool SavePicture(QWidget& window, std::string_view name);
