#pragma once

// The component windows the client holds, one of each at a time. The
// numbers of the first five are the indices by which a window is brought
// to the top.

#include <array>

enum class TClientSlot { Patient = 0, Measure = 1, Audiometer = 2, Trend = 3, Provocation = 4, Note = 5 };

inline constexpr std::size_t ClientSlotCount = 6;

// The windows of a patient's tests: they close when the patient changes or
// the sheet closes.
inline constexpr std::array<TClientSlot, 5> TestSlots{TClientSlot::Measure, TClientSlot::Note, TClientSlot::Trend,
                                                      TClientSlot::Provocation, TClientSlot::Audiometer};
