#include "measure/core/MeasureCore.h"
#include "measure/core/SlotIndex.h"
#include "measure/run/SampleGuard.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/Protocol.h"

#include <algorithm>
#include <optional>
#include <new>

namespace {

constexpr auto LinkStepMlps = static_cast<float>(InstrumentProtocol::FlowMlpsPerCount);  // one count of the link's flow channel
constexpr float StartExpirationMlps = -60.0f;
constexpr float StartInspirationMlps = 600.0f;
constexpr unsigned short WordStreamOn = 0xEF7D;
constexpr unsigned short WordStreamOnExtended = 0xEF7F;
constexpr unsigned short WordGasInspiration = 0xEF62;
constexpr int SettleMs = 200;  // the instrument settles after the start word before its queue is purged

bool IsFlowTest(short mode) {
  return mode == MEASURE_FVC || mode == MEASURE_VC || mode == MEASURE_MVV || mode == MEASURE_DFC ||
         mode == MEASURE_SHUTTER;
}

}  // namespace

void TMeasureCore::CmStart(unsigned id) {
  if (!IsIdle())
    return;
  if (BtpsDevice)
    BtpsTimerActive = false;
  View->DropNotes();  // they belong to the picture the new trial replaces
  MeasureMode = MeasureType;
  if (LogMeasureMode == MeasureType && LogWriteEnable != 0 && !AllocateLogBuffers()) {
    FreeLogBuffers();
    if (BtpsDevice)
      BtpsTimerActive = true;
    if (Messages)
      Messages->MessageBox(3, 0, TMessageIcon::Stop);
    return;
  }
  if (MeasureScreen == 0)
    LeaveCalibrationScreen();
  // The copy keeps the picture for paints while the live curve is drawn
  // into it.
  if (MeasureMode == MEASURE_RHINO || MeasureMode == MEASURE_SHUTTER)
    View->ClearVolumeScreen();
  View->CopyScreen();
  if (HasInstrument && InstrumentType == 0 && ListVisible && HaveToCalibration())
    PostToSelf(WM_COMMAND, CM_CALIBRATION, 0);
  else
    PostToSelf(WM_DO_START, id, 0);
}

