#include "predicted/Predicted.h"

#include "predicted/SetHelpers.h"

#include "platform/basekit/Convert.h"
#include "platform/framework/Profile.h"

#include <algorithm>
#include <climits>
#include <cmath>

short TPredicted::Language = 0;

namespace {

constexpr std::size_t MaxIniNameLength = 254;
constexpr const char* AlgorithmSection = "Predicted Algorithm";
constexpr const char* AlgorithmKey = "Algorithm";

// Grading thresholds in residual standard deviations.
constexpr float Grade1 = 1.64f;
constexpr float Grade2 = 2.46f;
constexpr float Grade3 = 3.28f;

// Common limits of every set, and the height limits of the sets without a
// height table of their own.
constexpr short MinWeightKg = 5;
constexpr short MaxWeightKg = 150;
constexpr float MinHeightM = 0.5f;
constexpr float MaxHeightM = 2.5f;

// Age, height and weight as the equations take them: whole years, cm and
// kg. Nothing when a value is missing, out of range or the sex index is
// neither 0 nor 1.
struct TPatientMeasures {
  short Sex = 0;
  short Age = 0;
  short HeightCm = 0;
  short WeightKg = 0;
};

bool FitsShort(long long value) { return value > 0 && value <= SHRT_MAX; }

bool GetMeasures(const PREDICTED_DATA& patient, TPatientMeasures& measures) {
  if (patient.Sex != 0 && patient.Sex != 1)
    return false;
  if (patient.Age <= 0 || patient.Height <= 0 || patient.Weight <= 0)
    return false;
  long long heightCm = patient.Height;
  long long weightKg = patient.Weight;
  if (patient.Unit == 1) {
    // Truncated, not rounded: 70 in (177.8 cm) is used as 177 cm.
    heightCm = static_cast<long long>(TConvert::inTOcm(0.0f, static_cast<float>(patient.Height)));
    weightKg = static_cast<long long>(TConvert::lbTOkg(static_cast<float>(patient.Weight)));
  }
  if (!FitsShort(patient.Age) || !FitsShort(heightCm) || !FitsShort(weightKg))
    return false;
  measures.Sex = static_cast<short>(patient.Sex);
  measures.Age = static_cast<short>(patient.Age);
  measures.HeightCm = static_cast<short>(heightCm);
  measures.WeightKg = static_cast<short>(weightKg);
  return true;
}

}  // namespace

TPredicted::TPredicted(const char* iniName, short language, float factor) {
  const std::string_view name = iniName ? std::string_view(iniName) : std::string_view();
  IniName = std::string(name.substr(0, std::min(name.size(), MaxIniNameLength)));
  Language = language;

  // Every slot of every table starts with no equation and RSD 0.
  const auto clear = [](auto& table) {
    for (auto& group : table.Function)
      for (auto& sexes : group)
        for (auto& slots : sexes)
          slots.fill(&TPredicted::DefaultCalculation);
  };
  clear(Fvc);
  clear(Vc);
  clear(Mvv);
  clear(Dfc);
  clear(Plethy);
  clear(Shutter);

  InicECCSPredictedValue();
  InicFinnPredictedValue();
  InicKnudsonPredictedValue();
  InicCottonAndDustPredictedValue();
  InicCrapoHsuPredictedValue();
  InicAustrianPredictedValue();

  ReadAlgorithmConstans();
  Factor = factor;
}

float TPredicted::DefaultCalculation(short, short&, short, float, short, short) { return 0.0f; }

template <class TTable, class TVisit>
void TPredicted::VisitSlot(TTable& tables, short set, short kind, short group, short sex, short parameter,
                           TVisit&& visit) {
  const auto s = static_cast<std::size_t>(set);
  const auto g = static_cast<std::size_t>(group);
  const auto x = static_cast<std::size_t>(sex);
  const auto p = static_cast<std::size_t>(parameter);
  const auto at = [&](auto& table) { visit(table.Rsd[s][g][x][p], table.Function[s][g][x][p]); };
  switch (kind) {
  case MEASURE_FVC: at(tables.Fvc); break;
  case MEASURE_VC: at(tables.Vc); break;
  case MEASURE_MVV: at(tables.Mvv); break;
  case MEASURE_DFC: at(tables.Dfc); break;
  case MEASURE_PLETHY: at(tables.Plethy); break;
  case MEASURE_SHUTTER: at(tables.Shutter); break;
  default: break;
  }
}

void TPredicted::SetSlot(short set, short kind, short group, short sex, short parameter, TCalculation function,
                         float rsd) {
  VisitSlot(*this, set, kind, group, sex, parameter, [&](float& slotRsd, TCalculation& slotFunction) {
    slotRsd = rsd;
    slotFunction = function;
  });
}

