#include "platform/portkit/MeasureInterrupt.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/LinkSteps.h"
#include "platform/portkit/LinkTexts.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace InstrumentProtocol;

short TMeasureInterrupt::TestMode = 0;
bool TMeasureInterrupt::FlagBegin = false;
bool TMeasureInterrupt::IsBreathIn = false;
std::array<float, 8> TMeasureInterrupt::ConstansOfBTPS{1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
short TMeasureInterrupt::CompressorState = 0;
unsigned short TMeasureInterrupt::HardwareMode = 0;
std::array<std::int32_t, 6> TMeasureInterrupt::pIndicator{};
unsigned short TMeasureInterrupt::DoseCounter = 0;

namespace {

// Messages of the link to itself, through its courier.
constexpr unsigned CourierNotify = 1;
constexpr unsigned CourierSample = 2;

constexpr int WatchdogPeriodMs = 250;
constexpr std::size_t MinInputQueue = 256;
constexpr short NebulizerDevice = 2;

bool IsPlethysmograph(unsigned short type) { return type != 0 && (type & FamilyMask) == 0; }

// The plethysmograph's mouth-pressure channel has a scale of its own.
double MouthPaPerCount(unsigned short type) {
  return IsPlethysmograph(type) ? PlethysmographMouthPaPerCount : ShutterMouthPaPerCount;
}

// The device open is another than the settings name: the window swapped in
// the port of its BTPS device for a reading, or back.
bool OtherPort(const PORT_CONFIG& open, const PORT_CONFIG& wanted) {
  return open.Port != wanted.Port || open.BaudRate != wanted.BaudRate || open.USBDescription != wanted.USBDescription;
}

// Two 16-bit counts in one message parameter, as the signed 32-bit value
// the window takes apart.
TParam2 Pack(std::uint16_t low, std::uint16_t high) {
  return static_cast<TParam2>(static_cast<std::int32_t>((static_cast<std::uint32_t>(high) << 16) | low));
}

std::int16_t Interpolate(std::int16_t from, std::int16_t to, int step, int steps) {
  return static_cast<std::int16_t>(std::lround(from + (to - from) * static_cast<double>(step) / steps));
}

}  // namespace

// Carries the link's own posted messages: a notification for the window,
// and each decoded sample, delivered once the window's current handler has
// returned.
class TLinkCourier final : public TEventHandler {
public:
  explicit TLinkCourier(TMeasureInterrupt& link) : Link(link) {}

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    if (msg == CourierNotify)
      Link.SendNotify(static_cast<unsigned>(wParam));
    else if (msg == CourierSample && wParam == Link.Generation)
      Link.Deliver();
    return 0;
  }

private:
  TMeasureInterrupt& Link;
};

TMeasureInterrupt::TMeasureInterrupt(unsigned short measureType, TMessage* text)
    : TMeasureData(measureType, text), Courier(std::make_unique<TLinkCourier>(*this)) {
  SetDeviceOpener({});
}

TMeasureInterrupt::~TMeasureInterrupt() { CloseDevice(); }

void TMeasureInterrupt::ResetStatics() {
  IsBreathIn = false;
  IdCommDev = 0;
  HardwareMode = 0;
  CompressorState = 0;
  TestMode = 0;
  pIndicator.fill(0);
}

void TMeasureInterrupt::SetClock(std::shared_ptr<TLinkClock> clock) {
  // A device made on the old clock keeps its timers there: it goes first.
  if (clock != Clock && Device) {
    KillHandler();
    CloseDevice();
  }
  Clock = std::move(clock);
}

