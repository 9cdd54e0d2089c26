#pragma once

// The patient line above the curves must end before the BTPS panel beside
// it, and what a clinician checks the predicted values by (age, height,
// weight) must never be the part that is cut off. A line too long loses
// its wide gaps first, then takes a smaller font (down to a floor), then
// single blanks, then shortens the name, which keeps its beginning and
// ends in "...", and only then goes below the font's floor.

#include "common/PredictedData.h"
#include "platform/basekit/DrawSurface.h"

#include <string>

class TMessage;

namespace PatientLineFit {

struct TFitted {
  std::string Text;
  TFontSpec Font;
};

// `full` is the font of the layout; `smallestPx` the floor the font keeps
// while the name can give way (two thirds of it after); `widthPx` the room
// from the line's start to the panel. Only a line that does not fit even
// then is left longer than the room (the caller cuts it at the panel).
TFitted Fit(const TDrawSurface& surface, const PREDICTED_DATA& patient, const TMessage& messages,
            const TFontSpec& full, int smallestPx, int widthPx);

// `name` without its last `count` characters (UTF-8 sequences are kept whole).
std::string DropLastCharacters(const std::string& name, std::size_t count);

}  // namespace PatientLineFit
