// Cotton & Dust coefficients: the spirometric prediction equations of the
// occupational cotton-dust standard, height in cm, age in years.
//
// Each parameter has its own age ranges. Where a value could not be
// confirmed in two independent sources, or the standard defines no equation
// for the parameter, the row stays 0: no predicted value.

#include "predicted/EquationTables.h"

namespace Equations {
namespace {

constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> FemaleTwo{{{1, 20}, {21, 150}, {0, 0}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> MaleTwo{{{1, 25}, {26, 150}, {0, 0}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> FemaleFour{{{6, 10}, {11, 19}, {20, 69}, {70, 150}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> MaleThree{{{6, 11}, {12, 24}, {25, 150}, {0, 0}}};
constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> Whole{{{1, 150}, {0, 0}, {0, 0}, {0, 0}}};

constexpr TAgeRangeEntry Ranges[] = {
    // Volumes and peak flows: young and adult
    {MEASURE_FVC, FEMALE, Fvc::FVC, FemaleTwo},      {MEASURE_FVC, MALE, Fvc::FVC, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEV05, FemaleTwo},    {MEASURE_FVC, MALE, Fvc::FEV05, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEV1, FemaleTwo},     {MEASURE_FVC, MALE, Fvc::FEV1, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FEV1_FVC, Whole},     {MEASURE_FVC, MALE, Fvc::FEV1_FVC, Whole},
    {MEASURE_FVC, FEMALE, Fvc::PEF, FemaleTwo},      {MEASURE_FVC, MALE, Fvc::PEF, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::MEF75, FemaleTwo},    {MEASURE_FVC, MALE, Fvc::MEF75, MaleTwo},
    {MEASURE_FVC, FEMALE, Fvc::FIVC, FemaleTwo},     {MEASURE_FVC, MALE, Fvc::FIVC, MaleTwo},
    // Mid-expiratory flows: the four ranges of growth and aging
    {MEASURE_FVC, FEMALE, Fvc::FEF2575, FemaleFour}, {MEASURE_FVC, MALE, Fvc::FEF2575, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::MEF50, FemaleFour},   {MEASURE_FVC, MALE, Fvc::MEF50, MaleThree},
    {MEASURE_FVC, FEMALE, Fvc::MEF25, FemaleFour},   {MEASURE_FVC, MALE, Fvc::MEF25, MaleThree},
    // The other tests: one range over every age.
    {MEASURE_VC, FEMALE, Vc::IVC, Whole},            {MEASURE_VC, MALE, Vc::IVC, Whole},
    {MEASURE_MVV, FEMALE, Mvv::MVV, Whole},          {MEASURE_MVV, MALE, Mvv::MVV, Whole},
    {MEASURE_DFC, FEMALE, Dfc::TLC, Whole},          {MEASURE_DFC, MALE, Dfc::TLC, Whole},
    {MEASURE_DFC, FEMALE, Dfc::IVC, Whole},          {MEASURE_DFC, MALE, Dfc::IVC, Whole},
    {MEASURE_DFC, FEMALE, Dfc::RV, Whole},           {MEASURE_DFC, MALE, Dfc::RV, Whole},
    {MEASURE_DFC, FEMALE, Dfc::RV_TLC, Whole},       {MEASURE_DFC, MALE, Dfc::RV_TLC, Whole},
    {MEASURE_PLETHY, FEMALE, Plethy::TLC, Whole},    {MEASURE_PLETHY, MALE, Plethy::TLC, Whole},
    {MEASURE_PLETHY, FEMALE, Plethy::TGV, Whole},    {MEASURE_PLETHY, MALE, Plethy::TGV, Whole},
    {MEASURE_PLETHY, FEMALE, Plethy::RV, Whole},     {MEASURE_PLETHY, MALE, Plethy::RV, Whole},
    {MEASURE_PLETHY, FEMALE, Plethy::RV_TLC, Whole}, {MEASURE_PLETHY, MALE, Plethy::RV_TLC, Whole},
    {MEASURE_PLETHY, FEMALE, Plethy::RAW, Whole},    {MEASURE_PLETHY, MALE, Plethy::RAW, Whole},
    {MEASURE_PLETHY, FEMALE, Plethy::SGAW, Whole},   {MEASURE_PLETHY, MALE, Plethy::SGAW, Whole},
    {MEASURE_SHUTTER, FEMALE, Shutter::RAW, Whole},  {MEASURE_SHUTTER, MALE, Shutter::RAW, Whole},
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
