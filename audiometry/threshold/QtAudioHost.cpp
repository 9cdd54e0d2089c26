#include "audiometry/threshold/QtAudioHost.h"

#include "audiometry/threshold/StepTimerThread.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <ctime>
#include <thread>

TQtAudioHost::TQtAudioHost(std::function<void(int id)> timer) : Fired(std::move(timer)) {}

TQtAudioHost::~TQtAudioHost() = default;

bool TQtAudioHost::SetTimer(int id, int periodMs) {
  auto& timer = Timers[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id] { Fired(id); });
  }
  timer->start(periodMs);
  return timer->isActive();
}

void TQtAudioHost::KillTimer(int id) {
  if (const auto found = Timers.find(id); found != Timers.end())
    found->second->stop();
}

void TQtAudioHost::Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void TQtAudioHost::PumpMessages() { QCoreApplication::processEvents(); }

// The classic linear congruential generator of the C library's rand(),
// kept here so that the test's random source is its own.
void TQtAudioHost::Seed(unsigned seed) { State = seed; }

unsigned TQtAudioHost::Random() {
  State = State * 1103515245u + 12345u;
  return (State / 65536u) % 32768u;
}

std::unique_ptr<TAudioHost::TStepTimer> TQtAudioHost::StartStepTimer(int periodMs, std::function<void()> tick) {
  return std::make_unique<TStepTimerThread>(periodMs, std::move(tick));
}

long long TQtAudioHost::NowSeconds() { return static_cast<long long>(std::time(nullptr)); }
