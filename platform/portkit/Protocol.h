#pragma once

// The wire protocol of the lung-function instruments, as
// docs/instrument-protocol.md describes it: frames and their CRC, the
// payloads of both directions, and the receiver that finds frames in a byte
// stream again after noise.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace InstrumentProtocol {

using TBytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t FrameStart1 = 0xA5;
inline constexpr std::uint8_t FrameStart2 = 0x5A;
inline constexpr std::size_t MaxPayload = 32;
inline constexpr std::size_t FrameOverhead = 6;  // two start bytes, type, length, CRC
inline constexpr std::uint8_t Version = 1;

inline constexpr int SamplesPerSecond = 100;
inline constexpr int SamplePeriodMs = 10;
inline constexpr float SampleSeconds = 0.01f;

enum class TFrameType : std::uint8_t {
  // From the instrument.
  Sample = 0x01,
  Sensors = 0x02,
  Identity = 0x11,
  Fault = 0x7F,
  // From the host.
  Identify = 0x10,
  Stream = 0x12,
  ControlWord = 0x20,
  ControlByte = 0x21,
};

// The channels of a sample frame, by their bit in the channel mask; the
// values follow in the order of the bits.
enum TChannel : std::uint8_t {
  ChannelFlow = 0x01,
  ChannelMouthPressure = 0x02,
  ChannelBoxPressure = 0x04,
  ChannelNasalPressure = 0x08,
  ChannelLinePressure = 0x10,
  ChannelHelium = 0x20,
  ChannelCarbonMonoxide = 0x40,
};
inline constexpr int ChannelCount = 7;
inline constexpr std::uint8_t AllChannels = 0x7F;

// Physical value of one count of a channel.
inline constexpr double FlowMlpsPerCount = 8.7890625;
inline constexpr double PlethysmographMouthPaPerCount = 2.9296875;
inline constexpr double ShutterMouthPaPerCount = 2.44140625;
inline constexpr double BoxPaPerCount = 0.014648437;
inline constexpr double NasalPaPerCount = 0.9765625;
inline constexpr double LinePaPerCount = 1.0;
// The shutter head's mouth pressure while the shutter is open.
inline constexpr std::int16_t ShutterOpenMark = 5000;

// The count of a channel for a physical value in the channel's unit:
// rounded, and held within the 16 bits of a sample.
std::int16_t Counts(double value, double perCount);

// Status inputs of a sample frame.
inline constexpr std::uint8_t StatusPumpMoving = 0x01;
inline constexpr std::uint8_t StatusCalibrationPumpIdle = 0x02;
inline constexpr std::uint8_t StatusDoorOpen = 0x04;

// Capabilities of the identity answer; the configuration keeps them as the
// `Mode` bits of the hardware section.
inline constexpr std::uint8_t CapabilityRhinomanometer = 0x01;
inline constexpr std::uint8_t CapabilityNebulizer = 0x02;
inline constexpr std::uint8_t CapabilityShutter = 0x04;
// The rhinomanometer head measures flow on its fine scale: 2.5048 counts
// where the spirometric head reads one.
inline constexpr std::uint8_t CapabilityFineFlowScale = 0x08;
inline constexpr double FineFlowCountsPerCount = 2.5048;

// The hardware version (instrument type word).
inline constexpr std::uint16_t FamilyMask = 0xE0;
inline constexpr std::uint16_t FamilyDiffusion = 0x60;
inline constexpr std::uint16_t NewSensorScale = 0x10;

// Control words and bytes (bits act when cleared).
inline constexpr std::uint16_t WordIdle = 0xEF7F;
inline constexpr std::uint16_t WordStop = 0xAF7F;
inline constexpr std::uint16_t BitStartStop = 0x4000;
inline constexpr std::uint16_t BitNebulizer = 0x1000;
inline constexpr std::uint16_t BitAnalogMpx = 0x0400;
inline constexpr std::uint16_t BitAutoZero = 0x0040;
inline constexpr std::uint16_t BitMetronome = 0x0020;
inline constexpr std::uint16_t BitShutter = 0x0001;
inline constexpr std::uint8_t ByteOutputOn = 8;  // byte i + 8 switches output i on, byte i off
inline constexpr std::uint8_t OutputNebulizer = 0;
inline constexpr std::uint8_t ByteShutterSeriesOn = 0x10;
inline constexpr std::uint8_t ByteShutterSeriesOff = 0x11;

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial value 0xFFFF.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes);

