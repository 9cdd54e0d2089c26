#pragma once

// The coefficient tables of the equation sets and the slot maps that tie
// their rows to the parameters. Each set's numbers live in its own source
// file, one row per parameter and sex, in the publication's own terms.
//
// A set's rows for one test kind, sex and age group lie in the order of the
// parameters it defines: row k belongs to the k-th parameter of the kind's
// slot map. The data files name the parameter; RowOf turns it into the row.

#include "common/MeasureMode.h"
#include "common/ParameterBlocks.h"

#include <array>
#include <cstddef>
#include <span>

namespace Equations {

inline constexpr short FEMALE = 0;
inline constexpr short MALE = 1;

// Parameter indexes used by the tables (their place in the test kind's block).
namespace Fvc {
inline constexpr short FVC = 0, FEV05 = 1, FEV1 = 2, FEV1_IVC = 5, FEV1_FVC = 6, PEF = 7, FEF2575 = 8, MEF75 = 9,
                       MEF50 = 10, MEF25 = 11, MTT = 13, FIVC = 14, PIF = 17;
}
namespace Vc {
inline constexpr short IVC = 0;
}
namespace Mvv {
inline constexpr short MVV = 0;
}
namespace Dfc {
inline constexpr short TLC = 0, IVC = 1, RV = 5, RV_TLC = 6, FRC = 7, TLCO = 9, KLCO = 10;
}
namespace Plethy {
inline constexpr short TLC = 0, TGV = 1, RV = 2, RV_TLC = 3, RAW = 4, SGAW = 14;
}
namespace Shutter {
inline constexpr short RAW = 0;
}

using TSlotList = std::span<const short>;
using TSlotMap = std::array<TSlotList, TEST_KIND_COUNT>;

// The row of a parameter in a set's table, -1 when the set does not define it.
constexpr short RowOf(TSlotList slots, short parameter) {
  for (std::size_t row = 0; row < slots.size(); ++row)
    if (slots[row] == parameter)
      return static_cast<short>(row);
  return -1;
}

// value = (Age x A + Height x H + Constant) x Scale, H in cm. The ECCS
// children's rows of the first table read the same fields as
// value = (exp(Height x ln H + Age) + Constant) x Scale.
struct TLinearRow {
  float Height = 0.0f;
  float Age = 0.0f;
  float Constant = 0.0f;
  float Scale = 0.0f;
  float Rsd = 0.0f;  // in the row's own units, before Scale
};

// The Austrian equations' coefficients r0 to r4 and the row's RSD.
struct TAustrianRow {
  float R0 = 0.0f, R1 = 0.0f, R2 = 0.0f, R3 = 0.0f, R4 = 0.0f;
  float Rsd = 0.0f;
};

// value = 10 ^ (A x age + B x log10 age + C / height in m + D).
struct TFinnRow {
  float A = 0.0f, B = 0.0f, C = 0.0f, D = 0.0f;
};

// Inclusive age range of one group; {0, 0} for a group that is not used.
struct TAgeRange {
  short Min = 0;
  short Max = 0;
};

// The slots each set fills, in row order.
namespace Slots {
inline constexpr short EccsFvc[] = {Fvc::FVC,     Fvc::FEV05, Fvc::FEV1,  Fvc::FEV1_IVC, Fvc::FEV1_FVC, Fvc::PEF,
                                    Fvc::FEF2575, Fvc::MEF75, Fvc::MEF50, Fvc::MEF25,    Fvc::MTT};
inline constexpr short EccsDfc[] = {Dfc::TLC, Dfc::IVC, Dfc::RV, Dfc::RV_TLC, Dfc::FRC, Dfc::TLCO, Dfc::KLCO};
inline constexpr short KnudsonFvc[] = {Fvc::FVC,     Fvc::FEV05, Fvc::FEV1,  Fvc::FEV1_FVC, Fvc::PEF,
                                       Fvc::FEF2575, Fvc::MEF75, Fvc::MEF50, Fvc::MEF25,    Fvc::FIVC};
inline constexpr short KnudsonDfc[] = {Dfc::TLC, Dfc::IVC, Dfc::RV, Dfc::RV_TLC};
inline constexpr short Plethysmography[] = {Plethy::TLC, Plethy::TGV, Plethy::RV, Plethy::RV_TLC, Plethy::RAW, Plethy::SGAW};
inline constexpr short CrapoHsuFvc[] = {Fvc::FVC, Fvc::FEV05, Fvc::FEV1, Fvc::FEV1_FVC, Fvc::FEF2575};
inline constexpr short AustrianFvc[] = {Fvc::FVC,   Fvc::FEV1,  Fvc::FEV1_IVC, Fvc::FEV1_FVC,
                                        Fvc::PEF,   Fvc::MEF75, Fvc::MEF50,    Fvc::MEF25};
inline constexpr short FinnFvc[] = {Fvc::FVC, Fvc::FEV1,  Fvc::FEV1_IVC, Fvc::FEV1_FVC,
                                    Fvc::PEF, Fvc::MEF50, Fvc::MEF25,    Fvc::PIF};
inline constexpr short First[] = {0};  // IVC, MVV, shutter Raw
}  // namespace Slots

inline constexpr TSlotMap EccsSlots{Slots::EccsFvc, Slots::First, Slots::First,
                                    Slots::EccsDfc, Slots::Plethysmography, Slots::First};
// Cotton & Dust fills the same slots as Knudson.
inline constexpr TSlotMap KnudsonSlots{Slots::KnudsonFvc, Slots::First, Slots::First,
                                       Slots::KnudsonDfc, Slots::Plethysmography, Slots::First};
inline constexpr TSlotMap CrapoHsuSlots{Slots::CrapoHsuFvc, {}, {}, {}, {}, {}};
inline constexpr TSlotMap AustrianSlots{Slots::AustrianFvc, Slots::First, {}, {}, {}, {}};
inline constexpr TSlotMap FinnSlots{Slots::FinnFvc, Slots::First, {}, {}, {}, {}};

// ECCS: [table: 0 the first (language 1), 1 the second][kind][group][sex][row].
inline constexpr short ECCS_TABLES = 2;
inline constexpr short ECCS_GROUPS = 2;
using TEccsTable =
    std::array<std::array<std::array<std::array<TLinearRow, MAX_PARAMETER_COUNT>, 2>, ECCS_GROUPS>, TEST_KIND_COUNT>;
extern const std::array<TEccsTable, ECCS_TABLES> EccsTables;

// Knudson and Cotton & Dust: [kind][sex][row][group], each parameter with
// its own four age ranges.
inline constexpr short AGE_RANGE_GROUPS = 4;
using TGroupedTable =
    std::array<std::array<std::array<std::array<TLinearRow, AGE_RANGE_GROUPS>, MAX_PARAMETER_COUNT>, 2>,
               TEST_KIND_COUNT>;
using TAgeRangeTable =
    std::array<std::array<std::array<std::array<TAgeRange, AGE_RANGE_GROUPS>, MAX_PARAMETER_COUNT>, 2>,
               TEST_KIND_COUNT>;
extern const TGroupedTable KnudsonTable;
extern const TAgeRangeTable KnudsonAgeRanges;
extern const TGroupedTable CottonAndDustTable;
extern const TAgeRangeTable CottonAndDustAgeRanges;

// Crapo-Hsu: one group, FVC only. [sex][row]
using TCrapoHsuTable = std::array<std::array<TLinearRow, MAX_PARAMETER_COUNT>, 2>;
extern const TCrapoHsuTable CrapoHsuTable;

// Austrian: [kind: FVC, VC][group][sex][row], height in metres.
using TAustrianTable = std::array<std::array<std::array<std::array<TAustrianRow, MAX_PARAMETER_COUNT>, 2>, 2>, 2>;
extern const TAustrianTable AustrianTable;

// Finnish: [kind: FVC, VC][sex][row]; both age groups use the same rows.
using TFinnTable = std::array<std::array<std::array<TFinnRow, MAX_PARAMETER_COUNT>, 2>, 2>;
extern const TFinnTable FinnTable;

// Where a table entry goes: its kind, sex and parameter (and for some sets
// the age group). The builders below place it in its row, and refuse at
// compile time a parameter that the set's slot map does not hold.
struct TPlace {
  short Kind;
  short Group;
  short Sex;
  short Parameter;
};

constexpr short RowIn(const TSlotMap& slots, const TPlace& place) {
  const short row = RowOf(slots[static_cast<std::size_t>(place.Kind)], place.Parameter);
  if (row < 0)
    throw "parameter outside the set's slot map";  // stops the constant evaluation
  return row;
}

// Knudson and Cotton & Dust entries: a coefficient row for one group, and
// the four age ranges of one parameter.
struct TGroupedEntry {
  TPlace Place;  // kind, group, sex, parameter
  TLinearRow Row;  // height, age, constant, scale, RSD
};

struct TAgeRangeEntry {
  short Kind;
  short Sex;
  short Parameter;
  std::array<TAgeRange, AGE_RANGE_GROUPS> Ranges;
};

template <std::size_t N>
constexpr TGroupedTable BuildGroupedTable(const TSlotMap& slots, const TGroupedEntry (&entries)[N]) {
  TGroupedTable table{};
  for (const TGroupedEntry& entry : entries)
    table[static_cast<std::size_t>(entry.Place.Kind)][static_cast<std::size_t>(entry.Place.Sex)]
         [static_cast<std::size_t>(RowIn(slots, entry.Place))][static_cast<std::size_t>(entry.Place.Group)] = entry.Row;
  return table;
}

// Knudson's ranges of growth and aging, which Cotton & Dust shares for its
// mid-expiratory flows.
inline constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> KnudsonFemaleRanges{{{6, 10}, {11, 19}, {20, 69}, {70, 150}}};
inline constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> KnudsonMaleRanges{{{6, 11}, {12, 24}, {25, 150}, {0, 0}}};

// The FVC rows name their ranges; every slot of the other tests has one
// range over every age.
template <std::size_t N>
constexpr TAgeRangeTable BuildAgeRangeTable(const TSlotMap& slots, const TAgeRangeEntry (&entries)[N]) {
  constexpr std::array<TAgeRange, AGE_RANGE_GROUPS> Whole{{{1, 150}, {0, 0}, {0, 0}, {0, 0}}};
  TAgeRangeTable table{};
  for (std::size_t kind = MEASURE_VC; kind < TEST_KIND_COUNT; ++kind)
    for (auto& rows : table[kind])
      for (std::size_t row = 0; row < slots[kind].size(); ++row)
        rows[row] = Whole;
  for (const TAgeRangeEntry& entry : entries)
    table[static_cast<std::size_t>(entry.Kind)][static_cast<std::size_t>(entry.Sex)]
         [static_cast<std::size_t>(RowIn(slots, {entry.Kind, 0, entry.Sex, entry.Parameter}))] = entry.Ranges;
  return table;
}

}  // namespace Equations
