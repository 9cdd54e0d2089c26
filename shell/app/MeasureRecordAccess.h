#pragma once

// The measurement window as the record code reaches it: TMeasureAccess
// over a TMeasure. The record code reads and writes the window's state
// through a plain record (TMeasureRecordState); this adapter keeps that
// record and the window in step: a field the record code changed since the
// last look goes to the window, and the window's own changes come back.

#include "records/MeasureAccess.h"

#include <string>

class TMeasure;

class TMeasureRecordAccess final : public TMeasureAccess {
public:
  explicit TMeasureRecordAccess(TMeasure& window);

  TMeasure& Window() const { return W; }

  bool AllocateSpiroBuffer(short slot, short kind, bool withVolume) override;
  float* GetSpiroFlowBuffer(short slot) override;
  float* GetSpiroVolumeBuffer(short slot) override;
  float* GetSpiroPressureBuffer(short slot) override;
  float* GetSpiroBoxPressureBuffer(short slot) override;
  float* GetSpiroMouthPressureBuffer(short slot) override;
  short GetBufferSize(short kind, short slot) override;
  void SetBufferSize(short kind, short slot, short count) override;
  short GetBeginResistanceLoop(short slot) override;
  short GetEndResistanceLoop(short slot) override;
  short GetBeginTGVLoop(short slot) override;
  short GetEndTGVLoop(short slot) override;
  void SetBeginResistanceLoop(short slot, short index) override;
  void SetEndResistanceLoop(short slot, short index) override;
  void SetBeginTGVLoop(short slot, short index) override;
  void SetEndTGVLoop(short slot, short index) override;
  float* GetAktBuffer(short kind, short slot) override;
  float* GetRefBuffer(short kind, short slot) override;
  float* GetRsdBuffer(short kind) override;
  void GetMeasureDate(short kind, short slot, unsigned short* year, unsigned short* month,
                      unsigned short* day) override;
  void SetMeasureDate(short kind, short slot, short year, unsigned short month, unsigned short day) override;
  void GetMeasureTime(short kind, short slot, unsigned short* hour, unsigned short* minute,
                      unsigned short* second) override;
  void SetMeasureTime(short kind, short slot, unsigned short hour, unsigned short minute,
                      unsigned short second) override;
  bool WasKind(short kind, short n) override;
  const std::string& GetDatePicture() const override;
  const std::string& GetTimePicture() const override;
  void CompressGrafikon(float* curve, int& count) override;
  void DeCompressGrafikon(float* curve, int& count) override;
  void ReIntegratedVolume(short kind, short slot, short count) override;
  void SetFirstBoxPressureForResistance(short slot, float value) override;
  void SetFirstBoxPressureForTGV(short slot, float value) override;
  void SetMeasureMode(short kind) override;
  short GetMeasureMode() const override;
  void CalculateFEVperIVC(short fvcSlot, short vcSlot) override;
  void SetMeasurementOfParameters() override;
  void ChangeButtonColor() override;
  void CalculateRhinoParams() override;
  void ShowPrePost() override;
  void Repaint() override;
  void SetCaption(std::string_view caption) override;
  void SetNote(int index, std::string_view note) override;
  std::string GetNote() const override;
  int GetPredictedAlgorithm() const override;
  void SetPredictedAlgorithm(int algorithm, bool recalculate) override;
  void DoRandom(short slot) override;
  void SetPredictedData(const PREDICTED_DATA& patient) override;
  void RedrawScreenBmp() override;
  void VerifyPredictedData() override;
  void CalculatePredictedRSD() override;
  void SetBTPSData(std::span<const char, 17> block) override;
  void SetBtpsFactor(float factor) override;
  std::int16_t* GetRawSampleBuffer(int channel) override;
  TMeasureRecordState& State() override;

private:
  // Brings the record and the window into step.
  void Sync() const;
  void SyncRhino() const;
  void SyncPlethysmograph() const;

  TMeasure& W;
  mutable TMeasureRecordState Record;
  mutable TMeasureRecordState Given;  // the record as last handed out
  mutable std::string DatePicture;
  mutable std::string TimePicture;
};
