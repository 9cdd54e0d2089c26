#pragma once

// What the program asks of the trend window, without its widgets. The
// window answers its commands and messages through its response table.
// The program's records hand it examinations while it asks for them
// (WM_READ_TREND_DATA): they read and set the request state in its model
// and add each line through AddDataToTrendListBox.

#include "platform/framework/EventHandler.h"
#include "trend/TrendModel.h"

class QPainter;

class TTrendWindow : public TEventHandler {
public:
  // The window's size in the 800 x 600 layout; the scale factors it is
  // made with multiply it.
  static constexpr int DesignWidth = 753;
  static constexpr int DesignHeight = 485;

  virtual bool GetGridStatus() const = 0;
  virtual void Repaint() = 0;
  // One examination's line: five values, their predicted values, the
  // examination's mark and the request's flags.
  virtual void AddDataToTrendListBox(const char* date, const char* time, const float* values,
                                     const float* predicted, char marker, short flags) = 0;
  virtual TTrendModel& Model() = 0;

  // The print manager's trend branch: the window's scale factors, the
  // height of the whole print-out (which sets the page count and the page
  // of the graph), then each page from 1.
  virtual void GetFaktors(float& x, float& y) const = 0;
  virtual int CalculateTrendHeight(short pageBottom, short firstTop, short nextTop, bool keepSpace) = 0;
  virtual void PrintTrend(QPainter& painter, short page) = 0;
  virtual int GetPageCount() const = 0;
  virtual int GetGraphPage() const = 0;
};
