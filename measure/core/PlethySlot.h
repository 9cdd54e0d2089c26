#pragma once

// The plethysmograph's members of one trial slot that travel with its
// result record: cleared with the slot and copied with it into the
// previous result.

#include <array>
#include <cstdint>

// One loop of a plethysmograph trial: where it lies in the curves and the
// three values measured on it.
struct TPlethyLoop {
  std::int16_t Begin = 0;
  std::int16_t End = 0;
  std::array<float, 3> Values{};
};

struct TPlethySlot {
  static constexpr std::size_t LoopEntries = 15;

  std::array<float, 2> Values{};
  std::int16_t BeginResistanceLoop = 0;
  std::int16_t EndResistanceLoop = 0;
  std::int16_t BeginTGVLoop = 0;
  std::int16_t EndTGVLoop = 0;
  std::int16_t SelectedLoop = 0;
  std::int16_t LoopCount = 0;
  std::array<TPlethyLoop, LoopEntries> Loops{};
};
