#pragma once

// What the print commands decide before a run, as plain rules: the options
// dialog of a test printout and the tests the examination may hold, both
// by the installed instruments (not by the stored tests), and whether the
// print and preview commands can be used.

#include "shell/settings/AppSettings.h"

namespace PrintChoice {

struct TTestOptions {
  short Dialog = 20103;
  unsigned short ExtraTests = 0;  // bit 0 diffusion, bit 1 shutter, bit 2 plethysmograph
};

// The options dialog of the measurement window's printout of kind `kind`.
TTestOptions ForMeasurement(const TInstallFlags& install, short kind);

struct TPrintView {
  bool MeasurementOpen = false;
  bool MeasurementBusy = false;  // a test runs
  short MeasureMode = 0;         // the instrument library's global mode
  short Kind = 0;                // the test the window shows
  bool HasResults = false;       // any test kind holds a result
  bool Calibrated = false;       // a calibration was stored in this window
  bool ProvocationOpen = false;
  bool TrendOpen = false;
  bool TrendActive = false;      // the trend's frame is the active child
  bool AudiometerOpen = false;
  bool AudiometerPrintable = false;  // not busy and an audiogram to print
  bool NoteActive = false;       // the note's frame is the active child
  bool AnyActive = false;        // some child is active
};

enum class TPrintable { None, Measurement, Calibration, Trend, Audiogram, NoteOnly };

// What the print and preview commands print now; None disables them.
TPrintable Printable(const TPrintView& view);

}  // namespace PrintChoice
