// The switches of the screen: the big result table, the incentive
// animation and the grid. The last two are kept in the ini file and
// reported to the client, so that its tool-bar buttons follow them.

#include "common/CommandNumbers.h"
#include "measure/MeasureAnimations.h"
#include "measure/MeasureCore.h"

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
  if (Client)
    Client->SendToClient(WM_CAKE_CHANGED, AnimationSwitch ? 1 : 0, 0);
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
  if (Client)
    Client->SendToClient(WM_GRID_CHANGED, GridOn ? 1 : 0, 0);
}
