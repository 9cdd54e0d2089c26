#pragma once

// The rhinomanometry state of a measurement window: which nostril and pair
// of curve slots a start fills, the evaluation algorithm, the rows the
// tables show, both results and the provocation. The core holds one; the
// screens, printout and exports read it.

#include "common/RhinoParams.h"
#include "platform/portkit/rhinomanometry/CycleChoice.h"

#include <array>
#include <optional>
#include <string>

// Where a start records: the curve slot (0 and 1 the first pair, 2 and 3
// the second) and the nostril (0 left, 1 right or the whole nose).
struct TRhinoStart {
  short Slot = 0;
  short Side = 0;
  bool Posterior = false;
};

// The start ids 2011 (left nostril), 2012 (right nostril) and 2013
// (posterior); after a provocation they fill the second pair. Nothing for
// any other id.
std::optional<TRhinoStart> RhinoStartOf(unsigned startId, bool provoked);

using TRhinoRows = std::array<unsigned, RHINO_PRESSURE_COUNT>;

// The rows shown by default: anterior 75, 100 and 150 Pa; posterior 50, 75
// and 100 Pa.
inline constexpr TRhinoRows DefaultAnteriorRows{0, 1, 1, 1, 0};
inline constexpr TRhinoRows DefaultPosteriorRows{1, 1, 1, 0, 0};

struct TRhinoState {
  short Side = 0;          // of the current curve: 0 left nostril, 1 right or posterior
  bool Posterior = false;  // a posterior test was made or loaded in this window
  bool Anterior = false;   // likewise an anterior one
  short Algorithm = static_cast<short>(rhinomanometry::CycleAlgorithm::WholeRecording);
  short AlgorithmPre = -1;  // of the previous result; -1 none
  bool Provoked = false;    // a provocation was entered: starts fill the second pair
  bool SavingBase = false;  // only while the base is saved before a provocation
  TRhinoRows RowsAnterior = DefaultAnteriorRows;
  TRhinoRows RowsPosterior = DefaultPosteriorRows;
  RHINO_PARAMS ParamsAkt;  // slots 0 and 1: actual result, or the base
  RHINO_PARAMS ParamsPre;  // slots 2 and 3: previous result, or after the provocation
  std::string ProvocationMaterial;
  float ProvocationConcentration = 0.0f;  // mg/ml
  float ProvocationDose = 0.0f;           // ml
  float PressureZero = 0.0f;              // Pa; the flow's zero is the window's
  bool MoveToPrevious = false;  // a loaded result moves to the second pair at the next start
  bool BaseHeld = false;        // a stored provocation base was loaded into the first pair
  bool LoadedAkt = false;       // the first pair came from storage: the table head shows its date
  bool LoadedPre = false;       // likewise the second pair
  bool SettingsRead = false;  // the ini file's settings were read: the algorithm goes back on closing

  const TRhinoRows& ShownRows() const { return Posterior ? RowsPosterior : RowsAnterior; }
  RHINO_PARAMS& ParamsOfSlot(short slot) { return slot < 2 ? ParamsAkt : ParamsPre; }
};

// The language text that names an algorithm (405 largest cycle, 406 all
// samples, 407 smallest cycle); 0, an empty name, for -1 (none) and any
// value outside 0 to 2.
int RhinoAlgorithmText(short algorithm);
