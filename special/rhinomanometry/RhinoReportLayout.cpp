#include "special/rhinomanometry/RhinoReportLayout.h"

#include <algorithm>
#include <cmath>

namespace RhinoReport {

int PrintedRows(const TRhinoRows& rows) {
  return 2 * static_cast<int>(std::count_if(rows.begin(), rows.end(), [](unsigned flag) { return flag != 0; }));
}

int Height(const TRhinoRows& rows, bool provoked, std::optional<int> notesHeight) {
  int height = TitleAdvance + RowHeight * PrintedRows(rows) + RowsClosing;
  if (provoked)
    height += ProvocationAdvance;
  if (notesHeight)
    height += *notesHeight + NotesMargin;
  return height + DiagramGap + DiagramHeight;
}

bool DottedSegmentShown(std::span<const float> flowMlps, std::size_t i, bool& toggle) {
  if (i % 3 == 0)
    toggle = !toggle;
  if (toggle)
    return false;
  return i + 1 < flowMlps.size() && std::fabs(flowMlps[i]) <= std::fabs(flowMlps[i + 1]);
}

}  // namespace RhinoReport
