#pragma once

// What a threshold test needs of its surroundings, so that the same logic
// runs under the window and inside a test on a manual clock: the window's
// timers 2, 3 and 4, the waits between commands, the random source, the
// step timer, and the display it keeps up to date.

#include <functional>
#include <memory>

class TAudioHost {
public:
  // Stops the step timer when destroyed.
  class TStepTimer {
  public:
    virtual ~TStepTimer() = default;
  };

  virtual ~TAudioHost() = default;
  // A periodic window timer; false when none can be had.
  virtual bool SetTimer(int id, int periodMs) = 0;
  virtual void KillTimer(int id) = 0;
  // Waits between instrument commands; the step timer goes on meanwhile.
  virtual void Wait(int ms) = 0;
  // Handles what waits in the event queue (before a timer is started).
  virtual void PumpMessages() {}
  virtual void Seed(unsigned seed) = 0;
  virtual unsigned Random() = 0;
  // Calls `tick` every `periodMs` ms from a thread of its own; nothing when
  // no such timer can be had.
  virtual std::unique_ptr<TStepTimer> StartStepTimer(int periodMs, std::function<void()> tick) = 0;
  // Seconds since the epoch, for the date and time of a threshold.
  virtual long long NowSeconds() = 0;
};

// What the window shows of a running test. The headless test calls it;
// the window draws.
class TAudioView {
public:
  virtual ~TAudioView() = default;
  // The level field's value in dB.
  virtual int LevelField() = 0;
  virtual void ShowLevel(int /*db*/) {}
  virtual void ToneIndicator(bool /*on*/) {}
  virtual void Redraw() {}
  virtual void RedrawPatientButton() {}
  virtual void RedrawEarButtons() {}
  virtual void EnableControls(bool /*on*/) {}
  virtual void DrawMarker() {}
  virtual void PressStopGadget() {}
  // Presses the frequency gadget of index 0 to 10 (exclusive buttons).
  virtual void PressFrequencyGadget(int /*frequency*/) {}
  virtual void CopyScreen() {}
  // The message to the client (falling back to the main window):
  // WM_MICROPHONE_CHANGED, WM_ALGORITHM_CHANGED, WM_SIGNAL_MODE_CHANGED.
  virtual void NotifyFrame(unsigned /*message*/, int /*value*/) {}
};
