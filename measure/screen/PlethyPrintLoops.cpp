#include "measure/screen/PlethyPrintLoops.h"

#include <algorithm>
#include <cmath>

namespace PlethyPrintLoops {

namespace {

// The ranges the scales are chosen from, narrowest first: a loop whose four
// extreme values lie within ±limit prints at that step's scale.
constexpr std::array<float, 4> Scales{0.25f, 0.5f, 1.0f, 1.5f};
constexpr std::array<float, 4> PressureLimitsKPa{1.0f, 2.0f, 4.0f, 6.0f};
constexpr std::array<float, 4> BoxLimitsPa{30.0f, 60.0f, 120.0f, 180.0f};

void Widen(float& scale, const TLoopExtremes& e, const std::array<float, 4>& acrossLimits) {
  if (e.Empty)
    return;
  const float across = std::max(std::fabs(e.Smallest), std::fabs(e.Largest));
  const float up = std::max(std::fabs(e.UpAtSmallest), std::fabs(e.UpAtLargest));
  for (std::size_t k = 0; k < Scales.size(); ++k)
    if (across <= acrossLimits[k] && up <= PressureLimitsKPa[k]) {
      scale = std::max(scale, Scales[k]);
      return;
    }
  // Larger than the widest range: the widest scale, the frame cuts the rest.
  scale = Scales.back();
}

}  // namespace

TLoopExtremes Extremes(std::span<const float> across, std::span<const float> up, long begin, long end, float first) {
  TLoopExtremes e;
  const long last = std::min({end, static_cast<long>(across.size()), static_cast<long>(up.size())});
  if (begin < 0 || begin >= last)
    return e;
  for (long k = begin; k < last; ++k) {
    const auto i = static_cast<std::size_t>(k);
    const float x = across[i] - first;
    if (e.Empty || x < e.Smallest) {
      e.Smallest = x;
      e.UpAtSmallest = up[i];
    }
    if (e.Empty || x > e.Largest) {
      e.Largest = x;
      e.UpAtLargest = up[i];
    }
    e.Empty = false;
  }
  return e;
}

void StartPrintout(TPrintLoops& loops, bool multiTrial) {
  loops = TPrintLoops{};
  loops.MultiTrial = multiTrial;
}

void CalculatePrintLoopOffset(TPrintLoops& loops, short trial, bool scaleOnly, const TLoopExtremes& resistance,
                              const TLoopExtremes& tgv) {
  if (trial < 0 || trial > 3)
    return;
  if (scaleOnly) {
    Widen(loops.ResistanceScale, resistance, PressureLimitsKPa);
    Widen(loops.TgvScale, tgv, BoxLimitsPa);
    return;
  }
  const auto t = static_cast<std::size_t>(trial);
  // The loop's left end stands just right of the axis; the right end of a
  // loop drawn beside it stands at a fixed place further right.
  const auto place = [&](const TLoopExtremes& e, float scale, float leftMargin, float secondRight, float thirdRight) {
    const bool second = loops.MultiTrial && trial == 1;
    const bool third = trial == 3 || (loops.MultiTrial && trial == 2);
    if (third)
      return thirdRight - std::fabs(e.Largest) / scale;
    if (second)
      return secondRight - std::fabs(e.Largest) / scale;
    return std::fabs(e.Smallest) / scale + leftMargin;
  };
  loops.ResistanceOffset[t] = place(resistance, loops.ResistanceScale, 0.2f, 2.3f, 3.8f);
  loops.TgvOffset[t] = place(tgv, loops.TgvScale, 8.0f, 67.0f, 112.0f);
}

}  // namespace PlethyPrintLoops
