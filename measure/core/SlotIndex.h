#pragma once

// The stored layout counts test kinds, result slots and trials in shorts;
// the arrays that hold them are indexed by size_t. One definition for the
// whole core: its files compile in batches and may not define these twice.

#include "common/ParameterBlocks.h"

#include <cstddef>

inline constexpr short DatedKinds = 8;  // kinds 0 to 7 carry counts, dates and times
inline constexpr short PreviousSlot = 3;  // after the three trials: the previous result
inline constexpr short SlotCount = PreviousSlot + 1;

inline constexpr std::size_t Index(short value) { return static_cast<std::size_t>(value); }
inline constexpr bool ValidKind(short kind) { return kind >= 0 && kind < TEST_KIND_COUNT; }
inline constexpr bool ValidSlot(short slot) { return slot >= 0 && slot <= PreviousSlot; }
