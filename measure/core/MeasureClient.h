#pragma once

// What the measurement window asks of the client that holds it (the MDI
// client of the program, a fake in the tests): the numbered messages of the
// storage subsystem, answered at once.

#include "platform/framework/WindowMessages.h"

class TMeasureClient {
public:
  virtual ~TMeasureClient() = default;
  // Delivers the message and answers as the handler does; 0 means it was
  // not handled.
  virtual TResult SendToClient(unsigned msg, TParam1 wParam, TParam2 lParam) = 0;
  // The same to the program's main window, where a message goes when the
  // client leaves it unanswered (help mode, the tool-bar buttons); 0
  // without one.
  virtual TResult SendToMainWindow(unsigned, TParam1, TParam2) { return 0; }
};
