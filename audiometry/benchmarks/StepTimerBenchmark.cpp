// The step timer's timing over 10 s at its default period of 2 ms: the
// average interval must be within 5 % of 2 ms, and 99 % of the ticks must
// come within 1 ms of the time they were due.
//
//   build/bin/hearing_step_timer_benchmark [seconds]

#include "audiometry/threshold/StepTimerThread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  using Clock = std::chrono::steady_clock;
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  constexpr int PeriodMs = 2;
  std::vector<Clock::time_point> ticks(static_cast<std::size_t>(seconds) * 1000 / PeriodMs + 1000);
  std::vector<double> lateMs(ticks.size());
  std::atomic<std::size_t> count{0};
  {
    const TStepTimerThread* self = nullptr;
    std::atomic<bool> started{false};
    TStepTimerThread timer(PeriodMs, [&] {
      if (!started.load(std::memory_order_acquire))
        return;
      const std::size_t i = count.load(std::memory_order_relaxed);
      if (i < ticks.size()) {
        ticks[i] = Clock::now();
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        lateMs[i] = static_cast<double>(static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec - self->DueNs()) / 1e6;
        count.store(i + 1, std::memory_order_release);
      }
    });
    self = &timer;
    started.store(true, std::memory_order_release);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
  }
  const std::size_t n = std::min(count.load(std::memory_order_acquire), ticks.size());
  if (n < 2) {
    std::printf("no ticks\n");
    return 1;
  }
  const double spanMs = std::chrono::duration<double, std::milli>(ticks[n - 1] - ticks[0]).count();
  const double averageMs = spanMs / static_cast<double>(n - 1);
  std::size_t onTime = 0;
  double worstMs = 0;
  for (std::size_t i = 0; i < n; ++i) {
    worstMs = std::max(worstMs, lateMs[i]);
    if (lateMs[i] <= 1.0)
      ++onTime;
  }
  const double onTimeShare = static_cast<double>(onTime) / static_cast<double>(n);
  const bool good = std::abs(averageMs - PeriodMs) <= 0.05 * PeriodMs && onTimeShare >= 0.99;
  std::printf("ticks %zu in %.1f ms: average %.4f ms, %.2f %% within 1 ms of their time, worst %.3f ms: %s\n", n,
              spanMs, averageMs, onTimeShare * 100, worstMs, good ? "good" : "TOO IRREGULAR");
  return good ? 0 : 1;
}
