#pragma once

// A link clock that moves only when the test advances it; due timers fire
// in time order, so a minute of samples replays at once.

#include "platform/portkit/LinkClock.h"

#include <memory>
#include <vector>

class TManualLinkClock final : public TLinkClock {
public:
  std::int64_t NowMs() const override { return Now; }
  std::unique_ptr<TTimer> Every(int periodMs, std::function<void()> tick) override;
  void Advance(std::int64_t ms);
  int ActiveTimers() const;

private:
  struct TEntry {
    std::int64_t Due;
    std::int64_t Period;
    std::function<void()> Tick;
    bool Alive = true;
  };
  class THandle;

  std::vector<std::shared_ptr<TEntry>> Timers;
  std::int64_t Now = 1'000'000;
};
