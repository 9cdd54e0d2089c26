// Austrian coefficients, height in metres, age in years, weight in kg.
// Group 0: girls of 5 to 15 and boys of 5 to 17 years; group 1: everyone
// older. The equation of each row is chosen by its slot (see the Austrian
// calculation functions); the RSD is in the unit of the predicted value.
//
// These are the rows the set has always held. None of the public
// reference-equation libraries at hand (pyspiro, pfteqn, lungr) transcribes
// the Austrian publication, so no number here could be checked against a
// second source; the tests work each row by hand from the set's equations.
//
// The FEV1 ratio rows of the older group and of boys held 0.257 and 0.249 as
// their RSD: a spread of a quarter of a percentage point is no RSD of a
// percentage (the younger girls' row has 4.85), so those RSDs are 0 and the
// ratio is shown without a grade.

#include "predicted/EquationTables.h"

namespace Equations {
namespace {

constexpr short Young = 0;
constexpr short Older = 1;

struct TAustrianEntry {
  TPlace Place;  // kind, group, sex, parameter
  TAustrianRow Row;  // r0, r1, r2, r3, r4, RSD
};

constexpr TAustrianEntry AustrianEntries[] = {
    // Girls
    {{MEASURE_FVC, Young, FEMALE, Fvc::FVC}, {4.1632f, 0.1341f, 0, -1.614f, -3.842f, 0.855f}},       // FVC
    {{MEASURE_FVC, Young, FEMALE, Fvc::FEV1}, {3.9809f, 0.1485f, 0, -1.322f, -3.877f, 0.857f}},      // FEV1
    {{MEASURE_FVC, Young, FEMALE, Fvc::FEV1_IVC}, {0, 0, 0, 0, 92.33f, 4.85f}},                      // FEV1/IVC %
    {{MEASURE_FVC, Young, FEMALE, Fvc::FEV1_FVC}, {0, 0, 0, 0, 92.33f, 4.85f}},                      // FEV1/FVC %
    {{MEASURE_FVC, Young, FEMALE, Fvc::PEF}, {1.793f, 0.4251f, 0, -0.91f, 0.411f, 0.737f}},          // PEF
    {{MEASURE_FVC, Young, FEMALE, Fvc::MEF75}, {1.616f, 0.3738f, 0, -0.861f, 0.455f, 0.638f}},       // MEF75
    {{MEASURE_FVC, Young, FEMALE, Fvc::MEF50}, {1.643f, 0.3481f, 0, -1.089f, 0.256f, 0.522f}},       // MEF50
    {{MEASURE_FVC, Young, FEMALE, Fvc::MEF25}, {2.002f, 0.3063f, 0, -0.409f, -0.772f, 0.419f}},      // MEF25
    {{MEASURE_VC, Young, FEMALE, Vc::IVC}, {4.1632f, 0.1341f, 0, -1.614f, -3.842f, 0.855f}},         // IVC
    // Boys
    {{MEASURE_FVC, Young, MALE, Fvc::FVC}, {1.259f, 0.00407f, 0, 0, -1.142f, 0.902f}},               // FVC
    {{MEASURE_FVC, Young, MALE, Fvc::FEV1}, {1.221f, 0.003841f, 0, 0, -1.178f, 0.892f}},             // FEV1
    {{MEASURE_FVC, Young, MALE, Fvc::FEV1_IVC}, {-1.191f, -3.962f, 0, 0, 101.99f, 0}},               // FEV1/IVC %
    {{MEASURE_FVC, Young, MALE, Fvc::FEV1_FVC}, {-1.191f, -3.962f, 0, 0, 101.99f, 0}},               // FEV1/FVC %
    {{MEASURE_FVC, Young, MALE, Fvc::PEF}, {0.921f, 0.0467f, 0, 0.002f, -0.214f, 0.806f}},           // PEF
    {{MEASURE_FVC, Young, MALE, Fvc::MEF75}, {0.77f, 0.0373f, 0, 0.0025f, -0.077f, 0.687f}},         // MEF75
    {{MEASURE_FVC, Young, MALE, Fvc::MEF50}, {0.843f, 0.03f, 0, 0.0035f, -0.522f, 0.598f}},          // MEF50
    {{MEASURE_FVC, Young, MALE, Fvc::MEF25}, {1.166f, 0.0219f, 0, 0.0021f, -1.576f, 0.487f}},        // MEF25
    {{MEASURE_VC, Young, MALE, Vc::IVC}, {1.259f, 0.00407f, 0, 0, -1.142f, 0.902f}},                 // IVC
    // Women
    {{MEASURE_FVC, Older, FEMALE, Fvc::FVC}, {6.64f, -0.0408f, 1.7293f, 0, -10.815f, 0.658f}},       // FVC
    {{MEASURE_FVC, Older, FEMALE, Fvc::FEV1}, {5.174f, -0.0314f, 1.0251f, 0, -6.995f, 0.711f}},      // FEV1
    {{MEASURE_FVC, Older, FEMALE, Fvc::FEV1_IVC}, {-3.032f, -6.9053f, 0, 0, 118.993f, 0}},           // FEV1/IVC %
    {{MEASURE_FVC, Older, FEMALE, Fvc::FEV1_FVC}, {-3.032f, -6.9053f, 0, 0, 118.993f, 0}},           // FEV1/FVC %
    {{MEASURE_FVC, Older, FEMALE, Fvc::PEF}, {1.838f, 0.0078f, -0.000172f, 0, 1.832f, 0.391f}},      // PEF
    {{MEASURE_FVC, Older, FEMALE, Fvc::MEF75}, {1.421f, 0.0096f, -0.000179f, 0, 1.779f, 0.295f}},    // MEF75
    {{MEASURE_FVC, Older, FEMALE, Fvc::MEF50}, {1.177f, 0.0045f, -0.00014f, 0, 1.561f, 0.304f}},     // MEF50
    {{MEASURE_FVC, Older, FEMALE, Fvc::MEF25}, {0.938f, -0.0152f, 3.6e-05f, 0, 1.372f, 0.545f}},     // MEF25
    {{MEASURE_VC, Older, FEMALE, Vc::IVC}, {6.64f, -0.0408f, 1.7293f, 0, -10.815f, 0.658f}},         // IVC
    // Men
    {{MEASURE_FVC, Older, MALE, Fvc::FVC}, {8.172f, -0.0339f, 1.2869f, 0, -11.606f, 0.594f}},        // FVC
    {{MEASURE_FVC, Older, MALE, Fvc::FEV1}, {6.212f, -0.03f, 0.977f, 0, -8.125f, 0.611f}},           // FEV1
    {{MEASURE_FVC, Older, MALE, Fvc::FEV1_IVC}, {-1.191f, -3.962f, 0, 0, 101.99f, 0}},               // FEV1/IVC %
    {{MEASURE_FVC, Older, MALE, Fvc::FEV1_FVC}, {-1.191f, -3.962f, 0, 0, 101.99f, 0}},               // FEV1/FVC %
    {{MEASURE_FVC, Older, MALE, Fvc::PEF}, {2.311f, 0.0159f, -0.000248f, 0, 1.798f, 0.312f}},        // PEF
    {{MEASURE_FVC, Older, MALE, Fvc::MEF75}, {1.854f, 0.0213f, -0.000283f, 0, 1.581f, 0.193f}},      // MEF75
    {{MEASURE_FVC, Older, MALE, Fvc::MEF50}, {1.29f, 0.0125f, -0.000218f, 0, 1.49f, 0.206f}},        // MEF50
    {{MEASURE_FVC, Older, MALE, Fvc::MEF25}, {0.898f, -0.0083f, -2.6e-05f, 0, 1.314f, 0.396f}},      // MEF25
    {{MEASURE_VC, Older, MALE, Vc::IVC}, {8.172f, -0.0339f, 1.2869f, 0, -11.606f, 0.594f}},          // IVC
};

constexpr TAustrianTable BuildAustrianTable() {
  TAustrianTable table{};
  for (const TAustrianEntry& entry : AustrianEntries)
    table[static_cast<std::size_t>(entry.Place.Kind)][static_cast<std::size_t>(entry.Place.Group)]
         [static_cast<std::size_t>(entry.Place.Sex)][static_cast<std::size_t>(RowIn(AustrianSlots, entry.Place))] =
             entry.Row;
  return table;
}

}  // namespace

constinit const TAustrianTable AustrianTable = BuildAustrianTable();

}  // namespace Equations
