#include "shell/bars/InitCountDown.h"

namespace InitCountDown {

TOutcome Run(int delay, TClock& clock, const std::function<void(int)>& show, const std::function<void()>& pumpEvents,
             const std::function<bool()>& windowAlive) {
  TOutcome outcome;
  int n = Seconds(delay);
  TClock::TTime next = clock.Now();
  for (;;) {
    if (!windowAlive()) {
      outcome.ClosedEarly = true;
      break;
    }
    show(n);
    outcome.LastShown = n;
    next += TClock::TTime{1000};
    if (n > 0)
      clock.WaitUntil(next);
    pumpEvents();
    if (n == 0)
      break;
    --n;
  }
  return outcome;
}

}  // namespace InitCountDown
