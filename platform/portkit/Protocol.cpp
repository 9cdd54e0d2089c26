#include "platform/portkit/Protocol.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace InstrumentProtocol {

namespace {

void Put16(TBytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::uint16_t Get16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

}  // namespace

std::int16_t Counts(double value, double perCount) {
  return static_cast<std::int16_t>(std::clamp(std::lround(value / perCount), -32768L, 32767L));
}

std::uint16_t Crc16(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (const std::uint8_t byte : bytes) {
    crc ^= static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021) : static_cast<std::uint16_t>(crc << 1);
  }
  return crc;
}

TSensors SensorWords(const TSensorReading& reading, std::uint16_t hardwareVersion) {
  const bool newScale = (hardwareVersion & NewSensorScale) != 0;
  const auto word = [](double value, double perCount) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(value / perCount), 0L, 65535L));
  };
  return {word(reading.TemperatureC, newScale ? 0.0244140625 : 0.01220703125),
          word(reading.PressureHpa, newScale ? 0.6103515625 : 1250.0 / 4095.0),
          word(reading.HumidityPercent, newScale ? 0.048828125 : 0.0244140625)};
}

std::size_t TSample::Position(TChannel channel) {
  return static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(channel)));
}

void TSample::Set(TChannel channel, int value) {
  Channels |= channel;
  Values[Position(channel)] = static_cast<std::int16_t>(value);
}

