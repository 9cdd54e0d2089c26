// The calibration as the operator runs it: the command that puts up the
// calibration screen and starts the acquisition of the syringe strokes,
// the silent test of the strokes once half of them are in, and the stop
// that shows the calibration result and stores the constants when every
// check passes. The strokes themselves are counted by the ready machine.

#include "measure/core/MeasureCore.h"
#include "measure/results/ParamList.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/Protocol.h"

namespace {

using InstrumentProtocol::FamilyDiffusion;
using InstrumentProtocol::FamilyMask;
constexpr short CalibrationFontSet = 7;
// Where the calibration result stands, in the 800 x 600 design: two lines
// for a spirometer, four more for an extended instrument's gas and box rows.
constexpr TListPlacement SpirometerResult{320, 87, 742, 127};
constexpr TListPlacement ExtendedResult{320, 87, 742, 167};

}  // namespace

void TMeasureCore::CmCalibration() {
  if (!IsIdle())
    return;
  // An instrument of another family has no calibration this window runs.
  const bool box = IsPlethysmographInstrument();
  if (HasInstrument && InstrumentType != 0 && (InstrumentType & FamilyMask) != FamilyDiffusion && !box) {
    NotAvailableYet();
    return;
  }
  if (HasInstrument && box) {
    if (const int problem = PlethySettingsProblem(); problem != 0) {
      if (Messages)
        Messages->MessageBox(problem, 0, TMessageIcon::Stop);
      return;
    }
  }
  if (BtpsDevice)
    BtpsTimerActive = false;
  View->DropNotes();
  View->SetHourGlass(true);
  MeasureMode = MEASURE_CALIBRATION;
  MeasureScreen = 0;
  SkipMark = false;
  SkipFlow = false;
  Lines.PressureReached = true;
  Gas.BagOpenTimeout = false;
  Gas.BagCloseTimeout = false;
  FleischPressureLoss = 0;
  BalloonPressureLoss = 0;
  ElapsedCounter = 0;
  CalibrationStep = 5;
  StrokeCount = 0;
  CalFactorPos = 1.0f;
  CalFactorNeg = 1.0f;
  LastTurnVolume = 0.0f;
  if (DoorFlag)
    CalDoneIndex = 0;
  SavedZoomLevel = ZoomLevel;
  ZoomLevel = ListVisible ? 2 : 1;
  View->SetCurrentFactor();
  View->ClearMeasureScreen();
  pThis = this;
  View->CopyScreen();

  if (!AllocateBuffers(0, MEASURE_CALIBRATION, false)) {
    if (BtpsDevice)
      BtpsTimerActive = true;
  } else {
    StartId = CM_CALIBRATION;
    ShowCalibAnimation();
    // The strokes wait for their own start, as every trial does.
    FlagBegin = false;
    IsBreathIn = false;
    // The strokes are measured between this calibration's own turning
    // points: an earlier one's would join its strokes to these.
    Extremes.Clear();
    TestMode = 0;
    InitHandler();
    if (HasInstrument && (InstrumentType & FamilyMask) == FamilyDiffusion)
      StartDiffusionCalibration();
    else if (HasInstrument && box)
      StartPlethyCalibration();
  }
  View->SetHourGlass(false);
  if (Client)
    Client->SendToClient(WM_SHOW_CHILD_WINDOW, 1, 0);
}

bool TMeasureCore::CalculateCalibrationFactors(float& positive, float& negative) {
  float inspiration = 0.0f;
  float expiration = 0.0f;
  float withGas = 0.0f;
  const bool valid = (InstrumentType & FamilyMask) == FamilyDiffusion
                         ? TestCalculateOfDiffCalibration(inspiration, withGas, expiration, false)
                     : IsPlethysmographInstrument() ? TestCalculateOfPlethyCalibration(inspiration, expiration, false)
                                                    : TestCalculateOfSpiroCalibration(inspiration, expiration, false);
  if (!valid)
    return false;
  positive = inspiration;
  negative = expiration;
  return true;
}

void TMeasureCore::StopCalibration() {
  RemoveCalibAnimation();
  ResultKind = 0;
  if (ParamList)
    ParamList->ChangeFont(CalibrationFontSet);
  const TListPlacement& design = InstrumentType == 0 ? SpirometerResult : ExtendedResult;
  const auto scaled = [](int v, float f) { return static_cast<int>(static_cast<float>(v) * f); };
  View->PlaceParamList({scaled(design.Left, ScreenFactors[0]), scaled(design.Top, ScreenFactors[1]),
                        scaled(design.Right, ScreenFactors[0]), scaled(design.Bottom, ScreenFactors[1])},
                       false);
  View->ShowListScrollBar(false);
  CalculateCalibrationConstans();
  if (ParamList) {
    CALIB_PARAMS params;
    SetCalibParams(params);
    ParamList->FillCalibList(params);
  }
}

void TMeasureCore::LeaveCalibrationScreen() {
  MeasureScreen = 1;
  ZoomLevel = SavedZoomLevel;
  View->SetCurrentFactor();
  View->ClearMeasureScreen();
  if (ListVisible && !PrePostMode) {
    ResultKind = 1;
    if (ParamList)
      ParamList->ChangeFont(MeasureType);
    PlaceListByMode();
    View->UpdateTableTitle();
  }
}
