#include "measure/core/MeasureCore.h"

#include "platform/framework/BinaryStream.h"
#include "platform/framework/Paths.h"

#include <cstdio>
#include <fstream>

namespace {

const char* LogPattern(short mode) {
  switch (mode) {
  case MEASURE_FVC: return "Bad\\Fvc.%03d";
  case MEASURE_VC: return "Bad\\Vc.%03d";
  case MEASURE_MVV: return "Bad\\Mvv.%03d";
  case MEASURE_PLETHY: return "Bad\\Plethy.%03d";
  default: return nullptr;
  }
}

}  // namespace

std::filesystem::path TMeasureCore::WriteMeasureLog() {
  const char* pattern = LogPattern(MeasureMode);
  if (!pattern || TrialIndex < 0 || TrialIndex > 3)
    return {};
  std::filesystem::path file;
  for (int n = 1; n < 1'000'000; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, pattern, n);
    const std::optional<std::string> native = Paths::ToNative(name);
    if (!native)
      return {};
    const std::filesystem::path candidate = HomeFolder / *native;
    if (!std::filesystem::exists(candidate)) {
      file = candidate;
      break;
    }
  }
  if (file.empty())
    return {};
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);

  const short count = SampleCount[static_cast<std::size_t>(MeasureMode)][static_cast<std::size_t>(TrialIndex)];
  const std::size_t n = std::min(static_cast<std::size_t>(std::max<short>(count, 0)), LogBuffer[0].size());
  TBinaryWriter out;
  out.WriteBytes(PredictedData.ToBytes());
  std::string btps = BtpsRecordBytes();
  btps.resize(17, '\0');
  out.WriteBytes(btps);
  if (MeasureMode == MEASURE_PLETHY) {
    AppendPlethyLog(out, n);
  } else {
    out.WriteFloat32(ConstansOfBTPS[0]);
    out.WriteFloat32(InspFactor);
    out.WriteFloat32(ExpFactor);
    out.WriteFloat32(FlowZero);
    out.WriteInt32(static_cast<std::int32_t>(n));
    for (std::size_t k = 0; k < n; ++k)
      out.WriteInt16(LogBuffer[0][k]);
  }

  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  if (!stream)
    return {};  // a log that cannot be created is skipped
  stream.write(out.Data().data(), static_cast<std::streamsize>(out.Size()));
  return stream ? file : std::filesystem::path{};
}

void TMeasureCore::AppendPlethyLog(TBinaryWriter& out, std::size_t n) const {
  // The box's log keeps its zeros and marks besides the three raw channels:
  // where the flow was held, the closure and the start of the loops.
  for (const auto& channel : LogBuffer)
    n = std::min(n, channel.size());
  out.WriteFloat32(PlethyShared);
  out.WriteInt32(ResistanceEndMark);
  for (const float value : {ConstansOfBTPS[0], InspFactor, ExpFactor, FlowZero, BoxZero, MouthZero})
    out.WriteFloat32(value);
  for (const short mark : {TGVStartMark, EndMark, ResistanceStartMark})
    out.WriteInt32(static_cast<std::uint16_t>(mark));
  out.WriteInt32(static_cast<std::int32_t>(n));
  for (const auto& channel : LogBuffer)
    for (std::size_t k = 0; k < n; ++k)
      out.WriteInt16(channel[k]);
}
