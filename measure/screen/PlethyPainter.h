#pragma once

// The plethysmograph's screen on any drawing surface: the resistance loop
// and the TGV loop with their axes, scales and grids, and (beside the
// table) the volume-time panel of the same trials. Drawn through the
// window's painter, so the frame, a PDF and the recording surface show the
// same picture.

#include "platform/basekit/DrawSurface.h"

#include <array>
#include <string_view>

class TMeasurePainter;

namespace PlethyPainter {

// The whole screen of the plethysmograph: the table or the cleared work
// area by the layout, the axes, then the curves of the trials interleaved
// sample by sample (the chosen trial and the previous result in the
// pre/post view).
void Paint(TMeasurePainter& painter, TDrawSurface& surface);
// The empty axes of both loops and of the volume-time panel.
void DrawKoordinata(const TMeasurePainter& painter, TDrawSurface& surface);
// The segment that ends at sample `index` of every curve of `trial`: the
// loops within their bounds (closed at their last sample), or while the
// test records them, and the volume-time panel beside the table. On paper
// a `patterned` trial other than the first is dashed, its pattern moving
// every second segment.
void DrawCurve(TMeasurePainter& painter, TDrawSurface& surface, short trial, int index, bool patterned = false);
// The printout's loop scales (`scaleOnly`, widened by the trial's loops) or
// the trial's offsets, from the trial's chosen loops, into the painter's
// display.
void CalculatePrintLoopOffset(TMeasurePainter& painter, short trial, bool scaleOnly);

// In the logo box: the search's progress ("%5.1f%%") large at its top, its
// result ("K:..., H:...; ", the status line) small at its foot.
inline constexpr TRect SearchProgressRect{10, 10, 97, 30};
inline constexpr TRect StatusLineRect{10, 32, 97, 58};
void WriteSearchProgress(const TMeasurePainter& painter, TDrawSurface& surface, std::string_view text);
void WriteStatusLine(const TMeasurePainter& painter, TDrawSurface& surface, std::string_view text);
// The breathing metronome's mark of `state` (0 or 1): its square filled
// light green or light red, the other mark's square navy. The squares
// stand at the lower area's top right, in the 800 x 600 layout.
inline constexpr std::array<TPoint, 2> MetronomeMarks{{{636, 299}, {696, 299}}};
inline constexpr int MetronomeSide = 20;
void DrawRectangle(const TMeasurePainter& painter, TDrawSurface& surface, short state);

}  // namespace PlethyPainter
