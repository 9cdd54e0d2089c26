#pragma once

// What the printed windows give the print manager. The measurement window
// prints a test (or its calibration), the trend window its lines, the
// audiometer its audiogram; each draws its own block below the header the
// manager prints. Positions are layout units of the 800-unit page.

#include "platform/basekit/PrintCanvas.h"

class TPrintableTest {
public:
  virtual ~TPrintableTest() = default;
  // The height of the block; decides the pages of its graphs.
  virtual int CalculateMeasureHeight(TPrintCanvas& canvas, int pageHeight, int startY) = 0;
  virtual void PrintMeasure(TPrintCanvas& canvas, short page) = 0;
  virtual short GetPageCount() const = 0;
  virtual int GetTextHeight() const = 0;
  virtual int GetGraphHeight1() const = 0;
  virtual int GetGraphHeight2() const = 0;
  // Entry 45 of the selection: the note follows the test.
  virtual bool NoteWanted() const = 0;
  // The calibration page.
  virtual void PrintCalibration(TPrintCanvas& canvas) = 0;
};

class TPrintableTrend {
public:
  virtual ~TPrintableTrend() = default;
  virtual int CalculateTrendHeight(int pageHeight, int headerHeight, int smallHeaderHeight, bool note) = 0;
  virtual void PrintTrend(TPrintCanvas& canvas, short page) = 0;
  virtual short GetPageCount() const = 0;
};

class TPrintableAudiogram {
public:
  virtual ~TPrintableAudiogram() = default;
  virtual int CalculateAudioHeight(TPrintCanvas& canvas) = 0;
  virtual void AudioPrint(TPrintCanvas& canvas) = 0;
};
