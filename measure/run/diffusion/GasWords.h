#pragma once

// The control words of the diffusion unit's gas sequence
// (docs/instrument-protocol.md): which valves, pumps and the sample bag the
// instrument sets for each step of a diffusion calibration or test.

namespace GasWords {

inline constexpr unsigned short Idle = 0xEF7F;
inline constexpr unsigned short WashOut = 0xEB7F;        // the gas path is flushed
inline constexpr unsigned short HighSpeed = 0xE85E;      // shutter closed, bag open, pump fast
inline constexpr unsigned short LowSpeed = 0xEA4F;       // shutter open, bag closed, pump slow
inline constexpr unsigned short Sampling = 0xEF6F;       // the analysers wait, the bag is shut
inline constexpr unsigned short GasInspiration = 0xEF62; // the test gas flows to the patient
inline constexpr unsigned short BreathHold = 0xEF6E;
inline constexpr unsigned short SampleWindow = 0xEF7E;   // the expirate fills the sample bag
inline constexpr unsigned short Analysis = 0xEE4F;       // the analysers read the bag
inline constexpr unsigned short AutoZeroBit = 0x0040;    // cleared: the sensors zero themselves

}  // namespace GasWords
