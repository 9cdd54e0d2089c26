#pragma once

// TTestPrintout: the block a measurement window prints below the page
// header: the result tables of every test kind of the examination, the
// note box (or the provocation steps) and the graph blocks, on one to
// three pages. It walks the kinds by asking the window's client to load
// each kind's stored results (message 2007) and leaves the window in the
// kind it found when it only measures.
//
// The curves and axes are the window's painting: they come in through
// TPrintedCurves. The titles, the legend and the placement are here.

#include "measure/report/PrintedTables.h"
#include "measure/report/ReportLayout.h"
#include "platform/basekit/PrintCanvas.h"
#include "platform/basekit/PrintableWindows.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TMeasureCore;
class TMessage;

// What the window's painting gives a printed graph block.
class TPrintedCurves {
public:
  virtual ~TPrintedCurves() = default;
  // Chooses the zoom step that fits the largest values of the printed
  // slots of the current kind (the actual and pre slots, or the three
  // provocation stages); `upperLimit` scales to the upper limit of normal.
  virtual void CalculatePrintZoom(short kind, bool provocation, bool upperLimit) = 0;
  // The axes of the kind's graph with its top at the canvas's print line.
  // `secondDiagram` adds the kind's further diagram: the FVC's volume-time
  // diagram beside its loop, the body box's flow-volume and volume-time
  // panels under its loops.
  virtual void DrawAxes(TPrintCanvas& canvas, short kind, bool secondDiagram) = 0;
  // The curves of one slot with a pen of the line routine (1 first curve,
  // 2 third curve, 5 second curve); `wholeFvc` draws every FVC loop;
  // `secondDiagram` draws the slot into the further diagram as well.
  virtual void DrawSlot(TPrintCanvas& canvas, short kind, short slot, int pen, bool dotted, bool wholeFvc,
                        bool secondDiagram) = 0;
  // The diffusion unit's pressure chart below the print line: its axes and
  // the curves of the two pressure lines as they are held.
  virtual void DrawPressureLines(TPrintCanvas& canvas) = 0;
  // The screen's zoom step and factors, kept over a printout.
  virtual void SaveScreenState() = 0;
  virtual void RestoreScreenState() = 0;
};

class TTestPrintout final : public TPrintableTest {
public:
  // Selection entries.
  static constexpr int FirstGraphEntry = 7;
  static constexpr int SecondPlethyEntry = 12;
  static constexpr int WholeFvcEntry = 15;
  static constexpr int UpperLimitEntry = 44;
  static constexpr int NoteEntry = 45;

  TTestPrintout(TMeasureCore& core, const TMessage& texts, TPrintedCurves* curves = nullptr);

  // Set by the print command before the first call.
  std::array<int, 46> PrintSelection{};
  unsigned short ExtraTests = 0;  // bit 0 DFC, bit 1 SHUTTER, bit 2 PLETHY belong to the examination
  bool NoProgress = true;
  std::function<void()> Progress;  // a progress step of the running job
  // Each kind's 0-based display lines (empty: natural order).
  std::function<std::vector<short>(short kind)> Positions;
  PrintedTables::TNotes Notes;
  bool Provocation = false;  // the window holds provocation stages
  PrintedTables::TProvocationSteps Steps;
  std::string BtpsLine;
  bool DottedLines = true;  // [Print Struct] EnableDottedLine

  // The layout of the last CalculateMeasureHeight.
  std::array<bool, ReportLayout::BlockCount> GraphPrinted{};
  std::array<short, ReportLayout::BlockCount> BlockPage{1, 1, 1, 1, 1, 1};
  short PageCount = 1;
  int GraphHeight1 = 0;
  int GraphHeight2 = 0;
  int TextHeight = 0;
  bool FvcBesideVolume = false;

  int CalculateMeasureHeight(TPrintCanvas& canvas, int pageHeight, int startY) override;
  // Page 1 or 2 of the block from the canvas's print line.
  void PrintMeasure(TPrintCanvas& canvas, short page) override;
  short GetPageCount() const override { return PageCount; }
  int GetTextHeight() const override { return TextHeight; }
  int GetGraphHeight1() const override { return GraphHeight1; }
  int GetGraphHeight2() const override { return GraphHeight2; }
  bool NoteWanted() const override { return Selected(NoteEntry); }
  // The calibration page (CalibrationPrintout.cpp): the table of the
  // syringe, the constants and the measured volumes with their deviation,
  // the instrument's further constants, then the calibration curve.
  void PrintCalibration(TPrintCanvas& canvas) override;
  // The table alone; adds its height to the print line.
  void WriteCalibTable(TPrintCanvas& canvas);

  bool HaveToDraw() const;
  void ChangeMeasureMode(short mode, short load);
  // The result rows of the current kind.
  ResultCells::TResultTable CurrentTable() const;
  // The remark under the current kind's table: its printed trial was cut
  // short by the instrument link. Empty when it was not.
  std::string CurrentTableRemark() const;

  // The printed colour of a pen of the line routine (1 first curve, 2 and
  // 4 third curve, 5 second curve; black for the frame pens).
  static TColor PenColour(int pen);

  // Text id of the graph titles by kind, left and right column.
  static constexpr int FvcTitle = 74, VcTitle = 75, MvvTitle = 76, DfcTitle = 471, ShutterTitle = 482;
  static constexpr int PlethyTitles[3] = {494, 495, 496};
  static constexpr int VolumeTimeTitle = 497;

private:
  void SendProgress() const;
  PrintedTables::TTitleTexts TitleTexts() const;
  void PrintText(TPrintCanvas& canvas);
  void PrintGraphs(TPrintCanvas& canvas, short page);
  void DrawGraph(TPrintCanvas& canvas, short kind, bool plethyUnderShutter);
  // "Act." and, when a previous test's curve was drawn, "Pre."; or the
  // provocation stages.
  void Legend(TPrintCanvas& canvas, int y);
  bool Selected(int entry) const { return PrintSelection[static_cast<std::size_t>(entry)] != 0; }
  // The kind's further diagram is printed: the FVC's volume-time diagram,
  // the body box's second graph.
  bool SecondDiagram(short kind) const;
  bool KindIncluded(short kind) const;
  // Whether the window holds a result of the kind in any trial or the previous slot.
  bool HoldsResult(short kind) const;

  TMeasureCore& Core;
  const TMessage& Texts;
  TPrintedCurves* Curves;
  bool LegendDue = false;
  // Where the page's legend goes, once its graphs are drawn; whether a
  // previous test's curve was among them.
  std::optional<int> LegendAt;
  bool PreviousDrawn = false;
};
