#pragma once

// The painting of the measurement window on any drawing surface: the
// window's frame image, a printer page, a PDF or a recording in the tests.
// It reads the trials and results of the core and the window's display
// state, and draws in the 800 x 600 reference layout scaled by the
// window's factors. The parts painted by other widgets (the BTPS panel's
// text) and the screens of the special tests come in as hooks.

#include "measure/screen/MeasureAnimations.h"
#include "measure/screen/MeasureLayout.h"
#include "measure/screen/MeasurePaintPlan.h"
#include "measure/screen/MeasureTexts.h"
#include "measure/screen/PlethyPrintLoops.h"
#include "platform/basekit/Util.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class TMeasureCore;
class TMessage;

// What the window shows, beside the core's trials.
struct TMeasureDisplay {
  float XScale = 1.0f;
  float YScale = 1.0f;
  short ScreenIndex = 1;
  short ScreenMode = 1;       // 1 the curve screen, 0 the full-width screen
  short ResultKind = 1;       // 1 test results, 0 calibration results
  bool BigTable = false;
  bool PrePost = false;
  bool StageView = false;
  bool ProvocationPrint = false;
  short Grid = 1;
  bool VolumeTimeOnFullScreen = false;  // a full-width FVC picture with its volume-time diagram
  // Rhinomanometry's two sides above its big table, as its test sets them.
  MeasureTexts::TRhinoDates RhinoDates;
  // Volume levels of the slow VC: the actual and previous result, each
  // trial of a provocation's stages, and the base level of the diagram.
  float VolumeLevel = 0.0f;
  float PreVolumeLevel = 0.0f;
  std::array<float, 3> StageLevels{};
  float BaseLevel = 0.0f;
  // The printout: the printer's current line takes the place of the
  // screen's fixed top, and the origins shift by the print offset.
  bool Printing = false;
  int PrintLine = 0;
  short PrintOffset = 0;
  // The highest volume of the printed calibration strokes, where their
  // loop meets the flow axis (as an FVC's loop does at its FVC).
  float PrintedCalibrationTopL = 0.0f;
  // The plethysmograph's loops on paper: their scales and offsets.
  PlethyPrintLoops::TPrintLoops PlethyPrint;
  // The parameter list's character grid on the screen; the headings of the
  // result table stand on it. Without one (a printout) they take their
  // reference places.
  std::optional<MeasureTexts::TListGrid> ListGrid;
};

class TMeasurePainter {
public:
  TMeasurePainter(TMeasureCore& core, const TUtil& util, const TMessage& messages,
                  std::shared_ptr<const TPictureSource> pictures);

  TMeasureDisplay Display;
  // Painted by the window itself (the BTPS panel's text, the zero hand's
  // frame, the special tests' screens); a missing hook draws nothing.
  std::map<TPaintStep, std::function<void(TDrawSurface&)>> Hooks;
  // Flags of the plan the painter cannot know.
  bool ZeroActive = false;
  bool AnimationPending = false;
  bool AnyAnimationActive = false;
  bool RhinoResults = false;
  bool PressureCurves = false;

  TPaintFlags Flags(bool fromFramework) const;
  // The full repaint; answers the steps it took.
  std::vector<TPaintStep> MeasurePaint(TDrawSurface& surface, bool fromFramework);
  void RunStep(TDrawSurface& surface, TPaintStep step);

  void FillFields(TDrawSurface& surface) const;
  void ClearFullScreen(TDrawSurface& surface) const;
  void ClearMeasureScreen(TDrawSurface& surface);
  void ClearHurokScreen(TDrawSurface& surface) const;
  void ClearVolumeScreen(TDrawSurface& surface) const;
  // A line of a running sequence (the gas sequence's count-downs and
  // prompts) in its reference rectangle, on the curve area's background.
  void WriteSequenceText(TDrawSurface& surface, const TRect& rect, std::string_view text) const;
  // A picture at a reference point, scaled by the window's factors by
  // nearest neighbour; OR-painting lays a black bar under it first. A
  // missing picture is skipped.
  void DrawBitmap(TDrawSurface& surface, std::string_view name, int x, int y, TRasterOp op) const;
  void DrawPictures(TDrawSurface& surface, const TPictureDraws& draws) const;
  // A picture of the source, or null when it is missing.
  std::shared_ptr<const TPicture> Picture(std::string_view name) const;
  void WriteScreenCoordinate(TDrawSurface& surface, TPoint point) const;

