#pragma once

// The body box's flow-volume and volume-time panels: on the screen beside
// the table they fill the area under the loops and the table; on paper
// they are the second graph, under the loops. Both show the whole trial
// (quiet breathing, the opening of the shutter, the breath out to RV and
// in to TLC) with the lung volume on their volume axes, and the
// flow-volume panel carries the band of the patient's predicted TLC. A
// sample falls where the window's flow/volume/time routine puts it, at
// the loops' axis divisors.

#include "measure/screen/PlethyGeometry.h"
#include "platform/basekit/DrawSurface.h"

#include <optional>
#include <span>

class TMeasurePainter;

namespace PlethyPanels {

struct TPanels {
  // Flow-volume: lung volume across from the origin (0 L), flow up (the
  // inspiration, as in the resistance loop beside it).
  TRect FlowVolumeArea;
  TPoint FlowVolumeOrigin;
  int FlowSteps = 0;  // the flow axis runs this many steps up and down
  // Volume-time: time across from the left edge, volume up from the base.
  TRect VolumeTimeArea;
  int VolumeTimeLeft = 0;
  int VolumeTimeBase = 0;
  int VolumeSteps = 0;  // volume steps above the base line
  int Seconds = 0;      // the length of the time axis
  float Period = 1.0f;  // 1 on the screen, 0.5 on paper (half the time scale)
};

// The flow-volume panel's volume axis: 8 steps, 12, 8, 4 or 2 L by zoom.
inline constexpr int VolumeAxisSteps = 8;

// In the screen's lower area, the flow-volume panel at its left.
TPanels ScreenPanels();
// The second graph on paper, below the printer's line `printLine` where
// the loops begin: the flow-volume panel in the left column, the
// volume-time panel in the right one under the graph's title.
TPanels PrintedPanels(int printLine);

struct TPanelPoints {
  TPoint FlowVolume;
  TPoint VolumeTime;
};
// Where sample `sample` of flow and volume falls in both panels.
TPanelPoints Points(const TPanels& panels, const PlethyGeometry::TFactors& factors, float flowLps, float volumeL,
                    int sample);

// The normal range of a predicted volume (predicted ± 1.64 RSD) on the
// flow-volume panel's volume axis, 3 units high on it; none when the
// predicted value is 0, when the range reaches below 0 or past the axis.
std::optional<TRect> PredictedBand(TPoint origin, const PlethyGeometry::TFactors& factors, float predictedL,
                                   float rsdL);

// Axes, scales, grid (when on) and units of both panels, then the band of
// the patient's predicted TLC.
void DrawKoordinata(const TMeasurePainter& painter, TDrawSurface& surface, const TPanels& panels);
void WritePlethyPredictedValue(const TMeasurePainter& painter, TDrawSurface& surface, TPoint origin,
                               float predictedL, float rsdL);

// The segment from sample `index` - 1 to `index` in both panels with pen
// `pen`, each kept inside its panel; `marked` adds a short upright mark
// at the sample (the chosen resistance loop's first and last). The
// volumes are raised by `volumeOffsetL`: while a test records, its volume
// runs from 0 at the start and the lung volume is the live estimate's.
void DrawSegment(const TMeasurePainter& painter, TDrawSurface& surface, const TPanels& panels,
                 std::span<const float> flowLps, std::span<const float> volumeL, int index, int pen, bool marked,
                 float volumeOffsetL = 0.0f);

}  // namespace PlethyPanels
