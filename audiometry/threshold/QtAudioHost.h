#pragma once

// The threshold test's surroundings in the program: Qt's precise timers
// for the window timers 2, 3 and 4 (each calls the test's EvTimer), waits
// that sleep the user-interface thread as the instrument needs, the step
// timer's thread, and the C library's random source.

#include "audiometry/threshold/AudioHost.h"

#include <functional>
#include <map>
#include <memory>

class QTimer;

class TQtAudioHost final : public TAudioHost {
public:
  // `timer` is called with the id of each window timer that fires.
  explicit TQtAudioHost(std::function<void(int id)> timer);
  ~TQtAudioHost() override;

  bool SetTimer(int id, int periodMs) override;
  void KillTimer(int id) override;
  void Wait(int ms) override;
  void PumpMessages() override;
  void Seed(unsigned seed) override;
  unsigned Random() override;
  std::unique_ptr<TStepTimer> StartStepTimer(int periodMs, std::function<void()> tick) override;
  long long NowSeconds() override;

private:
  std::function<void(int)> Fired;
  std::map<int, std::unique_ptr<QTimer>> Timers;
  unsigned State = 1;
};
