#pragma once

// One line of the trend window per examination: five chosen parameters of
// the examination's spirometric tests with their predicted values, found
// from the date and time texts, or by stepping back or on from them.

#include "records/RecordWindows.h"

#include <string>

class TMeasureIndex;

namespace TrendFilter {
inline constexpr short Provoked = 0x1;    // take examinations of the provoked stage
inline constexpr short ThirdStage = 0x2;  // and of the third stage
inline constexpr short Backward = 0x4;    // step to the previous examination first
inline constexpr short Forward = 0x10;    // step to the next one first
}  // namespace TrendFilter

namespace TrendReader {

// Hands the examination (or the next one the walk accepts) to the trend
// window; the engine's result. A walk that reaches another patient, or
// the end of the table, sets the walk's reached flag and adds nothing.
short FillTrendList(TMeasureIndex& index, TRecordWindows& windows, std::string date, std::string time, short filter);

}  // namespace TrendReader
