#include "platform/portkit/MeasureData.h"

#include "platform/basekit/Message.h"
#include "platform/portkit/LinkTexts.h"
#include "platform/portkit/Protocol.h"

#include <algorithm>
#include <cmath>

short TMeasureData::MeasureMode = 0;
unsigned short TMeasureData::InterruptIndex = 0;
unsigned short TMeasureData::LastSentData = InstrumentProtocol::WordIdle;
int TMeasureData::IdCommDev = 0;
TEventHandlerPtr TMeasureData::pThis;
std::array<float, TMeasureData::ZeroSamples + 1> TMeasureData::ZeroBuffer{};
unsigned short TMeasureData::ZeroBufferIndex = 0;
std::array<float, TMeasureData::ZeroSamples + 1> TMeasureData::ZeroPressureBuffer{};

namespace {

// A change of flow sign shorter than this is noise, not a new phase.
constexpr float MinPhaseSeconds = 0.25f;
// Flow that counts as breathing, mL/s.
constexpr float PhaseFlowThreshold = 20.0f;

}  // namespace

TMeasureData::TMeasureData(unsigned short measureType, TMessage* text)
    : MessageText(text), MeasureType(static_cast<short>(measureType)), Clock(std::make_shared<TQtLinkClock>()) {}

TMeasureData::~TMeasureData() = default;

bool TMeasureData::CmSendToSerialPort(unsigned short word, short count) {
  if (!Device)
    return false;
  InstrumentProtocol::TBytes frame;
  if (count == 1)
    InstrumentProtocol::AppendControlByte(frame, static_cast<std::uint8_t>(word & 0xFF));
  else
    InstrumentProtocol::AppendControlWord(frame, word);
  if (Device->Write(frame))
    return true;
  RaiseEnd(EndPortLost, Text(TEXT_LINK_PORT_LOST, {Device->Name(), Device->Error()}));
  return false;
}

void TMeasureData::ClearBuffer(short trial) {
  if (trial < 0 || trial > 3)
    return;
  const auto clear = [](TCurve& curve) { std::fill_n(curve.begin(), std::min(curve.size(), CurveSamples), 0.0f); };
  if (MeasureMode == MEASURE_CALIBRATION) {
    clear(CalFlow);
    clear(CalVolume);
  } else {
    const auto slot = static_cast<std::size_t>(trial);
    for (TCurve* curve : {&Flow[slot], &Volume[slot], &Third[slot], &BoxPressure[slot], &MouthPressure[slot]})
      clear(*curve);
  }
  if (MeasureMode >= 0 && MeasureMode < 8)
    SampleCount[static_cast<std::size_t>(MeasureMode)][static_cast<std::size_t>(trial)] = 0;
  BadLine[static_cast<std::size_t>(trial)] = false;
  Extremes.Clear();
}

void TMeasureData::ClearParamsBuffer(short type, short trial) {
  if (type < 0 || type >= TEST_KIND_COUNT || trial < 0 || trial > 3)
    return;
  AktParams[static_cast<std::size_t>(type)][static_cast<std::size_t>(trial)].fill(0.0f);
}

short TMeasureData::GetWaterVaporPartialPressure(short degreesC) {
  // Buck's equation (1996) for the saturation pressure over water:
  // e = 0.61121 exp((18.678 - T/234.5) T / (257.14 + T)) kPa.
  const double t = degreesC;
  const double kPa = 0.61121 * std::exp((18.678 - t / 234.5) * t / (257.14 + t));
  return static_cast<short>(std::lround(kPa * 1000.0));
}

bool TMeasureData::LocalTressholdCompare(float flow, float time) {
  if (std::fabs(flow) < PhaseFlowThreshold)
    return false;
  // The window writes each sample into the current entry, so the phase now
  // running began where the entry before it ends.
  if (PhaseTableIndex == 0)
    return true;
  const TPhaseEntry& before = PhaseTable[static_cast<std::size_t>(PhaseTableIndex - 1)];
  return time - before.Time >= MinPhaseSeconds;
}

void TMeasureData::IncrementLocalBufferIndex() {
  if (PhaseTableIndex + 1 < static_cast<short>(PhaseEntries))
    ++PhaseTableIndex;
}

void TMeasureData::ClearPhaseTable() {
  PhaseTable.fill({});
  PhaseTableIndex = 0;
  PhaseState = 0;
}

void TMeasureData::ClearEndFlags() {
  EndPortLost = EndSilence = EndOverrun = EndSamplesLost = EndInstrumentFault = 0;
}

void TMeasureData::RaiseEnd(short& flag, std::string message) {
  if (flag)
    return;
  flag = 1;
  // One message per acquisition: the first reason is the one that matters.
  if (!EndMessageGiven && PendingMessage.empty())
    PendingMessage = std::move(message);
}

std::string TMeasureData::Text(int number, std::initializer_list<std::string> arguments) const {
  if (MessageText)
    return MessageText->Format(number, arguments);
  std::string text = "#" + std::to_string(number);
  for (const std::string& argument : arguments)
    text += " " + argument;
  return text;
}
