// Knudson coefficients: Knudson, Lebowitz, Holberg and Burrows, "Changes in
// the normal maximal expiratory flow-volume curve with growth and aging",
// Am Rev Respir Dis 1983; 127: 725-734, Table 1. Height in cm, age in years,
// value in L, L/s or percent (kept in tenths with Scale 10).
//
// The paper fits women twice: with breaks at 11 and 20 years, and with a
// further break at 70. These rows are the second fit: the set's women have
// four age ranges, its FVC rows are that fit's, and the Knudson predictions
// that Eur Respir J tables quote for a woman of 70 years and 160 cm (FEV1
// 2.16 L falling 0.040 L a year, FEV1/FVC 78.8 %) are that fit's and not
// the first one's (2.13 L, 0.020 L a year).
//
// Sources checked for each number: the coefficient table of the Python
// package pyspiro (knudson_1983_coefficients.csv) and the coefficient table
// of the R package lungr (knudson_coefs in R/sysdata.rda, which holds the
// first fit for women of 20 and over). A row is filled where both give it,
// or where one gives it and a published prediction reproduces it (the
// women's 70+ FEV1 and adults' FEV1/FVC, from the Eur Respir J tables above
// and the men's FEV1 4.39 L, FVC 5.24 L and FEV1/FVC 84 % at 25 years and
// 175 cm, 3.52 L, 4.35 L and 81 % at 55 years). Every other row stays 0: no
// predicted value. The publication gives no RSD the set could use; the
// folder's README lists the rows left out and why.

#include "predicted/EquationTables.h"

namespace Equations {
namespace {

constexpr auto FemaleFour = KnudsonFemaleRanges;
constexpr auto MaleThree = KnudsonMaleRanges;
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> FemaleTwo{{{0, 20}, {21, 150}, {0, 0}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> MaleTwo{{{0, 25}, {26, 150}, {0, 0}, {0, 0}}};
// FEV1/FVC: one equation for the young (boys to 24, girls to 19 years), one
// for adults.
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> MaleRatio{{{0, 24}, {25, 150}, {0, 0}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> FemaleRatio{{{0, 19}, {20, 150}, {0, 0}, {0, 0}}};

constexpr TAgeRangeEntry Ranges[] = {
    {MEASURE_FVC, FEMALE, Fvc::FVC, FemaleFour},     {MEASURE_FVC, MALE, Fvc::FVC, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::FEV05, FemaleTwo},    {MEASURE_FVC, MALE, Fvc::FEV05, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEV1, FemaleFour},    {MEASURE_FVC, MALE, Fvc::FEV1, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::FEV1_FVC, FemaleRatio}, {MEASURE_FVC, MALE, Fvc::FEV1_FVC, MaleRatio},
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
    // FEV1, female: 6-10, 11-19 and 70 years and over. Women of 20-69
    // years: pyspiro alone gives the row (lungr holds the other fit).
    {{MEASURE_FVC, 0, FEMALE, Fvc::FEV1}, {0.0336f, 0, -2.7578f, 1, 0}},
    {{MEASURE_FVC, 1, FEMALE, Fvc::FEV1}, {0.0351f, 0.0694f, -3.7622f, 1, 0}},
    {{MEASURE_FVC, 3, FEMALE, Fvc::FEV1}, {0.0143f, -0.0397f, 2.6539f, 1, 0}},
    // FEV1, male: 6-11, 12-24 and 25 years and over
    {{MEASURE_FVC, 0, MALE, Fvc::FEV1}, {0.0348f, 0, -2.8142f, 1, 0}},
    {{MEASURE_FVC, 1, MALE, Fvc::FEV1}, {0.0519f, 0.0636f, -6.1181f, 1, 0}},
    {{MEASURE_FVC, 2, MALE, Fvc::FEV1}, {0.0665f, -0.0292f, -6.5147f, 1, 0}},
    // FEV1/FVC %, adults: women from 20, men from 25 years. The children's
    // rows (pyspiro alone) stay 0.
    {{MEASURE_FVC, 1, FEMALE, Fvc::FEV1_FVC}, {-0.01852f, -0.01896f, 12.16777f, 10, 0}},
    {{MEASURE_FVC, 1, MALE, Fvc::FEV1_FVC}, {0, -0.0105f, 8.66862f, 10, 0}},
    // FEF25-75: girls 6-10 and 11-19, boys 6-11, 12-24 and men 25 and over
    // (women from 20 years: pyspiro alone).
    {{MEASURE_FVC, 0, FEMALE, Fvc::FEF2575}, {0.022f, 0, -0.8119f, 1, 0}},
    {{MEASURE_FVC, 1, FEMALE, Fvc::FEF2575}, {0.0279f, 0.1275f, -2.8007f, 1, 0}},
    {{MEASURE_FVC, 0, MALE, Fvc::FEF2575}, {0.0338f, 0, -2.3197f, 1, 0}},
    {{MEASURE_FVC, 1, MALE, Fvc::FEF2575}, {0.0539f, 0.0749f, -6.199f, 1, 0}},
    {{MEASURE_FVC, 2, MALE, Fvc::FEF2575}, {0.0579f, -0.0363f, -4.5175f, 1, 0}},
    // Vmax50 (MEF50): the girls' 6-10 row depends on age alone.
    {{MEASURE_FVC, 0, FEMALE, Fvc::MEF50}, {0, 0.1846f, 0.7362f, 1, 0}},
    {{MEASURE_FVC, 1, FEMALE, Fvc::MEF50}, {0.0288f, 0.1111f, -2.304f, 1, 0}},
    {{MEASURE_FVC, 0, MALE, Fvc::MEF50}, {0.0378f, 0, -2.5454f, 1, 0}},
    {{MEASURE_FVC, 1, MALE, Fvc::MEF50}, {0.0543f, 0.115f, -6.3851f, 1, 0}},
    {{MEASURE_FVC, 2, MALE, Fvc::MEF50}, {0.0684f, -0.0366f, -5.5409f, 1, 0}},
    // Vmax75 (MEF25, the flow with a quarter of the FVC left). The girls'
    // 11-19 equation has a squared age term, which the set's linear rows
    // cannot hold: no value.
    {{MEASURE_FVC, 0, FEMALE, Fvc::MEF25}, {0.0109f, 0, -0.1657f, 1, 0}},
    {{MEASURE_FVC, 0, MALE, Fvc::MEF25}, {0.0171f, 0, -1.0149f, 1, 0}},
    {{MEASURE_FVC, 1, MALE, Fvc::MEF25}, {0.0397f, -0.0057f, -4.2421f, 1, 0}},
    {{MEASURE_FVC, 2, MALE, Fvc::MEF25}, {0.031f, -0.023f, -2.4827f, 1, 0}},
    // FEV0.5, PEF, MEF75, FIVC and the tests other than FVC have no
    // equation in the publication; their rows stay 0.
};

}  // namespace

constinit const TGroupedTable KnudsonTable = BuildGroupedTable(KnudsonSlots, Coefficients);
constinit const TAgeRangeTable KnudsonAgeRanges = BuildAgeRangeTable(KnudsonSlots, Ranges);

}  // namespace Equations
