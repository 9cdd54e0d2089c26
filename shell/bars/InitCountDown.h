#pragma once

// The count-down of the start-up picture: it shows n, n - 1, ... 0 at
// one-second steps of the clock, lets the waiting events run after each,
// and ends early when the picture window has been closed.

#include "shell/settings/StartClock.h"

#include <functional>

namespace InitCountDown {

struct TOutcome {
  int LastShown = -1;
  bool ClosedEarly = false;  // the window went before the count-down ended
};

// A negative count counts as 0, which would otherwise never end.
constexpr int Seconds(int delay) { return delay < 0 ? 0 : delay; }

TOutcome Run(int delay, TClock& clock, const std::function<void(int secondsLeft)>& show,
             const std::function<void()>& pumpEvents, const std::function<bool()>& windowAlive);

}  // namespace InitCountDown
