#pragma once

// A measurement core on the instrument simulator, played inside the test
// by the simulator rig over the link's fake device and manual clock.

#include "measure/tests/LinkedCoreFixture.h"

#include "platform/portkit/tests/support/TestWindow.h"
#include "testing/SimulatorRig.h"

#include <memory>
#include <string>
#include <vector>

// A core whose waits for the link (the zero read) play the instrument.
class TSimulatedCore final : public TMeasureCore {
public:
  using TMeasureCore::TMeasureCore;
  std::function<void()> BetweenPolls;
  int ZeroHands = 0;
  int Sticks = 0;
  int StickMoves = 0;

protected:
  void LetWaitingEventsThrough() override {
    if (BetweenPolls)
      BetweenPolls();
  }
  void ShowZeroAnimation() override { ++ZeroHands; }
  void RemoveZeroAnimation() override { --ZeroHands; }
  void ShowCalibAnimation() override { ++Sticks; }
  void MoveCalibAnimation() override { ++StickMoves; }
  void RemoveCalibAnimation() override { --Sticks; }
  // Posted messages to itself are dispatched at once, as the event loop would.
  void PostToSelf(unsigned msg, TParam1 wParam, TParam2 lParam) override { Dispatch(msg, wParam, lParam); }
};

class SimulatedCoreTest : public LinkedCoreTest<TSimulatedCore> {
protected:
  explicit SimulatedCoreTest(unsigned short kind = MEASURE_FVC) : LinkedCoreTest(kind) {
    Core.SetMeasureMode(static_cast<short>(kind));
    Core.HasInstrument = true;
    Core.BetweenPolls = [this] { Step(); };
    Rig.OnStep([] { ProcessPosted(); });
  }

  // The instrument of these options, from now on.
  void Attach(TSimulatorOptions options) { Rig.Attach(std::move(options)); }

  // One sample period of the instrument and the link.
  void Step() { Rig.Step(); }

  // Sample periods until the core is idle again, at most `limit`.
  void PlayUntilIdle(int limit) {
    Rig.PlayWhile([this] { return Core.IsRunning(); }, limit);
  }

  const std::vector<std::string>& Log() const { return Rig.Log(); }

  TSimulatorRig Rig{Clock, Device};
};
