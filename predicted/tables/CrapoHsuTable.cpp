// Crapo-Hsu coefficients: the spirometric reference equations of Crapo,
// Morris and Gardner for adults, height in cm, age in years. One age group;
// no RSD is used (every grade stays blank).

#include "predicted/EquationTables.h"

namespace Equations {
namespace {

struct TEntry {
  short Sex;
  short Parameter;
  TLinearRow Row;  // height, age, constant, scale, RSD
};

constexpr TEntry Entries[] = {
    {FEMALE, Fvc::FVC, {0.0491f, -0.0216f, -3.59f, 1, 0}},        // FVC, female
    {FEMALE, Fvc::FEV05, {0.0238f, -0.0185f, -0.809f, 1, 0}},     // FEV0.5, female
    {FEMALE, Fvc::FEV1, {0.0342f, -0.0255f, -1.578f, 1, 0}},      // FEV1, female
    {FEMALE, Fvc::FEV1_FVC, {-0.0202f, -0.0252f, 12.658f, 10, 0}}, // FEV1/FVC %, female
    {FEMALE, Fvc::FEF2575, {0.0154f, -0.046f, 2.683f, 1, 0}},     // FEF25-75, female
    {MALE, Fvc::FVC, {0.06f, -0.0214f, -4.65f, 1, 0}},            // FVC, male
    {MALE, Fvc::FEV05, {0.0327f, -0.0152f, -1.914f, 1, 0}},       // FEV0.5, male
    {MALE, Fvc::FEV1, {0.0414f, -0.0244f, -2.19f, 1, 0}},         // FEV1, male
    {MALE, Fvc::FEV1_FVC, {-0.013f, -0.0152f, 11.049f, 10, 0}},   // FEV1/FVC %, male
    {MALE, Fvc::FEF2575, {0.0204f, -0.038f, 2.133f, 1, 0}},       // FEF25-75, male
};

constexpr TCrapoHsuTable Build() {
  TCrapoHsuTable table{};
  for (const TEntry& entry : Entries)
    table[static_cast<std::size_t>(entry.Sex)]
         [static_cast<std::size_t>(RowIn(CrapoHsuSlots, {MEASURE_FVC, 0, entry.Sex, entry.Parameter}))] = entry.Row;
  return table;
}

}  // namespace

constinit const TCrapoHsuTable CrapoHsuTable = Build();

}  // namespace Equations