void TPredicted::GetSlot(short set, short kind, short group, short sex, short parameter, TCalculation& function,
                         float& rsd) const {
  function = &TPredicted::DefaultCalculation;
  rsd = 0.0f;
  VisitSlot(*this, set, kind, group, sex, parameter, [&](float slotRsd, TCalculation slotFunction) {
    rsd = slotRsd;
    function = slotFunction;
  });
}

short TPredicted::EffectiveAlgorithm() const {
  return PredictedAlgorithm >= 0 && PredictedAlgorithm <= PREDICTED_UNSTORED ? PredictedAlgorithm
                                                                                 : PREDICTED_NONE;
}

void TPredicted::CalculateFvcPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const {
  CalculatePredicted(MEASURE_FVC, patient, predicted, rsd);
}

void TPredicted::CalculateVcPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const {
  CalculatePredicted(MEASURE_VC, patient, predicted, rsd);
}

void TPredicted::CalculateMvvPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const {
  CalculatePredicted(MEASURE_MVV, patient, predicted, rsd);
}

void TPredicted::CalculateDfcPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const {
  CalculatePredicted(MEASURE_DFC, patient, predicted, rsd);
}

void TPredicted::CalculatePlethyPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const {
  CalculatePredicted(MEASURE_PLETHY, patient, predicted, rsd);
}

void TPredicted::CalculateShPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const {
  CalculatePredicted(MEASURE_SHUTTER, patient, predicted, rsd);
}

void TPredicted::CalculatePredicted(short kind, const PREDICTED_DATA& patient, float* predicted, float* rsd) const {
  const short count = ParameterCount(kind);
  std::fill_n(predicted, count, 0.0f);
  std::fill_n(rsd, count, 0.0f);

  TPatientMeasures measures;
  if (!GetMeasures(patient, measures))
    return;
  const short set = EffectiveAlgorithm();
  if (set == PREDICTED_NONE || set == PREDICTED_UNSTORED)
    return;

  const short sex = measures.Sex;
  const short age = measures.Age;
  const short weight = measures.WeightKg;
  const auto heightCm = static_cast<float>(measures.HeightCm);
  short counter = 0;
  short group = 0;
  for (short i = 0; i < count; ++i) {
    switch (set) {
    case PREDICTED_ECCS:
    case PREDICTED_KNUDSON:
    case PREDICTED_COTTON_DUST:
    case PREDICTED_FINNISH: group = IndexAge(kind, sex, age, counter); break;
    case PREDICTED_AUSTRIAN:
      if (i == 0)
        group = IndexAge(kind, sex, age, 0);
      break;
    default: group = 0; break;
    }
    TCalculation function = nullptr;
    float slotRsd = 0.0f;
    GetSlot(set, kind, group, sex, i, function, slotRsd);

    if (set == PREDICTED_AUSTRIAN) {
      predicted[i] = function(kind, counter, sex, heightCm * 0.01f, age, weight) * Factor;
      rsd[i] = slotRsd;
    } else if (set == PREDICTED_ECCS && Language == 1 && group == 0 &&
               (kind == MEASURE_FVC || kind == MEASURE_VC)) {
      // These children's rows hold the standard deviation of ln(value):
      // turn it into the distance below the predicted value.
      const float p = function(kind, counter, sex, heightCm, age, weight) * Factor;
      predicted[i] = p;
      if (p <= 0.0f)
        rsd[i] = 0.0f;
      else if (kind == MEASURE_FVC && (i == 5 || i == 6))
        rsd[i] = slotRsd;
      else
        rsd[i] = static_cast<float>(p - std::exp(std::log(static_cast<double>(p)) - slotRsd));
    } else {
      rsd[i] = slotRsd;
      predicted[i] = function(kind, counter, sex, heightCm, age, weight) * Factor;
    }
  }
}

const char* TPredicted::GetPredictedRSD(float measured, float predicted, float rsd) const {
  static char grade[4];
  const auto set = [](const char* text) {
    std::copy_n(text, 4, grade);
    return grade;
  };
  if (predicted == 0.0f || measured == 0.0f || EffectiveAlgorithm() == PREDICTED_NONE || rsd == 0.0f)
    return set("   ");
  if (measured >= predicted + Grade3 * rsd)
    return set("+++");
  if (measured >= predicted + Grade2 * rsd)
    return set(" ++");
  if (measured >= predicted + Grade1 * rsd)
    return set("  +");
  if (measured <= predicted - Grade3 * rsd)
    return set("---");
  if (measured <= predicted - Grade2 * rsd)
    return set(" --");
  if (measured <= predicted - Grade1 * rsd)
    return set("  -");
  return set("   ");
}

