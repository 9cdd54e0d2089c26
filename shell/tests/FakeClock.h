#pragma once

// A start-up clock that waits no real time: a wait moves the time on to its
// deadline, and the test can move it on as a slow start would.

#include "shell/settings/StartClock.h"

#include <vector>

class TFakeClock final : public TClock {
public:
  TTime Now() const override { return Time; }
  void WaitUntil(TTime deadline) override {
    Waits.push_back(deadline);
    if (deadline > Time)
      Time = deadline;
  }

  TTime Time{100000};
  std::vector<TTime> Waits;
};
