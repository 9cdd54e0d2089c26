#pragma once

// One recorded body-plethysmograph trial as the calculations see it: four
// signals sampled 100 times a second, the marks the test sequence set on
// them, and the order of the 19 results.
//
// Signs and units: flow in L/s, inspiration positive; volume in L, the
// running sum of flow × 0.01 s; box pressure in Pa (positive when the gas in
// the box is compressed, so it rises while the chest expands); mouth
// pressure in kPa. After the alveolar conversion the box-pressure samples of
// the resistance segments hold the alveolar driving pressure in kPa, positive
// while air flows in (docs/plethysmography.md).

#include "common/ParameterBlocks.h"

#include <algorithm>
#include <cstddef>
#include <span>

namespace plethysmography {

inline constexpr double SampleIntervalS = 0.01;

// Indexes into a plethysmograph result record.
enum PlethyParameter : std::size_t {
  TLC, TGV, RV, RV_TLC, Raw, Rin, Rex, Req, sRaw, sRin, sRex, Gaw, Gin, Gex, sGaw, sGin, sGex, Rfreq, W
};
static_assert(PlethyParameterNames[sGaw] == "sGaw" && PlethyParameterNames[W] == "W");

using PlethyRecord = std::span<float, PLETHY_PARAMETER_COUNT>;

struct TrialSignals {
  std::span<float> flowLps;
  std::span<float> volumeL;
  std::span<float> boxPa;
  std::span<float> mouthKPa;

  std::size_t Size() const { return std::min({flowLps.size(), volumeL.size(), boxPa.size(), mouthKPa.size()}); }
};

// Sample indexes of the manoeuvre; 0 = not set.
struct Marks {
  std::size_t resistanceStart = 0;  // first sample of the resistance loops
  std::size_t resistanceEnd = 0;    // last sample of the resistance loops
  std::size_t tgvStart = 0;         // the shutter closed
  std::size_t end = 0;              // the shutter opened: the end of the evaluation

  // The three marks an evaluation needs are set and lie on a trial of
  // `samples` samples, in their order (the shutter may close where the
  // loops end, as the demonstration file has it).
  bool FitOn(std::size_t samples) const {
    return resistanceStart != 0 && tgvStart != 0 && end != 0 && end < samples && resistanceStart <= resistanceEnd &&
           resistanceEnd <= tgvStart && tgvStart < end;
  }
};

// A loop: from its first sample to the sample after its last.
struct LoopBounds {
  std::size_t begin = 0;
  std::size_t end = 0;

  bool operator==(const LoopBounds&) const = default;
};

}  // namespace plethysmography
