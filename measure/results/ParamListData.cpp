#include "measure/results/ParamListData.h"

#include "platform/basekit/CLocaleFormat.h"
#include "platform/framework/ProfileBatch.h"

#include <algorithm>

namespace {

constexpr std::array<const char*, TEST_KIND_COUNT> KeyFormats{"FVC%02d", "VC%02d", "MVV%02d",
                                                              "DFC%02d", "PL%02d", "SH%02d"};

// True when the positions are 1 to N, each once.
bool IsPermutation(std::span<const short> positions) {
  std::array<bool, MAX_PARAMETER_COUNT + 1> seen{};
  for (const short position : positions) {
    if (position < 1 || position > static_cast<short>(positions.size()) || seen[static_cast<std::size_t>(position)])
      return false;
    seen[static_cast<std::size_t>(position)] = true;
  }
  return true;
}

}  // namespace

std::string TParamListData::IndexKey(short kind, short i) {
  if (kind < 0 || kind >= TEST_KIND_COUNT)
    return {};
  return CLocale::Format(KeyFormats[static_cast<std::size_t>(kind)], i);
}

// Both sections are read and filled in as one batch each: a fresh ini file
// takes over a hundred keys here, and a flush per key made opening the
// window take seconds on a real disk.
void TParamListData::ReadIndexOfParams() {
  TProfileBatch profile("Index of Parameters", IniName);
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    auto& positions = Positions[static_cast<std::size_t>(kind)];
    const short count = ParameterCount(kind);
    for (short i = 0; i < count; ++i) {
      const std::string key = IndexKey(kind, i);
      auto position = static_cast<short>(profile.GetInt(key, 0));
      if (position == 0) {
        position = static_cast<short>(i + 1);
        profile.WriteInt(key, position);
      }
      positions[static_cast<std::size_t>(i)] = position;
    }
    const std::span<short> used(positions.data(), static_cast<std::size_t>(count));
    if (!IsPermutation(used))
      for (short i = 0; i < count; ++i)
        used[static_cast<std::size_t>(i)] = static_cast<short>(i + 1);
  }
  profile.Commit();
}

void TParamListData::MergeIndexByParam() {
  TProfileBatch profile("Merge Index By Parameter", IniName);
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind) {
    const auto names = ParameterNames(kind);
    const auto units = ParameterUnits(kind);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string key = IndexKey(kind, static_cast<short>(i));
      if (!profile.GetString(key, "").empty())
        continue;
      std::string text(names[i]);
      text += ' ';
      text += units[i];
      profile.WriteString(key, text);
    }
  }
  profile.Commit();
}

short TParamListData::GetParamIndex(short kind, short i) const {
  if (i < 0 || i >= ParameterCount(kind))
    return -1;
  return static_cast<short>(Positions[static_cast<std::size_t>(kind)][static_cast<std::size_t>(i)] - 1);
}

std::span<const short> TParamListData::GetIndexOfParams(short kind) const {
  if (kind < 0 || kind >= TEST_KIND_COUNT)
    return {};
  return {Positions[static_cast<std::size_t>(kind)].data(), static_cast<std::size_t>(ParameterCount(kind))};
}
