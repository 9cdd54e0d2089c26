#pragma once

// TPredicted: the predicted (reference) value and residual standard
// deviation of every parameter of every test kind, by one of six published
// equation sets, and the check whether a patient lies inside the chosen
// set's age, height and weight limits. The measurement window's parameter
// list carries it as a base class.

#include "common/MeasureMode.h"
#include "common/ParameterBlocks.h"
#include "common/PredictedData.h"

#include <array>
#include <cstddef>
#include <string>

inline constexpr short PREDICTED_SET_COUNT = 7;    // the six sets, "none" and the unstored 7
inline constexpr short PREDICTED_AGE_GROUPS = 4;
inline constexpr short PREDICTED_SEXES = 2;        // 0 female, 1 male
inline constexpr short PREDICTED_UNSTORED = 7;     // computes nothing, never written to the ini file

// The limits of an equation set, for the caller's warning text.
struct TPredictedLimits {
  short MinAge = 0;        // years
  short MaxAge = 0;
  short MinWeight = 0;     // kg
  short MaxWeight = 0;
  float MinHeight = 0.0f;  // metres
  float MaxHeight = 0.0f;
};

class TPredicted {
public:
  // One parameter's equation. Reads the set's coefficient row named by the
  // running counter and moves the counter on; height arrives in cm (metres
  // for the Austrian set), weight in kg.
  using TCalculation = float (*)(short kind, short& counter, short sex, float height, short age, short weight);

  TPredicted(const char* iniName, short language, float factor);

  // Each fills the first n elements of both arrays for its kind's n
  // parameters (19, 5, 2, 13, 19, 5).
  void CalculateFvcPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const;
  void CalculateVcPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const;
  void CalculateMvvPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const;
  void CalculateDfcPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const;
  void CalculatePlethyPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const;
  void CalculateShPredicted(PREDICTED_DATA patient, float* predicted, float* rsd) const;

  // Three characters that grade a measured value against its predicted
  // value: "+++", " ++", "  +", "   ", "  -", " --" or "---". The text is
  // static and overwritten by the next call.
  const char* GetPredictedRSD(float measured, float predicted, float rsd) const;

  // True when the patient lies inside the chosen set's limits.
  bool VerifyPredictedLimits(PREDICTED_DATA patient) const;
  // The chosen set's limits for a patient of that sex and age.
  TPredictedLimits GetPredictedLimits(short sex, short age) const;

  // The age group of the chosen set for one parameter.
  short IndexAge(short kind, short sex, short age, short counter) const;

  // The equation-set number in the ini section "Predicted Algorithm", key "Algorithm".
  void ReadAlgorithmConstans();
  void WriteAlgorithmConstans();

  const std::string& GetIniName() const { return IniName; }

  // The language number of the last constructed object; 1 chooses the
  // first ECCS table with its own children's rules.
  static short Language;

  // The chosen equation set (PREDICTED_ECCS ... PREDICTED_NONE); the owner
  // sets it directly when the user picks a set, then writes it.
  short PredictedAlgorithm = PREDICTED_ECCS;

  // Per-set members. The calculation and index-age functions take no object.
  static short EccsIndexAge(short age);
  static float EccsCalculation(short kind, short& counter, short sex, float height, short age, short weight);
  static bool VerifyEccsLimits(short sex, short age, float heightM);
  static short VerifyEccsIndexAge(short age);
  static void GetEccsAgeLimit(short age, TPredictedLimits& limits);
  static void GetEccsHeightLimit(short sex, short age, TPredictedLimits& limits);

  static short FinnIndexAge(short age);
  static float FinnCalculation(short kind, short& counter, short sex, float height, short age, short weight);
  static bool VerifyFinnLimits(short sex, short age, float heightM);
  static short VerifyFinnIndexAge(short age);
  static void GetFinnAgeLimit(short age, TPredictedLimits& limits);
  static void GetFinnHeightLimit(short sex, short age, TPredictedLimits& limits);

