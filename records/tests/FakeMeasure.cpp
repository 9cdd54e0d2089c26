#include "records/tests/FakeMeasure.h"

#include "measure/core/MeasureCore.h"

#include <algorithm>

TFakeMeasure::TFakeMeasure() {
  constexpr std::array<std::size_t, 6> counts{19, 5, 2, 13, 19, 5};
  for (std::size_t kind = 0; kind < 6; ++kind) {
    for (auto& values : Akt[kind])
      values.assign(counts[kind], 0.0f);
    for (auto& values : Ref[kind])
      values.assign(counts[kind], 0.0f);
    Rsd[kind].assign(counts[kind], 0.0f);
  }
}

float* TFakeMeasure::Buffer(TBufferKind which, short slot) {
  std::vector<float>& buffer = Buffers.at(static_cast<std::size_t>(slot))[which];
  return buffer.empty() ? nullptr : buffer.data();
}

bool TFakeMeasure::AllocateSpiroBuffer(short slot, short kind, bool withVolume) {
  std::vector<TBufferKind> set;
  if (kind == MEASURE_SHUTTER || kind == MEASURE_RHINO) {
    set = {Flow, Pressure};
    if (withVolume)
      set.push_back(Volume);
  } else if (kind == MEASURE_PLETHY) {
    set = {Flow, Volume, Box, Mouth};
  } else {
    set = {Flow, Volume};
  }
  for (TBufferKind which : set)
    Buffers.at(static_cast<std::size_t>(slot))[which].assign(MeasureLimits::CurveSamples, 0.0f);
  Log.push_back("Allocate " + std::to_string(slot));
  return true;
}

float* TFakeMeasure::GetAktBuffer(short kind, short slot) {
  if (kind < 0 || kind > 5)
    return nullptr;
  return Akt[static_cast<std::size_t>(kind)].at(static_cast<std::size_t>(slot < 0 ? 0 : slot)).data();
}

float* TFakeMeasure::GetRefBuffer(short kind, short slot) {
  if (kind < 0 || kind > 5)
    return nullptr;
  return Ref[static_cast<std::size_t>(kind)][slot == 3 ? 1 : 0].data();
}

float* TFakeMeasure::GetRsdBuffer(short kind) {
  return kind < 0 || kind > 5 ? nullptr : Rsd[static_cast<std::size_t>(kind)].data();
}

void TFakeMeasure::GetMeasureDate(short kind, short slot, unsigned short* year, unsigned short* month,
                                  unsigned short* day) {
  const auto& date = Dates.at(static_cast<std::size_t>(kind)).at(static_cast<std::size_t>(slot));
  *year = date[0];
  *month = date[1];
  *day = date[2];
}

void TFakeMeasure::SetMeasureDate(short kind, short slot, short year, unsigned short month, unsigned short day) {
  auto& date = Dates.at(static_cast<std::size_t>(kind)).at(static_cast<std::size_t>(slot));
  date[0] = static_cast<unsigned short>(year);
  date[1] = month;
  date[2] = day;
}

void TFakeMeasure::GetMeasureTime(short kind, short slot, unsigned short* hour, unsigned short* minute,
                                  unsigned short* second) {
  const auto& date = Dates.at(static_cast<std::size_t>(kind)).at(static_cast<std::size_t>(slot));
  *hour = date[3];
  *minute = date[4];
  *second = date[5];
}

void TFakeMeasure::SetMeasureTime(short kind, short slot, unsigned short hour, unsigned short minute,
                                  unsigned short second) {
  auto& date = Dates.at(static_cast<std::size_t>(kind)).at(static_cast<std::size_t>(slot));
  date[3] = hour;
  date[4] = minute;
  date[5] = second;
}

bool TFakeMeasure::WasKind(short kind, short n) {
  for (short slot = 0; slot < n && slot < 4; ++slot)
    if (GetAktBuffer(kind, slot)[0] != 0.0f)
      return true;
  return false;
}

