#pragma once

// What the program asks of the trend window, without its widgets. The
// window answers its commands and messages through its response table.

#include "platform/framework/EventHandler.h"

class TTrendWindow : public TEventHandler {
public:
  virtual bool GetGridStatus() const = 0;
  virtual void Repaint() = 0;
};
