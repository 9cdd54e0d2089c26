#include "special/rhinomanometry/RhinoRecorder.h"

#include "platform/portkit/Protocol.h"

#include <cstdint>

float RawFlowMlps(long sample) {
  return static_cast<float>(static_cast<std::int16_t>(sample & 0xFFFF)) * static_cast<float>(InstrumentProtocol::FlowMlpsPerCount);
}

float RawPressurePa(long sample) {
  return static_cast<float>(static_cast<std::int16_t>((static_cast<unsigned long>(sample) >> 16) & 0xFFFF)) *
         static_cast<float>(InstrumentProtocol::NasalPaPerCount);
}

void TrackRhinoPhase(TMeasureData& data, float flowMlps, std::size_t index) {
  const float t = static_cast<float>(index) * 0.01f;
  const bool turned = data.PhaseState == 0 ? flowMlps < 0.0f : flowMlps > 0.0f;
  if (turned && data.LocalTressholdCompare(flowMlps, t)) {
    data.IncrementLocalBufferIndex();
    data.PhaseState = data.PhaseState == 0 ? 1 : 0;
  }
  // Each entry ends holding the last sample of its phase.
  TPhaseEntry& entry = data.PhaseTable[static_cast<std::size_t>(data.PhaseTableIndex)];
  entry.Time = t;
  entry.Index = static_cast<std::uint16_t>(index);
}

bool TakeRhinoSample(std::size_t index, long sample, const TRhinoCorrection& c, TRhinoSlot slot, TRhinoBegin begin,
                     TMeasureData& data) {
  if (index >= slot.FlowMlps.size() || index >= slot.PressurePa.size())
    return false;
  if (c.Instrument) {
    // The zero was read on the same scale as the sample: it is taken away
    // before the fine scale is brought to mL/s.
    float flow = RawFlowMlps(sample) - c.FlowZeroMlps;
    if (c.FineFlowScale)
      flow /= static_cast<float>(InstrumentProtocol::FineFlowCountsPerCount);
    if (!begin.FlagBegin) {
      // The recording begins at the first turn from inspiration to
      // expiration.
      if (flow > 0.0f) {
        begin.IsBreathIn = true;
        return false;
      }
      if (!(flow < 0.0f && begin.IsBreathIn))
        return false;
      begin.FlagBegin = true;
    }
    const float divisor = flow > 0.0f ? c.Btps * c.InspirationFactor : c.ExpirationFactor;
    slot.FlowMlps[index] = divisor != 0.0f ? flow / divisor : flow;
    slot.PressurePa[index] = RawPressurePa(sample) - c.PressureZeroPa;
  } else {
    begin.FlagBegin = true;
  }
  if (index < slot.VolumeMl.size())
    slot.VolumeMl[index] = (index > 0 ? slot.VolumeMl[index - 1] : 0.0f) + slot.FlowMlps[index] * 0.01f;
  TrackRhinoPhase(data, slot.FlowMlps[index], index);
  return true;
}
