#pragma once

// Patients, objects and blocks for the predicted-value tests.

#include "predicted/Predicted.h"
#include "testing/TemporaryFolder.h"

#include <array>
#include <memory>
#include <string>

namespace PredictedTesting {

inline PREDICTED_DATA Patient(int sex, int age, int height, int weight, int unit = 0) {
  PREDICTED_DATA patient;
  patient.Sex = sex;
  patient.Age = age;
  patient.Height = height;
  patient.Weight = weight;
  patient.Unit = unit;
  return patient;
}

// An object with no ini file behind it (the set defaults to ECCS), set to
// the given equation set.
inline std::unique_ptr<TPredicted> Make(short set, short language = 2, float factor = 1.0f) {
  static const TTemporaryFolder folder;
  const std::string ini = (folder / "none.ini").string();
  auto predicted = std::make_unique<TPredicted>(ini.c_str(), language, factor);
  predicted->PredictedAlgorithm = set;
  return predicted;
}

struct TBlock {
  std::array<float, MAX_PARAMETER_COUNT> Predicted{};
  std::array<float, MAX_PARAMETER_COUNT> Rsd{};
};

inline TBlock Compute(const TPredicted& object, short kind, const PREDICTED_DATA& patient) {
  TBlock block;
  block.Predicted.fill(-1.0f);  // shows an element the calculation left alone
  block.Rsd.fill(-1.0f);
  switch (kind) {
  case MEASURE_FVC: object.CalculateFvcPredicted(patient, block.Predicted.data(), block.Rsd.data()); break;
  case MEASURE_VC: object.CalculateVcPredicted(patient, block.Predicted.data(), block.Rsd.data()); break;
  case MEASURE_MVV: object.CalculateMvvPredicted(patient, block.Predicted.data(), block.Rsd.data()); break;
  case MEASURE_DFC: object.CalculateDfcPredicted(patient, block.Predicted.data(), block.Rsd.data()); break;
  case MEASURE_PLETHY: object.CalculatePlethyPredicted(patient, block.Predicted.data(), block.Rsd.data()); break;
  case MEASURE_SHUTTER: object.CalculateShPredicted(patient, block.Predicted.data(), block.Rsd.data()); break;
  default: break;
  }
  return block;
}

// Parameter indexes of the forced-expiration block.
inline constexpr short FVC = 0, FEV05 = 1, FEV1 = 2, FEV1_IVC = 5, FEV1_FVC = 6, PEF = 7, FEF2575 = 8, MEF75 = 9,
                       MEF50 = 10, MEF25 = 11, MTT = 13, FIVC = 14, PIF = 17;

}  // namespace PredictedTesting
