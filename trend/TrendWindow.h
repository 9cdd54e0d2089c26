#pragma once

// What the program asks of the trend window, without its widgets. The
// window answers its commands and messages through its response table.
// The program's records hand it examinations while it asks for them
// (WM_READ_TREND_DATA): they read and set the request state in its model
// and add each line through AddDataToTrendListBox.

#include "platform/framework/EventHandler.h"
#include "trend/TrendModel.h"

class TTrendWindow : public TEventHandler {
public:
  virtual bool GetGridStatus() const = 0;
  virtual void Repaint() = 0;
  // One examination's line: five values, their predicted values, the
  // examination's mark and the request's flags.
  virtual void AddDataToTrendListBox(const char* date, const char* time, const float* values,
                                     const float* predicted, char marker, short flags) = 0;
  virtual TTrendModel& Model() = 0;
};
