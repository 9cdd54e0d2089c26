#pragma once

// What the record code may do with the measurement window: the accessors
// of its result arrays and curve buffers, the few operations that make it
// recalculate after a load, and the state it lets the record code read and
// write directly. The window implements it; tests use a stand-in.
//
// Kinds are the measure modes (MEASURE_FVC ... MEASURE_CALIBRATION), slots
// 0-3 (slot 3 holds the comparison test). None of the accessors redraws or
// recalculates.

#include "common/MeasureMode.h"
#include "common/PredictedData.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace MeasureLimits {
// Samples a curve buffer of a slot holds.
inline constexpr int CurveSamples = 6010;
inline constexpr int Slots = 4;
// Spirometric kinds FVC ... SHUTTER.
inline constexpr int SpiroKinds = 6;
// A stored curve expands with a leading zero: the sample at index i of the
// curve as it was measured lies at i + ExpansionShift in the expanded one,
// and so must every stored index applied to it.
inline constexpr int ExpansionShift = 4;
}  // namespace MeasureLimits

// The window's state that the record code reads and writes as it stands.
struct TMeasureRecordState {
  // The trials the result tables 1 to 3 show: 1-based slots, 0 = none.
  std::array<std::int16_t, 3> ActualTrial{};
  // A new result not yet stored, by kind FVC ... RHINO.
  std::array<bool, 7> NewResult{};
  bool ChangedData = false;  // results not yet stored
  bool OpenedWithProvocation = false;  // opened while the provocation window was open
  bool ProvocationLoaded = false;      // shows a provocation examination of the database
  bool LoadedTest = false;

  // Rhinomanometry.
  bool RhinoBaseline = false;
  bool RhinoProvoked = false;
  bool RhinoPosterior = false;
  bool RhinoAnterior = false;
  bool RhinoBaselineHeld = false;
  bool RhinoLoadedCurrent = false;
  bool RhinoLoadedComparison = false;
  short RhinoCurveIndex = 0;
  short RhinoSide = 0;
  int RhinoAlgorithm = 0;
  int RhinoComparisonAlgorithm = 0;

  // Provocation fields: the provoked stage's agent, concentration and dose,
  // the third stage's agent.
  std::string ProvokedAgent;
  float ProvokedConcentration = 0.0f;
  float ProvokedDose = 0.0f;
  std::string ThirdStageAgent;

  std::string Version;            // of the current test
  std::string ComparisonVersion;  // of the comparison
  int ComparisonAlgorithm = 0;

  // RV of the plethysmograph tests shown.
  float RvCurrent = 0.0f;
  float RvComparison = 0.0f;
  std::array<float, 3> RvStage{};  // baseline, provoked, third stage

  // Calibration: inspiration and expiration flow constants, flow zero,
  // box-pressure and mouth-pressure zero.
  float InspirationFlowConstant = 1.0f;
  float ExpirationFlowConstant = 1.0f;
  float FlowZero = 0.0f;
  float BoxPressureZero = 0.0f;
  float MouthPressureZero = 0.0f;

  // The measure-log settings of the window.
  int LogWriteEnable = 0;
  int LogMeasureMode = MEASURE_PLETHY;

  // Plethysmograph values.
  float PlethyFlowFactor = 1.0f;
  std::uint32_t ZeroFlowFirst = 0;
  std::uint32_t ZeroFlowLast = 0;
  std::uint32_t PlethyIndex1 = 0;
  std::uint32_t PlethyIndex2 = 0;
  std::array<char, 4> PlethyValue{};

  // The two gas-analysis values of the diffusion test.
  std::array<float, 2> GasAnalysis{};
};

class TMeasureAccess {
public:
  virtual ~TMeasureAccess() = default;

