// The body-box test in the measurement window: each sample of the box
// (message 2067) moves its sequence on. The door is waited for, the closed
// box settles to temperature, the BTPS sensors are read, the zero is taken,
// and then the patient breathes: resistance loops, the shutter closes for
// the panting, opens again, and the closing instruction is shown. The
// decisions of the manoeuvre and the arithmetic are in
// platform/portkit/plethysmography (docs/plethysmography.md).

#include "measure/core/MeasureCore.h"

#include "measure/results/BtpsData.h"
#include "measure/run/SampleGuard.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/LinkSteps.h"
#include "platform/portkit/Protocol.h"
#include "platform/portkit/plethysmography/BoxGas.h"
#include "platform/portkit/plethysmography/ControlWords.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

namespace {

namespace W = plethysmography::words;

constexpr auto FlowMlpsPerCount = static_cast<float>(InstrumentProtocol::FlowMlpsPerCount);
constexpr auto BoxPaPerCount = static_cast<float>(InstrumentProtocol::BoxPaPerCount);
constexpr auto MouthPaPerCount = static_cast<float>(InstrumentProtocol::PlethysmographMouthPaPerCount);
using InstrumentProtocol::SampleSeconds;
constexpr unsigned char StatusDoorOpen = 0x04;
constexpr int DoorSettleMs = 1000;
constexpr short BtpsSamples = 10;
constexpr short BreathingHandlerStep = 50;
constexpr std::size_t HeldAfterEnd = 10;  // samples after the shutter opened whose flow is not kept
using InstrumentProtocol::BitMetronome;
// Where the sequence's texts stand, in the 800 x 600 design.
constexpr int MessageBox[4] = {8, 67, 312, 276};
constexpr int CommandStrip[4] = {8, 434, 741, 456};
constexpr int CloseTheDoorText = 484;
constexpr int ThermalWaitText = 485;

std::size_t Slot(short trial) { return static_cast<std::size_t>(std::clamp<short>(trial, 0, 3)); }

// Runs `pass` until `ms` have gone by on the link's clock: the busy wait
// the instrument's words need between them. A clock that stands still for
// many passes (nobody moves a test's clock) ends the wait.
template <class TPass>
void WaitOn(const TLinkClock& clock, int ms, TPass pass) {
  constexpr long StillPasses = 200'000;
  const std::int64_t until = clock.NowMs() + ms;
  std::int64_t last = clock.NowMs();
  for (long still = 0; last < until && still < StillPasses;) {
    pass();
    const std::int64_t now = clock.NowMs();
    still = now == last ? still + 1 : 0;
    last = now;
  }
}

}  // namespace

bool TMeasureCore::IsPlethysmographInstrument() const {
  return InstrumentType != 0 && (InstrumentType & 0xE0) == 0;
}

void TMeasureCore::SendPlethyWord(unsigned short word) {
  LastSentData = word;
  if (HasInstrument)
    CmSendToSerialPort(word, 2);
}

void TMeasureCore::PlethyPause(int ms) {
  // The instrument needs the time between some of its words. The samples
  // that arrive meanwhile are let through but not taken into a step.
  if (!Clock || !HasInstrument)
    return;
  const bool outer = !Plethysmograph.InWait;
  Plethysmograph.InWait = true;
  WaitOn(*Clock, ms, [this] { LetWaitingEventsThrough(); });
  if (outer)
    Plethysmograph.InWait = false;
}

