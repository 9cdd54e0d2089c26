#pragma once

// A measurement core on the instrument simulator, played inside the test:
// what the link writes goes to the simulated instrument, what the
// instrument sends comes back through the link's fake device, one sample
// period per step of the manual clock. Nothing waits.

#include "measure/tests/LinkedCoreFixture.h"

#include "platform/portkit/tests/support/TestWindow.h"
#include "tools/lungsim/SimulatedInstrument.h"

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
  }

  // The instrument of these options, from now on.
  void Attach(TSimulatorOptions options) {
    options.LogFile.clear();
    Instrument = std::make_unique<TSimulatedInstrument>(std::move(options),
                                                        [this](const std::string& line) { Log.push_back(line); });
  }

  // One sample period: the instrument takes what the link wrote, sends a
  // sample when streaming, and the link hands it on.
  void Step() {
    if (!Instrument)
      return;
    Instrument->Receive(Device->TakeWrittenBytes());
    Instrument->Tick();
    if (const InstrumentProtocol::TBytes out = Instrument->TakeOutput(); !out.empty())
      Device->Send(out);
    Clock->Advance(10);
    ProcessPosted();
  }

  // Sample periods until the core is idle again, at most `limit`.
  void PlayUntilIdle(int limit) {
    for (int k = 0; k < limit && Core.IsRunning(); ++k)
      Step();
  }

  std::unique_ptr<TSimulatedInstrument> Instrument;
  std::vector<std::string> Log;
};
