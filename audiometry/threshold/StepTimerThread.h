#pragma once

// The step timer: a thread that calls its tick every period, on absolute
// times from the monotonic clock, so that a late tick does not push the
// later ones back. Ticks missed by more than a period (the machine stalled)
// are dropped rather than sent in a burst; the schedule stays on its grid.

#include "audiometry/threshold/AudioHost.h"

#include <atomic>
#include <functional>
#include <thread>

class TStepTimerThread final : public TAudioHost::TStepTimer {
public:
  TStepTimerThread(int periodMs, std::function<void()> tick);
  ~TStepTimerThread() override;

  // The monotonic time in ns the current tick was due; read it from the tick.
  long long DueNs() const { return Due; }

private:
  void Run(long periodNs);

  std::function<void()> Tick;
  std::atomic<bool> Stopping{false};
  long long Due = 0;  // written and read by the timer's thread only
  std::thread Thread;
};
