#pragma once

// The trials whose recording the instrument link ended (a hang-up, a
// silent line, lost samples): their values come from what arrived, so the
// list and the printout must not let them pass for complete manoeuvres.
//
// A mark belongs to the trial recorded at its date and time: once the slot
// holds another trial (a new one, a stored one loaded, a cleared slot) the
// mark no longer applies, while the same trial read back from the window's
// work file keeps it.

#include "common/ParameterBlocks.h"
#include "platform/portkit/MeasureDataTypes.h"

#include <array>
#include <optional>

class TLinkCutTrials {
public:
  struct TStamp {
    TMeasureDate Date;
    TMeasureTime Time;
  };

  // The trial in `slot` (0 to 2) of `kind`, recorded at `stamp`, was ended
  // by the link (`cut`) or ended as the operator or the manoeuvre ended it.
  void Record(short kind, short slot, const TStamp& stamp, bool cut);
  // Whether the trial now in the slot, recorded at `stamp`, was cut.
  bool IsCut(short kind, short slot, const TStamp& stamp) const;

private:
  static constexpr std::size_t Trials = 3;
  std::array<std::array<std::optional<TStamp>, Trials>, TEST_KIND_COUNT> Cut{};
};
