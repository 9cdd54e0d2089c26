#include "measure/results/ParamsStruct.h"

#include "common/MeasureMode.h"
#include "platform/framework/ProfileBatch.h"

namespace {

constexpr std::string_view ParamsSection = "Params Struct";

const char* SuffixOf(short kind, short i) {
  switch (kind) {
  case MEASURE_DFC: return i >= 1 && i <= 4 ? " (DFC)" : "";
  case MEASURE_PLETHY: return i == 0 || i == 2 || i == 3 ? " (PL)" : "";
  case MEASURE_SHUTTER: return " (SH)";
  default: return "";
  }
}

// Calls visit(key, flag index) for every parameter in kind order.
template <class TVisit>
void ForEachKey(TVisit&& visit) {
  std::size_t flag = 0;
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    for (short i = 0; i < ParameterCount(kind); ++i)
      visit(ParamsStructKey(kind, i), flag++);
}

}  // namespace

std::string ParamsStructKey(short kind, short i) {
  const auto names = ParameterNames(kind);
  if (i < 0 || static_cast<std::size_t>(i) >= names.size())
    return {};
  return std::string(names[static_cast<std::size_t>(i)]) + SuffixOf(kind, i);
}

// The 63 flags are read and written as one batch: a flush per key made
// every closing of the window rewrite the file 63 times.
void ReadParmsStruct(std::string_view iniName, TParamFlags& flags) {
  const TProfileBatch profile(ParamsSection, iniName);
  ForEachKey([&](const std::string& key, std::size_t flag) {
    const auto value = static_cast<short>(profile.GetInt(key, 1));
    flags[flag] = static_cast<unsigned>(static_cast<int>(value));
  });
}

bool WriteParmsStruct(std::string_view iniName, const TParamFlags& flags) {
  TProfileBatch profile(ParamsSection, iniName);
  ForEachKey([&](const std::string& key, std::size_t flag) { profile.WriteInt(key, static_cast<int>(flags[flag])); });
  return profile.Commit();
}
