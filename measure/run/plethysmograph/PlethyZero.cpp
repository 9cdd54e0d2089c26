// The zero of the body box and the words that move its pump. The box zeroes
// its own transducers first (the auto-zero word sequence); the window then
// reads the channels at rest, either polling in the zero command or from
// the samples of a running test, and takes the offsets when they are fit.

#include "measure/core/MeasureCore.h"

#include "platform/basekit/Message.h"
#include "platform/portkit/LinkSteps.h"
#include "platform/portkit/plethysmography/BoxZero.h"
#include "platform/portkit/plethysmography/ControlWords.h"

#include <span>

namespace {

namespace W = plethysmography::words;

constexpr short ZeroSamplesUnderMeasurement = 225;
constexpr short ZeroHandlerStep = 25;
constexpr short UsbPortKind = 6;
constexpr int OffsetText = 5;
constexpr int NoiseText = 6;
constexpr int RepeatText = 7;

}  // namespace

void TMeasureCore::HardwareAutoZero() {
  SendPlethyWord(W::Stop);
  PlethyPause(250);
  SendPlethyWord(W::Clear(LastSentData, W::ZeroBit));
  PlethyPause(250);
  SendPlethyWord(W::Clear(LastSentData, W::PulseBit));
  PlethyPause(100);
  SendPlethyWord(W::Set(LastSentData, W::PulseBit));
  PlethyPause(1000);
  const bool usb = PortConfig.Port == UsbPortKind;
  if (!usb) {
    PurgeFlag = true;
    ClearQueues(IdCommDev);
  }
  SendPlethyWord(W::Set(LastSentData, W::StopBit));
  // A USB device cannot be purged: what it sends while it settles is dropped.
  if (usb)
    ReceiveFlag = false;
  PlethyPause(50);
  if (usb)
    ReceiveFlag = true;
}

void TMeasureCore::DoZeroPlethyUnderMeasurement() {
  if (StartId == 0)
    return;
  View->SetHourGlass(true);
  ZeroBufferIndex = 0;
  ZeroBuffer.fill(0.0f);
  ZeroPressureBuffer.fill(0.0f);
  BoxZeroBuffer.fill(0.0f);
  HardwareAutoZero();
  FlagBegin = false;
  TestMode = StepZeroUnderMeasurement;
  HandlerStep = ZeroHandlerStep;
  Plethysmograph.ZeroSamplesLeft = ZeroSamplesUnderMeasurement;
  InterruptIndex = 1;
  LetWaitingEventsThrough();
}

bool TMeasureCore::CalculateZeroParamsUnderMeasurement() {
  if (StartId == 0)
    return false;
  if (!HasInstrument) {
    View->SetHourGlass(false);
    return true;
  }
  // The zero's samples are in: what the box sends once its transducers are
  // released is no zero.
  TestMode = StepPlain;
  SendPlethyWord(W::Set(LastSentData, W::ZeroBit));
  PlethyPause(100);
  SendPlethyWord(W::Breathing);
  PlethyPause(50);
  const bool ok = CalculatePlethyZero(false);
  if (!ok)
    Plethysmograph.ZeroRequired = true;
  View->SetHourGlass(false);
  return ok;
}

bool TMeasureCore::CalculatePlethyZero(bool interactive) {
  if (interactive)
    Plethysmograph.ZeroRequired = true;
  // The rings hold the latest samples; the first 100 of them are the zero.
  const auto first = [](const auto& ring) { return std::span<const float>(ring).first(ZeroSamples); };
  const plethysmography::BoxZero zero =
      plethysmography::CalculatePlethyZero(first(ZeroBuffer), first(BoxZeroBuffer), first(ZeroPressureBuffer));
  FlowZero = zero.flowMlS;
  BoxZero = zero.boxPa;
  MouthZero = zero.mouthPa;
  if (zero.failure != plethysmography::ZeroFailure::None) {
    if (Messages) {
      const int text = zero.failure == plethysmography::ZeroFailure::FlowNoise ? NoiseText : OffsetText;
      Messages->MessageBoxText(Messages->LoadStringA(text) + "\n" + Messages->LoadStringA(RepeatText), 0,
                               TMessageIcon::Stop);
    }
    return false;
  }
  ZeroDone = true;
  if (!interactive)
    return true;
  Plethysmograph.ZeroRequired = false;
  return CreateZeroTimer();
}

void TMeasureCore::SetPumpPosition(short position, unsigned short mask) {
  const std::vector<std::uint16_t> words = W::PumpWords(position, mask);
  for (std::size_t k = 0; k < words.size(); ++k) {
    SendPlethyWord(words[k]);
    PlethyPause(k + 1 < words.size() ? 100 : 50);
  }
}
