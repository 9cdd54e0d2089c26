#pragma once

// The short waits the system makes between two words to an instrument.
// The program waits for real; tests put a clock in its place that notes
// the waits and returns at once.

#include <chrono>

class TDelayClock {
public:
  virtual ~TDelayClock() = default;
  virtual void Wait(std::chrono::milliseconds duration) = 0;
};

// Blocks the calling thread for the whole duration.
class TSleepingDelayClock final : public TDelayClock {
public:
  void Wait(std::chrono::milliseconds duration) override;
};