bool TPredicted::VerifyPredictedLimits(PREDICTED_DATA patient) const {
  const short set = EffectiveAlgorithm();
  if (set == PREDICTED_NONE)
    return true;
  // The limits are in kg and metres: an imperial block is converted first,
  // as for the equations; a block that the equations refuse is refused here.
  TPatientMeasures measures;
  if (!GetMeasures(patient, measures))
    return false;
  if (measures.WeightKg < MinWeightKg || measures.WeightKg > MaxWeightKg)
    return false;

  const short sex = measures.Sex;
  const short age = measures.Age;
  const float heightM = static_cast<float>(measures.HeightCm) * 0.01f;
  bool inside = true;
  switch (set) {
  case PREDICTED_ECCS: inside = VerifyEccsLimits(sex, age, heightM); break;
  case PREDICTED_KNUDSON: inside = VerifyKnudsonLimits(age); break;
  case PREDICTED_COTTON_DUST: inside = VerifyCottonAndDustLimits(age); break;
  case PREDICTED_CRAPO_HSU: inside = VerifyCrapoHsuLimits(age); break;
  case PREDICTED_AUSTRIAN: return VerifyAustrianLimits(sex, age, heightM);
  case PREDICTED_FINNISH: inside = VerifyFinnLimits(sex, age, heightM); break;
  default: break;
  }
  if (inside && set != PREDICTED_ECCS)
    inside = Equations::InsideHeight(heightM, MinHeightM, MaxHeightM);
  return inside;
}

TPredictedLimits TPredicted::GetPredictedLimits(short sex, short age) const {
  TPredictedLimits limits;
  const short set = EffectiveAlgorithm();
  // The height and age tables have rows for the two sexes only.
  if (set == PREDICTED_NONE || (sex != 0 && sex != 1))
    return limits;
  limits.MinWeight = MinWeightKg;
  limits.MaxWeight = MaxWeightKg;

  switch (set) {
  case PREDICTED_ECCS: GetEccsHeightLimit(sex, age, limits); break;
  case PREDICTED_AUSTRIAN: GetAustrianHeightLimit(sex, age, limits); break;
  case PREDICTED_FINNISH: GetFinnHeightLimit(sex, age, limits); break;
  default:
    limits.MinHeight = MinHeightM;
    limits.MaxHeight = MaxHeightM;
    break;
  }
  switch (set) {
  case PREDICTED_ECCS: GetEccsAgeLimit(age, limits); break;
  case PREDICTED_KNUDSON: GetKnudsonLimit(limits); break;
  case PREDICTED_COTTON_DUST: GetCottonAndDustLimit(limits); break;
  case PREDICTED_CRAPO_HSU: GetCrapoHsuLimit(limits); break;
  case PREDICTED_AUSTRIAN: GetAustrianAgeLimit(sex, age, limits); break;
  case PREDICTED_FINNISH: GetFinnAgeLimit(age, limits); break;
  default: break;
  }
  return limits;
}

short TPredicted::IndexAge(short kind, short sex, short age, short counter) const {
  switch (EffectiveAlgorithm()) {
  case PREDICTED_ECCS:
  case PREDICTED_FINNISH: return EccsIndexAge(age);
  case PREDICTED_KNUDSON: return KnudsonIndexAge(kind, counter, sex, age);
  case PREDICTED_COTTON_DUST: return CottonAndDustIndexAge(kind, counter, sex, age);
  case PREDICTED_AUSTRIAN: return AustrianIndexAge(sex, age);
  default: return 0;
  }
}

void TPredicted::ReadAlgorithmConstans() {
  const int stored = TProfile(AlgorithmSection, IniName).GetInt(AlgorithmKey, PREDICTED_ECCS);
  KeepStoredAlgorithm = stored < 0 || stored > PREDICTED_UNSTORED;
  PredictedAlgorithm = KeepStoredAlgorithm ? PREDICTED_NONE : static_cast<short>(stored);
}

void TPredicted::WriteAlgorithmConstans() {
  // 7 is never stored; an unreadable stored number stays in the file until
  // the user picks another set than the "none" it was read as.
  if (PredictedAlgorithm < 0 || PredictedAlgorithm >= PREDICTED_UNSTORED)
    return;
  if (KeepStoredAlgorithm && PredictedAlgorithm == PREDICTED_NONE)
    return;
  TProfile profile(AlgorithmSection, IniName);
  if (profile.WriteInt(AlgorithmKey, PredictedAlgorithm))
    KeepStoredAlgorithm = false;
  profile.Flush();
}
