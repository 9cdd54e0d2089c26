#pragma once

// The steps a full repaint of the measurement window takes, in order, for
// a measure mode and the window's flags. The painter runs them; the tests
// read the plan as it is.

#include <vector>

enum class TPaintStep {
  Background,      // the board picture
  FillFields,      // the panels
  ZeroFrame,       // the zero hand at its highest
  PlethyScreen,    // the plethysmograph's own screen
  DateTime,        // the dates above the big table
  BigTable,
  RhinoBigTable,
  ClearFullScreen,
  RhinoTable,
  RhinoAxes,
  RhinoCurves,
  RhinoProvText,
  Table,           // the result table's header
  PrePostTable,
  Axes,
  ShutterAxes,
  Curves,          // trials 0 to 2 side by side
  PrePostCurves,   // the actual trial and the previous result
  ShutterCurves,
  PressureText,    // the calibration screen's pressure lines
  PressureAxes,
  PressureCurves,
  BtpsText,
  PatientLine,
};

struct TPaintFlags {
  short MeasureMode = 0;
  bool FromFramework = true;   // a paint of the window, not a frame drawn anew
  bool Running = false;        // a test runs
  bool ZeroActive = false;
  bool AnimationPending = false;
  bool AnyAnimationActive = false;
  bool BigTable = false;
  bool PrePost = false;
  short ScreenMode = 1;
  unsigned short InstrumentType = 0;
  bool PressureCurves = false;  // either pressure list holds a curve
  bool RhinoResults = false;
};

// Empty when nothing may be painted (a framework paint while a test runs,
// or the one paint the zero animation has drawn itself).
std::vector<TPaintStep> PaintPlan(const TPaintFlags& flags);

// The pressure instrument of the calibration screen.
inline bool IsPressureInstrument(unsigned short instrumentType) { return (instrumentType & 0xE0) == 0x60; }
