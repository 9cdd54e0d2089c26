// The window's timers, all on the link's clock in the user-interface
// thread: the zero's validity, the BTPS readings between trials and the
// breathing metronome. The metronome writes the port and LastSentData, so
// it must never run anywhere else.

#include "measure/core/MeasureCore.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "platform/portkit/Protocol.h"

#include <algorithm>

short TMeasureCore::StateOfMetronom = 0;
bool TMeasureCore::DisableMetronom = false;

namespace {

constexpr int ZeroPeriodMs = 30'000;
constexpr short ZeroTicks = 20;
constexpr int BtpsPeriodMs = 5'000;
using InstrumentProtocol::BitMetronome;
constexpr unsigned short MetronomeMask = 0xEFDF;
using InstrumentProtocol::WordIdle;

}  // namespace

bool TMeasureCore::CreateZeroTimer() {
  if (!Clock) {
    if (Messages)
      Messages->MessageBox(8, 0, TMessageIcon::Stop);
    return false;
  }
  ZeroTimer = Clock->Every(ZeroPeriodMs, [this] { ZeroTick(); });
  ZeroCountdown = ZeroTicks;
  ZeroNeeded = false;
  return true;
}

void TMeasureCore::ZeroTick() {
  if (ZeroCountdown > 0) {
    --ZeroCountdown;
    return;
  }
  // The zero has grown old: an idle window shows it, a running trial
  // finishes on it and asks for a new one afterwards.
  if (StartId == 0)
    InvalidateScreen();
  else
    ZeroNeeded = true;
  ZeroCountdown = ZeroTicks;
}

bool TMeasureCore::CreateBTPSTimer() {
  if (!Clock) {
    if (Messages)
      Messages->MessageBox(489, 0, TMessageIcon::Stop);
    return false;
  }
  BtpsTimer = Clock->Every(BtpsPeriodMs, [this] { BtpsTick(); });
  BtpsTimerActive = true;
  return true;
}

void TMeasureCore::BtpsTick() {
  if (!BtpsTimerActive || StartId != 0)
    return;
  // The BTPS sensor sits on a port of its own: the link is pointed at it
  // for one reading and back again.
  std::swap(PortConfig, BtpsPortConfig);
  const bool instrument = HasInstrument;
  const short mode = MeasureMode;
  HasInstrument = BtpsPresent;
  MeasureMode = MEASURE_PLETHY;
  InitHandler();
  MeasuredBTPSParams(0xAF7F);
  if ((InstrumentStatus & 0x04) != 0)
    DoorFlag = true;
  KillHandler();
  std::swap(PortConfig, BtpsPortConfig);
  HasInstrument = instrument;
  MeasureMode = mode;
}

void TMeasureCore::SetBRate(int which) {
  const TProfile profile("Plethysmograph Parameters", IniFile);
  const int rate = which == 0 ? profile.GetInt("BreathingRate", 40) : profile.GetInt("BreathingRateHigh", 70);
  // The metronome divides by the rate: a hand-edited 0 must not reach it.
  BreathingRate = static_cast<short>(std::clamp(rate, 20, 200));
}

int TMeasureCore::MetronomePeriodMs() const { return 30'000 / std::max<short>(BreathingRate, 1); }

bool TMeasureCore::CreateMetronomTimer() {
  StateOfMetronom = 0;
  if (MetronomEnable == 0)
    return true;
  if (!Clock) {
    if (Messages)
      Messages->MessageBox(476, 0, TMessageIcon::Stop);
    return false;
  }
  // Two events per breath: one each half breath.
  // The tone's end is a one-shot: it fires once and is replaced by the
  // next half breath (a timer is not destroyed from its own tick).
  Metronome = Clock->Every(MetronomePeriodMs(), [this] {
    auto pending = std::make_shared<bool>(true);
    SoundOff = Clock->Every(SoundTime, [this, pending] {
      if (*pending) {
        *pending = false;
        NoSoundTick();
      }
    });
    Sound();
  });
  return true;
}

void TMeasureCore::KillMetronomTimer() {
  if (MetronomEnable == 0)
    return;
  Metronome.reset();
  SoundOff.reset();
  if (MeasureMode == MEASURE_SHUTTER)
    NoSound();
}

void TMeasureCore::Sound() {
  if (MeasureMode == MEASURE_SHUTTER) {
    // The shutter test's tone: a train of 20 beeps each half breath.
    for (int k = 0; k < 20; ++k)
      Beep();
    return;
  }
  ToggleMetronomeWord();
}

void TMeasureCore::NoSound() {
  if (MeasureMode != MEASURE_SHUTTER)
    ToggleMetronomeWord();
}

void TMeasureCore::ToggleMetronomeWord() {
  if (MeasureMode != MEASURE_PLETHY || DisableMetronom)
    return;
  LastSentData = StateOfMetronom == 0 ? static_cast<unsigned short>(LastSentData | BitMetronome)
                                      : static_cast<unsigned short>(LastSentData & MetronomeMask);
  CmSendToSerialPort(LastSentData, 2);
}

void TMeasureCore::NoSoundTick() {
  NoSound();
  if (pThis)
    PostMessage(pThis, WM_METRONOME, static_cast<TParam1>(StateOfMetronom), 0);
  StateOfMetronom = StateOfMetronom == 0 ? 1 : 0;
}

TResult TMeasureCore::CmMetronom(unsigned state, TParam2) {
  DrawMetronome(static_cast<short>(state));
  return 1;
}

TResult TMeasureCore::EvCommNotify(TParam1 device, TParam2) {
  if (device != static_cast<TParam1>(IdCommDev) || StartId == 0)
    return 1;
  CommNotify(device);
  if (AnyEndFlag())
    PostToSelf(WM_COMMAND, CM_STOP, 0);
  return 0;
}

void TMeasureCore::CmSkipNextPoint() {
  if (MeasureMode != MEASURE_CALIBRATION || !HasInstrument || StartId == 0 || InstrumentType == 0)
    return;
  const unsigned short family = InstrumentType & 0xE0;
  if (family == 0x60) {
    if (TestMode == 6 || TestMode == 7) {
      // A skip during the wash-out only cuts it short: the flow strokes lie
      // behind, and starting the lines again would undo the delay.
      Gas.ExtraDelayArmed = true;
      DelayForSomeReason();
      return;
    }
  } else if (family != 0) {
    return;
  }
  if (CalibrationStep > CalStrokes || SkipMark)
    return;
  SkipMark = true;
  CmSendToSerialPort(WordIdle, 2);
  LastSentData = WordIdle;
  if (family == 0x60) {
    PressureProbe(1);
  } else {
    // The syringe is skipped: the flow factors in use stay, the box tests follow.
    Plethysmograph.SkipFlowCalibration = true;
    WaitingCloseTheDoor();
  }
}
