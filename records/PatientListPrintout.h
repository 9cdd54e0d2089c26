#pragma once

// The records of a printed patient list, read from "names.db" in its name
// order: from the first patient whose name is the start key or follows it
// (every patient without one), up to the first whose name begins with the
// stop key (to the end without one).

#include "records/PrintManager.h"

#include <string_view>
#include <vector>

class TEngine;

namespace PatientListPrintout {

std::vector<TPrintManager::TListRecord> Read(TEngine& names, std::string_view startKey, std::string_view stopKey);

}  // namespace PatientListPrintout
