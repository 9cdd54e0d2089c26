#pragma once

// The shutter test's screen on any drawing surface: the pressure-flow
// diagram with its axes, scales and grid, the fitted points as crosses
// during the test and the final curve after it, and the live volume strip
// below. Drawn through the window's painter, so frame, PDF and recording
// surface show the same picture.

#include "platform/basekit/DrawSurface.h"

#include <array>

class TMeasurePainter;

namespace ShutterPainter {

// The axes of the diagram (and, on the screen, the empty volume strip).
void DrawKoordinata(const TMeasurePainter& painter, TDrawSurface& surface);
void DrawVolumeKoordinata(const TMeasurePainter& painter, TDrawSurface& surface);
// Point `index` of a trial: a cross while a test runs (inside the drawing
// rectangle only), otherwise the segment from the point before, in the
// trial's curve pen. On paper a `dashed` curve other than the first is
// drawn in the painter's dash pattern, a step every second segment.
void DrawAcross(TMeasurePainter& painter, TDrawSurface& surface, short trial, int index, bool dashed = false);
// Every stored point of the three trials' curves, or of the chosen trial
// and the previous result when the window compares them.
void DrawCurves(TMeasurePainter& painter, TDrawSurface& surface);
// The breathing metronome's two marks, top left of each circle, in the
// 800 x 600 layout: one above each end of the normal layout's diagram.
inline constexpr std::array<TPoint, 2> MetronomeMarks{{{10, 82}, {277, 82}}};
inline constexpr int MetronomeCircle = 30;  // across, in layout pixels
// The metronome after tick `state` (0 or 1): a filled light-red circle 30
// pixels across at that mark, a light-green one at the other, so that the
// colours swap at every half breath. Only in the normal layout while a test
// runs: the enlarged diagram covers both marks.
void DrawCircle(const TMeasurePainter& painter, TDrawSurface& surface, short state);
// The segment of the live volume strip that ends at sample `index`.
void DrawVolumeSegment(const TMeasurePainter& painter, TDrawSurface& surface, short trial, int index);

}  // namespace ShutterPainter
