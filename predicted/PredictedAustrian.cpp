// Austrian: children (girls to 15, boys to 17 years) and adults, with the
// height in metres and, for the children, the weight.

#include "predicted/EquationTables.h"
#include "predicted/Predicted.h"
#include "predicted/SetHelpers.h"

#include <cmath>

using namespace Equations;

namespace {

constexpr short Young = 0;
constexpr short Older = 1;

// The row of the running counter in the patient's group, or nothing.
const TAustrianRow* TakeAustrianRow(short kind, short& counter, short sex, short age) {
  std::size_t row = 0;
  if ((kind != MEASURE_FVC && kind != MEASURE_VC) || !ValidSex(sex) || !TakeRow(counter, row))
    return nullptr;
  const short group = TPredicted::AustrianIndexAge(sex, age);
  return &AustrianTable[static_cast<std::size_t>(kind)][static_cast<std::size_t>(group)]
                       [static_cast<std::size_t>(sex)][row];
}

}  // namespace

short TPredicted::AustrianIndexAge(short sex, short age) {
  const short oldestYoung = sex == 0 ? 15 : 17;
  return InsideAge(age, 5, oldestYoung) ? Young : Older;
}

double TPredicted::Fi(double heightM, double weightKg) { return heightM / std::cbrt(weightKg); }

float TPredicted::AustrianCalculation1(short kind, short& counter, short sex, float height, short age, short weight) {
  const TAustrianRow* r = TakeAustrianRow(kind, counter, sex, age);
  if (!r)
    return 0.0f;
  const double h = height, a = age, w = weight;
  return static_cast<float>(std::exp(r->R0 * h + r->R4 + r->R1 * a * std::sqrt(w)));
}

float TPredicted::AustrianCalculation2(short kind, short& counter, short sex, float height, short age, short weight) {
  const TAustrianRow* r = TakeAustrianRow(kind, counter, sex, age);
  if (!r)
    return 0.0f;
  const double h = height, a = age, w = weight;
  return static_cast<float>(std::exp(r->R0 * h + r->R4 + r->R1 * a + r->R3 * w));
}

float TPredicted::AustrianCalculation3(short kind, short& counter, short sex, float height, short age, short) {
  const TAustrianRow* r = TakeAustrianRow(kind, counter, sex, age);
  if (!r)
    return 0.0f;
  const double h = height, a = age;
  return static_cast<float>(r->R0 * h * h + r->R4 + r->R1 * std::log(a));
}

float TPredicted::AustrianCalculation4(short kind, short& counter, short sex, float height, short age, short weight) {
  const TAustrianRow* r = TakeAustrianRow(kind, counter, sex, age);
  if (!r)
    return 0.0f;
  const double h = height, a = age, w = weight;
  return static_cast<float>(std::exp(r->R0 * std::sqrt(h) + r->R4 + r->R1 * std::sqrt(a) + r->R3 * Fi(h, w)));
}

float TPredicted::AustrianCalculation5(short kind, short& counter, short sex, float height, short age, short weight) {
  const TAustrianRow* r = TakeAustrianRow(kind, counter, sex, age);
  if (!r)
    return 0.0f;
  const double h = height, a = age, w = weight;
  return static_cast<float>(std::exp(r->R0 * std::log(h) + r->R4 + r->R1 * std::log(a) + r->R3 * Fi(h, w)));
}

float TPredicted::AustrianCalculation6(short kind, short& counter, short sex, float height, short age, short) {
  const TAustrianRow* r = TakeAustrianRow(kind, counter, sex, age);
  if (!r)
    return 0.0f;
  const double h = height, a = age;
  return static_cast<float>(r->R0 * h + r->R4 + r->R1 * a * h + r->R2 * std::log(a));
}

float TPredicted::AustrianCalculation7(short kind, short& counter, short sex, float height, short age, short) {
  const TAustrianRow* r = TakeAustrianRow(kind, counter, sex, age);
  if (!r)
    return 0.0f;
  const double h = height, a = age;
  const double root = r->R0 * std::log(h) + r->R4 + r->R1 * a + r->R2 * a * a;
  return static_cast<float>(root * root);
}

void TPredicted::InicAustrianPredictedValue() {
  namespace F = Equations::Fvc;
  for (const short kind : {MEASURE_FVC, MEASURE_VC}) {
    const TSlotList slots = AustrianSlots[static_cast<std::size_t>(kind)];
    for (std::size_t row = 0; row < slots.size(); ++row) {
      const short parameter = slots[row];
      for (short group = 0; group < 2; ++group)
        for (short sex = 0; sex < PREDICTED_SEXES; ++sex) {
          TCalculation function = &TPredicted::DefaultCalculation;
          const bool volume = kind == MEASURE_VC || parameter == F::FVC || parameter == F::FEV1;
          const bool ratio = kind == MEASURE_FVC && (parameter == F::FEV1_IVC || parameter == F::FEV1_FVC);
          if (volume)
            function = group == Older ? &TPredicted::AustrianCalculation6
                       : sex == 1     ? &TPredicted::AustrianCalculation1
                                      : &TPredicted::AustrianCalculation4;
          else if (ratio)
            function = &TPredicted::AustrianCalculation3;
          else  // PEF and the maximal expiratory flows
            function = group == Older ? &TPredicted::AustrianCalculation7
                       : sex == 1     ? &TPredicted::AustrianCalculation2
                                      : &TPredicted::AustrianCalculation5;
          const float rsd = AustrianTable[static_cast<std::size_t>(kind)][static_cast<std::size_t>(group)]
                                         [static_cast<std::size_t>(sex)][row].Rsd;
          SetSlot(PREDICTED_AUSTRIAN, kind, group, sex, parameter, function, rsd);
        }
    }
  }
}

short TPredicted::VerifyAustrianIndexAge(short sex, short age) { return age > (sex == 0 ? 15 : 17) ? 1 : 0; }

void TPredicted::GetAustrianAgeLimit(short sex, short age, TPredictedLimits& limits) {
  const bool older = VerifyAustrianIndexAge(sex, age) == 1;
  if (sex == 0) {
    limits.MinAge = older ? 16 : 5;
    limits.MaxAge = older ? 90 : 15;
  } else {
    limits.MinAge = older ? 18 : 5;
    limits.MaxAge = older ? 90 : 17;
  }
}

void TPredicted::GetAustrianHeightLimit(short sex, short age, TPredictedLimits& limits) {
  const bool older = VerifyAustrianIndexAge(sex, age) == 1;
  if (sex == 0) {
    limits.MinHeight = older ? 1.40f : 1.10f;
    limits.MaxHeight = older ? 1.90f : 1.82f;
  } else {
    limits.MinHeight = older ? 1.44f : 1.09f;
    limits.MaxHeight = older ? 2.00f : 1.96f;
  }
}

bool TPredicted::VerifyAustrianLimits(short sex, short age, float heightM) {
  if (!ValidSex(sex))
    return false;
  TPredictedLimits limits;
  GetAustrianAgeLimit(sex, age, limits);
  GetAustrianHeightLimit(sex, age, limits);
  return InsideLimits(limits, age, heightM);
}
