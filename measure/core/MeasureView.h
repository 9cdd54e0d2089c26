#pragma once

// TMeasureView: what the measurement window's logic asks of its screen.
// The logic (TMeasureCore and its commands) decides when; the view decides
// how the pixels look. The program's window implements it with widgets,
// tests with a recorder, and a core without a window with the inert view
// below.
//
// Coordinates are device pixels of the window. Trials are 0-based slots
// (3 the previous result).

#include "special/rhinomanometry/RhinoProvocationSheet.h"

#include <optional>
#include <string>

// Where the parameter list goes, in device pixels (left, top, right,
// bottom; the right and bottom edges are outside).
struct TListPlacement {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TListPlacement&, const TListPlacement&) = default;
};

// The drawing requests of the logic: what a screen of the window answers.
class TMeasureDrawing {
public:
  virtual ~TMeasureDrawing() = default;

  // Takes the flow, volume and time factors of the current zoom level.
  virtual void SetCurrentFactor() = 0;
  // Freezes the picture now on the screen: later paints show the copy.
  virtual void CopyScreen() = 0;
  virtual void DeleteScreenBmp() = 0;
  // Paints everything afresh into a new copy and shows it.
  virtual void RedrawScreenBmp() = 0;
  // Clears the curve areas and draws the empty axes of the measure mode.
  virtual void ClearMeasureScreen() = 0;
  // Clears the volume-time area only.
  virtual void ClearVolumeScreen() = 0;
  // The segment of a diffusion unit's line pressure (0 the Fleisch line, 1
  // the balloon line) that ends at sample `index` of its buffer, in the
  // calibration screen's pressure chart.
  virtual void DrawPressureCurve(short /*line*/, short /*index*/) {}
  // The segment of a trial's curve that ends at sample `index`; `final`
  // on a finished picture (printouts dash some trials).
  virtual void DrawCurve(short trial, short index, bool final) = 0;
  // The live number in the logo box during a run.
  virtual void WriteLargeParam(float value) = 0;
  // The result table's header line.
  virtual void UpdateTableTitle() = 0;
  // After a unit change: false when the screen cannot show the new unit.
  virtual bool RefreshMeasureUnit(short unitSystem) = 0;
  virtual void RebuildToolTipObjects() = 0;
  // The full repaint; during a run it draws nothing.
  virtual void MeasurePaint() = 0;
  // Asks for a repaint at the next chance.
  virtual void InvalidateScreen() = 0;
  // The metronome's mark: 0 off, 1 and 2 its two beats.
  virtual void DrawMetronome(short state) = 0;
  // The shutter test: the point just fitted (a cross during the test), and
  // the breathing-rate line at a point of the 800 x 600 layout.
  virtual void DrawShutterPoint(short /*index*/) {}
  virtual void WriteBreathingRate(int /*x*/, int /*y*/, const std::string& /*text*/) {}

  // The incentive animation over the parameter list, for a child of `age`:
  // prepared at set-up (true when it can be shown), shown at a test's
  // start (true when it is; the list hides under it), a flame flickering
  // while the breath has not begun, candles put out as the volume moves
  // away from the latest turning point, closed at the stop (the list comes
  // back). A screen without pictures shows none of it.
  virtual bool LoadCake(short /*age*/, bool /*anyPredicted*/) { return false; }
  virtual bool InitCake(short /*age*/, float /*predictedL*/) { return false; }
  virtual void MoveFlame(short /*age*/) {}
  virtual void FlameOff(short /*age*/, float /*referenceVolumeL*/, float /*volumeL*/) {}
  virtual void CloseCake() {}
  // A line of a running sequence (a count-down, a prompt) in bold
  // "Courier New" 12 over the curve area, in a rectangle of the 800 x 600
  // layout (right and bottom outside); the rectangle is cleared first.
  virtual void ShowSequenceText(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/,
                                const std::string& /*text*/) {}
  // Clears the curve area beside the parameter list.
  virtual void ClearWorkArea() {}
  // The plethysmograph's search for the artefact share: its progress
  // ("%5.1f%%") in the corner of the work area, and its result in the
  // window's status line.
  virtual void ShowSearchProgress(const std::string& /*text*/) {}
  virtual void SetStatusText(const std::string& /*text*/) {}
};

class TMeasureView : public TMeasureDrawing {
public:
  // --- The parameter list control
  virtual void PlaceParamList(const TListPlacement& placement, bool redraw) = 0;
  virtual void ShowParamList(bool visible) = 0;
  // Takes the list's lines again.
  virtual void RefreshParamList() = 0;
  virtual void ShowListScrollBar(bool visible) = 0;

  // --- The note edit and the notes drawn over the screen
  virtual void SetNoteEditText(const std::string& text) = 0;
  virtual std::string GetNoteEditText() const = 0;
  // Closes the read-only pre/post note window when it is open.
  virtual void DropNotes() = 0;
  // Opens it with the text.
  virtual void ShowNoteWindow(const std::string& text) = 0;
  virtual bool IsNoteWindowOpen() const = 0;
  // The entry chosen in the equation-set list; -1 for none.
  virtual short GetPredictedSelection() const = 0;

  // --- Everything else the window does for its logic
  // 0 the arrow; 30001 to 30003 the cursors of the hot areas.
  virtual void SetCursor(int cursor) = 0;
  virtual void Beep() = 0;
  // The parameter choice dialog; true when it was confirmed.
  virtual bool RunParamDialog() = 0;
  // The rhinomanometric provocation dialog; what it hands over on OK.
  virtual std::optional<TRhinoProvocationEntry> RunRhinoProvocationDialog() { return std::nullopt; }
  virtual void SetHourGlass(bool on) = 0;
};

// A view that shows nothing: the logic runs without a window.
class TNoMeasureView : public TMeasureView {
public:
  void SetCurrentFactor() override {}
  void CopyScreen() override {}
  void DeleteScreenBmp() override {}
  void RedrawScreenBmp() override {}
  void ClearMeasureScreen() override {}
  void ClearVolumeScreen() override {}
  void DrawCurve(short, short, bool) override {}
  void WriteLargeParam(float) override {}
  void UpdateTableTitle() override {}
  bool RefreshMeasureUnit(short) override { return true; }
  void RebuildToolTipObjects() override {}
  void MeasurePaint() override {}
  void InvalidateScreen() override {}
  void DrawMetronome(short) override {}
  void PlaceParamList(const TListPlacement&, bool) override {}
  void ShowParamList(bool) override {}
  void RefreshParamList() override {}
  void ShowListScrollBar(bool) override {}
  void SetNoteEditText(const std::string& text) override { Note = text; }
  std::string GetNoteEditText() const override { return Note; }
  void DropNotes() override { NoteWindow.clear(); }
  void ShowNoteWindow(const std::string& text) override { NoteWindow = text; }
  bool IsNoteWindowOpen() const override { return !NoteWindow.empty(); }
  short GetPredictedSelection() const override { return -1; }
  void SetCursor(int) override {}
  void Beep() override {}
  bool RunParamDialog() override { return false; }
  void SetHourGlass(bool) override {}

private:
  std::string Note;
  std::string NoteWindow;
};