TResult TMeasureCore::CmPlethyReady(TParam1 wParam, TParam2 sample) {
  if (SampleEndsRun(*this))
    return 1;
  if (Plethysmograph.InWait || PlethyWait)
    return 1;
  const auto i = static_cast<std::size_t>(wParam);
  switch (TestMode) {
  case StepBoxDoor: DoorStep(); return 1;
  case StepBoxSettling:
    if (!RemainingTimeOut(i, sample))
      return 1;
    break;  // settled: this sample is the first of the breathing
  case StepBoxLeakPump: LeakSample(i, sample); return 1;
  case StepBoxLeakHold: PumpSample(i, sample); return 1;
  case StepBoxBtpsReading:
    if (--Plethysmograph.BtpsCountdown <= 0 && !WriteBTPSParamsUnderMeasure())
      StopRequest = 1;
    return 1;
  case StepBoxBtpsWriting:
    if (--Plethysmograph.BtpsSettleCountdown <= 0) {
      DisableMetronom = true;
      CalculateBTPSParamsForMeasure();
      DoZeroPlethyUnderMeasurement();
    }
    return 1;
  case StepZeroUnderMeasurement: ZeroSampleUnderMeasurement(); return 1;
  default: break;
  }
  if (MeasureMode == MEASURE_CALIBRATION) {
    if (!Plethysmograph.CalibrationHeld)
      CmReady(wParam, sample);
    return 1;
  }
  BreathingSample(i, sample);
  return 1;
}

void TMeasureCore::DoorStep() {
  if (HasInstrument && PortInUse && (InstrumentStatus & StatusDoorOpen) != 0)
    return;
  // The door is shut: a second for it to seal, then the box settles.
  const auto settled = [this] {
    PlethyWait.reset();
    DoorFlag = false;
    WaitingBeforeMeasure();
  };
  if (!Clock || !HasInstrument) {
    settled();
    return;
  }
  auto once = std::make_shared<bool>(true);
  PlethyWait = Clock->Every(DoorSettleMs, [once, settled] {
    if (std::exchange(*once, false))
      settled();
  });
}

void TMeasureCore::WaitingCloseTheDoor() {
  if (StartId == 0)
    return;
  FlagBegin = false;
  TestMode = StepBoxDoor;
  ClearPlethyPanel();
  View->ShowSequenceText(MessageBox[0], MessageBox[1], MessageBox[2], MessageBox[3],
                         Messages ? Messages->LoadStringA(CloseTheDoorText) : std::string());
}

void TMeasureCore::WaitingBeforeMeasure() {
  if (StartId == 0)
    return;
  if (MeasureMode == MEASURE_CALIBRATION) {
    PlethyPause(50);
    SetPumpPosition(1, 0);
    SendPlethyWord(W::Idle);
  }
  float temperatureC = 20.0f;
  float pressureHpa = 1013.25f;
  BtpsConditions(temperatureC, pressureHpa);
  Plethysmograph.ThermalWaitLeft = static_cast<float>(plethysmography::ThermalWaitSeconds(temperatureC));
  Plethysmograph.ThermalWaitShown = 0.0f;
  TestMode = StepBoxSettling;
  ClearPlethyPanel();
}

void TMeasureCore::ClearPlethyPanel() {
  if (MeasureMode != MEASURE_CALIBRATION)
    View->ClearVolumeScreen();
}

bool TMeasureCore::RemainingTimeOut(std::size_t i, TParam2 sample) {
  TPlethysmographState& p = Plethysmograph;
  const float before = p.ThermalWaitLeft;
  p.ThermalWaitLeft -= SampleSeconds;
  if (p.ThermalWaitShown == 0.0f || std::fabs(p.ThermalWaitShown - before) >= 1.0f) {
    const std::string label = Messages ? Messages->LoadStringA(ThermalWaitText) : std::string();
    char text[160];
    std::snprintf(text, sizeof text, "%s:%4.0fs", label.c_str(), static_cast<double>(before));
    View->ShowSequenceText(MessageBox[0], MessageBox[1], MessageBox[2], MessageBox[3], text);
    p.ThermalWaitShown = before;
  }
  if (p.ThermalWaitLeft > 0.0f) {
    if (MeasureMode == MEASURE_PLETHY) {
      LocalMaxMin(static_cast<float>(sample) * FlowMlpsPerCount - FlowZero, 0.0f, static_cast<unsigned short>(i));
      if (i % 10 == 0)
        WriteBreathingRate();
    }
    return false;
  }
  if (MeasureMode != MEASURE_PLETHY) {
    DoZeroPlethyUnderMeasurement();
    return false;
  }
  View->ClearVolumeScreen();
  View->RedrawScreenBmp();
  MeasuredBTPSParamsUnderMeasure();
  Extremes.Clear();
  Plethysmograph.StrokeTable.clear();
  return true;
}

