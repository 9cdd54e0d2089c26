#pragma once

// The pressure-flow diagram of rhinomanometry on any surface (screen,
// picture, page): its axes and quadrant labels, and the four curves of both
// pairs, each nostril in its quadrants. The geometry is
// special/rhinomanometry/RhinoDiagram.h's.

#include "special/rhinomanometry/RhinoDiagram.h"

#include <array>
#include <span>

class TDrawSurface;
class TMeasureCore;
class TMeasurePainter;

namespace RhinoChart {

// The curves of the four slots with their sample counts.
struct TRhinoCurves {
  std::array<std::span<const float>, 4> FlowMlps;
  std::array<std::span<const float>, 4> PressurePa;
  std::array<std::span<const float>, 4> VolumeMl;  // only while acquiring
  std::array<short, 4> Counts{};
};

// The four rhinomanometry slots of a window.
TRhinoCurves CurvesOf(const TMeasureCore& core);

void DrawRhinoKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                         const TRhinoFactors& factors);
// The axes of the live volume strip: seconds 0 to 60 and -250 to 1000 mL
// (times the volume factor), labelled at every step.
void DrawRhinoVolumeKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFactors& factors);
// The segment of one slot that ends at `sample` (the first pair in the
// first curve pen, the second in the second), and while a test runs the
// volume strip's segment; false when none was drawn.
bool DrawRhinoSegment(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                      const TRhinoFactors& factors, const TRhinoCurves& curves, short slot, std::size_t sample);
// All four curves, sample by sample, interleaved as the window paints them.
void DrawRhinoCurves(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                     const TRhinoFactors& factors, const TRhinoCurves& curves);
// The four curves slot by slot, as a page or a picture takes them; with
// `dottedSecondPair` the second pair shows only its rising parts in dashes
// of three samples.
void DrawRhinoCurvesBySlot(const TMeasurePainter& painter, TDrawSurface& surface, const TRhinoFrame& frame,
                           const TRhinoFactors& factors, const TRhinoCurves& curves, bool dottedSecondPair);
// Whether the second pair (the previous or the provoked test) has a curve.
bool HasSecondPair(const TRhinoCurves& curves);
// The legend above the diagram's top, right-aligned in 51 to 741: "Act. "
// and "Pre. " (after a provocation "Base" and "Prov"), each beside a
// 40-unit sample of its curve pen; the second sample in five dashes when
// `dotted`. The second line only with `secondPair`, the second pair's curve.
void DrawRhinoLegend(const TMeasurePainter& painter, TDrawSurface& surface, int top, bool provoked, bool dotted,
                     bool secondPair);

}  // namespace RhinoChart
