#pragma once

// One rhinomanometry sample on its way into a curve slot: the raw counts
// converted, the recording begun at the first turn from inspiration to
// expiration, the flow corrected by the zero, BTPS and calibration, and the
// breathing phases followed.

#include "platform/portkit/MeasureData.h"

#include <cstddef>
#include <span>

// What a sample is corrected by.
struct TRhinoCorrection {
  bool Instrument = true;      // false: the buffers already hold a demonstration recording
  bool FineFlowScale = false;  // the head's fine flow scale (2.5048 counts a count)
  float FlowZeroMlps = 0.0f;   // as the samples at rest read it, before the fine scale
  float PressureZeroPa = 0.0f;
  float Btps = 1.0f;              // inspired air to body conditions
  float InspirationFactor = 1.0f; // calibration constants of positive and negative flow
  float ExpirationFactor = 1.0f;
};

// The buffers of the slot being recorded; the volume buffer may be empty.
struct TRhinoSlot {
  std::span<float> FlowMlps;
  std::span<float> PressurePa;
  std::span<float> VolumeMl;
};

// Where the recording stands, kept by the link between samples.
struct TRhinoBegin {
  bool& FlagBegin;
  bool& IsBreathIn;
};

// The flow count in the low word, the nasal pressure count in the high one,
// both signed.
float RawFlowMlps(long sample);
float RawPressurePa(long sample);

// Takes sample `index`; true when it was stored (the slot then counts
// index + 1 samples). Before the recording begins nothing is stored. The
// phase table of `data` follows the flow's sign.
bool TakeRhinoSample(std::size_t index, long sample, const TRhinoCorrection& correction, TRhinoSlot slot,
                     TRhinoBegin begin, TMeasureData& data);

// Follows the breathing phases with the flow of sample `index`.
void TrackRhinoPhase(TMeasureData& data, float flowMlps, std::size_t index);
