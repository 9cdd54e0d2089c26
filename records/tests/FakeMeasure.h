#pragma once

// A measurement window for the record code's tests: the result arrays,
// curve buffers, counts, loop bounds, dates and times as the window keeps
// them, the window's own curve compression, and a log of every operation
// the record code asks of it.

#include "records/RecordWindows.h"

#include <array>
#include <map>
#include <string>
#include <vector>

class TFakeMeasure final : public TMeasureAccess {
public:
  TFakeMeasure();

  bool AllocateSpiroBuffer(short slot, short kind, bool withVolume) override;
  float* GetSpiroFlowBuffer(short slot) override { return Buffer(Flow, slot); }
  float* GetSpiroVolumeBuffer(short slot) override { return Buffer(Volume, slot); }
  float* GetSpiroPressureBuffer(short slot) override { return Buffer(Pressure, slot); }
  float* GetSpiroBoxPressureBuffer(short slot) override { return Buffer(Box, slot); }
  float* GetSpiroMouthPressureBuffer(short slot) override { return Buffer(Mouth, slot); }
  short GetBufferSize(short kind, short slot) override { return Counts.at(kind).at(slot); }
  void SetBufferSize(short kind, short slot, short count) override { Counts.at(kind).at(slot) = count; }
  short GetBeginResistanceLoop(short slot) override { return Loops.at(slot)[0]; }
  short GetEndResistanceLoop(short slot) override { return Loops.at(slot)[1]; }
  short GetBeginTGVLoop(short slot) override { return Loops.at(slot)[2]; }
  short GetEndTGVLoop(short slot) override { return Loops.at(slot)[3]; }
  void SetBeginResistanceLoop(short slot, short index) override { Loops.at(slot)[0] = index; }
  void SetEndResistanceLoop(short slot, short index) override { Loops.at(slot)[1] = index; }
  void SetBeginTGVLoop(short slot, short index) override { Loops.at(slot)[2] = index; }
  void SetEndTGVLoop(short slot, short index) override { Loops.at(slot)[3] = index; }
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
  const std::string& GetDatePicture() const override { return DatePicture; }
  const std::string& GetTimePicture() const override { return TimePicture; }
  void CompressGrafikon(float* curve, int& count) override;
  void DeCompressGrafikon(float* curve, int& count) override;
  void ReIntegratedVolume(short kind, short slot, short count) override;
  void SetFirstBoxPressureForResistance(short slot, float value) override;
  void SetFirstBoxPressureForTGV(short slot, float value) override;
  void SetMeasureMode(short kind) override;
  short GetMeasureMode() const override { return Mode; }
  void CalculateFEVperIVC(short fvcSlot, short vcSlot) override;
  void SetMeasurementOfParameters() override { Log.push_back("SetMeasurementOfParameters"); }
  void ChangeButtonColor() override { Log.push_back("ChangeButtonColor"); }
  void CalculateRhinoParams() override;
  void ShowPrePost() override { Log.push_back("PrePost"); }
  void Repaint() override { Log.push_back("Repaint"); }
  void SetCaption(std::string_view caption) override { Caption = caption; }
  void SetNote(int index, std::string_view note) override { Notes.at(static_cast<std::size_t>(index)) = note; }
  std::string GetNote() const override { return Notes[1]; }
  int GetPredictedAlgorithm() const override { return Algorithm; }
  void SetPredictedAlgorithm(int algorithm, bool) override { Algorithm = algorithm; }
  void DoRandom(short slot) override { Log.push_back("DoRandom " + std::to_string(slot)); }
  void SetPredictedData(const PREDICTED_DATA& patient) override { Patient = patient; }
  void RedrawScreenBmp() override { Log.push_back("RedrawScreenBmp"); }
  void VerifyPredictedData() override { Log.push_back("VerifyPredictedData"); }
  void CalculatePredictedRSD() override { Log.push_back("CalculatePredictedRSD"); }
  void SetBTPSData(std::span<const char, 17> block) override { Btps.assign(block.begin(), block.end()); }
  void SetBtpsFactor(float factor) override { BtpsFactor = factor; }
  std::int16_t* GetRawSampleBuffer(int channel) override;
  TMeasureRecordState& State() override { return RecordState; }

  // Fills slot's trial of a kind: the first value `lead` (0 = empty), the
  // others lead + index / 100, a curve of `samples` samples.
  void FillTrial(short kind, short slot, float lead, int samples);

