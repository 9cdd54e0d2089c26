#include "platform/portkit/plethysmography/LungVolumes.h"

#include <algorithm>

namespace plethysmography {

bool CalculatePlethyParams(std::span<const float> volumeL, const Marks& marks, const VolumeSettings& settings,
                           PlethyRecord record) {
  if (marks.tgvStart == 0 || marks.end == 0 || marks.end >= volumeL.size() || marks.tgvStart >= marks.end ||
      record[TGV] == 0.0f)
    return false;
  const auto after = volumeL.subspan(marks.end);
  const auto lowest = std::min_element(after.begin(), after.end());
  const double erv = static_cast<double>(volumeL[marks.tgvStart]) - *lowest;
  const double rv = record[TGV] - erv;
  record[RV] = static_cast<float>(rv);
  record[TLC] = 0.0f;
  record[RV_TLC] = 0.0f;
  double ivc = settings.referenceIvcL;
  if (settings.ivcAfterEnd)
    ivc = static_cast<double>(*std::max_element(lowest, after.end())) - *lowest;
  if (ivc <= 0.0)
    return true;
  const double tlc = rv + ivc;
  record[TLC] = static_cast<float>(tlc);
  if (tlc > 0.0)
    record[RV_TLC] = static_cast<float>(rv / tlc * 100.0);
  return true;
}

}  // namespace plethysmography
