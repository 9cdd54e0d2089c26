#pragma once

// TMeasureScreen: the pixels of the measurement window. TMeasure forwards
// the drawing requests of its logic here and paints through Paint; the
// screen reads the window's curves and state as they stand. One
// implementation is linked in (MakeMeasureScreen).

#include <memory>

class QPainter;
class QPoint;
class QRect;
class QString;
class TMeasure;

class TMeasureScreen {
public:
  virtual ~TMeasureScreen() = default;

  virtual void SetCurrentFactor() = 0;
  virtual void CopyScreen() = 0;
  virtual void DeleteScreenBmp() = 0;
  virtual void RedrawScreenBmp() = 0;
  virtual void ClearMeasureScreen() = 0;
  virtual void ClearVolumeScreen() = 0;
  virtual void DrawCurve(short trial, short index, bool final) = 0;
  virtual void WriteLargeParam(float value) = 0;
  virtual void UpdateTableTitle() = 0;
  virtual bool RefreshMeasureUnit(short unitSystem) = 0;
  virtual void RebuildToolTipObjects() = 0;
  virtual void MeasurePaint() = 0;
  virtual void InvalidateScreen() = 0;
  virtual void DrawMetronome(short state) = 0;

  // The window's paint event: its whole picture, or the part `dirty` covers.
  virtual void Paint(QPainter& painter, const QRect& dirty) = 0;
  // The tool tip at a point of the window; empty for none.
  virtual QString ToolTipAt(const QPoint& at) const = 0;
  // The rectangle of that tool; the tip stays while the mouse is in it.
  virtual QRect ToolTipRect(const QPoint& at) const = 0;
};

std::unique_ptr<TMeasureScreen> MakeMeasureScreen(TMeasure& window);
