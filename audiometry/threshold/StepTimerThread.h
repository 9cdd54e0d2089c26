#pragma once

// The step timer: a thread that calls its tick every period, on absolute
// times from the monotonic clock, so that a late tick does not push the
// later ones back. A tick that comes more than a period late starts the
// schedule anew rather than bursting to catch up.

#include "audiometry/threshold/AudioHost.h"

#include <atomic>
#include <functional>
#include <thread>

class TStepTimerThread final : public TAudioHost::TStepTimer {
public:
  TStepTimerThread(int periodMs, std::function<void()> tick);
  ~TStepTimerThread() override;

private:
  void Run(long periodNs);

  std::function<void()> Tick;
  std::atomic<bool> Stopping{false};
  std::thread Thread;
};
