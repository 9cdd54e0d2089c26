#include "audiometry/threshold/StepTimerThread.h"

#include <cerrno>
#include <ctime>

#include <pthread.h>
#include <sched.h>

namespace {

constexpr long NsPerS = 1'000'000'000;

void AddNs(timespec& time, long ns) {
  time.tv_nsec += ns;
  while (time.tv_nsec >= NsPerS) {
    time.tv_nsec -= NsPerS;
    ++time.tv_sec;
  }
}

long long Ns(const timespec& time) { return static_cast<long long>(time.tv_sec) * NsPerS + time.tv_nsec; }

}  // namespace

TStepTimerThread::TStepTimerThread(int periodMs, std::function<void()> tick) : Tick(std::move(tick)) {
  Thread = std::thread([this, periodNs = static_cast<long>(periodMs) * 1'000'000] { Run(periodNs); });
}

TStepTimerThread::~TStepTimerThread() {
  Stopping = true;
  Thread.join();
}

void TStepTimerThread::Run(long periodNs) {
  // The ticks shape the tone's level: ask for the real-time class, as the
  // system's audio does. Without the right to it the thread runs as any
  // other, only less punctually on a busy machine.
  const sched_param priority{10};
  ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &priority);
  timespec next{};
  ::clock_gettime(CLOCK_MONOTONIC, &next);
  while (!Stopping) {
    AddNs(next, periodNs);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
    }
    if (Stopping)
      return;
    Due = Ns(next);
    Tick();
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    if (const long long late = Ns(now) - Ns(next); late > periodNs)
      AddNs(next, static_cast<long>(late / periodNs * periodNs));
  }
}
