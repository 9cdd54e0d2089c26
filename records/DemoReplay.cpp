#include "records/DemoReplay.h"

#include "platform/basekit/Message.h"
#include "common/CommandNumbers.h"
#include "platform/framework/BinaryStream.h"
#include "platform/framework/Paths.h"
#include "platform/framework/WholeFile.h"
#include "records/RecordTexts.h"

#include <QCoreApplication>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace DemoReplay {

namespace {

constexpr std::size_t BtpsBlock = 17;
// No file of any kind is longer: a measure log's patient, BTPS block and
// constants, then at most eight bytes for each sample of a curve.
constexpr std::size_t LargestFile = 256 + 8 * static_cast<std::size_t>(MeasureLimits::CurveSamples);
constexpr float RawFlowScale = 8.7890625f;
constexpr float RawBoxScale = 0.014648437f;
constexpr float RawMouthScale = 2.9296875f;

// The constants a file converts its raw values with.
struct TConstants {
  float Btps = 0, Inspiration = 0, Expiration = 0, FlowZero = 0, BoxZero = 0, MouthZero = 0;
};

// Raw flow in physical units: inspiration and expiration have constants
// of their own.
float Flow(std::int16_t raw, const TConstants& k, float flowFactor) {
  float flow = (static_cast<float>(raw) * RawFlowScale - k.FlowZero) * 0.001f;
  if (flow > 0.0f)
    return flow / (k.Btps * flowFactor) / k.Inspiration;
  return flow / k.Expiration;
}

void Adopt(TMeasureAccess& window, const TConstants& k, bool plethy) {
  TMeasureRecordState& state = window.State();
  window.SetBtpsFactor(k.Btps);
  state.InspirationFlowConstant = k.Inspiration;
  state.ExpirationFlowConstant = k.Expiration;
  state.FlowZero = k.FlowZero;
  if (plethy) {
    state.BoxPressureZero = k.BoxZero;
    state.MouthPressureZero = k.MouthZero;
  }
}

bool Usable(const TConstants& k, std::string& error) {
  for (float value : {k.Btps, k.Inspiration, k.Expiration})
    if (!std::isfinite(value) || value == 0.0f) {
      error = "a conversion constant of " + std::to_string(value);
      return false;
    }
  return true;
}

// The count read at the reader's position, checked against the buffers
// and against what the file has left for `bytesPerSample` per sample.
std::optional<std::uint32_t> ReadCount(TBinaryReader& in, std::size_t bytesPerSample, std::size_t trailing,
                                       std::string& error) {
  const std::uint32_t count = in.ReadUInt32("sample count");
  if (!in.Ok()) {
    error = in.GetError();
    return std::nullopt;
  }
  if (count > static_cast<std::uint32_t>(MeasureLimits::CurveSamples)) {
    error = "a count of " + std::to_string(count) + " samples, more than " +
            std::to_string(MeasureLimits::CurveSamples);
    return std::nullopt;
  }
  if (in.Remaining() != count * bytesPerSample + trailing) {
    error = std::to_string(in.Remaining()) + " bytes for " + std::to_string(count) + " samples";
    return std::nullopt;
  }
  return count;
}

struct TPatientPart {
  PREDICTED_DATA Patient;
  std::array<char, BtpsBlock> Btps{};
};

TPatientPart ReadPatientPart(TBinaryReader& in) {
  TPatientPart part;
  part.Patient = PREDICTED_DATA::FromBytes(in.ReadBytes(PREDICTED_DATA::ByteSize, "patient data")).value_or(PREDICTED_DATA{});
  const std::string_view btps = in.ReadBytes(BtpsBlock, "BTPS block");
  std::copy(btps.begin(), btps.end(), part.Btps.begin());
  return part;
}

void ApplyPatientPart(TMeasureAccess& window, const TPatientPart& part) {
  window.SetPredictedData(part.Patient);
  window.RedrawScreenBmp();
  window.VerifyPredictedData();
  window.CalculatePredictedRSD();
  window.SetBTPSData(part.Btps);
}

bool ReplayPlethy(TMeasureAccess& window, short slot, TBinaryReader& in, bool isLog, std::string& error) {
  TPatientPart patient;
  std::array<char, 4> value{};
  std::uint32_t zeroStart = 0;
  if (isLog) {
    patient = ReadPatientPart(in);
    const std::string_view bytes = in.ReadBytes(4, "plethysmograph value");
    std::copy(bytes.begin(), bytes.end(), value.begin());
    zeroStart = in.ReadUInt32("zero-flow start");
  }
  TConstants k;
  for (float* constant : {&k.Btps, &k.Inspiration, &k.Expiration, &k.FlowZero, &k.BoxZero, &k.MouthZero})
    *constant = in.ReadFloat32("constants");
  const std::uint32_t index1 = in.ReadUInt32("index 1");
  if (!isLog)
    zeroStart = index1;
  const std::uint32_t zeroEnd = in.ReadUInt32("zero-flow end");
  const std::uint32_t index2 = in.ReadUInt32("index 2");
  const std::optional<std::uint32_t> count = ReadCount(in, 6, 0, error);
  if (!count || (*count != 0 && !Usable(k, error)))
    return false;

  // The whole file is good: now the window.
  TMeasureRecordState& state = window.State();
  if (isLog) {
    ApplyPatientPart(window, patient);
    state.PlethyValue = value;
  }
  state.ZeroFlowFirst = zeroStart;
  state.ZeroFlowLast = zeroEnd;
  state.PlethyIndex1 = index1;
  state.PlethyIndex2 = index2;
  if (*count == 0)
    return true;
  if (state.LogWriteEnable && state.LogMeasureMode == MEASURE_PLETHY)
    Adopt(window, k, true);
  std::array<std::vector<std::int16_t>, 3> raw;
  for (auto& channel : raw) {
    channel.resize(*count);
    for (std::int16_t& sample : channel)
      sample = in.ReadInt16("raw samples");
  }
  float* flow = window.GetSpiroFlowBuffer(slot);
  float* box = window.GetSpiroBoxPressureBuffer(slot);
  float* mouth = window.GetSpiroMouthPressureBuffer(slot);
  std::array<std::int16_t*, 3> keep{window.GetRawSampleBuffer(0), window.GetRawSampleBuffer(1),
                                    window.GetRawSampleBuffer(2)};
  for (std::uint32_t i = 0; i < *count; ++i) {
    if (keep[0] && keep[1] && keep[2])
      for (std::size_t channel = 0; channel < 3; ++channel)
        keep[channel][i] = raw[channel][i];
    if (flow)
      flow[i] = zeroStart <= i && i <= zeroEnd ? 0.0f : Flow(raw[0][i], k, state.PlethyFlowFactor);
    if (box)
      box[i] = static_cast<float>(raw[1][i]) * RawBoxScale - k.BoxZero;
    if (mouth)
      mouth[i] = (static_cast<float>(raw[2][i]) * RawMouthScale - k.MouthZero) * 0.001f;
  }
  window.SetBufferSize(MEASURE_PLETHY, slot, static_cast<short>(*count));
  window.DoRandom(slot);
  return true;
}

bool ReplayLog(TMeasureAccess& window, short kind, short slot, TBinaryReader& in, std::string& error) {
  const TPatientPart patient = ReadPatientPart(in);
  TConstants k;
  for (float* constant : {&k.Btps, &k.Inspiration, &k.Expiration, &k.FlowZero})
    *constant = in.ReadFloat32("constants");
  const std::optional<std::uint32_t> count = ReadCount(in, 2, 0, error);
  if (!count || (*count != 0 && !Usable(k, error)))
    return false;
  ApplyPatientPart(window, patient);
  if (*count == 0)
    return true;
  TMeasureRecordState& state = window.State();
  if (state.LogWriteEnable && state.LogMeasureMode == kind)
    Adopt(window, k, false);
  float* flow = window.GetSpiroFlowBuffer(slot);
  std::int16_t* keep = window.GetRawSampleBuffer(0);
  for (std::uint32_t i = 0; i < *count; ++i) {
    const std::int16_t raw = in.ReadInt16("raw flow");
    if (keep)
      keep[i] = raw;
    if (flow)
      flow[i] = Flow(raw, k, 1.0f);
  }
  window.SetBufferSize(kind, slot, static_cast<short>(*count));
  return true;
}

// A demonstration file's count, checked against the bytes that follow it.
std::optional<std::uint32_t> ReadDemoCount(TBinaryReader& in, short kind, std::string& error) {
  const std::size_t perSample = kind == MEASURE_RHINO ? 8 : 4;
  return ReadCount(in, perSample, kind == MEASURE_DFC ? 8 : 0, error);
}

bool ReplayDemo(TMeasureAccess& window, short kind, short slot, TBinaryReader& in, std::string& error) {
  const std::optional<std::uint32_t> count = ReadDemoCount(in, kind, error);
  if (!count)
    return false;
  window.SetBufferSize(kind, slot, static_cast<short>(*count));
  if (*count == 0)
    return true;
  float* flow = window.GetSpiroFlowBuffer(slot);
  float* pressure = window.GetSpiroPressureBuffer(slot);
  const auto put = [](float* buffer, std::uint32_t i, float value) {
    if (buffer)
      buffer[i] = value;
  };
  if (kind == MEASURE_SHUTTER) {
    for (std::uint32_t i = 0; i < *count; ++i)
      put(flow, i, static_cast<float>(in.ReadInt16("flow") + 3));
    for (std::uint32_t i = 0; i < *count; ++i)
      put(pressure, i, static_cast<float>(in.ReadInt16("pressure")));
  } else {
    for (std::uint32_t i = 0; i < *count; ++i)
      put(flow, i, in.ReadFloat32("flow"));
    if (kind == MEASURE_RHINO)
      for (std::uint32_t i = 0; i < *count; ++i)
        put(pressure, i, in.ReadFloat32("pressure"));
    if (kind == MEASURE_DFC)
      for (float& gas : window.State().GasAnalysis)
        gas = in.ReadFloat32("gas analysis");
  }
  window.DoRandom(slot);
  return true;
}

}  // namespace

