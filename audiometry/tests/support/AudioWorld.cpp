#include "audiometry/tests/support/AudioWorld.h"

#include <QCoreApplication>

bool TManualAudioHost::SetTimer(int id, int periodMs) {
  if (FailTimers)
    return false;
  Timers[id] = {NowMs + periodMs, periodMs};
  return true;
}

void TManualAudioHost::Wait(int ms) {
  for (int i = 0; i < ms; ++i) {
    ++NowMs;
    RunStepTimerTo(NowMs);
  }
}

void TManualAudioHost::RunStepTimerTo(std::int64_t ms) {
  if (!StepTick)
    return;
  while (NextStepMs <= ms) {
    StepBusy = StepTick();
    NextStepMs += StepPeriod;
  }
}

namespace {

class TManualStepTimer final : public TAudioHost::TStepTimer {
public:
  explicit TManualStepTimer(TManualAudioHost& host) : Host(host) {}
  ~TManualStepTimer() override { Host.StepTick = nullptr; }

private:
  TManualAudioHost& Host;
};

}  // namespace

std::unique_ptr<TAudioHost::TStepTimer> TManualAudioHost::StartStepTimer(int periodMs, std::function<void()> tick) {
  StepPeriod = periodMs;
  NextStepMs = NowMs + periodMs;
  StepBusy = true;
  // The test's tick reports whether it did anything; an idle step timer
  // may be skipped until something else happens.
  StepTick = [tick = std::move(tick)] {
    tick();
    return true;
  };
  return std::make_unique<TManualStepTimer>(*this);
}

TAudioWorld::TAudioWorld(TMessage& texts, const std::string& ini, TAudioSimOptions options)
    : OwnHost(std::make_unique<TManualAudioHost>()), Host(*OwnHost),
      Audiometer(std::make_shared<TSimulatedAudiometer>(options, [this](const std::string& line) { Log.push_back(line); })) {
  Test = std::make_unique<TAudioTest>(&texts, ini, Host, View);
  Test->CreateStepTimer();
  Attach(*Test);
}

TAudioWorld::TAudioWorld(TAudioTest& test, TManualAudioHost& host, TAudioSimOptions options)
    : Host(host),
      Audiometer(std::make_shared<TSimulatedAudiometer>(options, [this](const std::string& line) { Log.push_back(line); })) {
  Attach(test);
}

void TAudioWorld::Attach(TAudioTest& test) {
  Driven = &test;
  test.Install = true;
  test.SetDeviceOpener([this](const TAudioInterrupt&, TPortError&, std::string& name) {
    name = "COM2 (simulated)";
    auto port = std::make_unique<TAudioSimTransport>(Audiometer, [this] { return Host.NowMs; });
    Port = port.get();
    return std::unique_ptr<TTransport>(std::move(port));
  });
  test.SetWait([this](int ms) { Host.Wait(ms); });
  // The idle step ticks are skipped: only the test's own tick says so.
  if (test.StepMode())
    Host.StepTick = [&test] { return test.MakeAnStep(); };
}

TAudioWorld::~TAudioWorld() {
  if (Test) {
    Test->CmStop();
    Deliver();
    Test.reset();
  }
}

void TAudioWorld::Deliver() {
  for (int round = 0; round < 8; ++round)
    QCoreApplication::sendPostedEvents();
}

bool TAudioWorld::RunUntil(const std::function<bool()>& done, std::int64_t limitMs) {
  const std::int64_t end = Host.NowMs + limitMs;
  Deliver();
  Host.StepBusy = true;
  while (!done()) {
    if (Host.NowMs >= end)
      return false;
    // The next moment something happens.
    std::int64_t next = end;
    for (const auto& [id, timer] : Host.Timers)
      next = std::min(next, timer.Due);
    if (const auto due = Audiometer->NextDueMs())
      next = std::min(next, std::max(*due, Host.NowMs + 1));
    if (Host.StepTick && Host.StepBusy)
      next = std::min(next, Host.NextStepMs);
    next = std::max(next, Host.NowMs + 1);
    if (Host.StepTick && !Host.StepBusy) {
      // Skip the idle ticks up to the last one before `next`.
      const std::int64_t period = Host.StepPeriod;
      if (Host.NextStepMs < next)
        Host.NextStepMs += (next - Host.NextStepMs) / period * period;
      Host.StepBusy = true;
    }
    Host.RunStepTimerTo(next);
    Host.NowMs = next;
    if (Port && TAudioInterrupt::IdCommDev() == Port)
      Port->Poll();
    Deliver();
    for (auto it = Host.Timers.begin(); it != Host.Timers.end();) {
      const int id = it->first;
      if (it->second.Due <= Host.NowMs) {
        it->second.Due += it->second.Period;
        Driven->EvTimer(static_cast<unsigned>(id));
        Deliver();
        it = Host.Timers.upper_bound(id);  // the handler may have changed the timers
      } else {
        ++it;
      }
    }
    // What was handled may have given the step timer work again.
    Host.StepBusy = true;
  }
  return true;
}

void TAudioWorld::RunFor(std::int64_t ms) {
  RunUntil([] { return false; }, ms);
}
