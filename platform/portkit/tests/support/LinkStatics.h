#pragma once

// The link's statics as the program starts with them. They outlive every
// window, so a test that opens one leaves them as its window last set
// them; a fixture puts them back before and after its test.

#include "platform/portkit/MeasureInterrupt.h"

inline void ResetLinkStatics() {
  TMeasureInterrupt::ResetStatics();
  TMeasureData::MeasureMode = MEASURE_FVC;
  TMeasureData::InterruptIndex = 0;
  TMeasureData::LastSentData = InstrumentProtocol::WordIdle;
  TMeasureData::pThis = nullptr;
  TMeasureData::ZeroBufferIndex = 0;
  TMeasureInterrupt::FlagBegin = false;
  TMeasureInterrupt::DoseCounter = 0;
}
