// Cotton & Dust coefficients: the spirometric prediction tables of the US
// occupational cotton-dust standard (29 CFR 1910.1043, 1978), height in cm,
// age in years. Each parameter has its own age ranges.
//
// Sources looked for: none of the reference-equation libraries at hand
// (pyspiro, pfteqn, lungr) transcribes the standard's equations, and its
// tables could not be read in a second source. Only the women's FEV1/FVC
// (-0.11 H - 0.109 A + 107.38) is filled; every other row stays 0, no
// predicted value. The folder's README lists them.

#include "predicted/EquationTables.h"

namespace Equations {
namespace {

constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> FemaleTwo{{{1, 20}, {21, 150}, {0, 0}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> MaleTwo{{{1, 25}, {26, 150}, {0, 0}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> EveryAge{{{1, 150}, {0, 0}, {0, 0}, {0, 0}}};
constexpr auto FemaleFour = KnudsonFemaleRanges;
constexpr auto MaleThree = KnudsonMaleRanges;

constexpr TAgeRangeEntry Ranges[] = {
    // Volumes and peak flows: young and adult
    {MEASURE_FVC, FEMALE, Fvc::FVC, FemaleTwo},      {MEASURE_FVC, MALE, Fvc::FVC, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEV05, FemaleTwo},    {MEASURE_FVC, MALE, Fvc::FEV05, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEV1, FemaleTwo},     {MEASURE_FVC, MALE, Fvc::FEV1, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEV1_FVC, EveryAge},  {MEASURE_FVC, MALE, Fvc::FEV1_FVC, EveryAge},
    {MEASURE_FVC, FEMALE, Fvc::PEF, FemaleTwo},      {MEASURE_FVC, MALE, Fvc::PEF, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::MEF75, FemaleTwo},    {MEASURE_FVC, MALE, Fvc::MEF75, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FIVC, FemaleTwo},     {MEASURE_FVC, MALE, Fvc::FIVC, MaleTwo},
    // Mid-expiratory flows: the four ranges of growth and aging
    {MEASURE_FVC, FEMALE, Fvc::FEF2575, FemaleFour}, {MEASURE_FVC, MALE, Fvc::FEF2575, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::MEF50, FemaleFour},   {MEASURE_FVC, MALE, Fvc::MEF50, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::MEF25, FemaleFour},   {MEASURE_FVC, MALE, Fvc::MEF25, MaleThree},
};

constexpr TGroupedEntry Coefficients[] = {
    // FEV1/FVC %, female, every age: -0.11 H - 0.109 A + 107.38
    {{MEASURE_FVC, 0, FEMALE, Fvc::FEV1_FVC}, {-0.011f, -0.0109f, 10.738f, 10, 0}},
    // Every other row: not confirmed in two sources; it stays 0.
};

}  // namespace

constinit const TGroupedTable CottonAndDustTable = BuildGroupedTable(KnudsonSlots, Coefficients);
constinit const TAgeRangeTable CottonAndDustAgeRanges = BuildAgeRangeTable(KnudsonSlots, Ranges);

}  // namespace Equations
