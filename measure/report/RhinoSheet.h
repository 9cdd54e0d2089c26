#pragma once

// The spreadsheet export of a rhinomanometry result: the window's two
// results, rows and provocation as the cells of the sheet, poked header
// first, then line by line, then the provocation rows. A failed poke ends
// the header or the provocation rows, but in a data line only that line:
// the next line is still tried.

#include "measure/report/SpiroExport.h"
#include "platform/portkit/rhinomanometry/SheetCells.h"

class TMeasureCore;
class TMessage;

namespace RhinoSheet {

// What the window shows: the patient, the algorithm's name, both results'
// dates and times and the provocation.
rhinomanometry::SheetInput CoreSheetInput(const TMeasureCore& core, const TMessage& texts);

// False when any poke failed.
bool SendRhinoDataToExcel(const SpiroExport::TPoke& poke, const rhinomanometry::SheetCells& cells);

}  // namespace RhinoSheet