  // --- Axes and curves -----------------------------------------------------
  void SetCurrentFactor();
  void ChangePrintOffset();
  const MeasureLayout::TFactors& CurrentFactors() const { return Factors; }
  void DrawLine(TDrawSurface& surface, int x, int y, int dx, int dy, int pen) const;
  // A segment between two layout points in pen `pen` of Pens() (DrawLine
  // numbers its pens its own way).
  void SegmentTo(TDrawSurface& surface, int pen, TPoint from, TPoint to) const;
  void DrawGrid(TDrawSurface& surface, int x, int y, int width, int height, float stepX, float stepY, int kind) const;
  // `plainLabels`: every step labelled as its value, whatever the test's
  // own rule (rhinomanometry's volume strip under its diagram).
  void DrawScale(TDrawSurface& surface, int x, int y, float pixelsPerUnit, bool vertical, int first, int last,
                 int step, float zoomFactor, bool plainLabels = false) const;
  // A vertical scale at the window's left edge writes its labels inside,
  // right of the axis up to this many layout pixels: a unit written beside
  // such a scale's top label starts past them.
  static constexpr int InsideLabelsEnd = 34;
  void WriteScaleUnit(TDrawSurface& surface, int x, int y, std::string_view unit) const;
  void DrawKoordinata(TDrawSurface& surface);
  // The segment of `trial` that ends at sample i; false when none was drawn.
  // On paper it is cut at its diagram's frame (the calibration strokes
  // print as a loop as well as against time); on the screen a segment
  // leaving its area is left out.
  bool DrawCurve(TDrawSurface& surface, short trial, int sample, bool final);
  // Every trial side by side (or the actual trial and the previous result).
  void DrawCurves(TDrawSurface& surface, bool prePost);
  void ResetDashes() {
    Dashes = {};
    PanelDashes = {};
  }
  // Whether the next segment of a dashed printed curve is drawn: the
  // pattern moves on every `period` segments (the stages' second trial
  // dashes, their third draws four steps of five, the previous result
  // dashes). The body box's panels keep a pattern of their own beside its
  // loops' (`panels`).
  bool PenDown(short trial, int period, bool panels = false);
  void WritePredictedValue(TDrawSurface& surface, short measureMode);

  // --- Texts and tables ------------------------------------------------------
  void WriteTable(TDrawSurface& surface) const;
  void WritePrePostTable(TDrawSurface& surface) const;
  void UpdateTableTitle(TDrawSurface& surface) const;
  void WritePredictedData(TDrawSurface& surface) const;
  // The live value; false when the one shown stands.
  bool WriteLargeParam(TDrawSurface& surface, float value, short trialIndex);
  void ResetLargeParam() { LargeParam.Reset(); }
  void WriteDateTime(TDrawSurface& surface) const;
  void DrawBigTableFrame(TDrawSurface& surface, int rows) const;
  // The results of the current kind as one table across the window, its
  // cells from the shared result-cell model.
  void DrawBigTable(TDrawSurface& surface);
  void WriteBigTableText(TDrawSurface& surface, std::string_view text, const TRect& cell, int alignment,
                         std::size_t textColor, std::size_t background) const;
  void WriteText(TDrawSurface& surface, const MeasureTexts::TTextItem& item) const;

  // The nine pens: 0 axes, 1 to 3 trials 1 to 3, 4 the calibration
  // strokes, 5 the previous result, 6 and 7 the pressure lines, 8 the grid.
  std::array<TPen, MeasureLayout::PenCount> Pens() const;
  TColor Color(std::size_t entry) const { return Util.GetColor(entry); }

  TMeasureCore& Core() const { return MeasureCore; }
  const TMessage& Texts() const { return Messages; }

private:
  void Fill(TDrawSurface& surface, const TRect& rect, std::size_t colorEntry) const;
  int TopY() const { return Display.Printing ? Display.PrintLine : MeasureLayout::DiagramTop; }

  TMeasureCore& MeasureCore;
  const TUtil& Util;
  const TMessage& Messages;
  std::shared_ptr<const TPictureSource> PictureSource;
  // Pictures are read once; a missing one is remembered as missing.
  mutable std::map<std::string, std::shared_ptr<const TPicture>, std::less<>> PictureCache;
  MeasureLayout::TFactors Factors{1.0f, 1.0f, 1.0f};
  MeasureTexts::TLargeParam LargeParam;
  struct TDashState {
    int Segments = 0;
    bool Down = true;
    int Dash = 0;
  } Dashes, PanelDashes;
};
