// Knudson and Cotton & Dust: linear equations in height and age, each
// parameter with its own age ranges. The two sets work alike and differ only
// in their tables.

#include "predicted/EquationTables.h"
#include "predicted/Predicted.h"
#include "predicted/SetHelpers.h"

using namespace Equations;

namespace {

short GroupedIndexAge(const TAgeRangeTable& ranges, short kind, short counter, short sex, short age) {
  if (kind < 0 || kind >= TEST_KIND_COUNT || !ValidSex(sex) || counter < 0 || counter >= MAX_PARAMETER_COUNT)
    return 0;
  const auto& groups =
      ranges[static_cast<std::size_t>(kind)][static_cast<std::size_t>(sex)][static_cast<std::size_t>(counter)];
  for (short group = 0; group < AGE_RANGE_GROUPS; ++group) {
    const TAgeRange& range = groups[static_cast<std::size_t>(group)];
    if (InsideAge(age, range.Min, range.Max))
      return group;
  }
  return 0;
}

float GroupedCalculation(const TGroupedTable& table, const TAgeRangeTable& ranges, short kind, short& counter,
                         short sex, float height, short age) {
  const short group = GroupedIndexAge(ranges, kind, counter, sex, age);
  std::size_t row = 0;
  if (kind < 0 || kind >= TEST_KIND_COUNT || !ValidSex(sex) || !TakeRow(counter, row))
    return 0.0f;
  const TLinearRow& r = table[static_cast<std::size_t>(kind)][static_cast<std::size_t>(sex)][row]
                             [static_cast<std::size_t>(group)];
  return static_cast<float>((r.Age * static_cast<double>(age) + r.Height * static_cast<double>(height) + r.Constant) *
                            r.Scale);
}

// The youngest and oldest age any range of the table admits.
void GroupedLimit(const TAgeRangeTable& ranges, TPredictedLimits& limits) {
  short youngest = 150;
  short oldest = 0;
  for (const auto& sexes : ranges)
    for (const auto& rows : sexes)
      for (const auto& groups : rows)
        for (const TAgeRange& range : groups) {
          if (range.Min != 0 && range.Min < youngest)
            youngest = range.Min;
          if (range.Max > oldest)
            oldest = range.Max;
        }
  limits.MinAge = youngest;
  limits.MaxAge = oldest;
}

bool GroupedVerify(const TAgeRangeTable& ranges, short age) {
  TPredictedLimits limits;
  GroupedLimit(ranges, limits);
  return InsideAge(age, limits.MinAge, limits.MaxAge);
}

// Every slot of the shared slot map, in every group, with the RSD of its row.
template <class TFill>
void ForEachGroupedSlot(const TGroupedTable& table, TFill&& fill) {
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    const TSlotList slots = KnudsonSlots[static_cast<std::size_t>(kind)];
    for (short sex = 0; sex < PREDICTED_SEXES; ++sex)
      for (std::size_t row = 0; row < slots.size(); ++row)
        for (short group = 0; group < AGE_RANGE_GROUPS; ++group)
          fill(kind, group, sex, slots[row],
               table[static_cast<std::size_t>(kind)][static_cast<std::size_t>(sex)][row]
                    [static_cast<std::size_t>(group)].Rsd);
  }
}

}  // namespace

void TPredicted::InicKnudsonPredictedValue() {
  ForEachGroupedSlot(KnudsonTable, [this](short kind, short group, short sex, short parameter, float rsd) {
    SetSlot(PREDICTED_KNUDSON, kind, group, sex, parameter, &TPredicted::KnudsonCalculation, rsd);
  });
}

void TPredicted::InicCottonAndDustPredictedValue() {
  ForEachGroupedSlot(CottonAndDustTable, [this](short kind, short group, short sex, short parameter, float rsd) {
    SetSlot(PREDICTED_COTTON_DUST, kind, group, sex, parameter, &TPredicted::CottonAndDustCalculation, rsd);
  });
}

short TPredicted::KnudsonIndexAge(short kind, short counter, short sex, short age) {
  return GroupedIndexAge(KnudsonAgeRanges, kind, counter, sex, age);
}

short TPredicted::CottonAndDustIndexAge(short kind, short counter, short sex, short age) {
  return GroupedIndexAge(CottonAndDustAgeRanges, kind, counter, sex, age);
}

float TPredicted::KnudsonCalculation(short kind, short& counter, short sex, float height, short age, short) {
  return GroupedCalculation(KnudsonTable, KnudsonAgeRanges, kind, counter, sex, height, age);
}

float TPredicted::CottonAndDustCalculation(short kind, short& counter, short sex, float height, short age, short) {
  return GroupedCalculation(CottonAndDustTable, CottonAndDustAgeRanges, kind, counter, sex, height, age);
}

void TPredicted::GetKnudsonLimit(TPredictedLimits& limits) { GroupedLimit(KnudsonAgeRanges, limits); }

void TPredicted::GetCottonAndDustLimit(TPredictedLimits& limits) { GroupedLimit(CottonAndDustAgeRanges, limits); }

bool TPredicted::VerifyKnudsonLimits(short age) { return GroupedVerify(KnudsonAgeRanges, age); }

bool TPredicted::VerifyCottonAndDustLimits(short age) { return GroupedVerify(CottonAndDustAgeRanges, age); }
