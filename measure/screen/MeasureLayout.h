#pragma once

// The geometry of the measurement window's screen in the 800 x 600
// reference frame: its regions, the placement of the parameter list, the
// axis frames, the zoom steps and the pixel scales of the curves, the pens
// by number and the scale labels. Plain tables and functions; the painter
// and the printouts share them.

#include "platform/basekit/DrawSurface.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace MeasureLayout {

// --- Screen size -----------------------------------------------------------

inline constexpr std::array<int, 6> ScreenWidths{640, 800, 1024, 1152, 1280, 1600};
// The heights the list's rows were laid out for.
inline constexpr std::array<int, 6> ScreenHeights{480, 600, 768, 864, 1024, 1200};

// The screen-size index of a width in pixels; a width outside the table
// is treated as an 800-pixel screen.
short ScreenSizeIndex(int widthPx);
// Whether the width is one of the table's.
bool IsTableWidth(int widthPx);

// --- Regions (reference pixels) ------------------------------------------

inline constexpr TRect LogoBox{8, 8, 99, 59};
inline constexpr TRect TitleStrip{106, 8, 741, 27};
inline constexpr TRect PatientStrip{106, 35, 741, 59};
inline constexpr TRect TableBox{320, 67, 741, 276};
// The curve area by screen mode: 0 the full-width screen, 1 the curve screen.
TRect WorkArea(short screenMode);
// The volume-time area below the curves by screen-size index.
TRect LowerArea(short screenIndex);

// Where the parameter list stands, in device pixels. A screen of the
// table (width and height) takes its row; any other screen takes the
// 800-pixel row scaled by the window's factors, so that the list stays in
// the table box and off the curves.
TRect ListPlacement(int screenWidthPx, float xScale, float yScale, bool rhino);

// --- Axis frames ------------------------------------------------------------

// The origin of the flow-volume diagram (zero volume, zero flow).
TPoint FlowVolumeOrigin(short screenMode);
inline constexpr int VolumeTimeLeft = 15;   // left edge of the volume-time diagram
inline constexpr int VolumeTimeBase = 406;  // its zero-volume base line on the screen
inline constexpr int DiagramTop = 81;       // the top of both flow axes on the screen
inline constexpr int VolumeTimeTop = 294;

// A printed graph block has two columns under their titles (71 and 376):
// the flow-volume loop in the left one, every volume-time diagram in the
// right one, so that neither diagram reaches into the other's axes. The
// loop's zero point stands far enough into the left column for the flow
// labels left of its axis; its volume scale runs from there 8 steps of
// 28 units to the right, short of the right column. The volume-time
// diagram's axis stands just inside the right column, its ticks clear of
// the left one and its labels inside; its halved time axis of 60 s (361
// units) ends at the printed columns' right rule (741).
inline constexpr int PrintRightColumn = 376;
inline constexpr int PrintFlowVolumeOriginX = 121;
inline constexpr int PrintVolumeTimeLeft = PrintRightColumn + 4;
// The bottom of the diffusion unit's printed pressure chart below the print
// line: under the volume-time diagram (140 units) by the screen's gap
// between the chart and that diagram (48), plus the chart's height (170).
inline constexpr int PrintPressureChartBottom = 140 + 48 + 170;
// The loop's zero point on a printed page: the flow axis runs from the
// print line, 16 L/s (96 units at k = 2) above the zero flow.
TPoint PrintFlowVolumeOrigin(int printLine);
// The frames the printed curves keep to, their edges included: the loop's
// from its flow axis across its 8 volume steps and down its flow axis
// (k as ScreenMultiplier gives it), the volume-time diagram's from its
// volume axis to the end of its time axis and down to -2 volume steps.
TRect PrintLoopFrame(TPoint origin, int printLine, int k);
TRect PrintVolumeTimeFrame(int printLine);

// The part of the segment from `from` to `to` inside `frame` (its edges
// included); none when the segment misses the frame.
std::optional<std::pair<TPoint, TPoint>> ClipToFrame(const TRect& frame, TPoint from, TPoint to);

// k: every pixel distance of the flow-volume diagram doubles on the
// full-width screen (screen mode 0).
int ScreenMultiplier(short screenMode);

// --- Zoom ---------------------------------------------------------------------

struct TZoomStep {
  float Flow;        // factors every curve point is divided by
  float Volume;
  float Time;
  float FlowMaxLps;  // the axis maxima the curves of this step fit
  float VolumeMaxL;
};
inline constexpr int ZoomSteps = 4;
// Zoom index 0 to 3; an index outside is clamped.
const TZoomStep& Zoom(short index);

// Curve factors: flow, volume, time.
using TFactors = std::array<float, 3>;
TFactors ZoomFactors(short index);

inline constexpr float FlowPixelsPerLps = 6.0f;
inline constexpr float VolumePixelsPerL = 14.0f;
inline constexpr float TimePixelsPerS = 12.0f;

// A curve sample in reference pixels: x from the flow, y from the volume,
// t from the sample's time (100 samples a second; `period` 1 on the
// screen, 0.5 on a printout).
struct TCurvePixels {
  float X;
  float Y;
  float T;
};
TCurvePixels CalculateFlowVolumeAndTime(float flowLps, float volumeL, int sample, float period,
                                        const TFactors& factors, int k);

// The highest zoom index whose axis maxima still hold the peak flow and
// volume (the largest picture that shows them whole), down to 0.
short FitZoom(float peakFlowLps, float peakVolumeL);

// How far the next diagram of a printout moves down by mode.
short PrintOffsetStep(short measureMode);

// --- Pens -------------------------------------------------------------------

inline constexpr int PenCount = 9;
// The pen index of DrawLine's pen number.
int LinePen(int number);
// The pen a trial's curve is drawn with (an index into the nine pens).
int CurvePen(short trial, bool calibrationMode, bool printing, bool stagesShown);

// --- Scales -----------------------------------------------------------------

// A scale label: "%d" of a whole value, a blank for a value with a
// fraction; the shutter screen writes fractions with one decimal and
// rhinomanometry pads to four places.
std::string ScaleLabel(float value, short measureMode);

struct TTick {
  TPoint At;          // where the tick crosses the axis line
  bool Long = false;  // 8 pixels long; the short ticks are 4
  std::string Label;  // empty for no label
};
// The ticks of a scale: |first| + |last| + 1 of them, `pixelsPerUnit`
// apart from (x, y); the value of tick n is first - n on a vertical
// scale, first + n on a horizontal one. Multiples of `step` are long and
// labelled (but for 0) with value x zoomFactor. Rhinomanometry labels
// only multiples of 200 and leaves out the short ticks.
std::vector<TTick> ScaleTicks(int x, int y, float pixelsPerUnit, bool vertical, int first, int last, int step,
                              float zoomFactor, short measureMode);

}  // namespace MeasureLayout
