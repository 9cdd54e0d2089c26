// What the parameter list shows: the evaluated trials of the current test
// kind beside their predicted values, or the actual result beside the
// previous one.

#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"

#include "measure/results/ParamList.h"
#include "platform/basekit/Message.h"

#include <string>
#include <vector>

namespace {


}  // namespace

void TMeasureCore::CreateParamList(short language, float factor) {
  ParamList = std::make_unique<TParamList>(IniFile, language, this, MeasureType, factor);
  Predicted = ParamList.get();
}

void TMeasureCore::ReadIndexOfParams() {
  if (ParamList)
    ParamList->ReadIndexOfParams();
}

void TMeasureCore::UpdateParamListBox() {
  // The enlarged table and the full-width curves show no list; the
  // rhinomanometry table comes with its test.
  if (!ParamList || TableZoomed || ScreenMode != 1)
    return;
  if (MeasureMode == MEASURE_RHINO)
    ParamList->FillRhinoParamList(Rhino.ParamsAkt, Rhino.ParamsPre, Rhino.ShownRows());
  else if (PrePostMode)
    WritePrePostParamsTable();
  else
    WriteParamsTable();
  View->RefreshParamList();
}

namespace {

// The list takes the trials one after another, `count` values each.
std::vector<float> Trials(const std::array<TMeasureData::TParameterRecord, 4>& slots, unsigned short count) {
  std::vector<float> values;
  values.reserve(4u * count);
  for (const auto& slot : slots)
    values.insert(values.end(), slot.begin(), slot.begin() + count);
  return values;
}

}  // namespace

void TMeasureCore::ListTrialLine(int textNumber, short trial) {
  if (ParamList && Messages && !TableZoomed && ScreenMode == 1) {
    ParamList->PutString(Messages->Format(textNumber, {std::to_string(trial)}), -1);
    View->RefreshParamList();
  }
}

bool TMeasureCore::TrialCutByLink(short kind, short slot) const {
  if (kind < 0 || kind >= TEST_KIND_COUNT || slot < 0 || slot >= 3)
    return false;
  const auto k = static_cast<std::size_t>(kind), t = static_cast<std::size_t>(slot);
  return LinkCut.IsCut(kind, slot, {MeasureDate[k][t], MeasureTime[k][t]});
}

std::string TMeasureCore::LinkCutText(short slot) const {
  constexpr int LinkCutTextNumber = 9455;
  return Messages ? Messages->Format(LinkCutTextNumber, {std::to_string(slot + 1)}) : std::string();
}

void TMeasureCore::WriteParamsTable() {
  const short mode = MeasureMode;
  if (!ParamList || ResultKind != 1 || mode < 0 || mode >= TEST_KIND_COUNT)
    return;
  const std::size_t k = Index(mode);
  const auto count = static_cast<unsigned short>(GetNumberOfParams(mode));
  const std::vector<float> actual = Trials(AktParams[k], count);
  const short shown = TrialOrder[0];
  const float vext = shown >= 1 && shown <= 3 ? LostVolume[Index(static_cast<short>(shown - 1))] : 0.0f;
  ParamList->FillParamList(actual, std::span<const float>(RefParams[k].data(), count),
                           std::span<const float>(RsdParams[k].data(), count), GetParamStr(mode), count, TrialOrder,
                           static_cast<unsigned short>(mode), std::span<const unsigned>(GetParamStruct(mode), count),
                           Settings.Spirometer.ShowLostVolume, vext);
  // A trial the link cut short is listed as such below its values.
  for (short slot = 0; slot < 3; ++slot)
    if (TrialCutByLink(mode, slot))
      ParamList->PutString(LinkCutText(slot), -1);
  if (mode == MEASURE_VC)
    ReferenceIvc = shown >= 1 && shown <= 3 ? AktParams[k][Index(static_cast<short>(shown - 1))][0] : 0.0f;
  ChangeButtonColor();
}

void TMeasureCore::WritePrePostParamsTable() {
  const short mode = MeasureMode;
  if (!ParamList || mode < 0 || mode >= TEST_KIND_COUNT)
    return;
  const std::size_t k = Index(mode);
  const auto count = static_cast<unsigned short>(GetNumberOfParams(mode));
  const std::vector<float> actual = Trials(AktParams[k], count);
  ParamList->FillPrePostParamList(actual, std::span<const float>(RefParams[k].data(), count),
                                  std::span<const float>(PreRefParams[k].data(), count), GetParamStr(mode), count,
                                  TrialOrder, static_cast<unsigned short>(mode),
                                  std::span<const unsigned>(GetParamStruct(mode), count));
}