  // --- Result arrays and curve buffers
  // Allocates (once) and clears the slot's buffers the kind needs; false
  // when one is missing.
  virtual bool AllocateSpiroBuffer(short slot, short kind, bool withVolume) = 0;
  virtual float* GetSpiroFlowBuffer(short slot) = 0;
  virtual float* GetSpiroVolumeBuffer(short slot) = 0;
  // The rhinomanometry pressure buffer is the same one.
  virtual float* GetSpiroPressureBuffer(short slot) = 0;
  virtual float* GetSpiroBoxPressureBuffer(short slot) = 0;
  virtual float* GetSpiroMouthPressureBuffer(short slot) = 0;
  virtual short GetBufferSize(short kind, short slot) = 0;
  virtual void SetBufferSize(short kind, short slot, short count) = 0;
  virtual short GetBeginResistanceLoop(short slot) = 0;
  virtual short GetEndResistanceLoop(short slot) = 0;
  virtual short GetBeginTGVLoop(short slot) = 0;
  virtual short GetEndTGVLoop(short slot) = 0;
  virtual void SetBeginResistanceLoop(short slot, short index) = 0;
  virtual void SetEndResistanceLoop(short slot, short index) = 0;
  virtual void SetBeginTGVLoop(short slot, short index) = 0;
  virtual void SetEndTGVLoop(short slot, short index) = 0;
  // N floats each (ParameterCounts); null for a kind outside FVC ... SHUTTER.
  virtual float* GetAktBuffer(short kind, short slot) = 0;
  virtual float* GetRefBuffer(short kind, short slot) = 0;
  virtual float* GetRsdBuffer(short kind) = 0;
  virtual void GetMeasureDate(short kind, short slot, unsigned short* year, unsigned short* month,
                              unsigned short* day) = 0;
  virtual void SetMeasureDate(short kind, short slot, short year, unsigned short month, unsigned short day) = 0;
  virtual void GetMeasureTime(short kind, short slot, unsigned short* hour, unsigned short* minute,
                              unsigned short* second) = 0;
  virtual void SetMeasureTime(short kind, short slot, unsigned short hour, unsigned short minute,
                              unsigned short second) = 0;
  // WasFVC ... WasSHUTTER: one of the slots 0 to n-1 of the kind holds a result.
  virtual bool WasKind(short kind, short n) = 0;
  virtual const std::string& GetDatePicture() const = 0;
  virtual const std::string& GetTimePicture() const = 0;

  // --- Curve storage form: every fourth sample, expanded again by
  // interpolation (the window's own routines).
  virtual void CompressGrafikon(float* curve, int& count) = 0;
  virtual void DeCompressGrafikon(float* curve, int& count) = 0;

  // --- Operations after a load
  virtual void ReIntegratedVolume(short kind, short slot, short count) = 0;
  virtual void SetFirstBoxPressureForResistance(short slot, float value) = 0;
  virtual void SetFirstBoxPressureForTGV(short slot, float value) = 0;
  virtual void SetMeasureMode(short kind) = 0;
  virtual short GetMeasureMode() const = 0;
  virtual void CalculateFEVperIVC(short fvcSlot, short vcSlot) = 0;
  virtual void SetMeasurementOfParameters() = 0;
  virtual void ChangeButtonColor() = 0;
  virtual void CalculateRhinoParams() = 0;
  // WM_COMMAND CM_PREPOST, or a plain repaint.
  virtual void ShowPrePost() = 0;
  virtual void Repaint() = 0;
  virtual void SetCaption(std::string_view caption) = 0;

  // --- Notes and the equation set
  virtual void SetNote(int index, std::string_view note) = 0;
  virtual std::string GetNote() const = 0;  // the note of the current test, 60 characters at most
  virtual int GetPredictedAlgorithm() const = 0;
  virtual void SetPredictedAlgorithm(int algorithm, bool recalculate) = 0;

  // --- Demonstration and measure-log replay
  virtual void DoRandom(short slot) = 0;
  virtual void SetPredictedData(const PREDICTED_DATA& patient) = 0;
  virtual void RedrawScreenBmp() = 0;
  virtual void VerifyPredictedData() = 0;
  virtual void CalculatePredictedRSD() = 0;
  // The 17-byte block of the BTPS panel, then the panel takes it over.
  virtual void SetBTPSData(std::span<const char, 17> block) = 0;
  // The instrument's BTPS factor (the first of its BTPS constants).
  virtual void SetBtpsFactor(float factor) = 0;
  // The raw samples of a channel (0 flow, 1 box pressure, 2 mouth
  // pressure), CurveSamples long; null when the window keeps none.
  virtual std::int16_t* GetRawSampleBuffer(int channel) = 0;

  virtual TMeasureRecordState& State() = 0;
};