void TFakeMeasure::CompressGrafikon(float* curve, int& count) { TMeasureCore::CompressGrafikon(curve, count); }
void TFakeMeasure::DeCompressGrafikon(float* curve, int& count) {
  // The fake windows hold 4 x count floats, as the records size them.
  TMeasureCore::DeCompressGrafikon(curve, count, 4 * count);
}

void TFakeMeasure::ReIntegratedVolume(short kind, short slot, short count) {
  Log.push_back("Volume " + std::to_string(kind) + " " + std::to_string(slot) + " " + std::to_string(count));
}

void TFakeMeasure::SetFirstBoxPressureForResistance(short slot, float value) {
  FirstBoxPressure.at(static_cast<std::size_t>(slot))[0] = value;
}

void TFakeMeasure::SetFirstBoxPressureForTGV(short slot, float value) {
  FirstBoxPressure.at(static_cast<std::size_t>(slot))[1] = value;
}

void TFakeMeasure::SetMeasureMode(short kind) {
  Mode = kind;
  Log.push_back("Mode " + std::to_string(kind));
}

void TFakeMeasure::CalculateFEVperIVC(short fvcSlot, short vcSlot) {
  Log.push_back("FEV/IVC " + std::to_string(fvcSlot) + " " + std::to_string(vcSlot));
  float* fvc = GetAktBuffer(MEASURE_FVC, fvcSlot);
  const float ivc = GetAktBuffer(MEASURE_VC, vcSlot)[0];
  if (ivc != 0.0f) {
    fvc[3] = 100.0f * fvc[1] / ivc;
    fvc[5] = 100.0f * fvc[2] / ivc;
  }
}

void TFakeMeasure::CalculateRhinoParams() {
  Log.push_back("Rhino " + std::to_string(RecordState.RhinoCurveIndex) + " " + std::to_string(RecordState.RhinoSide));
}

std::int16_t* TFakeMeasure::GetRawSampleBuffer(int channel) {
  if (!KeepRawSamples)
    return nullptr;
  auto& raw = Raw.at(static_cast<std::size_t>(channel));
  raw.resize(MeasureLimits::CurveSamples);
  return raw.data();
}

void TFakeMeasure::FillTrial(short kind, short slot, float lead, int samples) {
  float* akt = GetAktBuffer(kind, slot);
  const std::size_t n = akt ? Akt[static_cast<std::size_t>(kind)][0].size() : 0;
  for (std::size_t i = 0; i < n; ++i) {
    akt[i] = lead == 0.0f ? 0.0f : lead + static_cast<float>(i) / 100.0f;
    GetRefBuffer(kind, slot)[i] = 3.0f + static_cast<float>(i);
    GetRsdBuffer(kind)[i] = 0.5f + static_cast<float>(i) / 10.0f;
  }
  SetMeasureDate(kind, slot, 2026, 12, static_cast<unsigned short>(10 + slot));
  SetMeasureTime(kind, slot, 9, static_cast<unsigned short>(30 + slot), 15);
  AllocateSpiroBuffer(slot, kind, false);
  const auto fill = [&](float* buffer, float scale) {
    for (int i = 0; buffer && i < samples; ++i)
      buffer[i] = scale * (lead + static_cast<float>(i) / 8.0f);
  };
  fill(GetSpiroFlowBuffer(slot), 1.0f);
  if (kind == MEASURE_SHUTTER || kind == MEASURE_RHINO)
    fill(GetSpiroPressureBuffer(slot), -2.0f);
  if (kind == MEASURE_PLETHY) {
    fill(GetSpiroBoxPressureBuffer(slot), 3.0f);
    fill(GetSpiroMouthPressureBuffer(slot), -4.0f);
  }
  SetBufferSize(kind, slot, static_cast<short>(samples));
}

void TFakeAudio::SetMeasureDate(int slot, int year, unsigned month, unsigned day) {
  Dates.at(static_cast<std::size_t>(slot)) =
      std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
}

void TFakeAudio::SetMeasureTime(int slot, unsigned hour, unsigned minute, unsigned second) {
  Dates.at(static_cast<std::size_t>(slot)) +=
      " " + std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second);
}