void TMeasureInterrupt::InitHandler() {
  KillHandler();
  ++Generation;
  Pending.clear();
  NotifyPending = false;
  StopRequest = 0;
  ClearEndFlags();
  PendingMessage.clear();
  EndMessageGiven = false;
  PendingWarning.clear();
  LineWarned = false;
  Line.Clear();
  InterruptIndex = 0;
  SamplesLeft = static_cast<short>(CurveSamples);
  DoseCounter = 0;
  // Every acquisition starts with the compressor off: a nebulised run
  // switches it from its own samples, nothing else may leave it on.
  CompressorState = 0;
  AppliedCompressor = 0;
  HaveLastSample = false;
  FrameCounter = 0;
  SamplesSinceProgress = 0;
  ProgressCounter = 0;
  ShutterRunning = false;
  VersionAsked = false;
  ClearPhaseTable();

  if (Device && (PortInUse != HasInstrument || (PortInUse && OtherPort(OpenedWith, PortConfig))))
    CloseDevice();
  if (!Device && !(HasInstrument ? OpenConfiguredDevice() : TestDemo())) {
    DeviceId = IdCommDev % 30000 + 1;
    IdCommDev = DeviceId;
    RaiseEnd(EndPortLost, Text(TEXT_LINK_CANNOT_START, {LastPortError}));
    NotifyWindow();
    return;
  }
  Acquiring = true;
  IdCommDev = DeviceId;  // the device that acquires is the one whose notifications count
  Device->Purge();
  Decoder.Clear();
  LastArrivalMs = Clock->NowMs();
  Device->Watch([this] { OnDeviceReady(); });
  TBytes on;
  AppendStream(on, true);
  if (!Device->Write(on)) {
    RaiseEnd(EndPortLost, Text(TEXT_LINK_PORT_LOST, {Device->Name(), Device->Error()}));
    NotifyWindow();
    return;
  }
  Watchdog = Clock->Every(WatchdogPeriodMs, [this] { CheckSilence(); });
}

void TMeasureInterrupt::KillHandler() {
  if (!Acquiring)
    return;
  Acquiring = false;
  ++Generation;
  Pending.clear();
  NotifyPending = false;
  Watchdog.reset();
  const bool shutterSeries = std::exchange(ShutterRunning, false);
  if (!Device)
    return;
  // A nebulizer left spraying would go on dosing the patient.
  if (AppliedCompressor) {
    CompressorState = 0;
    ApplyCompressor();
  }
  TBytes off;
  // A shutter left closing every few breaths would trouble the next test.
  if (shutterSeries)
    AppendControlByte(off, ByteShutterSeriesOff);
  AppendStream(off, false);
  Device->Write(off);
  Device->Watch({});
}

void TMeasureInterrupt::CommNotify(TParam1 device) {
  if (static_cast<int>(device) != DeviceId)
    return;
  ProcessInput(static_cast<bool>(pThis));
  ShowPendingMessage();
}

void TMeasureInterrupt::ReadDataFromSerialPortToBuffer(TParam1 device) {
  if (static_cast<int>(device) != DeviceId)
    return;
  if (Device && Acquiring) {
    // The caller polls in a loop: the bytes are read here, not by the watch.
    ReadArrived();
    ProcessInput(false);
  }
  ShowPendingMessage();
}

void TMeasureInterrupt::ClearQueues(TParam1 device) {
  if (static_cast<int>(device) != DeviceId || !Device)
    return;
  Device->Purge();
  Decoder.Clear();
  Pending.clear();
  ++Generation;
  NotifyPending = false;
  PurgeFlag = false;
  HaveLastSample = false;  // the purged frames are no gap
}

void TMeasureInterrupt::OnDeviceReady() {
  ReadArrived();
  // The watch runs from the event loop, as a posted notification would:
  // the window is told at once.
  if (pThis)
    SendMessage(pThis, WM_COMMNOTIFY, static_cast<TParam1>(DeviceId), 0);
  else if (PortConfig.Type == 2)
    ProcessInput(false);  // nobody polls a device of this kind: the link fills the buffers itself
}

