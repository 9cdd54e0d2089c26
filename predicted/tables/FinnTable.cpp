// Finnish coefficients for adults of 18 to 65 years:
// value = 10 ^ (a x age + b x log10 age + c / height in m + d).
// The same rows serve both age groups.
//
// These are the rows the set has always held. None of the public
// reference-equation libraries at hand (pyspiro, pfteqn, lungr) transcribes
// the Finnish publication, so no number here could be checked against a
// second source; the tests work each row by hand from the set's equation.
// The forced-expiration slots carry an RSD of 1000, which never grades.

#include "predicted/EquationTables.h"

namespace Equations {
namespace {

struct TFinnEntry {
  short Kind;
  short Sex;
  short Parameter;
  TFinnRow Row;  // a (age), b (log10 age), c (per metre), d
};

constexpr TFinnEntry FinnEntries[] = {
    {MEASURE_FVC, FEMALE, Fvc::FVC, {-0.00982f, 0.6358f, -1.4137f, 0.832f}},      // FVC, female
    {MEASURE_FVC, FEMALE, Fvc::FEV1, {-0.0092f, 0.4772f, -1.3284f, 0.9296f}},     // FEV1, female
    {MEASURE_FVC, FEMALE, Fvc::FEV1_IVC, {0.00096f, -0.2223f, 0.1233f, 2.1533f}}, // FEV1/IVC %, female
    {MEASURE_FVC, FEMALE, Fvc::FEV1_FVC, {0.00062f, -0.1586f, 0.0853f, 2.0975f}}, // FEV1/FVC %, female
    {MEASURE_FVC, FEMALE, Fvc::PEF, {-0.00677f, 0.4017f, -0.7422f, 0.9661f}},     // PEF, female
    {MEASURE_FVC, FEMALE, Fvc::MEF50, {-0.00741f, 0.3471f, -0.8581f, 0.9336f}},   // MEF50, female
    {MEASURE_FVC, FEMALE, Fvc::MEF25, {-0.01548f, 0.3431f, -0.8498f, 0.7966f}},   // MEF25, female
    {MEASURE_FVC, FEMALE, Fvc::PIF, {-0.00909f, 0.6156f, -1.1867f, 0.8731f}},     // PIF, female
    {MEASURE_FVC, MALE, Fvc::FVC, {-0.00827f, 0.586f, -1.4468f, 0.9461f}},        // FVC, male
    {MEASURE_FVC, MALE, Fvc::FEV1, {-0.00587f, 0.2756f, -1.1655f, 1.098f}},       // FEV1, male
    {MEASURE_FVC, MALE, Fvc::FEV1_IVC, {0.00246f, -0.3553f, 0.3095f, 2.1933f}},   // FEV1/IVC %, male
    {MEASURE_FVC, MALE, Fvc::FEV1_FVC, {0.0024f, -0.3104f, 0.2813f, 2.1519f}},    // FEV1/FVC %, male
    {MEASURE_FVC, MALE, Fvc::PEF, {-0.00211f, 0.1049f, -0.6774f, 1.3255f}},       // PEF, male
    {MEASURE_FVC, MALE, Fvc::MEF50, {-0.00041f, -0.3087f, -0.148f, 1.3415f}},     // MEF50, male
    {MEASURE_FVC, MALE, Fvc::MEF25, {-0.00771f, -0.2819f, -0.0252f, 1.0597f}},    // MEF25, male
    {MEASURE_FVC, MALE, Fvc::PIF, {-0.00484f, 0.2715f, -0.9965f, 1.2709f}},       // PIF, male
    {MEASURE_VC, FEMALE, Vc::IVC, {-0.01016f, 0.6995f, -1.4518f, 0.7763f}},       // IVC, female
    {MEASURE_VC, MALE, Vc::IVC, {-0.00833f, 0.6309f, -1.475f, 0.9047f}},          // IVC, male
};

constexpr TFinnTable BuildFinnTable() {
  TFinnTable table{};
  for (const TFinnEntry& entry : FinnEntries)
    table[static_cast<std::size_t>(entry.Kind)][static_cast<std::size_t>(entry.Sex)]
         [static_cast<std::size_t>(RowIn(FinnSlots, {entry.Kind, 0, entry.Sex, entry.Parameter}))] = entry.Row;
  return table;
}

}  // namespace

constinit const TFinnTable FinnTable = BuildFinnTable();

}  // namespace Equations
