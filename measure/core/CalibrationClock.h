#pragma once

// Today and now for the calibration record and its reminder. The window
// reads the computer's local clock; tests put a clock of their own in its
// place.

#include <functional>

struct TLocalMoment {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

using TLocalClock = std::function<TLocalMoment()>;

// The computer's local date and time.
TLocalMoment LocalNow();
