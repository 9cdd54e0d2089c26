#pragma once

// Where the plethysmograph's loops stand on paper (and in the exported
// picture): one scale per loop kind shared by every printed trial, the
// smallest that still holds the largest loop, and per trial an offset
// across that keeps the actual trial's loop clear of the axis and sets the
// previous result (or, with the stages side by side, trials 2 and 3) to
// the right of it.

#include <array>
#include <cstddef>
#include <span>

namespace PlethyPrintLoops {

// The samples of one loop where it reaches furthest left and right: the
// value across (from the loop's first sample) and the value up at each.
struct TLoopExtremes {
  float Smallest = 0.0f;
  float UpAtSmallest = 0.0f;
  float Largest = 0.0f;
  float UpAtLargest = 0.0f;
  bool Empty = true;
};
// Over samples `begin` to `end` - 1 of a loop (the closing line joins the
// last to the first); across is taken from `first`. Empty when the bounds
// hold no sample or pass either buffer.
TLoopExtremes Extremes(std::span<const float> across, std::span<const float> up, long begin, long end, float first);

struct TPrintLoops {
  bool MultiTrial = false;  // the stages' trials 1 to 3 side by side
  bool Panels = false;      // the second graph: the flow-volume and volume-time panels under the loops
  float ResistanceScale = 0.25f;
  float TgvScale = 0.25f;
  std::array<float, 4> ResistanceOffset{};  // kPa, before the scale
  std::array<float, 4> TgvOffset{};         // Pa, before the scale
};

// A printout starts from the narrowest scales; each printed trial widens
// them as far as its loops need.
void StartPrintout(TPrintLoops& loops, bool multiTrial);

// `scaleOnly` while the printout chooses its scales (the trial's loops
// widen them); otherwise the trial's offsets, from the scales chosen.
// Trials outside 0 to 3 change nothing.
void CalculatePrintLoopOffset(TPrintLoops& loops, short trial, bool scaleOnly, const TLoopExtremes& resistance,
                              const TLoopExtremes& tgv);

}  // namespace PlethyPrintLoops