TResult TMeasureCore::CmDoStart(unsigned id, TParam2) {
  short trial = static_cast<short>(std::clamp<unsigned>(id, CM_START, CM_START + 2) - CM_START);
  if (MeasureMode == MEASURE_RHINO) {
    // Each start id records one nostril (or the whole nose) into its slot
    // of the first pair, or of the second after a provocation.
    WatchRhinoHaveToCopyAktToPre();
    const std::optional<TRhinoStart> start = RhinoStartOf(id, Rhino.Provoked);
    if (!start)
      return 1;
    trial = start->Slot;
    Rhino.Side = start->Side;
    (start->Posterior ? Rhino.Posterior : Rhino.Anterior) = true;
    TrialIndex = trial;
  } else {
    WatchHaveToCopyAktToPre();
  }
  pThis = this;
  // The shutter test and rhinomanometry draw their live volume strips from
  // a volume curve too.
  const bool withVolume = MeasureMode == MEASURE_SHUTTER || MeasureMode == MEASURE_RHINO;
  const bool started = HasInstrument ? AllocateBuffers(trial, MeasureMode, withVolume)
                                     : Send(WM_LOAD_DEMO_DATA, MeasureMode, trial) &&
                                           DemoAnswer == DemoDataAnswer::Replayed;
  if (!started || (!HasInstrument && DemoLimit <= 0)) {
    // Nothing to measure: the start is undone, and without an instrument
    // the user learns that the demonstration data are missing, unless the
    // damaged file has been named already. An earlier curve in the slot is
    // never replayed as a new trial.
    UndoStart();
    if (!HasInstrument && DemoAnswer != DemoDataAnswer::Damaged && Messages)
      Messages->MessageBox(10, 0, TMessageIcon::Stop);
    return 1;
  }
  // The allocation zeroed the live trial's curves: its count goes with them.
  if (HasInstrument && MeasureMode >= 0 && MeasureMode <= MEASURE_CALIBRATION)
    SampleCount[Index(MeasureMode)][Index(trial)] = 0;
  StartId = id;
  ElapsedCounter = 0;
  DirectionFlag = MeasureMode == MEASURE_FVC || MeasureMode == MEASURE_CALIBRATION ? 1 : 0;
  if (MeasureMode == MEASURE_DFC || MeasureMode == MEASURE_PLETHY || MeasureMode == MEASURE_SHUTTER)
    ChangeCommandButton(static_cast<int>(id), MeasureMode == MEASURE_DFC ? 2106 : 2153);
  // The shutter test collects points from the instrument and from
  // demonstration data alike; without its buffers it cannot run.
  if (MeasureMode == MEASURE_SHUTTER && !StartShutterTest()) {
    ChangeCommandButton(2153, static_cast<int>(id));
    KillMetronomTimer();
    UndoStart();
    return 1;
  }
  const bool box = MeasureMode == MEASURE_PLETHY;
  // Every trial waits for its own breath, and measures it against its own
  // turning points.
  FlagBegin = false;
  IsBreathIn = false;
  Extremes.Clear();
  InitCake();
  InitHandler();
  if (MeasureMode == MEASURE_DFC)
    StartDfcRun();
  if (box && !StartPlethysmographTest()) {
    ChangeCommandButton(2153, static_cast<int>(id));
    KillMetronomTimer();
    UndoStart();
    return 1;
  }
  // A plain spirometer streams once the acquisition starts; the extended
  // instruments are told which stream to send. The diffusion and
  // plethysmograph sequences start their instruments themselves.
  if (HasInstrument && InstrumentType != 0 && MeasureMode != MEASURE_DFC && MeasureMode != MEASURE_PLETHY) {
    const unsigned short word = (InstrumentType & 0xE0) != 0 ? WordStreamOnExtended : WordStreamOn;
    CmSendToSerialPort(word, 2);
    LastSentData = word;
    SettleThenPurge();
  }
  RunningDelayCounter = PortConfig.DelayCounter;
  return 1;
}

void TMeasureCore::SettleThenPurge() {
  if (!Clock)
    return;
  Settle = Clock->Every(SettleMs, [this] {
    if (PortConfig.Port == PORT_USB)
      ReceiveFlag = false;  // a USB device cannot be purged while it settles
    else
      ClearQueues(IdCommDev);
    Settle.reset();
  });
}

void TMeasureCore::UndoStart() {
  StartId = 0;
  KillHandler();
  FreeLogBuffers();
  if (BtpsDevice)
    BtpsTimerActive = true;
}

bool SampleEndsRun(TMeasureCore& core) {
  if (core.StartId == 0)
    return true;
  if (core.StopRequest == 0)
    return false;
  if (core.StartId >= CM_CALIBRATION && core.StartId <= CM_START + 2)
    core.CmStop();
  return true;
}