void TMeasureCore::MeasuredBTPSParamsUnderMeasure() {
  TestMode = StepBoxBtpsReading;
  Plethysmograph.BtpsCountdown = BtpsSamples;
  Plethysmograph.SensorRepliesAtRequest = SensorReplies;
  SendPlethyWord(W::BtpsDuringTest);
}

bool TMeasureCore::WriteBTPSParamsUnderMeasure() {
  TestMode = StepBoxBtpsWriting;
  Plethysmograph.BtpsSettleCountdown = BtpsSamples;
  if (!HasInstrument)
    return true;
  SendPlethyWord(W::Set(LastSentData, W::BtpsBit));
  if (!Settings.Plethysmograph.EnableAutomaticBTPS)
    return true;
  // Sensor words that never came read as 0 °C and 0 hPa, inside the
  // sensors' range: without a reply there is no reading to write, and the
  // test goes on with the panel's values (a line that went silent is told
  // by its own watch).
  if (SensorReplies == Plethysmograph.SensorRepliesAtRequest)
    return true;
  const plethysmography::SensorReading reading = SensorReadingNow();
  if (!reading.InRange()) {
    if (Messages) {
      char values[96];
      std::snprintf(values, sizeof values, "%.1f", reading.temperatureC);
      std::string t = values;
      std::snprintf(values, sizeof values, "%.0f", reading.pressureHpa);
      std::string p = values;
      std::snprintf(values, sizeof values, "%.0f", reading.humidityPercent);
      Messages->MessageBoxText(Messages->Format(BtpsOutOfRangeText, {t, p, values}), 0, TMessageIcon::Stop);
    }
    return false;
  }
  TakeBtpsReading(reading, true);
  return true;
}

plethysmography::SensorReading TMeasureCore::SensorReadingNow() const {
  return plethysmography::ConvertSensorWords(RawTemperature, RawPressure, RawHumidity, (InstrumentType & 0x10) != 0,
                                             Settings.Plethysmograph.BarometerOffset);
}

void TMeasureCore::TakeBtpsReading(const plethysmography::SensorReading& reading, bool writeSection) {
  Plethysmograph.Sensors = reading;
  if (writeSection) {
    // What the panel reads back the next time it opens, in its own unit.
    TBTPS_DATA section(nullptr, IniFile, UnitSystem);
    section.UpdateBTPSData(1, static_cast<short>(reading.temperatureC), static_cast<short>(reading.humidityPercent),
                           static_cast<short>(reading.pressureHpa));
    if (!IniFile.empty())
      section.WriteBTPSConstans();
  }
  ShowBtpsReading(reading, writeSection);
  CalculatedBTPS(MeasureMode);
}

void TMeasureCore::BtpsConditions(float& temperatureC, float& pressureHpa) const {
  if (const auto& s = Plethysmograph.Sensors) {
    temperatureC = static_cast<float>(s->temperatureC);
    pressureHpa = static_cast<float>(s->pressureHpa);
    return;
  }
  temperatureC = 20.0f;
  pressureHpa = 1013.25f;
}

plethysmography::BoxAir TMeasureCore::BoxAirNow() const {
  float temperatureC = 20.0f;
  float pressureHpa = 1013.25f;
  BtpsConditions(temperatureC, pressureHpa);
  plethysmography::BoxAir air;
  air.pressureHpa = pressureHpa;
  air.temperatureC = temperatureC;
  air.humidityPercent = Plethysmograph.Sensors ? Plethysmograph.Sensors->humidityPercent : 50.0;
  air.water37Pa = GetWaterVaporPartialPressure(37);
  air.waterAmbientPa = GetWaterVaporPartialPressure(static_cast<short>(std::clamp(temperatureC, 0.0f, 50.0f)));
  return air;
}