std::string_view DemoFileName(short kind) {
  constexpr std::array<std::string_view, 7> names{"FvcDemo.bin", "VcDemo.bin", "MvvDemo.bin", "DfcDemo.bin",
                                                  "PlDemo.bin",  "ShDemo.bin", "RinoDemo.bin"};
  return kind >= 0 && kind <= MEASURE_RHINO ? names[static_cast<std::size_t>(kind)] : std::string_view();
}

std::filesystem::path DemoFolder() { return QCoreApplication::applicationDirPath().toStdString(); }

std::string_view DefaultLogName(short kind) {
  switch (kind) {
  case MEASURE_FVC: return "BadFvc.001";
  case MEASURE_VC: return "BadVc.001";
  case MEASURE_MVV: return "BadMvv.001";
  case MEASURE_PLETHY: return "BadPlethy.001";
  default: return {};
  }
}

bool ReplayMeasureData(TMeasureAccess& window, short kind, std::string_view bytes, short slot, bool isLog,
                       std::string& error) {
  TBinaryReader in(bytes);
  bool replayed = false;
  if (kind == MEASURE_PLETHY)
    replayed = ReplayPlethy(window, slot, in, isLog, error);
  else if (isLog)
    replayed = ReplayLog(window, kind, slot, in, error);
  else
    replayed = ReplayDemo(window, kind, slot, in, error);
  if (replayed && !in.Ok()) {
    error = in.GetError();
    return false;
  }
  return replayed;
}

