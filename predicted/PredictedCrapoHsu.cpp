// Crapo-Hsu: adult spirometry, one age group, forced expiration only.

#include "predicted/EquationTables.h"
#include "predicted/Predicted.h"
#include "predicted/SetHelpers.h"

using namespace Equations;

namespace {

constexpr short CrapoHsuMinAge = 15;
constexpr short CrapoHsuMaxAge = 91;

}  // namespace

float TPredicted::CrapoHsuCalculation(short kind, short& counter, short sex, float height, short age, short) {
  std::size_t row = 0;
  if (kind != MEASURE_FVC || !ValidSex(sex) || !TakeRow(counter, row))
    return 0.0f;
  const TLinearRow& r = CrapoHsuTable[static_cast<std::size_t>(sex)][row];
  return static_cast<float>((r.Age * static_cast<double>(age) + r.Height * static_cast<double>(height) + r.Constant) *
                            r.Scale);
}

void TPredicted::InicCrapoHsuPredictedValue() {
  const TSlotList slots = CrapoHsuSlots[MEASURE_FVC];
  for (short sex = 0; sex < PREDICTED_SEXES; ++sex)
    for (std::size_t row = 0; row < slots.size(); ++row)
      SetSlot(PREDICTED_CRAPO_HSU, MEASURE_FVC, 0, sex, slots[row], &TPredicted::CrapoHsuCalculation,
              CrapoHsuTable[static_cast<std::size_t>(sex)][row].Rsd);
}

void TPredicted::GetCrapoHsuLimit(TPredictedLimits& limits) {
  limits.MinAge = CrapoHsuMinAge;
  limits.MaxAge = CrapoHsuMaxAge;
}

bool TPredicted::VerifyCrapoHsuLimits(short age) { return InsideAge(age, CrapoHsuMinAge, CrapoHsuMaxAge); }
