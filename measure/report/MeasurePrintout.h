#pragma once

// TMeasurePrintout: the test an open measurement window prints. It holds
// the printout of the examination (TTestPrintout) with its graphs drawn by
// a painter of its own in the printer's colours, so the window's painter,
// pens and display are never touched; the screen's zoom step, which the
// printed graphs share with the window, comes back after every page.
//
// The printer's colours: frames and texts black on white, the first curve
// light blue, the third curve (the pre test, the provocation stage) dark
// red, the second curve (the second provocation stage) light magenta.

#include "measure/screen/MeasurePainter.h"
#include "measure/report/PainterCurves.h"
#include "measure/report/RhinoPrintout.h"
#include "measure/report/TestPrintout.h"
#include "platform/basekit/Util.h"

#include <string>
#include <string_view>

struct BTPS_RECORD;

class TMeasureCore;
class TMessage;

class TMeasurePrintout {
public:
  TMeasurePrintout(TMeasureCore& core, const TMessage& texts);
  TMeasurePrintout(const TMeasurePrintout&) = delete;
  TMeasurePrintout& operator=(const TMeasurePrintout&) = delete;

  TTestPrintout& Test() { return Printout; }
  TRhinoPrintout& Rhino() { return RhinoReport; }
  const TUtil& Colours() const { return PrintUtil; }

  // Takes what the printout shows of the window: the notes (the note
  // edit's text as the current note), the parameters' display order, the
  // BTPS line and [Print Struct] EnableDottedLine, for the test printout
  // and the rhinomanometry report alike; with `provocation` the stages'
  // report with its steps.
  void TakeWindowState(std::string_view noteEdit, bool provocation, const PrintedTables::TProvocationSteps& steps);

  // The printer's colours over the window's colour roles.
  static TUtil PrintColours();
  // The name of an equation set (0 to 5); empty for any other index.
  static std::string_view AlgorithmName(short algorithm);
  // Text 62 (imperial) or 63 (metric) with the BTPS conditions of the
  // settings file, when BTPS correction is on or in calibration mode;
  // empty otherwise.
  static std::string BtpsLine(TMessage& texts, std::string_view iniFile, short unit, short measureMode);
  // The same line from the conditions of a BTPS record (a window's panel).
  static std::string BtpsLine(TMessage& texts, const BTPS_RECORD& record, short unit, short measureMode);

private:
  TMeasureCore& Core;
  TUtil PrintUtil;
  TMeasurePainter Painter;
  TPainterCurves Curves;
  TTestPrintout Printout;
  TRhinoPrintout RhinoReport;
};