void TMeasureCore::CalculateBTPSParamsForMeasure() {
  const TPlethysmographSettings& s = Settings.Plethysmograph;
  const plethysmography::BoxAir air = BoxAirNow();
  plethysmography::AlveolarConversion c;
  c.pressureEffectPa = plethysmography::PressureEffectPa(air);
  c.correctedCabinL = plethysmography::CorrectedCabinVolumeL(s.VolumeOfCabinL, PatientWeightKg());
  c.dryGasFactor = plethysmography::DryGasFactor(air.pressureHpa, air.water37Pa);
  const short shown = TrialOrder[0];
  const float shownTlc = shown >= 1 && shown <= 3 ? AktParams[MEASURE_PLETHY][Slot(shown - 1)][0] : 0.0f;
  Plethysmograph.Live = plethysmography::LiveConversionBeforeTest(shownTlc, RefParams[MEASURE_PLETHY][0],
                                                                  s.VolumeOfSensorL, c, s.BTPSCorrectionEffect);
  const std::size_t t = Slot(TrialIndex);
  Plethysmograph.FirstBoxPressureForResistance[t] = 0.0f;
  Plethysmograph.FirstBoxPressureForTGV[t] = 0.0f;
}

void TMeasureCore::ZeroSampleUnderMeasurement() {
  if (--Plethysmograph.ZeroSamplesLeft > 0)
    return;
  if (!CalculateZeroParamsUnderMeasurement()) {
    StopRequest = 1;
    DisableMetronom = false;
    return;
  }
  const bool boxTests = MeasureMode == MEASURE_CALIBRATION &&
                        (StrokeCount >= 10 || Plethysmograph.SkipFlowCalibration ||
                         Plethysmograph.KeepFlowConstants);
  if (boxTests) {
    PressureTest1();
  } else {
    FlagBegin = false;
    IsBreathIn = false;
    TestMode = StepPlain;
    InterruptIndex = 1;
    HandlerStep = BreathingHandlerStep;
    LetWaitingEventsThrough();
    Plethysmograph.CalibrationHeld = false;
  }
  DisableMetronom = false;
}

