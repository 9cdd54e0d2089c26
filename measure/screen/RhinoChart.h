#pragma once

// The pressure-flow diagram of rhinomanometry on any surface (screen,
// picture, page): its axes and quadrant labels, and the four curves of both
// pairs, each nostril in its quadrants. The geometry is
// special/rhinomanometry/RhinoDiagram.h's.

#include "special/rhinomanometry/RhinoDiagram.h"

#include <array>
#include <span>

class TDrawSurface;
class TMeasurePainter;

namespace RhinoChart {

// The curves of the four slots with their sample counts.
struct TRhinoCurves {
  std::array<std::span<const float>, 4> FlowMlps;
  std::array<std::span<const float>, 4> PressurePa;
  std::array<short, 4> Counts{};
};

void DrawRhinoKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                         const TRhinoFactors& factors);
// The segment of one slot that ends at `sample` (the first pair in the
// first curve pen, the second in the second); false when none was drawn.
bool DrawRhinoSegment(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                      const TRhinoFactors& factors, const TRhinoCurves& curves, short slot, std::size_t sample);
// All four curves, sample by sample, interleaved as the window paints them.
void DrawRhinoCurves(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                     const TRhinoFactors& factors, const TRhinoCurves& curves);

}  // namespace RhinoChart