  short Mode = MEASURE_FVC;
  std::string DatePicture = "YYYY.MM.DD.";
  std::string TimePicture = "HH:MM:SS";
  std::string Caption;
  std::array<std::string, 3> Notes;
  int Algorithm = 0;
  PREDICTED_DATA Patient;
  std::vector<char> Btps;
  float BtpsFactor = 0.0f;
  bool KeepRawSamples = false;
  std::array<std::vector<std::int16_t>, 3> Raw;
  std::array<std::array<float, 2>, 4> FirstBoxPressure{};
  std::vector<std::string> Log;
  TMeasureRecordState RecordState;

private:
  enum TBufferKind { Flow, Volume, Pressure, Box, Mouth };
  float* Buffer(TBufferKind which, short slot);

  std::array<std::array<std::vector<float>, 5>, 4> Buffers;  // slot, buffer
  std::array<std::array<short, 4>, 8> Counts{};
  std::array<std::array<short, 4>, 4> Loops{};
  std::array<std::array<std::array<unsigned short, 6>, 4>, 8> Dates{};
  std::array<std::array<std::vector<float>, 4>, 6> Akt;
  std::array<std::array<std::vector<float>, 2>, 6> Ref;
  std::array<std::vector<float>, 6> Rsd;
};

class TFakeAudio final : public TAudioAccess {
public:
  int* GetTable(int set, int slot) override { return Tables.at(set * 2 + slot).data(); }
  bool* GetFlagTable(int set, int slot) override { return Flags.at(set * 2 + slot).data(); }
  int GetAlgorithm() const override { return Algorithm; }
  void SetAlgorithm(int algorithm) override { Algorithm = algorithm; }
  void SetMeasureDate(int slot, int year, unsigned month, unsigned day) override;
  void SetMeasureTime(int slot, unsigned hour, unsigned minute, unsigned second) override;
  void RedrawScreenBmp() override { ++Redraws; }
  TState& State() override { return AudioState; }

  std::array<std::array<int, 11>, 4> Tables{};
  std::array<std::array<bool, 11>, 4> Flags{};
  int Algorithm = 0;
  int Redraws = 0;
  std::array<std::string, 2> Dates;
  TState AudioState;
};

class TFakeTrend final : public TTrendAccess {
public:
  struct TLine {
    std::string Date, Time;
    std::array<float, Columns> Actual{}, Reference{};
    char Mark = ' ';
  };
  void AddDataToTrendListBox(std::string_view date, std::string_view time, const std::array<float, Columns>& actual,
                             const std::array<float, Columns>& reference, char mark, short) override {
    Lines.push_back({std::string(date), std::string(time), actual, reference, mark});
  }
  TState& State() override { return TrendState; }
  std::vector<TLine> Lines;
  TState TrendState;
};

// The provocation window's stage as the record code reads it.
class TFakeProvocation final : public TProvocationAccess {
public:
  void GetConcAndDose(double& concentration, double& dose) override {
    concentration = Concentration;
    dose = Dose;
  }
  TState& State() override { return StageState; }
  TState StageState;
  double Concentration = 0.0;
  double Dose = 0.0;
};

// The windows as the client would hand them over; a window opens when the
// record code asks for it, unless `CanOpen` says no.
class TFakeWindows final : public TRecordWindows {
public:
  TMeasureAccess* Measure() override { return MeasureOpen ? &MeasureWindow : nullptr; }
  TAudioAccess* Audiometer() override { return AudioOpen ? &AudioWindow : nullptr; }
  TTrendAccess* Trend() override { return TrendOpen ? &TrendWindow : nullptr; }
  TProvocationAccess* Provocation() override { return ProvocationOpen ? &ProvocationWindow : nullptr; }
  void OpenMeasure(short kind) override {
    MeasureOpen = CanOpen;
    Opened.push_back(kind);
  }
  void OpenAudiometer() override { AudioOpen = CanOpen; }
  void OpenTrend() override { TrendOpen = CanOpen; }

  TFakeMeasure MeasureWindow;
  TFakeAudio AudioWindow;
  TFakeTrend TrendWindow;
  TFakeProvocation ProvocationWindow;
  bool MeasureOpen = true, AudioOpen = false, TrendOpen = false, ProvocationOpen = false, CanOpen = true;
  std::vector<short> Opened;
};
