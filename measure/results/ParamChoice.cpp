#include "measure/results/ParamChoice.h"

#include <algorithm>

namespace {

constexpr std::array<int, TEST_KIND_COUNT> FirstCheckBoxIds{5070, 5089, 5094, 5098, 5111, 5855};
constexpr std::array<int, TEST_KIND_COUNT> KindTexts{79, 80, 81, 426, 475, 474};

}  // namespace

TParamChoice::TParamChoice(TParamFlags& flags, short kind) : Kind(kind) {
  const short offset = ParameterOffset(kind);
  if (offset >= 0)
    Flags = std::span<unsigned>(flags).subspan(static_cast<std::size_t>(offset),
                                               static_cast<std::size_t>(ParameterCount(kind)));
  Opened.assign(Flags.begin(), Flags.end());
}

int TParamChoice::CheckBoxId(int i) const {
  if (i < 0 || i >= GetCount())
    return 0;
  return FirstCheckBoxIds[static_cast<std::size_t>(Kind)] + i;
}

int TParamChoice::KindText() const {
  return Kind >= 0 && Kind < TEST_KIND_COUNT ? KindTexts[static_cast<std::size_t>(Kind)] : 0;
}

bool TParamChoice::GetFlag(int i) const { return i >= 0 && i < GetCount() && Flags[static_cast<std::size_t>(i)] != 0; }

void TParamChoice::SetFlag(int i, bool shown) {
  if (i >= 0 && i < GetCount())
    Flags[static_cast<std::size_t>(i)] = shown ? 1u : 0u;
}

void TParamChoice::CheckAll() { std::fill(Flags.begin(), Flags.end(), 1u); }

void TParamChoice::ClearAll() { std::fill(Flags.begin(), Flags.end(), 0u); }

bool TParamChoice::IsOkEnabled() const {
  return std::any_of(Flags.begin(), Flags.end(), [](unsigned flag) { return flag != 0; });
}

void TParamChoice::Restore() { std::copy(Opened.begin(), Opened.end(), Flags.begin()); }
