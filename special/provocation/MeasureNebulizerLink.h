#pragma once

// The nebulizer run over the open measurement window's instrument link:
// while it runs the link notifies the provocation window of every sample
// (mouth pressure in Pa) and counts the samples sprayed while the
// compressor is on; afterwards the measurement window is notified again.

#include "platform/framework/EventHandler.h"
#include "special/provocation/NebulizerRun.h"

#include <functional>

class TMeasureWindow;
class TMeasureInterrupt;

class TMeasureNebulizerLink final : public TNebulizerLink {
public:
  // `window` gets the link's notifications during the run; `wait` waits
  // for the instrument.
  TMeasureNebulizerLink(TMeasureWindow& measure, TEventHandler* window, std::function<void(int)> wait);

  void Begin() override;
  void End() override;
  bool TakesControlWords() const override;
  void SendWord(unsigned short word) override;
  void SetCompressor(bool on) override;
  unsigned short DoseCounter() const override;
  bool EndOfRun() const override;
  void SetEndOfRun() override;
  void Wait(int milliseconds) override;

  TMeasureWindow& Measure() const { return MeasureWindow; }

private:
  // The measurement window's link; none once that window has closed.
  TMeasureInterrupt* Link() const;

  TMeasureWindow& MeasureWindow;
  TEventHandlerPtr MeasureAlive;
  TEventHandlerPtr Window;
  std::function<void(int)> Waiting;
};
