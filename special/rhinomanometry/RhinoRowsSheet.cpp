#include "special/rhinomanometry/RhinoRowsSheet.h"

#include <algorithm>

TRhinoRowsSheet::TRhinoRowsSheet(const TRhinoRows& anterior, const TRhinoRows& posterior) {
  std::copy(anterior.begin(), anterior.end(), Flags.begin());
  std::copy(posterior.begin(), posterior.end(), Flags.begin() + RHINO_PRESSURE_COUNT);
}

void TRhinoRowsSheet::Click(std::size_t box, bool ticked) {
  if (box < Boxes)
    Flags[box] = ticked ? 1u : 0u;
  const auto count = [&](std::size_t from) {
    return std::count_if(Flags.begin() + static_cast<std::ptrdiff_t>(from),
                         Flags.begin() + static_cast<std::ptrdiff_t>(from + RHINO_PRESSURE_COUNT),
                         [](unsigned flag) { return flag != 0; });
  };
  OkEnabled = count(0) <= MostRowsPerGroup && count(RHINO_PRESSURE_COUNT) <= MostRowsPerGroup;
}

TRhinoRows TRhinoRowsSheet::Anterior() const {
  TRhinoRows rows{};
  std::copy_n(Flags.begin(), RHINO_PRESSURE_COUNT, rows.begin());
  return rows;
}

TRhinoRows TRhinoRowsSheet::Posterior() const {
  TRhinoRows rows{};
  std::copy_n(Flags.begin() + RHINO_PRESSURE_COUNT, RHINO_PRESSURE_COUNT, rows.begin());
  return rows;
}
