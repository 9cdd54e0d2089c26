// Crapo-Hsu coefficients: Crapo, Morris and Gardner, "Reference spirometric
// values using techniques and equipment that meet ATS recommendations",
// Am Rev Respir Dis 1981; 123: 659-664. Height in cm, age in years, one age
// group, forced expiration only. The set has no slot for the same group's
// lung volumes (1982) or single-breath diffusion (1981), nor for Hsu's
// children (J Pediatr 1979; 95: 14-23): its ages are 15 to 91 years.
//
// Sources checked: the coefficient table of the Python package pyspiro
// (crapo_1981_coefficients.csv, every row), the equations of the R package
// pfteqn (get_Crapo_equations.R, every row but FEV0.5), and the Crapo
// predictions that Eur Respir J comparison tables quote (men of 25 and 55
// years, 175 cm; 70 years). No RSD is used, so every grade stays blank: the
// paper gives one-sided 95 % intervals, which only pfteqn transcribes.

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
