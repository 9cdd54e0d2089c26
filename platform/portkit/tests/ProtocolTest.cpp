#include "platform/portkit/Protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace InstrumentProtocol;

namespace {

TBytes Bytes(std::initializer_list<int> values) {
  TBytes out;
  for (const int v : values)
    out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

TBytes ControlWordFrame(std::uint16_t word) {
  TBytes out;
  AppendControlWord(out, word);
  return out;
}

TBytes FlowFrame(std::uint8_t sequence, int flow) {
  TSample sample;
  sample.Sequence = sequence;
  sample.Set(ChannelFlow, flow);
  TBytes out;
  AppendSample(out, sample);
  return out;
}

// Sequence numbers of the sample frames the decoder finds in `stream`.
std::vector<int> DecodeSequences(TFrameDecoder& decoder, const TBytes& stream) {
  decoder.Feed(stream);
  std::vector<int> found;
  while (const auto frame = decoder.Next())
    if (const auto sample = ReadSample(*frame))
      found.push_back(sample->Sequence);
  return found;
}

TEST(InstrumentProtocol, CrcIsCcittFalse) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc16({reinterpret_cast<const std::uint8_t*>(check.data()), check.size()}), 0x29B1);
}

// The byte layouts as the instruments' firmware sees them; the CRCs were
// computed with a separate bitwise reference.
TEST(InstrumentProtocol, FrameBytesArePinned) {
  EXPECT_EQ(ControlWordFrame(0xEF7F), Bytes({0xA5, 0x5A, 0x20, 0x02, 0x7F, 0xEF, 0x48, 0xC9}));

  TSample sample;
  sample.Sequence = 7;
  sample.Status = StatusDoorOpen;
  sample.Set(ChannelFlow, -100);
  TBytes out;
  AppendSample(out, sample);
  EXPECT_EQ(out, Bytes({0xA5, 0x5A, 0x01, 0x05, 0x07, 0x04, 0x01, 0x9C, 0xFF, 0xCD, 0xD3}));
}

TEST(InstrumentProtocol, PayloadsSurviveTheRoundTrip) {
  TSample sample;
  sample.Sequence = 255;
  sample.Status = StatusPumpMoving | StatusDoorOpen;
  sample.Set(ChannelFlow, -32768);
  sample.Set(ChannelLinePressure, 1234);
  sample.Set(ChannelHelium, 60000);  // unsigned counts above 32767
  sample.Set(ChannelCarbonMonoxide, 2458);
  TBytes stream;
  AppendSample(stream, sample);
  AppendSensors(stream, {1229, 1659, 1024});
  AppendIdentity(stream, {Version, 0x71, CapabilityNebulizer, ChannelFlow | ChannelHelium});
  AppendFault(stream, 3);
  AppendStream(stream, true);
  AppendControlByte(stream, 9);

  TFrameDecoder decoder;
  decoder.Feed(stream);
  const auto s = ReadSample(*decoder.Next());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->Sequence, 255);
  EXPECT_EQ(s->Status, StatusPumpMoving | StatusDoorOpen);
  EXPECT_EQ(s->Value(ChannelFlow), -32768);
  EXPECT_EQ(s->Value(ChannelLinePressure), 1234);
  EXPECT_EQ(s->Unsigned(ChannelHelium), 60000);
  EXPECT_EQ(s->Unsigned(ChannelCarbonMonoxide), 2458);
  EXPECT_FALSE(s->Has(ChannelBoxPressure));

  const auto sensors = ReadSensors(*decoder.Next());
  ASSERT_TRUE(sensors);
  EXPECT_EQ(sensors->Temperature, 1229);
  EXPECT_EQ(sensors->Pressure, 1659);
  EXPECT_EQ(sensors->Humidity, 1024);
  const auto identity = ReadIdentity(*decoder.Next());
  ASSERT_TRUE(identity);
  EXPECT_EQ(identity->HardwareVersion, 0x71);
  EXPECT_EQ(identity->Capabilities, CapabilityNebulizer);
  EXPECT_EQ(ReadFault(*decoder.Next()), 3);
  EXPECT_EQ(ReadStream(*decoder.Next()), true);
  EXPECT_EQ(ReadControlByte(*decoder.Next()), 9);
  EXPECT_FALSE(decoder.Next());
}

