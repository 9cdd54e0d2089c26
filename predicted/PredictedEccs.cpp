// ECCS: adults of 18 to 70 years by the 1993 statement, children by the
// first or second table depending on the language number.

#include "predicted/EquationTables.h"
#include "predicted/Predicted.h"
#include "predicted/SetHelpers.h"

#include <cmath>

using namespace Equations;

namespace {

constexpr short ChildGroup = 0;
constexpr short AdultGroup = 1;

const TEccsTable& CurrentTable() { return EccsTables[TPredicted::Language == 1 ? 0 : 1]; }

}  // namespace

short TPredicted::EccsIndexAge(short age) {
  const short youngest = Language == 1 ? 1 : 6;
  return InsideAge(age, youngest, 17) ? ChildGroup : AdultGroup;
}

float TPredicted::EccsCalculation(short kind, short& counter, short sex, float height, short age, short) {
  std::size_t row = 0;
  if (kind < 0 || kind >= TEST_KIND_COUNT || !ValidSex(sex) || !TakeRow(counter, row))
    return 0.0f;
  const short group = EccsIndexAge(age);
  // The adult equations hold from 25 years on; younger adults get the
  // values of a 25-year-old.
  const double a = age >= 18 && age <= 24 ? 25.0 : age;
  const double h = height;
  const TLinearRow& r = CurrentTable()[static_cast<std::size_t>(kind)][group][static_cast<std::size_t>(sex)][row];
  if (Language == 1 && group == ChildGroup &&
      (kind == MEASURE_FVC || kind == MEASURE_VC || kind == MEASURE_MVV))
    return static_cast<float>((std::exp(r.Height * std::log(h) + r.Age) + r.Constant) * r.Scale);
  return static_cast<float>((r.Age * a + r.Height * h + r.Constant) * r.Scale);
}

void TPredicted::InicECCSPredictedValue() {
  const TEccsTable& table = CurrentTable();
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    const TSlotList slots = EccsSlots[static_cast<std::size_t>(kind)];
    for (short group = 0; group < ECCS_GROUPS; ++group)
      for (short sex = 0; sex < PREDICTED_SEXES; ++sex)
        for (std::size_t row = 0; row < slots.size(); ++row) {
          const TLinearRow& r = table[static_cast<std::size_t>(kind)][group][static_cast<std::size_t>(sex)][row];
          SetSlot(PREDICTED_ECCS, kind, group, sex, slots[row], &TPredicted::EccsCalculation, r.Scale * r.Rsd);
        }
  }
}

short TPredicted::VerifyEccsIndexAge(short age) { return age > 17 ? 1 : 0; }

void TPredicted::GetEccsAgeLimit(short age, TPredictedLimits& limits) {
  if (VerifyEccsIndexAge(age) == 0) {
    limits.MinAge = Language == 1 ? 1 : 6;
    limits.MaxAge = 17;
  } else {
    limits.MinAge = 18;
    limits.MaxAge = 70;
  }
}

void TPredicted::GetEccsHeightLimit(short sex, short age, TPredictedLimits& limits) {
  if (VerifyEccsIndexAge(age) == 0) {
    limits.MinHeight = Language == 1 ? 0.90f : 1.10f;
    limits.MaxHeight = Language == 1 ? 2.00f : 1.85f;
  } else if (sex == 0) {
    limits.MinHeight = 1.45f;
    limits.MaxHeight = 1.80f;
  } else {
    limits.MinHeight = 1.55f;
    limits.MaxHeight = 1.95f;
  }
}

bool TPredicted::VerifyEccsLimits(short sex, short age, float heightM) {
  if (!ValidSex(sex))
    return false;
  TPredictedLimits limits;
  GetEccsAgeLimit(age, limits);
  GetEccsHeightLimit(sex, age, limits);
  return InsideLimits(limits, age, heightM);
}