struct TFrame {
  TFrameType Type{};
  std::uint8_t Length = 0;
  std::array<std::uint8_t, MaxPayload> Payload{};

  std::span<const std::uint8_t> Data() const { return {Payload.data(), Length}; }
};

struct TSample {
  std::uint8_t Sequence = 0;
  std::uint8_t Status = 0;
  std::uint8_t Channels = 0;  // mask of the channels present
  std::array<std::int16_t, ChannelCount> Values{};  // by bit position; 0 when absent

  bool Has(TChannel channel) const { return (Channels & channel) != 0; }
  std::int16_t Value(TChannel channel) const { return Values[Position(channel)]; }
  // Helium and carbon monoxide are unsigned counts.
  std::uint16_t Unsigned(TChannel channel) const { return static_cast<std::uint16_t>(Value(channel)); }
  void Set(TChannel channel, int value);

  static std::size_t Position(TChannel channel);
};

struct TSensors {
  std::uint16_t Temperature = 0;
  std::uint16_t Pressure = 0;
  std::uint16_t Humidity = 0;
};

// A BTPS reading in physical units, and the raw sensor words an instrument
// of the given hardware version sends for it (the scales differ by bit 0x10).
struct TSensorReading {
  double TemperatureC = 25.0;
  double PressureHpa = 1013.0;
  double HumidityPercent = 50.0;
};
TSensors SensorWords(const TSensorReading& reading, std::uint16_t hardwareVersion);

struct TIdentity {
  std::uint8_t ProtocolVersion = Version;
  std::uint16_t HardwareVersion = 0;
  std::uint8_t Capabilities = 0;
  std::uint8_t Channels = ChannelFlow;
};

void AppendFrame(TBytes& out, TFrameType type, std::span<const std::uint8_t> payload);

void AppendSample(TBytes& out, const TSample& sample);
void AppendSensors(TBytes& out, const TSensors& sensors);
void AppendIdentity(TBytes& out, const TIdentity& identity);
void AppendFault(TBytes& out, std::uint8_t code);
void AppendIdentify(TBytes& out);
void AppendStream(TBytes& out, bool on);
void AppendControlWord(TBytes& out, std::uint16_t word);
void AppendControlByte(TBytes& out, std::uint8_t value);

// The payload of a frame of the matching type; nothing for another type or
// a payload of the wrong size.
std::optional<TSample> ReadSample(const TFrame& frame);
std::optional<TSensors> ReadSensors(const TFrame& frame);
std::optional<TIdentity> ReadIdentity(const TFrame& frame);
std::optional<std::uint8_t> ReadFault(const TFrame& frame);
std::optional<bool> ReadStream(const TFrame& frame);
std::optional<std::uint16_t> ReadControlWord(const TFrame& frame);
std::optional<std::uint8_t> ReadControlByte(const TFrame& frame);

// Finds frames in a byte stream. Bytes that belong to no good frame are
// dropped and counted; a candidate that fails its length or CRC check
// loses only its first byte, so a real frame that starts inside it is
// found again.
class TFrameDecoder {
public:
  void Feed(std::span<const std::uint8_t> bytes);
  // The next good frame, or nothing until more bytes arrive.
  std::optional<TFrame> Next();

  std::size_t Buffered() const { return Buffer.size() - Head; }
  void Clear();
  // Keeps at most `limit` of the newest bytes; answers how many were dropped.
  std::size_t KeepNewest(std::size_t limit);

  std::uint64_t NoiseBytes() const { return Noise; }
  std::uint64_t RejectedFrames() const { return Rejected; }

private:
  void Compact();

  TBytes Buffer;
  std::size_t Head = 0;
  std::uint64_t Noise = 0;
  std::uint64_t Rejected = 0;
};

}  // namespace InstrumentProtocol
