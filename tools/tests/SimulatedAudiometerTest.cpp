#include "tools/audiosim/SimulatedAudiometer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using TBytes = std::vector<std::uint8_t>;

void Command(TSimulatedAudiometer& audiometer, std::initializer_list<std::uint8_t> bytes, std::int64_t nowMs) {
  const TBytes command(bytes);
  audiometer.Receive(command, nowMs);
}

TBytes At(TSimulatedAudiometer& audiometer, std::int64_t nowMs) {
  audiometer.Advance(nowMs);
  return audiometer.TakeOutput();
}

// The attenuator by hand: at 1000 Hz (code 16, correction 7.0) with Max 120
// a level byte v gives (v - 10) * 130 / 255 - 7 dB HL. The host's law gives
// 40 dB the byte int(47 * 255 / 130 + 10) = 102, which is
// 92 * 130 / 255 - 7 = 39.90 dB.
TEST(SimulatedAudiometer, TheAttenuatorInvertsTheHostsLaw) {
  const TSimulatedAudiometer audiometer({});
  EXPECT_NEAR(*audiometer.HearingLevel(102, 16), 39.902, 0.001);
  EXPECT_NEAR(*audiometer.HearingLevel(10, 16), -7.0, 1e-9);
  // 125 Hz (code 2): correction 45.0.
  EXPECT_NEAR(*audiometer.HearingLevel(200, 2), 190 * 130.0 / 255 - 45, 1e-9);
  EXPECT_FALSE(audiometer.HearingLevel(100, 17)) << "no test frequency";
}

// Heard when the level is at the threshold or less than one level unit
// (130 / 255 = 0.51 dB) below it.
TEST(SimulatedAudiometer, TheListenerHearsAtOrJustBelowTheThreshold) {
  struct Case {
    std::optional<double> threshold;
    std::uint8_t command;
    std::uint8_t level;
    bool heard;
  };
  const Case cases[] = {
      {40.0, 0x8A, 102, true},    // 39.90 dB: 0.10 below
      {40.4, 0x8A, 102, true},    // 0.50 below
      {40.5, 0x8A, 102, false},   // 0.60 below
      {35.0, 0x8E, 102, false},   // muted
      {35.0, 0x89, 102, false},   // the left ear, which hears nothing (none)
      {-10.0, 0x8A, 0, false},    // level 0 is silence
      {std::nullopt, 0x8A, 255, false},
  };
  for (const Case& c : cases) {
    TAudioSimOptions options;
    options.Right[4] = c.threshold;
    options.Left[4].reset();
    options.LatencyMs = 100;
    TSimulatedAudiometer audiometer(options);
    Command(audiometer, {c.command, 16, c.level, 0}, 0);
    EXPECT_EQ(At(audiometer, 99), TBytes{0x20});
    EXPECT_EQ(At(audiometer, 100), c.heard ? TBytes{0x40} : TBytes{}) << int(c.level) << " " << c.threshold.value_or(999);
  }
}

TEST(SimulatedAudiometer, TheButtonIsReleasedAfterItsHoldOrWhenTheToneStops) {
  TAudioSimOptions options;
  options.LatencyMs = 300;
  options.HoldMs = 200;
  TSimulatedAudiometer audiometer(options);
  Command(audiometer, {0x8A, 16, 150, 0}, 1000);
  EXPECT_EQ(At(audiometer, 1002), TBytes{0x20});
  EXPECT_EQ(At(audiometer, 1299), TBytes{});
  EXPECT_EQ(At(audiometer, 1300), TBytes{0x40});
  EXPECT_EQ(At(audiometer, 1499), TBytes{});
  EXPECT_EQ(At(audiometer, 1500), TBytes{0x00});
  EXPECT_EQ(At(audiometer, 3000), TBytes{}) << "one press for one tone";

  // A new tone after silence; stopped (0x83) while the button is down.
  Command(audiometer, {0x83, 16, 0, 0}, 3000);
  Command(audiometer, {0x8A, 16, 150, 0}, 3100);
  EXPECT_EQ(At(audiometer, 3400), (TBytes{0x20, 0x20, 0x40}));
  Command(audiometer, {0x83, 16, 0, 0}, 3450);
  EXPECT_EQ(At(audiometer, 3460), (TBytes{0x00, 0x20}));

  // A tone that stops before the listener reacts is not answered.
  Command(audiometer, {0x8A, 16, 150, 0}, 4000);
  Command(audiometer, {0x8E, 16, 150, 0}, 4100);
  EXPECT_EQ(At(audiometer, 5000), (TBytes{0x20, 0x20}));
}

