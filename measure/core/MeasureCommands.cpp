// The window's response table and the small commands that switch what it
// shows: the actual trial, zoom, comparison, curves only, unit system,
// equation set, test kind, provocation cancel, Esc and help.

#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasureLayout.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "predicted/Predicted.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr unsigned WM_DESTROY_ROW = 0x0002;
constexpr unsigned WM_LBUTTONDOWN_ROW = 0x0201;
constexpr unsigned WM_MOUSEMOVE_ROW = 0x0200;
constexpr unsigned WM_SIZE_ROW = 0x0005;
constexpr unsigned WM_CTLCOLOR_ROW = 0x0019;
constexpr unsigned WM_TIMER_ROW = 0x0113;
constexpr unsigned NoteButton = 5401;

// The parameter list's place in device pixels by screen index.
}  // namespace

const TResponseTable& TMeasureCore::ResponseTable() {
  using C = TMeasureCore;
  static constexpr TResponseEntry entries[] = {
      // Window messages the widget handles itself keep their rows, so that
      // the order stays the one the program knows.
      Response::Message<&C::CmNotYet>(WM_DESTROY_ROW),
      Response::Message<&C::CmNotYet>(WM_LBUTTONDOWN_ROW),
      Response::Message<&C::CmNotYet>(WM_MOUSEMOVE_ROW),
      Response::Message<&C::CmNotYet>(WM_SIZE_ROW),
      Response::Message<&C::CmNotYet>(WM_CTLCOLOR_ROW),
      Response::Command<&C::CmStartCommand>(CM_START),
      Response::Command<&C::CmStartCommand>(CM_START2),
      Response::Command<&C::CmStartCommand>(CM_START3),
      Response::Message<&C::CmDoStartMessage>(WM_DO_START),
      Response::Enabler<&C::CommandEnable>(CM_START),
      Response::Enabler<&C::CommandEnable>(CM_START2),
      Response::Enabler<&C::CommandEnable>(CM_START3),
      Response::Command<&C::CmStop>(CM_STOP),
      Response::Enabler<&C::CommandEnable>(CM_STOP),
      Response::Command<&C::CmChangeAktualis>(CM_TABLE1),
      Response::Command<&C::CmChangeAktualis>(CM_TABLE2),
      Response::Command<&C::CmChangeAktualis>(CM_TABLE3),
      Response::Enabler<&C::CommandEnable>(CM_TABLE1),
      Response::Enabler<&C::CommandEnable>(CM_TABLE2),
      Response::Enabler<&C::CommandEnable>(CM_TABLE3),
      Response::Command<&C::CmCalibration>(CM_CALIBRATION),
      Response::Enabler<&C::CommandEnable>(CM_CALIBRATION),
      Response::Command<&C::CmZoom>(CM_ZOOM),
      Response::Enabler<&C::CommandEnable>(CM_ZOOM),
      Response::Command<&C::CmZero>(CM_ZERO),
      Response::Enabler<&C::CommandEnable>(CM_ZERO),
      Response::Command<&C::CmPrePostCommand>(CM_PREPOST),
      Response::Command<&C::CmCancelProv>(CM_CANCEL_PROV),
      Response::Enabler<&C::CommandEnable>(CM_CANCEL_PROV),
      Response::Message<&C::CmPrePost>(CM_PREPOST),
      Response::Enabler<&C::CommandEnable>(CM_PREPOST),
      Response::Command<&C::CmCakeCommand>(CM_CAKE),
      Response::Message<&C::CmCake>(CM_CAKE),
      Response::Enabler<&C::CommandEnable>(CM_CAKE),
      Response::Message<&C::CmReadyMessage>(WM_DATA_READY),
      Response::Message<&C::CmRhinoReadyMessage>(WM_RHINO_DATA_READY),
      Response::Message<&C::CmPlethyReadyMessage>(WM_PLETHY_DATA_READY),
      Response::Command<&C::CmScreen>(CM_SCREEN),
      Response::Command<&C::CmUnit>(CM_UNIT),
      Response::Message<&C::CmNotYet>(WM_TIMER_ROW),
      Response::Message<&C::TChangePredictedList>(ControlNotify(PredictedListId, CBN_SELCHANGE)),
      Response::Message<&C::CmSetFocusPredictedList>(ControlNotify(PredictedListId, CBN_SETFOCUS)),
      Response::Command<&C::CmZoomTable>(CM_ZOOM_TABLE),
      Response::Message<&C::GetIsStart>(WM_GET_IS_START),
      Response::Command<&C::CmShowNote>(NoteButton),
      Response::Message<&C::EnChangeComment>(ControlNotify(NoteEditId, EN_CHANGE)),
      Response::Message<&C::EvCommNotifyMessage>(WM_COMMNOTIFY),
      Response::Command<&C::CmGridCommand>(CM_GRID),
      Response::Message<&C::CmGrid>(CM_GRID),
      Response::Enabler<&C::CommandEnable>(CM_GRID),
      Response::Message<&C::CmAskHelpContext>(WM_ASK_HELP_CONTEXT),
      Response::Command<&C::CmDde>(CM_DDE),
      Response::Enabler<&C::CommandEnable>(CM_DDE),
      Response::Command<&C::CmEscButton>(CM_ESC_BUTTON),
      Response::Command<&C::CmRhinoProvocation>(CM_RHINO_PROVOCATION),
      Response::Enabler<&C::CommandEnable>(CM_RHINO_PROVOCATION),
      Response::Command<&C::CmGas>(CM_GAS),
      Response::Enabler<&C::CmGasEnable>(CM_GAS),
      Response::Command<&C::CmShutter>(CM_SHUTTER),
      Response::Enabler<&C::CommandEnable>(CM_SHUTTER),
      Response::Message<&C::CmMetronomMessage>(WM_METRONOME),
      Response::Command<&C::CmSelectResistanceLoop>(CM_RESISTANCE_LOOP1),
      Response::Command<&C::CmSelectResistanceLoop>(CM_RESISTANCE_LOOP2),
      Response::Command<&C::CmSelectResistanceLoop>(CM_RESISTANCE_LOOP3),
      Response::Enabler<&C::CommandEnable>(CM_RESISTANCE_LOOP1),
      Response::Enabler<&C::CommandEnable>(CM_RESISTANCE_LOOP2),
      Response::Enabler<&C::CommandEnable>(CM_RESISTANCE_LOOP3),
      Response::Command<&C::CmSkipNextPoint>(CM_SKIP_NEXT_POINT),
  };
  static_assert(std::size(entries) == 68);
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

TListPlacement TMeasureCore::ListPlacement(short screenIndex, bool low) {
  const auto i = static_cast<std::size_t>(std::clamp<short>(screenIndex, 0, 5));
  const TRect r = MeasureLayout::ListPlacement(MeasureLayout::ScreenWidths[i],
                                               static_cast<float>(MeasureLayout::ScreenWidths[i]) / 800.0f,
                                               static_cast<float>(MeasureLayout::ScreenHeights[i]) / 600.0f, low);
  return {r.Left, r.Top, r.Right, r.Bottom};
}

short TMeasureCore::ScreenIndexOf(int widthPx) { return MeasureLayout::ScreenSizeIndex(widthPx); }

TListPlacement TMeasureCore::ListPlacementHere(bool low) const {
  // A screen outside the table keeps the 800-pixel row, scaled as the
  // window is, so that the list stays beside the curves.
  const TRect r = MeasureLayout::ListPlacement(ScreenWidthPx, ScreenFactors[0], ScreenFactors[1], low);
  return {r.Left, r.Top, r.Right, r.Bottom};
}

void TMeasureCore::PlaceListByMode() {
  View->PlaceParamList(ListPlacementHere(MeasureType == MEASURE_RHINO), false);
  View->ShowListScrollBar(MeasureType != MEASURE_RHINO);
}

bool TMeasureCore::GetHelpContext() const {
  if (!Client)
    return false;
  return Client->SendToClient(WM_GET_HELP_MODE, 0, 0) != 0 || Client->SendToMainWindow(WM_GET_HELP_MODE, 0, 0) != 0;
}

TResult TMeasureCore::CmAskHelpContext(TParam1 id, TParam2) {
  if (Client)
    Client->SendToClient(WM_SHOW_HELP, id, 0);
  return 1;
}

void TMeasureCore::CmZoom() {
  View->DeleteScreenBmp();
  View->DropNotes();
  ZoomLevel = static_cast<short>(ZoomLevel == 3 ? 0 : ZoomLevel + 1);
  SavedZoomLevel = ZoomLevel;
  View->SetCurrentFactor();
  View->InvalidateScreen();
}

void TMeasureCore::CmChangeAktualis(unsigned id) {
  const short trial = static_cast<short>(id - CM_TABLE1 + 1);
  for (short j = 0; j < 3; ++j)
    if (TrialOrder[static_cast<std::size_t>(j)] == trial) {
      MakeChangeAktualis(j);
      break;
    }
  if (!TableZoomed) {
    View->UpdateTableTitle();
    View->CopyScreen();
    UpdateParamListBox();
    View->RedrawScreenBmp();
  } else {
    View->RedrawScreenBmp();
  }
  // The searched share of the trial now shown first. It goes to the status
  // line: written into the note edit it would replace the operator's note.
  if (MeasureMode == MEASURE_PLETHY && ReadoutEnabled != 0 && ReadoutGroup >= 0 && TrialOrder[0] > 0) {
    PlethyEvaluation.Status = PlethyReadout(static_cast<short>(TrialOrder[0] - 1));
    View->SetStatusText(PlethyEvaluation.Status);
  }
}

void TMeasureCore::MakeChangeAktualis(short j) {
  std::swap(TrialOrder[0], TrialOrder[static_cast<std::size_t>(j)]);
  if (MeasureMode != MEASURE_VC)
    return;
  for (const short trial : {TrialOrder[0], TrialOrder[static_cast<std::size_t>(j)]})
    if (trial != 0)
      CalculateFEVperIVC(static_cast<short>(trial - 1), -1);
}

void TMeasureCore::CmScreen() {
  // Curves only is the full-width screen; with the list the curves sit beside it.
  ListVisible = !ListVisible;
  ScreenMode = ListVisible ? 1 : 0;
  if (!ListVisible) {
    View->ShowParamList(false);
  } else {
    if (ResultKind == 0) {
      ResultKind = 1;
      PlaceListByMode();
    }
    View->ShowParamList(true);
    UpdateParamListBox();
    if (!PrePostMode)
      ChangeButtonColor();
  }
  View->DropNotes();
  View->DeleteScreenBmp();
  View->RebuildToolTipObjects();
  View->InvalidateScreen();
}

void TMeasureCore::SetMeasureMode(short mode) {
  const short before = MeasureType;
  if (!StageView)
    View->DropNotes();
  TableZoomed = false;
  if (!ExportBusy) {
    if (MeasureScreen == 0) {
      MeasureScreen = 1;
      ZoomLevel = SavedZoomLevel;
      View->SetCurrentFactor();
      ResultKind = 1;
      View->PlaceParamList(ListPlacementHere(mode == MEASURE_RHINO), false);
      View->ShowListScrollBar(mode != MEASURE_RHINO);
    }
    if (before == MEASURE_DFC && ZoomLevel == 0)
      ZoomLevel = 1;
  }
  MeasureType = mode;
  MeasureMode = mode;
  ListVisible = true;
  ScreenMode = 1;
  if (!ExportBusy) {
    // A run of the kind shown before ends here.
    if (StartId != 0) {
      StopRequest = 1;
      if (mode != MEASURE_RHINO)
        CmReady(0, 0);
    }
    if (mode != MEASURE_RHINO && mode >= 0 && mode < TEST_KIND_COUNT) {
      if (TrialOrder[0] == 0)
        SearchTheBest(mode);
      if (!StageView) {
        const bool loaded = std::any_of(AktParams[static_cast<std::size_t>(mode)].begin(),
                                        AktParams[static_cast<std::size_t>(mode)].end(),
                                        [](const TParameterRecord& r) { return r[0] != 0.0f; });
        if (!loaded)
          CalculatePredictedRSD();
      }
    }
    View->ShowParamList(true);
    UpdateParamListBox();
    if (mode == MEASURE_DFC && ZoomLevel == 1)
      ZoomLevel = 0;
    View->SetCurrentFactor();
    View->DeleteScreenBmp();
  }
}

void TMeasureCore::CmUnit() {
  if (GetHelpContext()) {
    CmAskHelpContext(CM_UNIT);
    return;
  }
  const short unit = static_cast<short>(UnitSystem == 0 ? 1 : 0);
  if (!View->RefreshMeasureUnit(unit))
    return;
  UnitSystem = unit;
  UnitRead = !IniFile.empty();
  WriteUnitConstans();
}

void TMeasureCore::CmCancelProv() {
  // The series closes only when the user says so.
  if (!Messages || Messages->MessageBox(362, 2, TMessageIcon::Question, TMessageButtons::YesNo) != IDYES)
    return;
  if (Client)
    Client->SendToClient(WM_CLOSE_CHILD_WINDOWS, 0, 0);
}

void TMeasureCore::CmPrePostCommand() {
  if (GetHelpContext())
    return;
  CmPrePost();
  if (Client && Client->SendToClient(WM_PREPOST_CHANGED, PrePostMode ? 1 : 0, 0) == 0)
    Client->SendToClient(WM_PREPOST_CHANGED, PrePostMode ? 1 : 0, 0);
}

TResult TMeasureCore::CmPrePost(TParam1, TParam2) {
  if (GetHelpContext())
    return 1;
  PrePostMode = !PrePostMode;
  PrePostShown = PrePostMode;
  if (PrePostMode) {
    View->PlaceParamList(ListPlacementHere(true), true);
  } else {
    ChangeButtonColor();
    View->PlaceParamList(ListPlacementHere(MeasureType == MEASURE_RHINO), true);
  }
  View->ShowListScrollBar(MeasureType != MEASURE_RHINO);
  View->DeleteScreenBmp();
  View->DropNotes();
  UpdateParamListBox();
  View->RebuildToolTipObjects();
  View->InvalidateScreen();
  return 1;
}

void TMeasureCore::CmEscButton() {
  if (StartId != 0)
    StopRequest = 1;
}

void TMeasureCore::TChangePredictedList() {
  if (GetHelpContext())
    return;
  View->DropNotes();
  const short index = View->GetPredictedSelection();
  // In rhinomanometry the list chooses the algorithm of the next evaluation.
  if (MeasureType == MEASURE_RHINO) {
    if (index >= 0 && index < rhinomanometry::CycleAlgorithmCount)
      Rhino.Algorithm = index;
    return;
  }
  if (!Predicted || index < 0 || index == Predicted->PredictedAlgorithm)
    return;
  Predicted->PredictedAlgorithm = index;
  if (index != 7)
    Predicted->WriteAlgorithmConstans();
  VerifyPredictedData();
  CalculatePredictedRSD();
  if (!TableZoomed)
    UpdateParamListBox();
  View->RedrawScreenBmp();
}

void TMeasureCore::CmSetFocusPredictedList() {
  if (GetHelpContext())
    CmAskHelpContext(MeasureType == MEASURE_RHINO ? 63 : 5065);
}

void TMeasureCore::CmShowNote() {
  if (GetHelpContext()) {
    CmAskHelpContext(5401);
    return;
  }
  if (View->IsNoteWindowOpen())
    View->DropNotes();
  else
    View->ShowNoteWindow(PrePostNoteText(View->GetNoteEditText()));
}

std::string TMeasureCore::GetNote() const {
  return StageView ? std::string() : View->GetNoteEditText();
}

TEnablerState TMeasureCore::EnablerState() const {
  TEnablerState s;
  s.MeasureType = MeasureType;
  s.MeasureMode = MeasureMode;
  s.Running = StartId != 0;
  s.LinkLent = LinkLent;
  s.BigTable = TableZoomed;
  // Without an instrument there is no zero to wait for.
  s.ZeroDue = ZeroPending || (HasInstrument && ZeroNeeded);
  s.ScreenMode = ScreenMode;
  s.ResultKind = ResultKind;
  s.PrePost = PrePostMode;
  s.InstrumentAttached = HasInstrument;
  s.InstrumentType = InstrumentType;
  s.CalibrationValid = Calibrated;
  s.TrialOrder = TrialOrder;
  s.PatientAge = PredictedData.Age;
  s.Grid = GridOn;
  s.AnimationSwitch = CakeEnable != 0;
  s.AnimationOn = AnimationSwitch;
  s.PatientAge = PredictedData.Age;
  s.Dirty = Dirty;
  s.StatusWord = StatusWord;
  s.ReferenceIvc = ReferenceIvc;
  s.FlagBegin = FlagBegin;
  s.TestMode = TestMode;
  s.WashingOutDone = Gas.GasSampleTaken;
  s.GasCommandGiven = Gas.GasRequest || Gas.GasPhaseStarted;
  s.GasAnalysis = Gas.GasAnalysisPending && StartId != 0;
  s.RhinoZero = RhinoZeroEnabled;
  s.RhinoResults = WasRHINO();
  s.AnteriorStarted = Rhino.Anterior;
  s.PosteriorStarted = Rhino.Posterior;
  // The shutter test arms its series once; the plethysmograph keeps its own
  // shutter state.
  if (MeasureMode == MEASURE_SHUTTER)
    s.ShutterClosed = ShutterRequested;
  s.ProgressCounter = ProgressCounter;
  // A trial holds a loop to step to once its evaluation found one.
  for (std::size_t k = 0; k < s.ResistanceLoop.size(); ++k)
    s.ResistanceLoop[k] = PlethySlots[k].LoopCount > 0;
  return s;
}

void TMeasureCore::CommandEnable(TCommandEnabler& enabler) {
  if (const auto answer = ::CommandEnable(EnablerState(), enabler.GetId(), Messages))
    Apply(*answer, enabler);
}
