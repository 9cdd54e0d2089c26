#include "platform/portkit/tests/support/ManualLinkClock.h"

#include <algorithm>

class TManualLinkClock::THandle final : public TTimer {
public:
  explicit THandle(std::shared_ptr<TEntry> entry) : Entry(std::move(entry)) {}
  ~THandle() override { Entry->Alive = false; }

private:
  std::shared_ptr<TEntry> Entry;
};

std::unique_ptr<TLinkClock::TTimer> TManualLinkClock::Every(int periodMs, std::function<void()> tick) {
  auto entry = std::make_shared<TEntry>(TEntry{Now + periodMs, periodMs, std::move(tick)});
  Timers.push_back(entry);
  return std::make_unique<THandle>(entry);
}

void TManualLinkClock::Advance(std::int64_t ms) {
  const std::int64_t target = Now + ms;
  for (;;) {
    std::erase_if(Timers, [](const auto& entry) { return !entry->Alive; });
    const auto next = std::min_element(Timers.begin(), Timers.end(),
                                       [](const auto& a, const auto& b) { return a->Due < b->Due; });
    if (next == Timers.end() || (*next)->Due > target)
      break;
    const std::shared_ptr<TEntry> entry = *next;  // alive through its own tick
    Now = entry->Due;
    entry->Due += entry->Period;
    entry->Tick();
  }
  Now = target;
}

int TManualLinkClock::ActiveTimers() const {
  return static_cast<int>(std::count_if(Timers.begin(), Timers.end(), [](const auto& entry) { return entry->Alive; }));
}