bool TMeasureInterrupt::ReadArrived() {
  if (!Device)
    return false;
  bool arrived = false;
  std::array<std::uint8_t, 4096> chunk{};
  for (;;) {
    const auto got = Device->Read(chunk);
    if (!got) {
      Device->Watch({});
      RaiseEnd(EndPortLost, Text(TEXT_LINK_PORT_LOST, {Device->Name(), Device->Error()}));
      break;
    }
    if (*got == 0)
      break;
    arrived = true;
    LastArrivalMs = Clock->NowMs();
    if (!ReceiveFlag) {
      HaveLastSample = false;  // what is dropped on purpose is no gap
      continue;
    }
    Decoder.Feed({chunk.data(), *got});
    if (*got < chunk.size())
      break;
  }
  const auto capacity = std::max<std::size_t>(MinInputQueue, static_cast<std::size_t>(std::max<short>(PortConfig.InputBuffer, 0)));
  if (const std::size_t dropped = Decoder.KeepNewest(capacity)) {
    Overrun += dropped;
    if (pThis)
      RaiseEnd(EndOverrun, Text(TEXT_LINK_OVERRUN, {Device->Name(), std::to_string(dropped)}));
  }
  return arrived;
}

void TMeasureInterrupt::NotifyWindow() {
  if (NotifyPending)
    return;
  NotifyPending = true;
  Courier->Post(CourierNotify, Generation, 0);
}

void TMeasureInterrupt::SendNotify(unsigned generation) {
  if (generation != Generation)
    return;
  NotifyPending = false;
  SendMessage(pThis, WM_COMMNOTIFY, static_cast<TParam1>(DeviceId), 0);
}

void TMeasureInterrupt::CheckSilence() {
  if (!Acquiring || !Device || AnyEndFlag())
    return;
  // Bytes may wait that the watch has not reported yet (after a long busy
  // wait of the window): read them before calling the instrument silent.
  if ((ReadArrived() || AnyEndFlag()) && pThis)
    NotifyWindow();
  if (AnyEndFlag() || Clock->NowMs() - LastArrivalMs <= SilenceLimitMs)
    return;
  RaiseEnd(EndSilence, Text(TEXT_LINK_SILENT, {Device->Name(), std::to_string(SilenceLimitMs / 1000)}));
  if (pThis)
    NotifyWindow();
}

void TMeasureInterrupt::ProcessInput(bool deliver) {
  if (!Acquiring) {
    Decoder.Clear();
    return;
  }
  while (const auto frame = Decoder.Next()) {
    switch (frame->Type) {
    case TFrameType::Sample:
      if (const auto sample = ReadSample(*frame)) {
        if (HaveLastSample) {
          const int gap = static_cast<std::uint8_t>(sample->Sequence - LastSample.Sequence - 1);
          if (gap > MaxInterpolatedGap) {
            RaiseEnd(EndSamplesLost, Text(TEXT_LINK_SAMPLES_LOST, {Device->Name(), std::to_string(gap)}));
          } else {
            // Samples lost to corrupted frames: keep time and volume right.
            for (int step = 1; step <= gap; ++step) {
              TSample filled = *sample;
              filled.Status = LastSample.Status;
              for (std::size_t at = 0; at < filled.Values.size(); ++at) {
                const bool shutterMark = LastSample.Values[at] == ShutterOpenMark || sample->Values[at] == ShutterOpenMark;
                filled.Values[at] = shutterMark ? LastSample.Values[at]
                                                : Interpolate(LastSample.Values[at], sample->Values[at], step, gap + 1);
              }
              Accept(filled, deliver);
              ++Interpolated;
              WatchLine(true);
            }
          }
        }
        Accept(*sample, deliver);
        WatchLine(false);
        LastSample = *sample;
        HaveLastSample = true;
      }
      break;
    case TFrameType::Sensors:
      if (const auto words = ReadSensors(*frame)) {
        RawTemperature = words->Temperature;
        RawPressure = words->Pressure;
        RawHumidity = words->Humidity;
        ++SensorReplies;
      }
      break;
    case TFrameType::Identity:
      if (const auto identity = ReadIdentity(*frame); identity && VersionRequest)
        pIndicator[5] = identity->HardwareVersion;
      break;
    case TFrameType::Fault:
      if (const auto code = ReadFault(*frame))
        RaiseEnd(EndInstrumentFault, Text(TEXT_LINK_FAULT, {Device->Name(), std::to_string(*code)}));
      break;
    default:
      break;
    }
  }
  if (VersionRequest && !VersionAsked && Device) {
    TBytes identify;
    AppendIdentify(identify);
    VersionAsked = Device->Write(identify);
  } else if (!VersionRequest) {
    VersionAsked = false;
  }
}