TResult TMeasureCore::CmReady(TParam1 wParam, TParam2 sample) {
  if (SampleEndsRun(*this))
    return 1;
  const auto i = static_cast<std::size_t>(wParam);
  switch (TestMode) {
  case 0:
  case 3:
  case 8:
  case 13:
    break;
  default:
    // The pressure probes, pumps and gas steps of the diffusion unit and
    // the calibration sequences drive these steps.
    if (!RunGasStep(TestMode, i, sample))
      return 1;
  }

  if (FlagBegin && --SamplesLeft <= 0) {
    StopRequest = 1;
    return 1;
  }
  // Never past the curve buffers, whatever the source of the samples; a
  // replay ends with the last sample of its slot.
  if ((!HasInstrument && static_cast<long>(i) >= DemoLimit) || i >= CurveBufferSamples) {
    StopRequest = 1;
    return 1;
  }
  const short mode = MeasureMode;
  float s = static_cast<float>(mode == MEASURE_SHUTTER ? static_cast<std::int16_t>(sample & 0xFFFF) : sample) *
            LinkStepMlps;
  const std::size_t t = Index(TrialIndex);
  if (IsFlowTest(mode) && t < 4 && !Flow[t].empty() && !Volume[t].empty()) {
    if (!HasInstrument) {
      FlagBegin = true;  // the flow curve already holds the demonstration trial
      // A replayed shutter trial holds raw counts: the volume strip needs L/s.
      if (mode == MEASURE_SHUTTER)
        Flow[t][i] = s * 0.001f;
    } else {
      s -= FlowZero;
      DetectBreathStart(s, mode == MEASURE_MVV || mode == MEASURE_SHUTTER);
      if (FlagBegin)
        Flow[t][i] = ScaledFlow(s);
    }
    if (FlagBegin)
      Volume[t][i] = Flow[t][i] * 0.01f + (i > 0 ? Volume[t][i - 1] : 0.0f);
  } else if (mode == MEASURE_CALIBRATION && !CalFlow.empty() && !CalVolume.empty()) {
    if (!HasInstrument) {
      FlagBegin = true;
    } else {
      s -= FlowZero;
      DetectBreathStart(s, true);
      if (FlagBegin) {
        if (CalDoneIndex != 0) {
          const float factor = s <= 0.0f ? CalFactorNeg : CalFactorPos;
          if (factor != 0.0f)
            s /= factor;
        }
        CalFlow[i] = s * 0.001f;
      }
    }
    if (FlagBegin)
      CalVolume[i] = CalFlow[i] * 0.01f + (i > 0 ? CalVolume[i - 1] : 0.0f);
  }
  if (!FlagBegin) {
    View->MoveFlame(CakeAge());
    // The stick shows the operator what to do until the strokes begin.
    if (mode == MEASURE_CALIBRATION)
      MoveCalibAnimation();
    return 1;
  }

  if (mode == MEASURE_CALIBRATION && (StrokeCount >= StrokesNeeded() || SkipMark)) {
    // A spirometer is done; the diffusion unit goes on to its pressure
    // lines, the body box to its door, settling and box tests.
    if (InstrumentType == 0) {
      StopRequest = 1;
    } else if (IsPlethysmographInstrument()) {
      if (!Plethysmograph.SkipFlowCalibration) {
        SendPlethyWord(0xEF7F);
        WaitingCloseTheDoor();
      }
    } else if (!SkipMark) {
      PressureProbe(1);
    }
    return 1;
  }
  // The count covers every sample stored, the one just in included: the
  // turning points already know it, and the evaluation must see it too.
  SampleCount[Index(mode)][t] = static_cast<short>(i + 1);
  DrawSample(static_cast<short>(i));
  if (IsFlowTest(mode) && t < 4 && !Flow[t].empty()) {
    LocalMaxMin(Flow[t][i], Volume[t][i], static_cast<unsigned short>(i));
    const auto turn =
        static_cast<std::size_t>(std::clamp<int>(Extremes.count - 1, 0, spirometry::Extremes::Capacity - 1));
    View->FlameOff(CakeAge(), Extremes.points[turn].volumeL, Volume[t][i]);
    if (mode == MEASURE_DFC)
      FollowGasPhase(i);
    if (mode == MEASURE_SHUTTER)
      ShutterSample(i, static_cast<std::int16_t>(sample & 0xFFFF),
                    static_cast<std::int16_t>((static_cast<std::uint32_t>(sample) >> 16) & 0xFFFF));
    if ((mode == MEASURE_FVC && Flow[t][i] < 0.0f && DirectionFlag == 1) ||
        (mode != MEASURE_FVC && Flow[t][i] > 0.0f && DirectionFlag == 0))
      WriteLargeParam();
  } else if (mode == MEASURE_CALIBRATION && !CalFlow.empty()) {
    if (IsDiffusionUnit())
      RouteGasStrokes(i);
    LocalMaxMin(CalFlow[i], CalVolume[i], static_cast<unsigned short>(i));
    CountStroke(i);
  }
  return 1;
}

