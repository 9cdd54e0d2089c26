#include "platform/portkit/LinkStaticsGuard.h"

using M = TMeasureInterrupt;

TLinkStaticsGuard::TLinkStaticsGuard()
    : MeasureMode(M::MeasureMode), InterruptIndex(M::InterruptIndex), LastSentData(M::LastSentData),
      IdCommDev(M::IdCommDev), Window(M::pThis), ZeroBuffer(M::ZeroBuffer), ZeroBufferIndex(M::ZeroBufferIndex),
      ZeroPressureBuffer(M::ZeroPressureBuffer), TestMode(M::TestMode), FlagBegin(M::FlagBegin),
      IsBreathIn(M::IsBreathIn), ConstansOfBTPS(M::ConstansOfBTPS), CompressorState(M::CompressorState),
      HardwareMode(M::HardwareMode), Indicator(M::pIndicator), DoseCounter(M::DoseCounter) {
  M::ResetStatics();
  M::pThis = nullptr;  // the stand-alone link polls; the window hears nothing of it
}

TLinkStaticsGuard::~TLinkStaticsGuard() {
  M::MeasureMode = MeasureMode;
  M::InterruptIndex = InterruptIndex;
  M::LastSentData = LastSentData;
  M::IdCommDev = IdCommDev;
  M::pThis = Window;
  M::ZeroBuffer = ZeroBuffer;
  M::ZeroBufferIndex = ZeroBufferIndex;
  M::ZeroPressureBuffer = ZeroPressureBuffer;
  M::TestMode = TestMode;
  M::FlagBegin = FlagBegin;
  M::IsBreathIn = IsBreathIn;
  M::ConstansOfBTPS = ConstansOfBTPS;
  M::CompressorState = CompressorState;
  M::HardwareMode = HardwareMode;
  M::pIndicator = Indicator;
  M::DoseCounter = DoseCounter;
}
