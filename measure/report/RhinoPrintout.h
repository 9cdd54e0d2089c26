#pragma once

// TRhinoPrintout: the printed report of a rhinomanometry test, one block
// below the page header: the title box with both results' dates and times
// and the column heads, a flow and a resistance row for every pressure the
// tables show, the provocation rows after a provocation, the note box, the
// legend and the pressure-flow diagram with all four curves. Its height is
// the sum of what the printing advances, so the page count is never short.

#include "measure/report/PrintedTables.h"
#include "platform/basekit/PrintCanvas.h"
#include "platform/basekit/PrintableWindows.h"

#include <functional>
#include <string>

class TMeasureCore;
class TMeasurePainter;
class TMessage;

class TRhinoPrintout final : public TPrintableTest {
public:
  // `painter` draws in the printer's colours; the printout borrows it.
  TRhinoPrintout(TMeasureCore& core, const TMessage& texts, TMeasurePainter& painter);

  // Set by the print command before the first call.
  PrintedTables::TNotes Notes;
  std::string BtpsLine;        // empty when the BTPS line is not printed
  bool DottedLines = true;     // [Print Struct] EnableDottedLine
  bool NoteFollows = false;    // the patient's note follows the report
  std::function<void()> Progress;  // a progress step of the running job

  // The report's height in layout units.
  int CalculateRhinoHeight(TPrintCanvas& canvas);
  // The report from the canvas's print line, which it advances.
  void WritePrintRhinoTable(TPrintCanvas& canvas);

  int CalculateMeasureHeight(TPrintCanvas& canvas, int pageHeight, int startY) override;
  void PrintMeasure(TPrintCanvas& canvas, short page) override;
  short GetPageCount() const override { return 1; }
  int GetTextHeight() const override { return TextHeight; }
  int GetGraphHeight1() const override { return 0; }
  int GetGraphHeight2() const override { return 0; }
  bool NoteWanted() const override { return NoteFollows; }
  void PrintCalibration(TPrintCanvas&) override {}

private:
  void SendProgress() const;
  void DrawTitle(TPrintCanvas& canvas) const;
  // Returns the rows printed.
  int WriteParamTables(TPrintCanvas& canvas) const;
  void DrawProvocationRows(TPrintCanvas& canvas, int rowsSoFar) const;
  void DrawDiagram(TPrintCanvas& canvas);

  TMeasureCore& Core;
  const TMessage& Texts;
  TMeasurePainter& Painter;
  int TextHeight = 0;
};
