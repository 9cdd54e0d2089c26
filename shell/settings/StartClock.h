#pragma once

// The clock of the start-up: the greeting stays at least two seconds. The
// wait keeps the event loop running, so the greeting paints and the program
// answers; tests give a clock of their own that waits no real time.

#include <chrono>

class TClock {
public:
  using TTime = std::chrono::milliseconds;

  virtual ~TClock() = default;
  virtual TTime Now() const = 0;
  // Returns once Now() has reached `deadline`; at once when it has already.
  virtual void WaitUntil(TTime deadline) = 0;
};

// The monotonic clock of the system; waits in a local event loop.
class TEventLoopClock final : public TClock {
public:
  TTime Now() const override;
  void WaitUntil(TTime deadline) override;
};

// The greeting's minimum time on screen.
class TGreetingDeadline {
public:
  static constexpr TClock::TTime MinimumShown{2000};

  explicit TGreetingDeadline(TClock& clock) : Clock(clock), Deadline(clock.Now() + MinimumShown) {}

  void Wait() { Clock.WaitUntil(Deadline); }
  TClock::TTime Remaining() const {
    const auto left = Deadline - Clock.Now();
    return left > TClock::TTime::zero() ? left : TClock::TTime::zero();
  }

private:
  TClock& Clock;
  TClock::TTime Deadline;
};
