#pragma once

// The lung-function instrument simulator played inside a test, on the
// link's manual clock: what the link writes reaches the simulated
// instrument, what the instrument sends comes back through the link's fake
// device, one sample period a step. Nothing waits and nothing sleeps; a
// minute of breathing plays in a moment.
//
// The rig serves a headless core (step it directly, with the core's posted
// messages dispatched after every step) and a window on the event loop (the
// pump steps once for every pass of the loop). The fake device under it can
// still hang up or refuse writes, so a link that fails mid-test is played
// the same way.

#include "platform/portkit/tests/support/FakeDevice.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"
#include "tools/lungsim/SimulatedInstrument.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TMeasureInterrupt;

class TSimulatorRig {
public:
  static constexpr int SamplePeriodMs = 10;

  // A clock and a device of its own.
  TSimulatorRig();
  // Over the clock and device a fixture already shares with its link.
  TSimulatorRig(std::shared_ptr<TManualLinkClock> clock, std::shared_ptr<TFakeDevice> device);
  TSimulatorRig(const TSimulatorRig&) = delete;
  TSimulatorRig& operator=(const TSimulatorRig&) = delete;

  // The link (a core or a window) runs on the rig's clock and opens the
  // rig's device as its port, named `portName`.
  void Connect(TMeasureInterrupt& link, std::string portName = "COM1");

  // The instrument of these options from now on, with a fresh log. Its
  // identity is the one the link reads when it opens the port.
  void Attach(TSimulatorOptions options);
  TSimulatedInstrument* Instrument() { return Simulated.get(); }

  // One sample period: the instrument takes what the link wrote, plays the
  // period and sends its frames, the clock moves on, then every hook of
  // OnStep runs (a core's posted messages, a picture, an operator's key).
  // Without an instrument nothing happens.
  void Step();
  // Steps while `more` answers true, at most `limit`; the steps played.
  long PlayWhile(const std::function<bool()>& more, long limit);
  void Play(long steps);

  // A window's event loop: every pass of the loop is one step while the
  // pump runs. RunEventLoopWhile pumps for at most `passes` passes.
  void StartPump();
  void StopPump();
  bool RunEventLoopWhile(const std::function<bool()>& more, long passes);

  void OnStep(std::function<void()> hook) { Hooks.push_back(std::move(hook)); }
  // Each line the instrument logs, as it logs it.
  void OnLog(std::function<void(const std::string&)> listener) { Listeners.push_back(std::move(listener)); }

  // What the simulator logged ("identify", "word 0xEF7F", "shutter series
  // on", ...), and the command words it received in order, each once where
  // it repeats.
  const std::vector<std::string>& Log() const { return Lines; }
  std::vector<std::string> Words() const;
  bool Logged(std::string_view line) const;
  long CountLogged(std::string_view line) const;

  TManualLinkClock& Clock() { return *ClockPtr; }
  TFakeDevice& Device() { return *DevicePtr; }
  std::shared_ptr<TManualLinkClock> SharedClock() const { return ClockPtr; }
  long Steps() const { return Played; }

private:
  std::shared_ptr<TManualLinkClock> ClockPtr;
  std::shared_ptr<TFakeDevice> DevicePtr;
  std::unique_ptr<TSimulatedInstrument> Simulated;
  std::vector<std::string> Lines;
  std::vector<std::function<void()>> Hooks;
  std::vector<std::function<void(const std::string&)>> Listeners;
  QTimer Pump;
  long Played = 0;
};
