// Finnish: adults of 18 to 65 years, power-law equations in age and height.

#include "predicted/EquationTables.h"
#include "predicted/Predicted.h"
#include "predicted/SetHelpers.h"

#include <cmath>

using namespace Equations;

namespace {

constexpr short MinAge = 18;
constexpr short MaxAge = 65;
// The RSD of the forced-expiration slots: large enough that no measured
// value is ever graded, as the set publishes no spread in these units.
constexpr float FvcSlotRsd = 1000.0f;

}  // namespace

short TPredicted::FinnIndexAge(short age) { return InsideAge(age, MinAge, MaxAge) ? 0 : 1; }

float TPredicted::FinnCalculation(short kind, short& counter, short sex, float height, short age, short) {
  std::size_t row = 0;
  if ((kind != MEASURE_FVC && kind != MEASURE_VC) || !ValidSex(sex) || !TakeRow(counter, row))
    return 0.0f;
  // Both age groups hold the same rows.
  const TFinnRow& r = FinnTable[static_cast<std::size_t>(kind)][static_cast<std::size_t>(sex)][row];
  const double a = age;
  const double heightM = height / 100.0;
  return static_cast<float>(std::pow(10.0, r.A * a + r.B * std::log10(a) + r.C / heightM + r.D));
}

void TPredicted::InicFinnPredictedValue() {
  for (const short kind : {MEASURE_FVC, MEASURE_VC}) {
    const float rsd = kind == MEASURE_FVC ? FvcSlotRsd : 0.0f;
    for (const short parameter : FinnSlots[static_cast<std::size_t>(kind)])
      for (short group = 0; group < 2; ++group)
        for (short sex = 0; sex < PREDICTED_SEXES; ++sex)
          SetSlot(PREDICTED_FINNISH, kind, group, sex, parameter, &TPredicted::FinnCalculation, rsd);
  }
}

short TPredicted::VerifyFinnIndexAge(short age) { return age > MaxAge ? 1 : 0; }

void TPredicted::GetFinnAgeLimit(short, TPredictedLimits& limits) {
  // Both rows hold the same range.
  limits.MinAge = MinAge;
  limits.MaxAge = MaxAge;
}

void TPredicted::GetFinnHeightLimit(short sex, short, TPredictedLimits& limits) {
  limits.MinHeight = sex == 0 ? 1.45f : 1.55f;
  limits.MaxHeight = sex == 0 ? 1.80f : 1.95f;
}

bool TPredicted::VerifyFinnLimits(short sex, short age, float heightM) {
  if (!ValidSex(sex))
    return false;
  TPredictedLimits limits;
  GetFinnAgeLimit(age, limits);
  GetFinnHeightLimit(sex, age, limits);
  return InsideLimits(limits, age, heightM);
}