void TMeasureInterrupt::Accept(const TSample& sample, bool deliver) {
  InstrumentStatus = sample.Status;
  // The service page shows the first four channels; the mouth pressure in
  // its own scale.
  std::size_t slot = 0;
  for (std::size_t position = 0; position < sample.Values.size() && slot < 4; ++position) {
    const auto channel = static_cast<TChannel>(1u << position);
    if (!sample.Has(channel))
      continue;
    double value = channel >= ChannelHelium ? sample.Unsigned(channel) : sample.Value(channel);
    if (channel == ChannelMouthPressure)
      value *= MouthPressureFactor;
    pIndicator[slot++] = static_cast<std::int32_t>(std::lround(value));
  }
  pIndicator[4] = static_cast<std::int32_t>(++FrameCounter);
  if (deliver) {
    Pending.push_back(sample);
    Courier->Post(CourierSample, Generation, 0);
  } else {
    Store(sample, InterruptIndex);
    ++InterruptIndex;
  }
}

void TMeasureInterrupt::WatchLine(bool filledIn) {
  if (!Line.Count(filledIn) || LineWarned)
    return;
  LineWarned = true;
  if (TrialIndex >= 0 && TrialIndex < static_cast<short>(BadLine.size()))
    BadLine[static_cast<std::size_t>(TrialIndex)] = true;
  PendingWarning = Text(TEXT_LINK_NOISY, {Device->Name(), std::to_string(TLineQuality::MostFilledInPercent)});
}

void TMeasureInterrupt::Store(const TSample& sample, unsigned short index) {
  if (FillsZeroRings(MeasureMode, TestMode)) {
    // Rings of the latest samples: a zero that reads 225 averages the last
    // 100, after the sensors have settled.
    const std::size_t at = ZeroBufferIndex % ZeroSamples;
    ZeroBuffer[at] = static_cast<float>(sample.Value(ChannelFlow) * FlowMlpsPerCount);
    ZeroPressureBuffer[at] =
        sample.Has(ChannelNasalPressure)
            ? static_cast<float>(sample.Value(ChannelNasalPressure) * NasalPaPerCount)
            : static_cast<float>(sample.Value(ChannelMouthPressure) * MouthPaPerCount(InstrumentType));
    BoxZeroBuffer[at] = static_cast<float>(sample.Value(ChannelBoxPressure) * BoxPaPerCount);
    ++ZeroBufferIndex;
    if (ZeroBufferIndex >= 2 * ZeroSamples)
      ZeroBufferIndex = static_cast<unsigned short>(ZeroBufferIndex - ZeroSamples);
  }
  const std::array<std::int16_t, 3> raw{sample.Value(ChannelFlow), sample.Value(ChannelBoxPressure),
                                        sample.Value(ChannelMouthPressure)};
  for (std::size_t channel = 0; channel < LogBuffer.size(); ++channel)
    if (index < LogBuffer[channel].size())
      LogBuffer[channel][index] = raw[channel];
  if (MeasureMode == MEASURE_PLETHY && TrialIndex >= 0 && TrialIndex < 4) {
    // Raw counts; the window converts each sample it keeps.
    const auto slot = static_cast<std::size_t>(TrialIndex);
    if (index < BoxPressure[slot].size())
      BoxPressure[slot][index] = raw[1];
    if (index < MouthPressure[slot].size())
      MouthPressure[slot][index] = raw[2];
  }
}

