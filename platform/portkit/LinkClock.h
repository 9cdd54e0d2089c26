#pragma once

// Time for the instrument link: the current time and periodic timers. The
// program uses Qt's monotonic clock and precise timers; tests put a clock in
// its place that they advance by hand, so that a minute of samples replays
// at once and a silent instrument is found without waiting.

#include <cstdint>
#include <functional>
#include <memory>

class TLinkClock {
public:
  // Stops its timer when destroyed.
  class TTimer {
  public:
    virtual ~TTimer() = default;
  };

  virtual ~TLinkClock() = default;
  virtual std::int64_t NowMs() const = 0;
  // Calls `tick` every `periodMs` milliseconds until the answer is destroyed.
  virtual std::unique_ptr<TTimer> Every(int periodMs, std::function<void()> tick) = 0;
};

// The monotonic clock and Qt's precise timers of the user-interface thread.
class TQtLinkClock final : public TLinkClock {
public:
  TQtLinkClock();
  std::int64_t NowMs() const override;
  std::unique_ptr<TTimer> Every(int periodMs, std::function<void()> tick) override;
};
