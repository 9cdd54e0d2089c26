#pragma once

// The zero of the body box: the offsets of the flow, box-pressure and
// mouth-pressure channels at rest, and whether they are fit to use.

#include <cstdint>
#include <span>

namespace plethysmography {

enum class ZeroFailure : std::uint8_t {
  None,
  FlowOffset,   // |flow offset| >= 3600 mL/s (text 5)
  FlowNoise,    // a flow sample 180 mL/s or more from the mean (text 6)
  BoxOffset,    // |box offset| >= 6 Pa (text 5)
  MouthOffset,  // |mouth offset| >= 1200 Pa (text 5)
};

struct BoxZero {
  float flowMlS = 0.0f;
  float boxPa = 0.0f;
  float mouthPa = 0.0f;
  ZeroFailure failure = ZeroFailure::None;
};

inline constexpr std::size_t ZeroSampleCount = 100;

// The means of the first 100 samples of each channel, checked in the order
// flow offset, flow noise, box offset, mouth offset; the offsets computed
// before a failing check keep their values, the later ones stay 0.
BoxZero CalculatePlethyZero(std::span<const float> flowMlS, std::span<const float> boxPa,
                            std::span<const float> mouthPa);

}  // namespace plethysmography
