// ECCS coefficients: the official statement of the European Community for
// Steel and Coal and the European Respiratory Society "Lung volumes and
// forced ventilatory flows" (Quanjer et al., Eur Respir J 1993; 6 Suppl 16:
// 5-40), for adults of 18 to 70 years, and the children's rows that this
// system has always used.
//
// Height in cm, so a coefficient per metre of the statement appears here
// divided by 100 (5.76 H in metres is 0.0576 H in cm). Ratios in percent
// are kept in tenths with Scale 10 (87.21 % is 8.721 x 10); the slot RSD is
// Rsd x Scale. Ages 18 to 24 are computed as 25 for every index: the
// statement's rule, and the ECSC/ERS predictions that Eur Respir J tables
// quote for men of 18 years (FEV1 3.67 L and FVC 4.23 L at 160 cm, 4.53 L
// and 5.38 L at 180 cm) are the equations at 25 years, FEV1 and FVC
// included.
//
// Sources checked for each number: the coefficient table of the Python
// package pyspiro (eccs_1993_coefficients.csv) and the equations of the R
// package pfteqn (get_Quanjer_equations.R, whose lower limits are the
// prediction less 1.64 RSD). Where only one of them holds a number the
// field is 0 (no predicted value, or no RSD and so no grade); the folder's
// README lists those fields.

#include "predicted/EquationTables.h"

