#pragma once

// The text and bitmap export of a spirometry-type test: the "@"-separated
// text file of the shown parameters and notes, and the graphs drawn in a
// white picture saved as a BMP file. For hosts that want a plain copy of a
// test; the program itself does not call it.

#include <filesystem>
#include <span>
#include <string>

class TDrawSurface;
class TMeasureCore;
class TMessage;

namespace SpiroBitmapExport {

// The picture's size by kind and the part saved of it.
struct TBitmapShape {
  int Width = 751;
  int Height = 195;
  int SavedLeft = 0;  // VC and MVV keep only the right 421 pixels
  int SavedWidth = 751;
};
TBitmapShape ShapeOf(int kind);

// The picture's graphs of `kind` on any surface: the legend ("Act. ", and
// "Pre. " only when the previous slot holds a result or a curve), the axes and the
// actual and previous curves at the printout's scale.
void DrawGraphs(TDrawSurface& surface, TMeasureCore& core, const TMessage& texts, short kind);

struct TNotes {
  std::string Current;  // the note edit's text
  std::string Actual;
  bool ActualSet = false;
  std::string Pre;
  bool PreSet = false;
};

// Kind 0 to 5. Nothing happens without a result of the kind or without a
// text file name; an empty bitmap name writes the text only. False when
// nothing was written (the text file's failure shows text 28 and makes no
// bitmap) or the bitmap could not be saved.
bool SaveTextAndBmpForSpiro(TMeasureCore& core, const TMessage& texts, int kind, const std::filesystem::path& textFile,
                            const std::filesystem::path& bmpFile, const TNotes& notes,
                            std::span<const short> positions = {});

}  // namespace SpiroBitmapExport