void TMeasureCore::DetectBreathStart(float s, bool inspirationFirst) {
  if (FlagBegin)
    return;
  if (inspirationFirst && s >= StartInspirationMlps)
    IsBreathIn = true;
  if (s <= StartExpirationMlps && (!inspirationFirst || IsBreathIn))
    FlagBegin = true;
}

float TMeasureCore::ScaledFlow(float s) const {
  float flow = s * 0.001f;
  if (s <= 0.0f) {
    if (ExpFactor != 0.0f)
      flow /= ExpFactor;
    return flow;
  }
  const bool testGas = LastSentData == WordGasInspiration;
  // The test gas is dry: it is taken to BTPS from ATPD, not with the
  // room air's humidity.
  if (testGas && DryGasBtpsFactor > 0.0f)
    flow *= DryGasBtpsFactor;
  else if (ConstansOfBTPS[0] != 0.0f)
    flow /= ConstansOfBTPS[0];
  const float inspiration = testGas ? InspGasFactor : InspFactor;
  if (inspiration != 0.0f)
    flow /= inspiration;
  return flow;
}

unsigned short TMeasureCore::StrokesNeeded() const {
  // The diffusion unit's two gas strokes come on top of the syringe's series.
  return static_cast<unsigned short>(CalStrokes * 2 + (IsDiffusionUnit() ? 4 : 0));
}

bool TMeasureCore::IsDiffusionUnit() const { return (InstrumentType & 0xE0) == 0x60; }

void TMeasureCore::RouteGasStrokes(std::size_t i) {
  // The two inspirations after the first series go through the gas path,
  // whose constant they give; the expirations after them go back.
  const int n = CalStrokes;
  const bool gasInspiration = StrokeCount == n + 1 || StrokeCount == n + 3;
  const bool gasExpiration = StrokeCount == n + 2 || StrokeCount == n + 4;
  const float s = CalFlow[i] * 1000.0f;
  if (gasInspiration && s >= -StartExpirationMlps && LastSentData != WordGasInspiration) {
    CmSendToSerialPort(WordGasInspiration, 2);
    LastSentData = WordGasInspiration;
  } else if (gasExpiration && s <= StartExpirationMlps && LastSentData != WordStreamOnExtended) {
    CmSendToSerialPort(WordStreamOnExtended, 2);
    LastSentData = WordStreamOnExtended;
  }
}

void TMeasureCore::CountStroke(std::size_t i) {
  if (i == 0)
    return;
  const bool turned = (CalFlow[i] < 0.0f) != (CalFlow[i - 1] < 0.0f);
  if (!turned || std::abs(CalVolume[i] - LastTurnVolume) <= 0.7f * static_cast<float>(SyringeVolume))
    return;
  LastTurnVolume = CalVolume[i];
  ++StrokeCount;
  if (IsPlethysmographInstrument())
    CountPlethyStroke(CalVolume[i]);
  if (StrokeCount == StrokesNeeded() / 2 + (IsDiffusionUnit() ? 2 : 0)) {
    CalDoneIndex = static_cast<short>(i + 3);
    float positive = 1.0f;
    float negative = 1.0f;
    if (CalculateCalibrationFactors(positive, negative)) {
      CalFactorPos = positive;
      CalFactorNeg = negative;
    } else {
      StopRequest = 1;
    }
  }
}

