#include "records/TrendReader.h"

#include "common/ParameterBlocks.h"
#include "patients/MeasureIndex.h"
#include "platform/dbkit/Engine.h"

#include <vector>

namespace TrendReader {

namespace {

constexpr std::array<short, 6> ReadOrder{MEASURE_FVC, MEASURE_VC,     MEASURE_MVV,
                                         MEASURE_DFC, MEASURE_PLETHY, MEASURE_SHUTTER};

using TColumns = std::array<float, TTrendAccess::Columns>;

short ReadKind(TMeasureIndex& index, TTrendAccess& trend, short kind, TColumns& actual, TColumns& reference) {
  TEngine* table = index.Test(kind);
  if (!table)
    return DbResult::NotOpen;
  short result = table->Search(SearchEqual, 1, long{index.CurrentMeetKey});
  if (result != 0)
    return result;
  const auto n = static_cast<std::size_t>(ParameterCounts[static_cast<std::size_t>(kind)]);
  std::vector<float> actualN(n), referenceN(n);
  result = table->GetSpiroRecOnlyData(actualN, referenceN, static_cast<short>(n), dbiREADLOCK);
  if (result != 0)
    return result;
  for (std::size_t column = 0; column < TTrendAccess::Columns; ++column) {
    const int code = trend.State().Codes[column] - kind * 100;
    if (code >= 0 && code < 100 && static_cast<std::size_t>(code) < n) {
      actual[column] = actualN[static_cast<std::size_t>(code)];
      reference[column] = referenceN[static_cast<std::size_t>(code)];
    }
  }
  return 0;
}

}  // namespace

short FillTrendList(TMeasureIndex& index, TRecordWindows& windows, std::string date, std::string time, short filter) {
  const bool backward = filter & TrendFilter::Backward;
  const bool forward = !backward && (filter & TrendFilter::Forward);
  const bool walk = backward || forward;
  for (;;) {
    MEET_INFORMATION information;
    TColumns actual{}, reference{};
    const std::string dateBefore = date, timeBefore = time;
    index.GetMeetInformation(date, time, &information, filter);
    // A walk ends where it leaves the patient, and where a step does not
    // move (the first or last examination of the table, or one that is
    // gone): the same texts of the same patient are the same examination.
    if (walk) {
      TTrendAccess* trend = windows.Trend();
      if (!trend)
        return 0;
      bool& reached = backward ? trend->State().StartReached : trend->State().EndReached;
      if (!reached && (index.LastReadPatientKey != index.CurrentPatientKey() ||
                       (date == dateBefore && time == timeBefore)))
        reached = true;
      if (reached)
        return 0;
    }
    const std::int32_t flags = information.Flags;
    if (((flags & MeetFlag::Provoked) && !(filter & TrendFilter::Provoked)) ||
        ((flags & MeetFlag::ThirdStage) && !(filter & TrendFilter::ThirdStage))) {
      if (walk)
        continue;
      return 0;
    }
    short result = 0;
    bool used = false;
    for (std::size_t i = 0; i < ReadOrder.size() && result == 0; ++i) {
      if (!(flags & MeetFlag::OfKind[static_cast<std::size_t>(ReadOrder[i])]))
        continue;
      if (!windows.Trend())
        windows.OpenTrend();
      if (TTrendAccess* trend = windows.Trend()) {
        result = ReadKind(index, *trend, ReadOrder[i], actual, reference);
        used = true;
      }
    }
    if (!used) {
      if (walk && windows.Trend())
        continue;
      return result;
    }
    TTrendAccess* trend = windows.Trend();
    if (result != 0 || !trend)
      return result;
    const char mark = (flags & MeetFlag::Baseline)     ? 'B'
                      : (flags & MeetFlag::Provoked)   ? 'P'
                      : (flags & MeetFlag::ThirdStage) ? 'O'
                                                       : ' ';
    if (mark == 'P')
      trend->State().ProvokedLines = true;
    if (mark == 'O')
      trend->State().ThirdStageLines = true;
    trend->AddDataToTrendListBox(date, time, actual, reference, mark, filter);
    return 0;
  }
}

}  // namespace TrendReader
