#pragma once

// The evaluation of one recorded plethysmograph trial, in its order: the
// gas laws of the box, smoothing, the base line of the volume, the breath
// boundaries and drift, the panting loop and TGV, the lung volumes, the
// alveolar conversion (with the search for the share of the BTPS artefact
// of each loop), the resistance loops and their figures.

#include "platform/portkit/plethysmography/BoxGas.h"
#include "platform/portkit/plethysmography/LungVolumes.h"
#include "platform/portkit/plethysmography/ResistanceLoops.h"
#include "platform/portkit/plethysmography/TgvLoop.h"
#include "platform/portkit/spirometry/Extremes.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace plethysmography {

inline constexpr std::size_t AdaptiveCapacity = 10;

struct EvaluationSettings {
  double cabinL = 960.0;        // "VolumeOfCabin"
  double weightKg = 0.0;        // the patient's
  double tgvOffsetL = 0.0;      // "VolumeOfSensor": the dead space between mouth and shutter
  double artefactShare = 0.35;  // the fixed share of the BTPS artefact ("BTPSCorrectionEffect")
  int filterPasses = 0;         // 0: no smoothing
  LoopSettings loops;
  int adaptiveSteps = 50;       // "BTPSAutoSetStep": 0 uses the fixed share
  // The plot's axis divisors the loops are scored on (the zoom's flow and
  // pressure entries).
  double flowDivisor = 1.0;
  double pressureDivisor = 1.0;
  VolumeSettings volumes;
};

enum class EvaluationRefusal : std::uint8_t {
  None,
  NoManoeuvre,  // a mark is missing or lies off the trial: the record is cleared
  NoResidual,   // RV not above 0 (text 493): the record is cleared
};

// The searched share of the artefact of one loop and the score it left.
struct AdaptiveEntry {
  double factor = 1.0;
  std::int32_t score = -1;
};

struct TrialEvaluation {
  EvaluationRefusal refusal = EvaluationRefusal::None;
  double pressureEffectPa = 0.0;
  double correctedCabinL = 0.0;
  double dryGasFactor = 0.0;
  std::vector<std::size_t> crossings;
  std::optional<TgvLoop> tgvLoop;
  ResistanceLoops loops;
  std::optional<LoopBounds> resistanceLoop;  // the chosen one
  float firstBoxPressureForResistance = 0.0f;
  std::vector<AdaptiveEntry> adaptive;  // by loop number, when searched
  bool searched = false;
};

// Evaluates the trial in place into `record` (cleared first). `progress`
// hears the search's progress in per cent.
TrialEvaluation EvaluateTrial(const TrialSignals& trial, const Marks& marks, const BoxAir& air,
                              const EvaluationSettings& settings, spirometry::Extremes& extremes, PlethyRecord record,
                              const std::function<void(double)>& progress = {});

// The figures of one loop of an evaluated trial (after the user chose
// another): Raw and its family, Req, W and Rfreq.
void CalculateLoopFigures(const TrialSignals& trial, const ResistanceSegment& loop, PlethyRecord record);

// Adds RV to the first `count` volume samples: the volume curve then reads
// absolute lung volume.
void AddRvToVolumeCurve(std::span<float> volumeL, std::size_t count, double rvL);

}  // namespace plethysmography