void TMeasureCore::BreathingSample(std::size_t i, TParam2 sample) {
  if (FlagBegin && --SamplesLeft <= 0) {
    StopRequest = 1;
    return;
  }
  const std::size_t t = Slot(TrialIndex);
  // Never past the curve buffers, whatever the source of the samples.
  if ((!HasInstrument && static_cast<long>(i) >= DemoLimit) || i >= CurveBufferSamples || i < 1) {
    if (i >= CurveBufferSamples || !HasInstrument)
      StopRequest = 1;
    return;
  }
  if (MeasureMode != MEASURE_PLETHY || Flow[t].size() <= i || Volume[t].size() <= i || BoxPressure[t].size() <= i ||
      MouthPressure[t].size() <= i)
    return;
  float measuredLps = Flow[t][i];
  if (HasInstrument) {
    if ((InstrumentStatus & StatusDoorOpen) != 0) {
      // The door opened while the patient breathed: the trial ends here,
      // and the next start waits for the door and the settling again.
      StopRequest = 1;
      DoorFlag = true;
      return;
    }
    const float s = static_cast<float>(sample) * FlowMlpsPerCount - FlowZero;
    if (!FlagBegin) {
      if (!Plethysmograph.Start.Feed(s))
        return;
      FlagBegin = true;
    }
    measuredLps = s * 0.001f;
    float stored = measuredLps;
    if (s > 0.0f) {
      const float btps = ConstansOfBTPS[0] * Settings.Plethysmograph.InspBTPSFactor;
      if (btps != 0.0f)
        stored /= btps;
      if (InspFactor != 0.0f)
        stored /= InspFactor;
    } else if (ExpFactor != 0.0f) {
      stored /= ExpFactor;
    }
    Flow[t][i] = stored;
    BoxPressure[t][i] = BoxPressure[t][i] * BoxPaPerCount - BoxZero;
    MouthPressure[t][i] = (MouthPressure[t][i] * MouthPaPerCount - MouthZero) * 0.001f;
  } else {
    FlagBegin = true;
    ShutterRequested = true;
  }
  Volume[t][i] = Flow[t][i] * 0.01f + Volume[t][i - 1];
  SampleCount[MEASURE_PLETHY][t] = static_cast<short>(i + 1);
  const short resistanceEnd = ResistanceEndMark;
  if (resistanceEnd == 0 && i % 10 == 0) {
    FollowBreathingPhase(i);
    WriteBreathingRate();
  }
  if (i > 1)
    FollowManoeuvre(i, measuredLps);
  DrawSample(static_cast<short>(i));
  LocalMaxMin(Flow[t][i], Volume[t][i], static_cast<unsigned short>(i));
  if (Flow[t][i] > 0.0f && DirectionFlag == 0 &&
      ((ResistanceEndMark == 0 && EndMark == 0) || (EndMark != 0 && i > static_cast<std::size_t>(EndMark))))
    WriteLargeParam();
  // From the loops' end until the shutter has opened the volume stands
  // still: the flow through the closed shutter is no breath.
  if (ResistanceEndMark != 0 && i >= static_cast<std::size_t>(ResistanceEndMark) &&
      (EndMark == 0 || i <= static_cast<std::size_t>(EndMark) + HeldAfterEnd)) {
    if (i == static_cast<std::size_t>(ResistanceEndMark))
      Plethysmograph.HeldVolume = Volume[t][i - 1];
    Flow[t][i] = 0.0f;
    Volume[t][i] = Plethysmograph.HeldVolume;
  }
  Plethysmograph.LastMeasuredLps = measuredLps;
}

void TMeasureCore::FollowManoeuvre(std::size_t i, float measuredLps) {
  const std::size_t t = Slot(TrialIndex);
  TPlethysmographState& p = Plethysmograph;
  if (!p.Manoeuvre)
    return;
  plethysmography::Manoeuvre& m = *p.Manoeuvre;
  if (ShutterRequested && !m.ShutterRequested())
    m.RequestShutter();
  if (!HasInstrument) {
    // A replay carries its marks: they are set where the recording set them.
    return;
  }
  const bool ended = m.Ended();
  const plethysmography::ManoeuvreSample s{static_cast<std::uint16_t>(i), p.LastMeasuredLps, measuredLps,
                                           MouthPressure[t][i - 1], MouthPressure[t][i], BoxPressure[t][i],
                                           Volume[t][i]};
  for (const std::uint16_t word : m.Feed(s))
    // The metronome's bit is the metronome's, whatever the manoeuvre last sent.
    SendPlethyWord(static_cast<unsigned short>((word & ~BitMetronome) | (LastSentData & BitMetronome)));
  p.Live.volumeZeroL = m.LiveVolumeZero();
  if (ResistanceStartMark == 0 && m.ResistanceStartMark() != 0) {
    ResistanceStartMark = static_cast<short>(m.ResistanceStartMark());
    p.FirstBoxPressureForResistance[t] = m.FirstBoxPressureForResistance();
  }
  if (ResistanceEndMark == 0 && m.ResistanceEndMark() != 0)
    ResistanceEndMark = static_cast<short>(m.ResistanceEndMark());
  if (TGVStartMark == 0 && m.TgvStartMark() != 0) {
    TGVStartMark = static_cast<short>(m.TgvStartMark());
    p.FirstBoxPressureForTGV[t] = m.FirstBoxPressureForTgv();
  }
  if (!ended && m.Ended()) {
    EndMark = static_cast<short>(m.EndMark());
    KillMetronomTimer();
    WriteCommandToScreen();
  }
}