  static short KnudsonIndexAge(short kind, short counter, short sex, short age);
  static float KnudsonCalculation(short kind, short& counter, short sex, float height, short age, short weight);
  static bool VerifyKnudsonLimits(short age);
  static void GetKnudsonLimit(TPredictedLimits& limits);

  static short CottonAndDustIndexAge(short kind, short counter, short sex, short age);
  static float CottonAndDustCalculation(short kind, short& counter, short sex, float height, short age, short weight);
  static bool VerifyCottonAndDustLimits(short age);
  static void GetCottonAndDustLimit(TPredictedLimits& limits);

  static float CrapoHsuCalculation(short kind, short& counter, short sex, float height, short age, short weight);
  static bool VerifyCrapoHsuLimits(short age);
  static void GetCrapoHsuLimit(TPredictedLimits& limits);

  static short AustrianIndexAge(short sex, short age);
  static float AustrianCalculation1(short kind, short& counter, short sex, float height, short age, short weight);
  static float AustrianCalculation2(short kind, short& counter, short sex, float height, short age, short weight);
  static float AustrianCalculation3(short kind, short& counter, short sex, float height, short age, short weight);
  static float AustrianCalculation4(short kind, short& counter, short sex, float height, short age, short weight);
  static float AustrianCalculation5(short kind, short& counter, short sex, float height, short age, short weight);
  static float AustrianCalculation6(short kind, short& counter, short sex, float height, short age, short weight);
  static float AustrianCalculation7(short kind, short& counter, short sex, float height, short age, short weight);
  static double Fi(double heightM, double weightKg);
  static bool VerifyAustrianLimits(short sex, short age, float heightM);
  static short VerifyAustrianIndexAge(short sex, short age);
  static void GetAustrianAgeLimit(short sex, short age, TPredictedLimits& limits);
  static void GetAustrianHeightLimit(short sex, short age, TPredictedLimits& limits);

  // The slot function of a parameter that no set defines: no predicted value.
  static float DefaultCalculation(short kind, short& counter, short sex, float height, short age, short weight);

private:
  template <class T, std::size_t Count>
  using TSlots = std::array<std::array<std::array<std::array<T, Count>, PREDICTED_SEXES>, PREDICTED_AGE_GROUPS>,
                            PREDICTED_SET_COUNT>;

  // The slots of one test kind: the RSD of each, then its equation.
  template <std::size_t Count>
  struct TSlotTable {
    TSlots<float, Count> Rsd{};
    TSlots<TCalculation, Count> Function{};
  };

  // A set fills one slot: its equation and RSD for one age group and sex.
  void SetSlot(short set, short kind, short group, short sex, short parameter, TCalculation function, float rsd);
  void GetSlot(short set, short kind, short group, short sex, short parameter, TCalculation& function,
               float& rsd) const;
  // Calls visit(rsd, function) with the slot of the object's tables.
  template <class TTable, class TVisit>
  static void VisitSlot(TTable& tables, short set, short kind, short group, short sex, short parameter,
                        TVisit&& visit);

  void InicECCSPredictedValue();
  void InicFinnPredictedValue();
  void InicKnudsonPredictedValue();
  void InicCottonAndDustPredictedValue();
  void InicCrapoHsuPredictedValue();
  void InicAustrianPredictedValue();

  void CalculatePredicted(short kind, const PREDICTED_DATA& patient, float* predicted, float* rsd) const;
  // The set the tables are read with: a number outside 0 to 7 computes nothing.
  short EffectiveAlgorithm() const;

  std::string IniName;
  float Factor = 1.0f;
  // Set when the ini file held a number outside 0 to 7: it then reads as
  // "none" and is left in the file until the user picks a set.
  bool KeepStoredAlgorithm = false;

  TSlotTable<FVC_PARAMETER_COUNT> Fvc;
  TSlotTable<VC_PARAMETER_COUNT> Vc;
  TSlotTable<MVV_PARAMETER_COUNT> Mvv;
  TSlotTable<DFC_PARAMETER_COUNT> Dfc;
  TSlotTable<PLETHY_PARAMETER_COUNT> Plethy;
  TSlotTable<SHUTTER_PARAMETER_COUNT> Shutter;
};
