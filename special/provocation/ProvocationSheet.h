#pragma once

// The provocation's spreadsheet sheet: a header block of 6 rows by 8
// columns (the patient, the set-up's heads and values, the parameters'
// names, the units) and one row per step. With the "Magyar" texts every
// "." becomes "," except in the units' row.

#include "common/PredictedData.h"

#include <array>
#include <string>
#include <vector>

class TDDE;
class TMessage;
class TProvocationModel;

namespace ProvocationSheet {

inline constexpr int Columns = 8;
inline constexpr int HeaderRows = 6;
using TRow = std::array<std::string, Columns>;

// The name of a column's parameter; empty for none and the diffusion test.
std::string GetProvParam(short code);

std::vector<TRow> Rows(const TProvocationModel& model, const TMessage& texts, const PREDICTED_DATA& patient);

// Pokes every cell, empty ones too; false at the first failed poke, which
// ends the export (the cells poked before it stay).
bool SendDataToExcel(const std::vector<TRow>& rows, TDDE& dde);

}  // namespace ProvocationSheet
