#pragma once

// The text and bitmap export of a rhinomanometry test: the "@"-separated
// text of the shown flows and resistances of both results with their
// changes, the provocation and the notes, and the pressure-flow diagram
// with all four curves in a white 751 × 366 picture saved as a BMP file.
// For hosts that want a plain copy of a test; the program itself does not
// call it.

#include <filesystem>
#include <string>

class TMeasureCore;
class TMessage;

namespace RhinoBitmapExport {

inline constexpr int Width = 751;
inline constexpr int Height = 366;  // the diagram's top at 10, its 356 units below

// An empty text file name does nothing; an empty bitmap name writes the
// text only. False when nothing was written (a text file that cannot be
// created shows text 28 and makes no bitmap) or the bitmap could not be
// saved. `notes` are the window's note lines, written last.
bool SaveTextAndBmpForRhino(TMeasureCore& core, const TMessage& texts, const std::filesystem::path& textFile,
                            const std::filesystem::path& bmpFile, const std::string& notes);

}  // namespace RhinoBitmapExport
