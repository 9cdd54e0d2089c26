#pragma once

// How much of the last second the link had to make up. A frame damaged on
// the line is rejected and its sample filled in from its neighbours; a few
// of those keep time and volume right, but a line that damages many of them
// gives a curve that is partly drawn by the link, not measured.

#include <bitset>
#include <cstddef>

class TLineQuality {
public:
  static constexpr std::size_t WindowSamples = 100;  // one second
  static constexpr std::size_t MostFilledIn = 5;     // 5 % of it
  static constexpr std::size_t MostFilledInPercent = 100 * MostFilledIn / WindowSamples;

  // Counts the next sample, measured or filled in; true when more than
  // MostFilledIn of the last WindowSamples samples were filled in.
  bool Count(bool filledIn);
  std::size_t FilledInLastSecond() const { return Filled.count(); }
  void Clear();

private:
  std::bitset<WindowSamples> Filled;
  std::size_t Next = 0;
};
