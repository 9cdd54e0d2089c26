// The zero offsets of the flow (and shutter mouth-pressure) channel from
// the samples the link collected while the instrument rested.

#include "measure/core/MeasureCore.h"

#include "measure/calibration/Zero.h"
#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/Protocol.h"

#include <span>

namespace {

constexpr unsigned short ZeroReadSamples = 225;  // the last 100 of them count, after the sensor settled
constexpr std::int64_t ZeroReadTimeoutMs = 2'500;
using InstrumentProtocol::FamilyMask;
using InstrumentProtocol::WordIdle;
using InstrumentProtocol::WordStop;
constexpr int NoBoxFactorText = 556;
constexpr int RestText = 4;  // leave the instrument at rest and confirm
constexpr int ZeroNextText = 9450;
constexpr int ZeroReadText = 9451;
constexpr int WaitingForBreathText = 9452;
constexpr int NoBreathHintText = 9454;

}  // namespace

bool TMeasureCore::ReadZero() {
  if (!Clock)
    return false;
  const short mode = MeasureMode;
  MeasureMode = MEASURE_ZERO;
  ZeroBufferIndex = 0;
  ZeroBuffer.fill(0.0f);
  ZeroPressureBuffer.fill(0.0f);
  const TEventHandlerPtr notified = pThis;
  pThis = {};
  const bool box = IsPlethysmographInstrument();
  if (box)
    BoxZeroBuffer.fill(0.0f);
  FlagBegin = false;
  InitHandler();
  if (box) {
    // The box zeroes its transducers itself before they are read.
    HardwareAutoZero();
    FlagBegin = true;
  } else if (InstrumentType != 0 && CmSendToSerialPort(WordIdle, 2)) {
    LastSentData = WordIdle;
  }
  const std::int64_t started = Clock->NowMs();
  while (InterruptIndex < ZeroReadSamples && StopRequest == 0) {
    ReadDataFromSerialPortToBuffer(IdCommDev);
    if (InterruptIndex >= ZeroReadSamples)
      break;
    if (Clock->NowMs() - started >= ZeroReadTimeoutMs) {
      StopRequest = 1;
      break;
    }
    LetWaitingEventsThrough();
  }
  pThis = notified;
  if (box) {
    SendPlethyWord(WordStop);
    PlethyPause(50);
  }
  KillHandler();
  const bool zeroed = StopRequest == 0 && (box ? CalculatePlethyZero(true) : CalculateZero());
  MeasureMode = mode;
  return zeroed;
}

bool TMeasureCore::CalculateZero() {
  if (MeasureType == MEASURE_RHINO)
    return CalculateRhinoZero();
  ZeroDone = true;
  FlowZero = 0.0f;
  MouthZero = 0.0f;
  const calibration::ZeroReading zero =
      calibration::CalculateZero(std::span<const float>(ZeroBuffer).first(ZeroSamples),
                                 std::span<const float>(ZeroPressureBuffer).first(ZeroSamples),
                                 MeasureType == MEASURE_SHUTTER);
  FlowZero = zero.flowOffset;
  MouthZero = zero.pressureOffset;
  if (zero.textId != 0) {
    if (Messages) {
      Messages->MessageBoxText(Messages->LoadStringA(zero.textId) + "\n" +
                                   Messages->LoadStringA(calibration::ZeroRepeatText),
                               0, TMessageIcon::Stop);
    }
    return false;
  }
  return CreateZeroTimer();
}

void TMeasureCore::CmZero() {
  if (!IsIdle())
    return;
  // The box's factor comes with its first evaluated trial: the operator is
  // reminded that the box has none yet.
  if (MeasureMode == MEASURE_PLETHY && PlethyShared == 0.0f && Messages)
    Messages->MessageBox(NoBoxFactorText, 1, TMessageIcon::Information);
  ZeroNeeded = true;
  View->DropNotes();
  if (ListVisible)
    ShowZeroAnimation();
  View->CopyScreen();
  const auto finish = [this] {
    if (ListVisible)
      RemoveZeroAnimation();
    if (Client)
      Client->SendToClient(WM_SHOW_CHILD_WINDOW, 1, 0);
    View->RedrawScreenBmp();
  };
  if (!HasInstrument) {
    // Replayed data carry no offset of this sensor.
    FlowZero = 0.0f;
    MouthZero = 0.0f;
    ZeroNeeded = false;
    ZeroPending = false;
    if (Messages)
      Messages->MessageBox(RestText, 1, TMessageIcon::Information);
    finish();
    return;
  }
  // The box sets its own transducers to rest first: nobody is asked to.
  if (!IsPlethysmographInstrument() && Messages &&
      Messages->MessageBox(RestText, 1, TMessageIcon::Information) != IDOK) {
    finish();
    return;
  }
  View->RedrawScreenBmp();
  View->SetHourGlass(true);
  if (ReadZero())
    ZeroPending = false;
  View->SetHourGlass(false);
  finish();
}

std::string TMeasureCore::NextStepText() const {
  if (!Messages)
    return {};
  if (IsRunning())
    return HasInstrument && !FlagBegin ? Messages->LoadStringA(WaitingForBreathText) : std::string();
  // The same condition that keeps the start commands off.
  if (ZeroPending || (HasInstrument && ZeroNeeded))
    return Messages->LoadStringA(ZeroNextText);
  if (HasInstrument && NoBreathTrial != 0)
    return Messages->Format(NoBreathHintText, {std::to_string(NoBreathTrial)});
  return HasInstrument && ZeroDone ? Messages->LoadStringA(ZeroReadText) : std::string();
}

void TMeasureCore::NotAvailableYet() const {
  if (Messages)
    Messages->MessageBox(9000, 1, TMessageIcon::Information);
}
