// The switches of the screen: the big result table, the incentive
// animation and the grid. The last two are kept in the ini file and
// reported to the client, so that its tool-bar buttons follow them. Also
// the cake's part in a test run, and the comparison view brought back.

#include "common/CommandNumbers.h"
#include "measure/screen/MeasureAnimations.h"
#include "measure/core/MeasureCore.h"

#include <algorithm>
#include <cmath>

bool TMeasureCore::PrePostShown = false;

void TMeasureCore::ReadAnimationSettings() {
  const TCakeSettings cake = AnimationSettings::ReadCake(GetIniFile());
  CakeEnable = cake.Enable;
  AnimationSwitch = cake.State != 0;
  GridOn = AnimationSettings::ReadGrid(GetIniFile()) != 0;
}

void TMeasureCore::CmZoomTable() {
  View->DeleteScreenBmp();
  View->DropNotes();
  if (!TableZoomed) {
    TableZoomed = true;
    View->ShowParamList(false);
    View->InvalidateScreen();
  } else {
    TableZoomed = false;
    View->ShowParamList(true);
    View->SetCursor(0);
    View->RefreshParamList();
    View->MeasurePaint();
  }
  View->RebuildToolTipObjects();
}

TResult TMeasureCore::CmCake(TParam1, TParam2) {
  if (GetHelpContext())
    return 0;
  AnimationSwitch = !AnimationSwitch;
  AnimationSettings::WriteCakeState(GetIniFile(), AnimationSwitch ? 1 : 0);
  return 1;
}

void TMeasureCore::CmCakeCommand() {
  if (GetHelpContext())
    return;
  CmCake();
  TellButtons(WM_CAKE_CHANGED, AnimationSwitch);
}

TResult TMeasureCore::CmGrid(TParam1, TParam2) {
  if (GetHelpContext())
    return 0;
  GridOn = !GridOn;
  AnimationSettings::WriteGrid(GetIniFile(), GridOn ? 1 : 0);
  View->DeleteScreenBmp();
  View->InvalidateScreen();
  return 1;
}

void TMeasureCore::CmGridCommand() {
  if (GetHelpContext())
    return;
  CmGrid();
  TellButtons(WM_GRID_CHANGED, GridOn);
}

void TMeasureCore::TellButtons(unsigned message, bool on) const {
  if (Client && Client->SendToClient(message, on ? 1 : 0, 0) == 0)
    Client->SendToMainWindow(message, on ? 1 : 0, 0);
}

float TMeasureCore::CakePredicted(short kind) const {
  if (kind != MEASURE_FVC && kind != MEASURE_VC && kind != MEASURE_MVV)
    return 0.0f;
  const float predicted = RefParams[static_cast<std::size_t>(kind)][0];
  return std::isfinite(predicted) ? predicted : 0.0f;
}

short TMeasureCore::CakeAge() const { return static_cast<short>(std::clamp<long>(PredictedData.Age, -1, 999)); }

void TMeasureCore::LoadCake() {
  // The window may not have worked out its predicted values yet when it is
  // set up: they are taken from the equations then, without keeping them.
  bool anyPredicted = false;
  for (const short kind : {short{MEASURE_FVC}, short{MEASURE_VC}, short{MEASURE_MVV}}) {
    TParameterRecord ref{};
    TParameterRecord rsd{};
    if (CakePredicted(kind) == 0.0f)
      FillPredictedRSD(ref.data(), rsd.data(), kind);
    anyPredicted = anyPredicted || CakePredicted(kind) != 0.0f || (std::isfinite(ref[0]) && ref[0] != 0.0f);
  }
  View->LoadCake(CakeAge(), anyPredicted);
}

void TMeasureCore::InitCake() {
  if (MeasureMode == MEASURE_RHINO || !ListVisible)
    return;
  View->InitCake(CakeAge(), CakePredicted(MeasureMode));
}

void TMeasureCore::RestorePrePost() {
  if (StageView || PrePostMode || !PrePostShown || MeasureType < MEASURE_FVC || MeasureType >= TEST_KIND_COUNT)
    return;
  const auto& counts = SampleCount[static_cast<std::size_t>(MeasureType)];
  const bool actual = std::any_of(counts.begin(), counts.begin() + 3, [](short count) { return count > 0; });
  if (actual && counts[3] > 0)
    CmPrePost();
}