TEST(InstrumentProtocol, PayloadOfTheWrongShapeIsRefused) {
  TFrame frame;
  frame.Type = TFrameType::Sample;
  frame.Length = 5;
  frame.Payload = {1, 0, 0x03, 0x10, 0x00};  // two channels announced, one value sent
  EXPECT_FALSE(ReadSample(frame));
  frame.Payload[2] = 0x80;  // a channel the protocol does not have
  EXPECT_FALSE(ReadSample(frame));
  frame.Type = TFrameType::Sensors;
  EXPECT_FALSE(ReadSensors(frame));
  EXPECT_FALSE(ReadControlWord(frame));
}

TEST(InstrumentProtocol, DecoderFindsTheFramesAgainAfterNoise) {
  const TBytes f1 = FlowFrame(1, 10);
  const TBytes f2 = FlowFrame(2, 20);
  const TBytes f3 = FlowFrame(3, 30);
  TBytes corrupted = FlowFrame(9, 90);
  corrupted[7] ^= 0x10;  // a flipped bit in the value: the CRC catches it

  struct Case {
    const char* name;
    TBytes stream;
    std::vector<int> sequences;
    std::uint64_t rejected;
  };
  auto join = [](std::initializer_list<TBytes> parts) {
    TBytes all;
    for (const TBytes& part : parts)
      all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  const std::vector<Case> cases{
      {"noise before and between", join({Bytes({0x00, 0xFF, 0x5A}), f1, Bytes({0x13, 0xA5, 0x00}), f2}), {1, 2}, 0},
      {"corrupted frame is dropped", join({f1, corrupted, f2, f3}), {1, 2, 3}, 1},
      {"false start with a long length", join({Bytes({0xA5, 0x5A, 0x01, 0xFF}), f1, f2}), {1, 2}, 1},
      // A false start whose announced length reaches into the real frames
      // that follow: they must not be swallowed with it.
      {"false start swallowing real frames", join({Bytes({0xA5, 0x5A, 0x01, 0x0C, 0x00}), f1, f2, f3}), {1, 2, 3}, 1},
      {"start bytes inside a value", join({FlowFrame(4, 0x5AA5), FlowFrame(5, 0x00A5)}), {4, 5}, 0},
  };
  for (const Case& c : cases) {
    TFrameDecoder decoder;
    EXPECT_EQ(DecodeSequences(decoder, c.stream), c.sequences) << c.name;
    EXPECT_EQ(decoder.RejectedFrames(), c.rejected) << c.name;
    EXPECT_EQ(decoder.Buffered(), 0u) << c.name;
  }
}

TEST(InstrumentProtocol, FrameSplitAcrossReadsIsAssembled) {
  TBytes stream = FlowFrame(1, -7);
  const TBytes second = FlowFrame(2, 7);
  stream.insert(stream.end(), second.begin(), second.end());
  TFrameDecoder decoder;
  std::vector<int> found;
  for (const std::uint8_t byte : stream) {
    const TBytes one{byte};
    for (const int sequence : DecodeSequences(decoder, one))
      found.push_back(sequence);
  }
  EXPECT_EQ(found, (std::vector<int>{1, 2}));
  EXPECT_EQ(decoder.NoiseBytes(), 0u);
}

TEST(InstrumentProtocol, KeepNewestDropsTheOldestBytes) {
  TFrameDecoder decoder;
  TBytes stream;
  for (int i = 0; i < 10; ++i) {
    const TBytes frame = FlowFrame(static_cast<std::uint8_t>(i), i);
    stream.insert(stream.end(), frame.begin(), frame.end());
  }
  decoder.Feed(stream);
  const std::size_t frameSize = FlowFrame(0, 0).size();
  EXPECT_EQ(decoder.KeepNewest(3 * frameSize + 4), 7 * frameSize - 4);
  // The cut frame is noise; the three newest frames are whole.
  EXPECT_EQ(DecodeSequences(decoder, {}), (std::vector<int>{7, 8, 9}));
}

}  // namespace