void TMeasureInterrupt::Deliver() {
  if (Pending.empty() || !Acquiring)
    return;
  const TSample sample = Pending.front();
  Pending.pop_front();
  const unsigned generation = Generation;
  const unsigned short index = InterruptIndex;
  Store(sample, index);

  TEventHandler* const target = pThis.Get();
  const std::int16_t flow = sample.Value(ChannelFlow);
  const TSampleRoute route = RouteSample({.MeasureMode = MeasureMode,
                                          .Step = TestMode,
                                          .Plethysmograph = IsPlethysmograph(InstrumentType),
                                          .NebulizerWindow = DeviceKind == NebulizerDevice && target &&
                                                             target != dynamic_cast<TEventHandler*>(this)});
  const unsigned message = route.Message;
  TParam2 value = flow;
  switch (route.Value) {
  case TSampleValue::Flow: break;
  case TSampleValue::LinePressure: value = sample.Value(ChannelLinePressure); break;
  case TSampleValue::GasPair: value = Pack(sample.Unsigned(ChannelHelium), sample.Unsigned(ChannelCarbonMonoxide)); break;
  case TSampleValue::BoxPressure: value = sample.Value(ChannelBoxPressure); break;
  case TSampleValue::FlowAndNasalPressure:
    value = Pack(static_cast<std::uint16_t>(flow), static_cast<std::uint16_t>(sample.Value(ChannelNasalPressure)));
    break;
  case TSampleValue::FlowAndMouthPressure:
    value = Pack(static_cast<std::uint16_t>(flow), static_cast<std::uint16_t>(sample.Value(ChannelMouthPressure)));
    break;
  case TSampleValue::NebulizerPressure:
    value = std::lround(sample.Value(ChannelMouthPressure) * MouthPaPerCount(InstrumentType));
    break;
  }
  if (target)
    SendMessage(target, message, index, value);

  // The window may have stopped or restarted the acquisition meanwhile.
  if (generation != Generation || !Acquiring)
    return;
  if (FlagBegin)
    ++InterruptIndex;
  if (CompressorState == 1 && DoseCounter < 0xFFFF)
    ++DoseCounter;
  ApplyCompressor();
  ApplyShutterSeries();
  if (++SamplesSinceProgress >= static_cast<unsigned>(SamplesPerSecond)) {
    SamplesSinceProgress = 0;
    ++ProgressCounter;
  }
}

void TMeasureInterrupt::ApplyCompressor() {
  const short wanted = CompressorState ? 1 : 0;
  if (wanted == AppliedCompressor || !Device)
    return;
  AppliedCompressor = wanted;
  if (PortConfig.VersionOfHardware != 0) {
    // This bit acts when set: the named words all leave it clear.
    LastSentData = wanted ? static_cast<unsigned short>(LastSentData | BitNebulizer)
                          : static_cast<unsigned short>(LastSentData & ~BitNebulizer);
    CmSendToSerialPort(LastSentData, 2);
  } else {
    CmSendToSerialPort(wanted ? ByteOutputOn + OutputNebulizer : OutputNebulizer, 1);
  }
}

void TMeasureInterrupt::ApplyShutterSeries() {
  if (MeasureMode != MEASURE_SHUTTER || LastSentData != 1 || ShutterRunning || !Device)
    return;
  ShutterRunning = CmSendToSerialPort(ByteShutterSeriesOn, 1);
  ShutterCount = 0;
  ShutterStep = 1;
}

void TMeasureInterrupt::ShowPendingMessage() {
  if (!PendingWarning.empty()) {
    const std::string warning = std::move(PendingWarning);
    PendingWarning.clear();
    if (MessageText)
      MessageText->MessageBoxText(warning, 0, TMessageIcon::Warning);
  }
  if (PendingMessage.empty())
    return;
  const std::string text = std::move(PendingMessage);
  PendingMessage.clear();
  EndMessageGiven = true;
  if (MessageText)
    MessageText->MessageBoxText(text, 0, TMessageIcon::Stop);
}