namespace Equations {
namespace {

constexpr short Table1 = 0;  // language 1
constexpr short Table2 = 1;  // every other language
constexpr short BothTables = 2;
constexpr short Child = 0;
constexpr short Adult = 1;

struct TEntry {
  short Tables;
  TPlace Place;  // kind, group, sex, parameter
  TLinearRow Row;  // height, age, constant, scale, RSD
};

constexpr TEntry Entries[] = {
    // --- Adults, forced expiration (both tables) ---
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::FVC}, {0.0443f, -0.026f, -2.89f, 1, 0.43f}},    // FVC, female
    // FEV0.5: the statement gives no equation (row stays 0), female and male
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::FEV1}, {0.0395f, -0.025f, -2.6f, 1, 0.38f}},    // FEV1, female
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::FEV1_IVC}, {0, -0.019f, 8.91f, 10, 0.65f}},     // FEV1/IVC %, female
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::FEV1_FVC}, {0, -0.019f, 8.91f, 10, 0.65f}},     // FEV1/FVC %, female
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::PEF}, {0.055f, -0.03f, -1.11f, 1, 0.9f}},       // PEF, female
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::FEF2575}, {0.0125f, -0.034f, 2.92f, 1, 0.85f}}, // FEF25-75, female
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::MEF75}, {0.0322f, -0.025f, 1.6f, 1, 1.35f}},    // MEF75, female
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::MEF50}, {0.0245f, -0.025f, 1.16f, 1, 1.1f}},    // MEF50, female
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::MEF25}, {0.0105f, -0.025f, 1.11f, 1, 0.69f}},   // MEF25, female
    {BothTables, {MEASURE_FVC, Adult, FEMALE, Fvc::MTT}, {0, 0.0147f, 0.094f, 1, 0}},              // MTT, female
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::FVC}, {0.0576f, -0.026f, -4.34f, 1, 0.61f}},      // FVC, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::FEV1}, {0.043f, -0.029f, -2.49f, 1, 0.51f}},      // FEV1, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::FEV1_IVC}, {0, -0.018f, 8.721f, 10, 0.71f}},      // FEV1/IVC %, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::FEV1_FVC}, {0, -0.018f, 8.721f, 10, 0.71f}},      // FEV1/FVC %, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::PEF}, {0.0614f, -0.043f, 0.15f, 1, 1.21f}},       // PEF, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::FEF2575}, {0.0194f, -0.043f, 2.7f, 1, 1.04f}},    // FEF25-75, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::MEF75}, {0.0546f, -0.029f, -0.47f, 1, 1.71f}},    // MEF75, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::MEF50}, {0.0379f, -0.031f, -0.35f, 1, 1.32f}},    // MEF50, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::MEF25}, {0.0261f, -0.026f, -1.34f, 1, 0.78f}},    // MEF25, male
    {BothTables, {MEASURE_FVC, Adult, MALE, Fvc::MTT}, {0, 0.0147f, 0.094f, 1, 0}},                // MTT, male

    // --- Adults, slow vital capacity ---
    // IVC, female: pyspiro and pfteqn both give -0.026 per year; a third,
    // unrelated transcription that also rewrites the statement's TLC has
    // -0.024. The RSDs (0.42 female, 0.56 male) are in pfteqn alone.
    {BothTables, {MEASURE_VC, Adult, FEMALE, Vc::IVC}, {0.0466f, -0.026f, -3.28f, 1, 0}},          // IVC, female
    {BothTables, {MEASURE_VC, Adult, MALE, Vc::IVC}, {0.061f, -0.028f, -4.65f, 1, 0}},             // IVC, male

    // MVV: the statement gives no equation; every row stays 0.

    // --- Adults, single-breath diffusion (lung volumes and transfer factor) ---
    {BothTables, {MEASURE_DFC, Adult, FEMALE, Dfc::TLC}, {0.066f, 0, -5.79f, 1, 0}},               // TLC, female
    {BothTables, {MEASURE_DFC, Adult, FEMALE, Dfc::IVC}, {0.0466f, -0.026f, -3.28f, 1, 0}},        // IVC, female
    {BothTables, {MEASURE_DFC, Adult, FEMALE, Dfc::RV}, {0.0181f, 0.016f, -2.00f, 1, 0}},          // RV, female
    {BothTables, {MEASURE_DFC, Adult, FEMALE, Dfc::RV_TLC}, {0, 0.034f, 1.896f, 10, 0}},           // RV/TLC %, female
    {BothTables, {MEASURE_DFC, Adult, FEMALE, Dfc::FRC}, {0.0224f, 0.001f, -1.00f, 1, 0}},         // FRC, female
    {BothTables, {MEASURE_DFC, Adult, MALE, Dfc::TLC}, {0.0799f, 0, -7.08f, 1, 0.7f}},             // TLC, male
    {BothTables, {MEASURE_DFC, Adult, MALE, Dfc::IVC}, {0.061f, -0.028f, -4.65f, 1, 0}},           // IVC, male
    {BothTables, {MEASURE_DFC, Adult, MALE, Dfc::RV}, {0.0131f, 0.022f, -1.23f, 1, 0}},            // RV, male
    {BothTables, {MEASURE_DFC, Adult, MALE, Dfc::RV_TLC}, {0, 0.039f, 1.396f, 10, 0.54f}},         // RV/TLC %, male
    {BothTables, {MEASURE_DFC, Adult, MALE, Dfc::FRC}, {0.0234f, 0.009f, -1.09f, 1, 0}},           // FRC, male
    {BothTables, {MEASURE_DFC, Adult, MALE, Dfc::TLCO}, {0.1111f, -0.066f, -6.03f, 1, 1.41f}},     // Tlco, male
    // Tlco female and Klco (both sexes): not confirmed, rows stay 0.

    // --- Adults, body plethysmography (TGV is the FRC equation) ---
    {BothTables, {MEASURE_PLETHY, Adult, FEMALE, Plethy::TLC}, {0.066f, 0, -5.79f, 1, 0}},         // TLC, female
    {BothTables, {MEASURE_PLETHY, Adult, FEMALE, Plethy::TGV}, {0.0224f, 0.001f, -1.00f, 1, 0}},   // TGV, female
    {BothTables, {MEASURE_PLETHY, Adult, FEMALE, Plethy::RV}, {0.0181f, 0.016f, -2.00f, 1, 0}},    // RV, female
    {BothTables, {MEASURE_PLETHY, Adult, FEMALE, Plethy::RV_TLC}, {0, 0.034f, 1.896f, 10, 0}},     // RV/TLC %, female
    {BothTables, {MEASURE_PLETHY, Adult, MALE, Plethy::TLC}, {0.0799f, 0, -7.08f, 1, 0.7f}},       // TLC, male
    {BothTables, {MEASURE_PLETHY, Adult, MALE, Plethy::TGV}, {0.0234f, 0.009f, -1.09f, 1, 0}},     // TGV, male
    {BothTables, {MEASURE_PLETHY, Adult, MALE, Plethy::RV}, {0.0131f, 0.022f, -1.23f, 1, 0}},      // RV, male
    {BothTables, {MEASURE_PLETHY, Adult, MALE, Plethy::RV_TLC}, {0, 0.039f, 1.396f, 10, 0.54f}},   // RV/TLC %, male
    {BothTables, {MEASURE_PLETHY, Adult, MALE, Plethy::RAW}, {0, 0, 0.22f, 1, 0.41f}},             // Raw, male
    {BothTables, {MEASURE_PLETHY, Adult, MALE, Plethy::SGAW}, {0, 0, 1.04f, 1, 0.41f}},            // sGaw, male
    // Raw and sGaw, female: not confirmed, rows stay 0.

    // --- Adults, shutter ---
    {BothTables, {MEASURE_SHUTTER, Adult, MALE, Shutter::RAW}, {0, 0, 0.22f, 1, 0.41f}},           // Raw, male

    // --- Children, first table: ln FVC = Height x ln H + Age (the Age field
    // holds the log constant), RSD of ln FVC ---
    {Table1, {MEASURE_FVC, Child, FEMALE, Fvc::FVC}, {3.072f, -14.559f, 0, 1, 0.135f}},            // FVC, female
    {Table1, {MEASURE_FVC, Child, FEMALE, Fvc::FEV1_IVC}, {0, -32, 9.09f, 10, 0}},                 // FEV1/IVC 90.9 %, female
    {Table1, {MEASURE_FVC, Child, FEMALE, Fvc::FEV1_FVC}, {0, -32, 9.09f, 10, 0}},                 // FEV1/FVC 90.9 %, female
    {Table1, {MEASURE_FVC, Child, MALE, Fvc::FVC}, {3.035f, -14.301f, 0, 1, 0.136f}},              // FVC, male
    {Table1, {MEASURE_FVC, Child, MALE, Fvc::FEV1_IVC}, {0, -32, 9.09f, 10, 0}},                   // FEV1/IVC 90.9 %, male
    {Table1, {MEASURE_FVC, Child, MALE, Fvc::FEV1_FVC}, {0, -32, 9.09f, 10, 0}},                   // FEV1/FVC 90.9 %, male

    // --- Children, second table (linear) ---
    {Table2, {MEASURE_FVC, Child, MALE, Fvc::FVC}, {0.038f, 0.049f, -3.73f, 1, 0}},                // FVC, male
};

constexpr std::array<TEccsTable, ECCS_TABLES> Build() {
  std::array<TEccsTable, ECCS_TABLES> tables{};
  for (const TEntry& entry : Entries) {
    const auto kind = static_cast<std::size_t>(entry.Place.Kind);
    const auto group = static_cast<std::size_t>(entry.Place.Group);
    const auto sex = static_cast<std::size_t>(entry.Place.Sex);
    const auto row = static_cast<std::size_t>(RowIn(EccsSlots, entry.Place));
    for (short table = 0; table < ECCS_TABLES; ++table)
      if (entry.Tables == BothTables || entry.Tables == table)
        tables[static_cast<std::size_t>(table)][kind][group][sex][row] = entry.Row;
  }
  return tables;
}

}  // namespace

constinit const std::array<TEccsTable, ECCS_TABLES> EccsTables = Build();

}  // namespace Equations
