#pragma once

// A threshold test inside the test process: the simulated audiometer and
// its listener behind the link, the window's timers, waits and step timer
// on one manual clock, and a view that records what the window would show.
// Run() moves the clock from event to event, so a whole automatic sequence
// of minutes takes a fraction of a second.

#include "audiometry/threshold/AudioTest.h"
#include "tools/audiosim/AudioSimTransport.h"

#include <functional>
#include <map>
#include <random>

class TManualAudioHost final : public TAudioHost {
public:
  bool SetTimer(int id, int periodMs) override;
  void KillTimer(int id) override { Timers.erase(id); }
  void Wait(int ms) override;
  void Seed(unsigned seed) override { Generator.seed(seed); }
  unsigned Random() override { return static_cast<unsigned>(Generator()); }
  std::unique_ptr<TStepTimer> StartStepTimer(int periodMs, std::function<void()> tick) override;
  long long NowSeconds() override { return 1'765'000'000 + NowMs / 1000; }

  struct TTimer {
    std::int64_t Due;
    int Period;
  };
  std::int64_t NowMs = 0;
  std::map<int, TTimer> Timers;
  std::function<bool()> StepTick;  // empty: no step timer
  int StepPeriod = 0;
  std::int64_t NextStepMs = 0;
  bool StepBusy = true;
  bool FailTimers = false;
  // Called for each millisecond of a wait (the step timer runs on).
  void RunStepTimerTo(std::int64_t ms);

private:
  std::mt19937 Generator{1};
};

class TRecordingView final : public TAudioView {
public:
  int LevelField() override { return FieldDb; }
  void ShowLevel(int db) override { FieldDb = db; }
  void NotifyFrame(unsigned message, int value) override { Notices.emplace_back(message, value); }
  void PressStopGadget() override { ++StopPresses; }

  int FieldDb = 40;
  std::vector<std::pair<unsigned, int>> Notices;
  int StopPresses = 0;
};

class TAudioWorld {
public:
  // `ini` is the test's ini file; the audiometer answers as `options` say
  // (its version is the link's HwVersion after the port test).
  TAudioWorld(TMessage& texts, const std::string& ini, TAudioSimOptions options);
  // Drives a test made elsewhere (the window's) on `host`, its clock.
  TAudioWorld(TAudioTest& test, TManualAudioHost& host, TAudioSimOptions options);
  ~TAudioWorld();

  // Runs until `done` holds or `limitMs` of simulated time have passed;
  // false on the limit.
  bool RunUntil(const std::function<bool()>& done, std::int64_t limitMs);
  void RunFor(std::int64_t ms);
  void Deliver();

private:
  std::unique_ptr<TManualAudioHost> OwnHost;

public:
  TManualAudioHost& Host;
  TRecordingView View;
  std::shared_ptr<TSimulatedAudiometer> Audiometer;
  std::vector<std::string> Log;  // the audiometer's log: "<ms> <4 bytes>"
  std::unique_ptr<TAudioTest> Test;  // the world's own test, if it made one
  TAudioTest* Driven = nullptr;      // the test the clock drives
  TAudioSimTransport* Port = nullptr;  // while the link has it open

private:
  void Attach(TAudioTest& test);
};
