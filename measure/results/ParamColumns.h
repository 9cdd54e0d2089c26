#pragma once

// Where the values stand in a line of the parameter list, in characters
// from the left, as the list's line formats write them: the name takes 11
// characters, then each field follows one blank; values take 5, the per
// cent and the grade 3. The headings above the list stand on the same
// character columns.

namespace ParamColumns {

inline constexpr int ValueWidth = 5;
inline constexpr int Actual = 12;
inline constexpr int Predicted = 18;
inline constexpr int Percent = 24;
inline constexpr int Grade = 28;
inline constexpr int Second = 32;  // the second trial shown
inline constexpr int Third = 38;   // the third trial shown
// The comparison with a previous test: its value after the actual's per cent.
inline constexpr int Previous = 28;

}  // namespace ParamColumns
