#pragma once

// The heights the rhinomanometry report advances by, in layout units, shared
// by the printout that advances and the page count that reserves, so that
// the two never differ.

#include "special/rhinomanometry/RhinoState.h"

#include <optional>
#include <span>

namespace RhinoReport {

inline constexpr int TitleAdvance = 50;        // 20 above the title box, the box 30
inline constexpr int RowHeight = 11;
inline constexpr int RowsClosing = 5;          // below the last row
inline constexpr int ProvocationAdvance = 44;  // three rows of 13 after 5
inline constexpr int NotesMargin = 7;          // 5 above the notes, 2 below
inline constexpr int DiagramGap = 20;
inline constexpr int DiagramHeight = 336;      // 168 × k, k = 2 on paper

// The table rows printed: a flow row and a resistance row for each shown
// pressure.
int PrintedRows(const TRhinoRows& rows);

// The whole report: title box, rows, provocation rows after a provocation,
// the notes when they are printed (their measured height), the diagram.
int Height(const TRhinoRows& rows, bool provoked, std::optional<int> notesHeight);

// Whether the second pair's segment to sample i is drawn when dotted lines
// are on: a toggle, cleared at each curve's start, flips at every i
// divisible by 3, and only rising parts (|flow[i]| <= |flow[i + 1]|) are
// drawn while it is clear. The last sample has no follower and counts as
// not rising.
bool DottedSegmentShown(std::span<const float> flowMlps, std::size_t i, bool& toggle);

}  // namespace RhinoReport