int LoadDemoData(TMeasureAccess& window, short kind, short slot, const TReplaySettings& settings,
                 const std::filesystem::path& demoFolder, TMessage* texts, const std::filesystem::path& logFolder) {
  if (DemoFileName(kind).empty() || slot < 0 || slot >= MeasureLimits::Slots)
    return DemoDataAnswer::Missing;
  std::filesystem::path file = demoFolder / DemoFileName(kind);
  bool isLog = false;
  if (!DefaultLogName(kind).empty() && settings.ReadEnable != 0) {
    // The settings may name the log as the system writes paths, "Bad\Fvc.001".
    const std::string named = settings.ReadFileName.empty() ? std::string(DefaultLogName(kind)) : settings.ReadFileName;
    const std::filesystem::path log =
        (logFolder.empty() ? demoFolder : logFolder) / Paths::ToNative(named).value_or(named);
    std::error_code ec;
    if (std::filesystem::exists(log, ec)) {
      file = log;
      isLog = true;
    }
  }
  const auto fail = [&](int text, const std::string& error) {
    if (texts)
      texts->MessageBoxText(texts->Format(text, {file.string(), error}), 0, TMessageIcon::Stop);
    return DemoDataAnswer::Damaged;
  };
  std::error_code ec;
  if (!isLog && !std::filesystem::exists(file, ec))
    return DemoDataAnswer::Missing;
  std::string error;
  const std::optional<std::string> bytes = WholeFile::Read(file, LargestFile, error);
  if (!bytes)
    return fail(RecordText::FileNotRead, error);
  // A demonstration file cut short is refused before the slot is touched:
  // the trial the slot holds stays.
  if (!isLog && kind != MEASURE_PLETHY) {
    TBinaryReader whole(*bytes);
    if (!ReadDemoCount(whole, kind, error))
      return fail(RecordText::DamagedFile, error);
  }
  if (!window.AllocateSpiroBuffer(slot, kind, kind == MEASURE_SHUTTER || kind == MEASURE_RHINO)) {
    if (texts)
      texts->MessageBox(RecordText::NoCurveMemory, 0, TMessageIcon::Stop);
    return DemoDataAnswer::Damaged;
  }
  window.SetBufferSize(kind, slot, 0);
  if (ReplayMeasureData(window, kind, *bytes, slot, isLog, error)) {
    window.State();  // the window takes the replayed marks and constants before the trial is evaluated
    return DemoDataAnswer::Replayed;
  }
  window.SetBufferSize(kind, slot, 0);
  return fail(RecordText::DamagedFile, error);
}

}  // namespace DemoReplay
