#pragma once

// TMeasureScreen: the pixels of the measurement window. TMeasure forwards
// the drawing requests of its logic here and paints through Paint; the
// screen reads the window's curves and state as they stand. One
// implementation is linked in (MakeMeasureScreen).

#include "measure/core/MeasureView.h"

#include <memory>

class QPainter;
class QPoint;
class QRect;
class QString;
class TMeasure;

class TMeasureScreen : public TMeasureDrawing {
public:
  // The window's paint event: its whole picture, or the part `dirty` covers.
  virtual void Paint(QPainter& painter, const QRect& dirty) = 0;
  // The tool tip at a point of the window; empty for none.
  virtual QString ToolTipAt(const QPoint& at) const = 0;
  // The rectangle of that tool; the tip stays while the mouse is in it.
  virtual QRect ToolTipRect(const QPoint& at) const = 0;
  // Whether the window shows a frozen copy of its screen.
  virtual bool HasScreenCopy() const = 0;
};

std::unique_ptr<TMeasureScreen> MakeMeasureScreen(TMeasure& window);