void TMeasureCore::WriteCommandToScreen() {
  const TPlethysmographSettings& s = Settings.Plethysmograph;
  const int text = s.EndOfMeasurementWithIVC != 0 ? 511 : s.DeepExpiration != 0 ? 509 : 510;
  const std::string command = (Messages ? Messages->LoadStringA(text) : std::string()) + "!";
  View->ShowSequenceText(CommandStrip[0], CommandStrip[1], CommandStrip[2], CommandStrip[3], command);
}

void TMeasureCore::MeasuredBTPSParams(unsigned short word) {
  if (!HasInstrument)
    return;
  const TEventHandlerPtr notified = pThis;
  pThis = {};
  PlethyPause(100);
  const unsigned repliesBefore = SensorReplies;
  SendPlethyWord(W::BtpsRequest);
  if (Clock) {
    WaitOn(*Clock, 100, [this] {
      ReadDataFromSerialPortToBuffer(IdCommDev);
      LetWaitingEventsThrough();
    });
  }
  SendPlethyWord(word);
  PlethyPause(50);
  pThis = notified;
  // Out of range the panel keeps what it has: a reading between tests is
  // no reason to stop anything.
  // Nor is a request the sensors did not answer.
  if (Settings.Plethysmograph.EnableAutomaticBTPS && SensorReplies != repliesBefore)
    if (const plethysmography::SensorReading reading = SensorReadingNow(); reading.InRange())
      TakeBtpsReading(reading, false);
  if (word != W::Stop)
    InterruptIndex = 1;
}

bool TMeasureCore::StartPlethysmographTest() {
  TPlethysmographState& p = Plethysmograph;
  const TPlethysmographSettings& s = Settings.Plethysmograph;
  if (const int problem = PlethySettingsProblem(); problem != 0) {
    if (Messages)
      Messages->MessageBox(problem, 0, TMessageIcon::Stop);
    return false;
  }
  // A replay brought its marks along with its samples; a live test sets
  // them as the manoeuvre goes.
  if (HasInstrument) {
    ResistanceStartMark = ResistanceEndMark = TGVStartMark = EndMark = 0;
    ShutterRequested = false;
  }
  p.Start = {};
  p.HeldVolume = 0.0f;
  p.LastMeasuredLps = 0.0f;
  p.Manoeuvre.emplace(plethysmography::ManoeuvreSettings{s.NumberOfResistance, s.NumberOfTGV, BreathingRate},
                      W::Breathing);
  DisableMetronom = false;
  View->CopyScreen();
  CreateMetronomTimer();
  if (!HasInstrument) {
    // A replay has its box sequence behind it.
    TestMode = StepPlain;
    return true;
  }
  if (DoorFlag) {
    MeasuredBTPSParams(W::Breathing);
    WaitingCloseTheDoor();
  } else {
    MeasuredBTPSParamsUnderMeasure();
  }
  return true;
}

float TMeasureCore::PatientWeightKg() const {
  const auto weight = static_cast<float>(PredictedData.Weight);
  return UnitSystem == 0 ? weight : WeightConvert(weight, 0);
}

int TMeasureCore::PlethySettingsProblem() const {
  // A cabin no bigger than the patient, or a pump of no volume, would turn
  // every box pressure into nonsense; the user is told which setting.
  const TPlethysmographSettings& s = Settings.Plethysmograph;
  const bool cabinOk = std::isfinite(s.VolumeOfCabinL) && s.VolumeOfCabinL > 0.0f &&
                       plethysmography::CorrectedCabinVolumeL(s.VolumeOfCabinL, PatientWeightKg()) > 0.0;
  if (!cabinOk)
    return CabinSettingText;
  if (!std::isfinite(s.CalibrationVolumeL) || s.CalibrationVolumeL <= 0.0f)
    return PumpVolumeSettingText;
  return 0;
}

void TMeasureCore::StopPlethysmographTest() {
  PlethyWait.reset();
  LetWaitingEventsThrough();
  KillMetronomTimer();
  PlethyPause(50);
  MeasuredBTPSParams(W::Stop);
  PlethyPause(50);
  TestMode = StepPlain;
  Plethysmograph.InWait = false;
}
