#pragma once

// What the dialog that chooses the rows of the rhinomanometry tables
// decides, without its window: ten check boxes, the anterior rows then the
// posterior ones, and OK only while each group has at most three ticked.

#include "special/rhinomanometry/RhinoState.h"

#include <array>
#include <cstddef>

class TRhinoRowsSheet {
public:
  static constexpr std::size_t Boxes = 2 * RHINO_PRESSURE_COUNT;
  static constexpr int MostRowsPerGroup = 3;

  TRhinoRowsSheet(const TRhinoRows& anterior, const TRhinoRows& posterior);

  bool Ticked(std::size_t box) const { return box < Boxes && Flags[box] != 0; }
  // A click on a box sets it and judges OK again. OK is judged on clicks
  // only: rows read from the ini file leave it enabled until the first one.
  void Click(std::size_t box, bool ticked);
  bool CanConfirm() const { return OkEnabled; }

  TRhinoRows Anterior() const;
  TRhinoRows Posterior() const;

private:
  std::array<unsigned, Boxes> Flags{};
  bool OkEnabled = true;
};
