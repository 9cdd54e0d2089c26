#include "platform/portkit/LinkClock.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

class TQtTimer final : public TLinkClock::TTimer {
public:
  TQtTimer(int periodMs, std::function<void()> tick)
      : Timer(new QTimer), State(std::make_shared<TState>(std::move(tick))) {
    Timer->setTimerType(Qt::PreciseTimer);
    Timer->setInterval(periodMs);
    // The connection holds the state, so a tick that ends its own timer
    // still returns through living objects.
    QObject::connect(Timer, &QTimer::timeout, [state = State] {
      if (!state->Alive)
        return;
      state->InTick = true;
      state->Tick();
      state->InTick = false;
    });
    Timer->start();
  }

  ~TQtTimer() override {
    State->Alive = false;
    Timer->stop();
    if (State->InTick)
      Timer->deleteLater();  // the QTimer must outlive the signal it is sending
    else
      delete Timer;
  }

private:
  struct TState {
    explicit TState(std::function<void()> tick) : Tick(std::move(tick)) {}
    std::function<void()> Tick;
    bool InTick = false;
    bool Alive = true;
  };

  QTimer* Timer;
  std::shared_ptr<TState> State;
};

}  // namespace

TQtLinkClock::TQtLinkClock() = default;

std::int64_t TQtLinkClock::NowMs() const {
  // The monotonic clock: immune to the wall clock being set.
  QElapsedTimer now;
  now.start();
  return now.msecsSinceReference();
}

std::unique_ptr<TLinkClock::TTimer> TQtLinkClock::Every(int periodMs, std::function<void()> tick) {
  return std::make_unique<TQtTimer>(periodMs, std::move(tick));
}
