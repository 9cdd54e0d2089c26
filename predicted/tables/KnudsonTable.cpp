// Knudson coefficients: Knudson, Lebowitz, Holberg and Burrows, "Changes in
// the normal maximal expiratory flow-volume curve with growth and aging"
// (1983), height in cm, age in years, value in L or L/s.
//
// Each parameter has its own age ranges (a group per range). Where a value
// could not be confirmed in two independent sources, or the publication
// defines no equation for the parameter, the row stays 0: no predicted value.
//
// The FEV1 rows are the paper's Table 1 as two independent transcriptions
// give it: the coefficient table of the Python package pyspiro
// (knudson_1983_coefficients.csv) and the hand-worked test cases of the R
// package lungr (tests/testthat/test-knudson.R). The men's row also matches
// the Knudson predictions that Eur Respir J tables quote (2.75 L at 70 years
// and 170 cm, 4.39 L at 25 years and 175 cm).

#include "predicted/EquationTables.h"

namespace Equations {
namespace {

constexpr auto FemaleFour = KnudsonFemaleRanges;
constexpr auto MaleThree = KnudsonMaleRanges;
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> FemaleTwo{{{0, 20}, {21, 150}, {0, 0}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> MaleTwo{{{0, 25}, {26, 150}, {0, 0}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> Everyone{{{0, 150}, {0, 0}, {0, 0}, {0, 0}}};

constexpr TAgeRangeEntry Ranges[] = {
    {MEASURE_FVC, FEMALE, Fvc::FVC, FemaleFour},     {MEASURE_FVC, MALE, Fvc::FVC, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::FEV05, FemaleTwo},    {MEASURE_FVC, MALE, Fvc::FEV05, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEV1, FemaleFour},    {MEASURE_FVC, MALE, Fvc::FEV1, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::FEV1_FVC, Everyone},  {MEASURE_FVC, MALE, Fvc::FEV1_FVC, Everyone},
    {MEASURE_FVC, FEMALE, Fvc::PEF, FemaleTwo},      {MEASURE_FVC, MALE, Fvc::PEF, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEF2575, FemaleFour}, {MEASURE_FVC, MALE, Fvc::FEF2575, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::MEF75, FemaleTwo},    {MEASURE_FVC, MALE, Fvc::MEF75, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::MEF50, FemaleFour},   {MEASURE_FVC, MALE, Fvc::MEF50, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::MEF25, FemaleFour},   {MEASURE_FVC, MALE, Fvc::MEF25, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::FIVC, FemaleFour},    {MEASURE_FVC, MALE, Fvc::FIVC, MaleThree},
};

constexpr TGroupedEntry Coefficients[] = {
    // FVC, female: 6-10, 11-19, 20-69 and 70 years and over
    {{MEASURE_FVC, 0, FEMALE, Fvc::FVC}, {0.043f, 0, -3.748f, 1, 0}},
    {{MEASURE_FVC, 1, FEMALE, Fvc::FVC}, {0.0416f, 0.0699f, -4.447f, 1, 0}},
    {{MEASURE_FVC, 2, FEMALE, Fvc::FVC}, {0.0444f, -0.0169f, -3.194f, 1, 0}},
    {{MEASURE_FVC, 3, FEMALE, Fvc::FVC}, {0.0313f, -0.0296f, -0.188f, 1, 0}},
    // FVC, male: 6-11, 12-24 and 25 years and over
    {{MEASURE_FVC, 0, MALE, Fvc::FVC}, {0.0409f, 0, -3.375f, 1, 0}},
    {{MEASURE_FVC, 1, MALE, Fvc::FVC}, {0.059f, 0.0739f, -6.886f, 1, 0}},
    {{MEASURE_FVC, 2, MALE, Fvc::FVC}, {0.0844f, -0.0298f, -8.7818f, 1, 0}},
    // FEV1, female: 6-10 and 11-19 years. The women's rows (20-69 and 70
    // years and over) have only one transcription and stay 0.
    {{MEASURE_FVC, 0, FEMALE, Fvc::FEV1}, {0.0336f, 0, -2.7578f, 1, 0}},
    {{MEASURE_FVC, 1, FEMALE, Fvc::FEV1}, {0.0351f, 0.0694f, -3.7622f, 1, 0}},
    // FEV1, male: 6-11, 12-24 and 25 years and over
    {{MEASURE_FVC, 0, MALE, Fvc::FEV1}, {0.0348f, 0, -2.8142f, 1, 0}},
    {{MEASURE_FVC, 1, MALE, Fvc::FEV1}, {0.0519f, 0.0636f, -6.1181f, 1, 0}},
    {{MEASURE_FVC, 2, MALE, Fvc::FEV1}, {0.0665f, -0.0292f, -6.5147f, 1, 0}},
    // FEF25-75, Vmax50 (MEF50) and Vmax75 (MEF25): only one transcription
    // of the table was found, so their rows stay 0. FEV0.5, PEF, MEF75,
    // FEV1/FVC, FIVC and the tests other than FVC have no equation in the
    // publication; their rows stay 0 as well.
};

}  // namespace

constinit const TGroupedTable KnudsonTable = BuildGroupedTable(KnudsonSlots, Coefficients);
constinit const TAgeRangeTable KnudsonAgeRanges = BuildAgeRangeTable(KnudsonSlots, Ranges);

}  // namespace Equations
