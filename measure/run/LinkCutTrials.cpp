#include "measure/run/LinkCutTrials.h"

namespace {

bool SameStamp(const TLinkCutTrials::TStamp& a, const TLinkCutTrials::TStamp& b) {
  return a.Date.Year == b.Date.Year && a.Date.Month == b.Date.Month && a.Date.Day == b.Date.Day &&
         a.Time.Hour == b.Time.Hour && a.Time.Minute == b.Time.Minute && a.Time.Second == b.Time.Second;
}

bool Valid(short kind, short slot) { return kind >= 0 && kind < TEST_KIND_COUNT && slot >= 0 && slot < 3; }

}  // namespace

void TLinkCutTrials::Record(short kind, short slot, const TStamp& stamp, bool cut) {
  if (!Valid(kind, slot))
    return;
  auto& mark = Cut[static_cast<std::size_t>(kind)][static_cast<std::size_t>(slot)];
  if (cut)
    mark = stamp;
  else
    mark.reset();
}

bool TLinkCutTrials::IsCut(short kind, short slot, const TStamp& stamp) const {
  if (!Valid(kind, slot))
    return false;
  const auto& mark = Cut[static_cast<std::size_t>(kind)][static_cast<std::size_t>(slot)];
  // A slot without a date holds no trial of its own.
  return mark && stamp.Date.Year != 0 && SameStamp(*mark, stamp);
}
