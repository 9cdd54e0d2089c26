#pragma once

// A link of its own (a port test, the service page, a barometer reading)
// shares the link's statics with the measurement window that may be open.
// The guard keeps the window's values, clears them for the stand-alone
// link as every creator of a link does, and puts them back when it goes.

#include "platform/portkit/MeasureInterrupt.h"

class TLinkStaticsGuard {
public:
  TLinkStaticsGuard();
  ~TLinkStaticsGuard();
  TLinkStaticsGuard(const TLinkStaticsGuard&) = delete;
  TLinkStaticsGuard& operator=(const TLinkStaticsGuard&) = delete;

private:
  short MeasureMode;
  unsigned short InterruptIndex;
  unsigned short LastSentData;
  int IdCommDev;
  TEventHandlerPtr Window;
  std::array<float, TMeasureData::ZeroSamples + 1> ZeroBuffer;
  unsigned short ZeroBufferIndex;
  std::array<float, TMeasureData::ZeroSamples + 1> ZeroPressureBuffer;
  short TestMode;
  bool FlagBegin;
  bool IsBreathIn;
  std::array<float, 8> ConstansOfBTPS;
  short CompressorState;
  unsigned short HardwareMode;
  std::array<std::int32_t, 6> Indicator;
  unsigned short DoseCounter;
};