void TMeasureCore::CmStop() {
  const unsigned id = StartId;
  StartId = 0;
  // A hang-up, a silent line or lost samples end the run before the
  // manoeuvre ends: read before the link is released.
  const bool endedByLink = AnyEndFlag();
  std::filesystem::path log;
  const short mode = MeasureMode;
  const bool logged = LogMeasureMode == mode && LogWriteEnable != 0 &&
                      (mode == MEASURE_FVC || mode == MEASURE_VC || mode == MEASURE_MVV);
  // The box is told to stop and its BTPS sensors read once more; the log
  // keeps the raw samples of the trial for a replay.
  const bool box = mode == MEASURE_PLETHY || (mode == MEASURE_CALIBRATION && IsPlethysmographInstrument());
  if (box)
    StopPlethysmographTest();
  const bool boxLogged = mode == MEASURE_PLETHY && LogMeasureMode == MEASURE_PLETHY && LogWriteEnable != 0;
  if (logged || boxLogged)
    log = WriteMeasureLog();
  if (mode == MEASURE_DFC || mode == MEASURE_PLETHY || mode == MEASURE_SHUTTER)
    ChangeCommandButton(mode == MEASURE_DFC ? 2106 : 2153, static_cast<int>(id));
  KillHandler();
  if (mode == MEASURE_SHUTTER && id >= CM_START && id <= CM_START + 2)
    StopShutterTest();
  if (mode == MEASURE_DFC) {
    // A stopped sequence leaves no step behind for the next test.
    Gas.GasPhaseStarted = false;
    AnalysisDelay.reset();
    TestMode = 0;
  }
  const bool trial = id >= CM_START && id <= CM_START + 2;
  bool noResult = false;
  // On an instrument the window's own start rules decide whether a breath
  // came; a trial they never saw begin holds nothing to evaluate, and an
  // empty trial must not stand in the list as a result.
  const bool noBreath = trial && HasInstrument && !FlagBegin &&
                        (mode == MEASURE_FVC || mode == MEASURE_VC || mode == MEASURE_MVV);
  if (noBreath) {
    ClearAktBuffer(mode, TrialIndex);
    SearchTheBest(mode);
  } else if (mode != MEASURE_SHUTTER && mode != MEASURE_RHINO) {
    CurveMove();
  }
  if (id == CM_CALIBRATION)
    StopCalibration();
  if (trial) {
    if (!noBreath)
      SetActualMeasureDate(TrialIndex);
    if (TrialIndex >= 0 && TrialIndex < 3 && mode >= 0 && mode < TEST_KIND_COUNT) {
      const auto k = static_cast<std::size_t>(mode), t = static_cast<std::size_t>(TrialIndex);
      LinkCut.Record(mode, TrialIndex, {MeasureDate[k][t], MeasureTime[k][t]}, endedByLink && !noBreath);
    }
    if (mode != MEASURE_RHINO)
      View->CloseCake();
    if (mode == MEASURE_RHINO) {
      // A recording without a breath to evaluate is no result: nothing
      // new to save.
      if (SelectOneCurve())
        Dirty = NewResult[Index(mode)] = true;
    } else if (mode >= MEASURE_FVC && mode < MEASURE_RHINO && !noBreath) {
      // A slot whose leading value is 0 counts as empty: a trial the window
      // could not evaluate leaves nothing to store.
      noResult = TrialIndex >= 0 && TrialIndex < 3 && AktParams[Index(mode)][Index(TrialIndex)][0] == 0.0f;
      if (!noResult)
        NewResult[Index(mode)] = true;
    }
  }
  if ((logged || boxLogged) && LogSaveAll == 0 && !log.empty()) {
    std::error_code ignored;
    std::filesystem::remove(log, ignored);
  }
  FreeLogBuffers();
  UpdateParamListBox();
  // The screen copy of the run (the cake, the gas sequence's count-downs)
  // gives way to the trial's curves.
  View->RedrawScreenBmp();
  if (BtpsDevice)
    BtpsTimerActive = true;
  NoBreathTrial = noBreath ? static_cast<short>(TrialIndex + 1) : 0;
  if (noBreath)
    ListTrialLine(TrialNoBreathText, NoBreathTrial);
  else if (noResult)
    ListTrialLine(TrialNoResultText, static_cast<short>(TrialIndex + 1));
}

bool TMeasureCore::AllocateLogBuffers() {
  try {
    const std::size_t buffers = MeasureType == MEASURE_PLETHY ? 3 : 1;
    for (std::size_t k = 0; k < buffers; ++k)
      LogBuffer[k].assign(LogBufferSamples, 0);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void TMeasureCore::FreeLogBuffers() {
  for (auto& buffer : LogBuffer)
    std::vector<std::int16_t>().swap(buffer);
}

void TMeasureCore::PostToSelf(unsigned msg, TParam1 wParam, TParam2 lParam) { Post(msg, wParam, lParam); }
