#include "platform/portkit/tests/support/FakeDevice.h"

#include <algorithm>

using namespace InstrumentProtocol;

void TFakeDevice::Send(const TBytes& bytes) {
  Incoming.insert(Incoming.end(), bytes.begin(), bytes.end());
  if (const auto ready = Ready)
    ready();
}

void TFakeDevice::SendSample(const TSample& sample) {
  TBytes bytes;
  AppendSample(bytes, sample);
  Send(bytes);
}

void TFakeDevice::SendFlow(std::initializer_list<int> counts) {
  TBytes bytes;
  for (const int count : counts) {
    TSample sample;
    sample.Sequence = Sequence++;
    sample.Set(ChannelFlow, count);
    AppendSample(bytes, sample);
  }
  Send(bytes);
}

void TFakeDevice::HangUp(std::string why) {
  Gone = true;
  Error = std::move(why);
  if (const auto ready = Ready)
    ready();
}

std::vector<TFrame> TFakeDevice::Written() const {
  TFrameDecoder decoder;
  decoder.Feed(Outgoing);
  std::vector<TFrame> frames;
  while (const auto frame = decoder.Next())
    frames.push_back(*frame);
  return frames;
}

std::vector<std::uint16_t> TFakeDevice::WrittenWords() const {
  std::vector<std::uint16_t> words;
  for (const TFrame& frame : Written())
    if (const auto word = ReadControlWord(frame))
      words.push_back(*word);
  return words;
}

TBytes TFakeDevice::TakeWrittenBytes() {
  TBytes bytes(Outgoing.begin() + static_cast<std::ptrdiff_t>(OutgoingTaken), Outgoing.end());
  OutgoingTaken = Outgoing.size();
  return bytes;
}

std::optional<std::size_t> TFakeTransport::Read(std::span<std::uint8_t> buffer) {
  if (Device->Incoming.empty() && Device->Gone)
    return std::nullopt;
  const std::size_t count = std::min(buffer.size(), Device->Incoming.size());
  std::copy_n(Device->Incoming.begin(), count, buffer.begin());
  Device->Incoming.erase(Device->Incoming.begin(), Device->Incoming.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

bool TFakeTransport::Write(std::span<const std::uint8_t> bytes) {
  if (Device->Gone || Device->FailWrites) {
    if (Device->Error.empty())
      Device->Error = "write refused";
    return false;
  }
  Device->Outgoing.insert(Device->Outgoing.end(), bytes.begin(), bytes.end());
  Device->Requests.Feed(bytes);
  while (const auto frame = Device->Requests.Next())
    if (frame->Type == TFrameType::Identify && Device->AnswerIdentify)
      AppendIdentity(Device->Incoming, Device->Identity);  // waits for the link to read it
  return true;
}

bool TFakeTransport::WaitForData(int timeoutMs) {
  if (!Device->Incoming.empty() || Device->Gone)
    return true;
  if (Device->Clock)
    Device->Clock->Advance(timeoutMs);  // the time passes without anybody waiting
  return false;
}

void TFakeTransport::Purge() {
  ++Device->Purges;
  Device->Incoming.clear();
}