TEST(SimulatedAudiometer, IdentifiesResetsFallsSilentAndHangsUpAsTold) {
  TAudioSimOptions options;
  options.Version = 1;
  options.ResetAfter = 2;
  options.StopAfter = 3;
  std::vector<std::string> log;
  TSimulatedAudiometer audiometer(options, [&](const std::string& line) { log.push_back(line); });
  Command(audiometer, {0xC0, 0, 0, 0}, 10);
  EXPECT_EQ(At(audiometer, 11), TBytes{0x81});
  Command(audiometer, {0x8A, 16, 0, 0}, 20);
  EXPECT_EQ(At(audiometer, 22), (TBytes{0xFF, 0x20}));
  Command(audiometer, {0x83, 16, 0, 0}, 30);
  EXPECT_TRUE(audiometer.HungUp());
  EXPECT_EQ(At(audiometer, 40), TBytes{});
  EXPECT_EQ(log, (std::vector<std::string>{"10 C0 00 00 00", "20 8A 10 00 00", "30 83 10 00 00",
                                           "hung up after 3 commands"}));

  options = {};
  options.Silent = true;
  TSimulatedAudiometer silent(options);
  Command(silent, {0xC0, 0, 0, 0}, 0);
  Command(silent, {0x8A, 16, 200, 0}, 0);
  EXPECT_EQ(At(silent, 5000), TBytes{});
}

TEST(SimulatedAudiometer, OptionsAreReadOrRefusedWithTheReason) {
  const char* good[] = {"audiosim", "--right", "125=20,1000=35.5,8000=none", "--left", "4000=-10", "--max", "110",
                        "--retspl", "1000=8", "--latency", "50", "--version", "0", "--silent"};
  const auto parsed = ParseAudioSimOptions(static_cast<int>(std::size(good)), good);
  ASSERT_TRUE(std::holds_alternative<TAudioSimOptions>(parsed)) << std::get<std::string>(parsed);
  const auto& options = std::get<TAudioSimOptions>(parsed);
  EXPECT_EQ(options.Right[0], 20.0);
  EXPECT_EQ(options.Right[4], 35.5);
  EXPECT_FALSE(options.Right[10]);
  EXPECT_EQ(options.Right[1], 0.0) << "a frequency not named hears at 0 dB";
  EXPECT_EQ(options.Left[8], -10.0);
  EXPECT_EQ(options.Max, 110.0);
  EXPECT_EQ(options.Retspl[4], 8.0);
  EXPECT_EQ(options.Retspl[0], 45.0);
  EXPECT_EQ(options.LatencyMs, 50);
  EXPECT_EQ(options.Version, 0);
  EXPECT_TRUE(options.Silent);

  const std::vector<std::vector<const char*>> bad{
      {"audiosim", "--right", "1100=20"}, {"audiosim", "--right", "1000"}, {"audiosim", "--left", "1000=loud"},
      {"audiosim", "--version"},          {"audiosim", "--stop-after", "0"}, {"audiosim", "--volume", "3"},
  };
  for (const auto& arguments : bad)
    EXPECT_TRUE(std::holds_alternative<std::string>(ParseAudioSimOptions(static_cast<int>(arguments.size()), arguments.data())))
        << arguments[1];
}

}  // namespace
