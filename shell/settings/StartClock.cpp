#include "shell/settings/StartClock.h"

#include <QEventLoop>
#include <QTimer>

TClock::TTime TEventLoopClock::Now() const {
  return std::chrono::duration_cast<TTime>(std::chrono::steady_clock::now().time_since_epoch());
}

void TEventLoopClock::WaitUntil(TTime deadline) {
  // Timers may fire a little early; wait again for what is left.
  for (auto left = deadline - Now(); left > TTime::zero(); left = deadline - Now()) {
    QEventLoop loop;
    QTimer::singleShot(left, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
}
