#pragma once

// The program's own pictures of its tool buttons, drawn in code, by the
// name of the bitmap a button shows ("2147", "CM_LEFT_NOSE").

#include "shell/app/pictures/PictureCanvas.h"

#include <QIcon>

#include <span>
#include <string_view>
#include <vector>

// The picture drawn for `bitmap`; a null icon where none is drawn.
QIcon DrawnPicture(std::string_view bitmap);
// Every name a picture is drawn for.
std::vector<std::string_view> DrawnPictureNames();

namespace Pictures {

// The test kinds and the instruments' commands (TestKindPictures.cpp).
std::span<const TNamedDrawing> TestKinds();
// The patient, file, view and navigation commands (CommandPictures.cpp).
std::span<const TNamedDrawing> Commands();

}  // namespace Pictures