void AppendFrame(TBytes& out, TFrameType type, std::span<const std::uint8_t> payload) {
  const std::size_t begin = out.size();
  out.push_back(FrameStart1);
  out.push_back(FrameStart2);
  out.push_back(static_cast<std::uint8_t>(type));
  out.push_back(static_cast<std::uint8_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  const std::span<const std::uint8_t> covered(out.data() + begin + 2, payload.size() + 2);
  Put16(out, Crc16(covered));
}

void AppendSample(TBytes& out, const TSample& sample) {
  std::array<std::uint8_t, 3 + 2 * ChannelCount> payload{};
  std::size_t size = 0;
  payload[size++] = sample.Sequence;
  payload[size++] = sample.Status;
  payload[size++] = sample.Channels & AllChannels;
  for (int position = 0; position < ChannelCount; ++position) {
    if (!(sample.Channels & (1u << position)))
      continue;
    const auto value = static_cast<std::uint16_t>(sample.Values[static_cast<std::size_t>(position)]);
    payload[size++] = static_cast<std::uint8_t>(value & 0xFF);
    payload[size++] = static_cast<std::uint8_t>(value >> 8);
  }
  AppendFrame(out, TFrameType::Sample, {payload.data(), size});
}

void AppendSensors(TBytes& out, const TSensors& sensors) {
  TBytes payload;
  Put16(payload, sensors.Temperature);
  Put16(payload, sensors.Pressure);
  Put16(payload, sensors.Humidity);
  AppendFrame(out, TFrameType::Sensors, payload);
}

void AppendIdentity(TBytes& out, const TIdentity& identity) {
  TBytes payload{identity.ProtocolVersion};
  Put16(payload, identity.HardwareVersion);
  payload.push_back(identity.Capabilities);
  payload.push_back(identity.Channels);
  AppendFrame(out, TFrameType::Identity, payload);
}

void AppendFault(TBytes& out, std::uint8_t code) {
  const std::uint8_t payload[] = {code};
  AppendFrame(out, TFrameType::Fault, payload);
}

void AppendIdentify(TBytes& out) { AppendFrame(out, TFrameType::Identify, {}); }

void AppendStream(TBytes& out, bool on) {
  const std::uint8_t payload[] = {static_cast<std::uint8_t>(on ? 1 : 0)};
  AppendFrame(out, TFrameType::Stream, payload);
}

void AppendControlWord(TBytes& out, std::uint16_t word) {
  TBytes payload;
  Put16(payload, word);
  AppendFrame(out, TFrameType::ControlWord, payload);
}

void AppendControlByte(TBytes& out, std::uint8_t value) {
  const std::uint8_t payload[] = {value};
  AppendFrame(out, TFrameType::ControlByte, payload);
}

std::optional<TSample> ReadSample(const TFrame& frame) {
  if (frame.Type != TFrameType::Sample || frame.Length < 3)
    return std::nullopt;
  const auto data = frame.Data();
  TSample sample;
  sample.Sequence = data[0];
  sample.Status = data[1];
  sample.Channels = data[2];
  if (sample.Channels & ~AllChannels)
    return std::nullopt;
  if (frame.Length != 3 + 2 * static_cast<std::size_t>(std::popcount(sample.Channels)))
    return std::nullopt;
  std::size_t at = 3;
  for (int position = 0; position < ChannelCount; ++position) {
    if (!(sample.Channels & (1u << position)))
      continue;
    sample.Values[static_cast<std::size_t>(position)] = static_cast<std::int16_t>(Get16(data, at));
    at += 2;
  }
  return sample;
}

std::optional<TSensors> ReadSensors(const TFrame& frame) {
  if (frame.Type != TFrameType::Sensors || frame.Length != 6)
    return std::nullopt;
  const auto data = frame.Data();
  return TSensors{Get16(data, 0), Get16(data, 2), Get16(data, 4)};
}

std::optional<TIdentity> ReadIdentity(const TFrame& frame) {
  if (frame.Type != TFrameType::Identity || frame.Length != 5)
    return std::nullopt;
  const auto data = frame.Data();
  return TIdentity{data[0], Get16(data, 1), data[3], data[4]};
}

std::optional<std::uint8_t> ReadFault(const TFrame& frame) {
  if (frame.Type != TFrameType::Fault || frame.Length != 1)
    return std::nullopt;
  return frame.Payload[0];
}

std::optional<bool> ReadStream(const TFrame& frame) {
  if (frame.Type != TFrameType::Stream || frame.Length != 1)
    return std::nullopt;
  return frame.Payload[0] != 0;
}

std::optional<std::uint16_t> ReadControlWord(const TFrame& frame) {
  if (frame.Type != TFrameType::ControlWord || frame.Length != 2)
    return std::nullopt;
  return Get16(frame.Data(), 0);
}

std::optional<std::uint8_t> ReadControlByte(const TFrame& frame) {
  if (frame.Type != TFrameType::ControlByte || frame.Length != 1)
    return std::nullopt;
  return frame.Payload[0];
}

void TFrameDecoder::Feed(std::span<const std::uint8_t> bytes) {
  Compact();
  Buffer.insert(Buffer.end(), bytes.begin(), bytes.end());
}

std::optional<TFrame> TFrameDecoder::Next() {
  for (;;) {
    const std::size_t available = Buffered();
    const std::uint8_t* const data = Buffer.data() + Head;
    // Skip to the next frame start.
    std::size_t start = 0;
    while (start < available && !(data[start] == FrameStart1 && (start + 1 == available || data[start + 1] == FrameStart2)))
      ++start;
    Noise += start;
    Head += start;
    if (Buffered() < 4)
      return std::nullopt;

    const std::uint8_t* const frame = Buffer.data() + Head;
    const std::size_t length = frame[3];
    if (length > MaxPayload) {
      ++Rejected;
      ++Noise;
      ++Head;
      continue;
    }
    const std::size_t total = length + FrameOverhead;
    if (Buffered() < total)
      return std::nullopt;
    const std::uint16_t crc = static_cast<std::uint16_t>(frame[4 + length] | (frame[5 + length] << 8));
    if (crc != Crc16({frame + 2, length + 2})) {
      ++Rejected;
      ++Noise;
      ++Head;
      continue;
    }
    TFrame result;
    result.Type = static_cast<TFrameType>(frame[2]);
    result.Length = static_cast<std::uint8_t>(length);
    std::copy_n(frame + 4, length, result.Payload.begin());
    Head += total;
    return result;
  }
}

void TFrameDecoder::Clear() {
  Buffer.clear();
  Head = 0;
}

std::size_t TFrameDecoder::KeepNewest(std::size_t limit) {
  const std::size_t excess = Buffered() > limit ? Buffered() - limit : 0;
  Head += excess;
  return excess;
}

void TFrameDecoder::Compact() {
  if (Head == 0)
    return;
  if (Head == Buffer.size()) {
    Buffer.clear();
    Head = 0;
  } else if (Head >= 4096 && Head * 2 >= Buffer.size()) {
    Buffer.erase(Buffer.begin(), Buffer.begin() + static_cast<std::ptrdiff_t>(Head));
    Head = 0;
  }
}

}  // namespace InstrumentProtocol
