// What reaches the audiometer when a tone is presented, withdrawn and moved
// to another frequency, on each hardware version; the step timer's ramp and
// version 2's pulse. The byte values are worked out by hand from the level
// law: at 1000 Hz (correction 7.0, scale 255 / 130) 40 dB is
// int(47 * 1.96154 + 10) = 102 (0x66), -5 dB is int(2 * 1.96154 + 10) = 13
// (0x0D), -10 dB is int(-3 * 1.96154 + 10) = 4; at 2000 Hz (9.0) 40 dB is
// int(49 * 1.96154 + 10) = 106 (0x6A).

#include "audiometry/tests/support/AudioWorld.h"
#include "platform/basekit/Message.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct TSent {
  std::int64_t Ms;
  int Command, Code, Value;
  bool operator==(const TSent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TSent& sent) {
  return out << sent.Ms << ": " << std::hex << sent.Command << " " << sent.Code << " " << sent.Value << std::dec;
}

// The audiometer's log without the identification requests, times made
// relative to the first command.
std::vector<TSent> Sent(const std::vector<std::string>& log, std::int64_t from = -1) {
  std::vector<TSent> sent;
  for (const std::string& line : log) {
    std::istringstream in(line);
    TSent entry{};
    int last = 0;
    if (!(in >> entry.Ms >> std::hex >> entry.Command >> entry.Code >> entry.Value >> last) || entry.Command == 0xC0)
      continue;
    if (entry.Ms >= from)
      sent.push_back(entry);
  }
  if (!sent.empty())
    for (auto first = sent.front().Ms; auto& entry : sent)
      entry.Ms -= first;
  return sent;
}

class LevelSequence : public ::testing::Test {
protected:
  LevelSequence() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
  }
  // A listener who hears nothing: every presentation runs its full time.
  std::unique_ptr<TAudioWorld> World(int version, const std::string& audio) {
    const auto ini = Folder.Write("Halvetra.ini", "[Audio]\n" + audio);
    TAudioSimOptions options;
    options.Version = version;
    options.Right.fill(std::nullopt);
    auto world = std::make_unique<TAudioWorld>(Texts, ini.string(), options);
    EXPECT_TRUE(world->Test->VerifySerialPort(false));
    world->Log.clear();
    return world;
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
};

TEST_F(LevelSequence, PresentWithdrawAndChangeOnEachVersion) {
  struct Case {
    int version;
    std::vector<TSent> present;   // on 1000 Hz at 40 dB
    std::vector<TSent> withdraw;  // when the presentation time is over
    std::vector<TSent> change;    // the tone moved to 2000 Hz while it sounds
  };
  const Case cases[] = {
      {0, {{0, 0x8A, 16, 0x66}}, {{0, 0x8A, 16, 4}}, {{0, 0x8A, 16, 4}, {0, 0x8A, 32, 0x6A}}},
      {1, {{0, 0x8A, 16, 0x66}}, {{0, 0x8E, 16, 13}}, {{0, 0x8E, 16, 13}, {0, 0x8A, 32, 0x6A}}},
      {2,
       {{0, 0x86, 16, 0}, {10, 0x86, 16, 0x66}, {190, 0x82, 16, 0x66}},
       {{0, 0x86, 16, 0x66}, {180, 0x86, 16, 13}},
       {{0, 0x86, 16, 13}, {200, 0x86, 32, 0x6A}, {250, 0x82, 32, 0x6A},
        {250, 0x86, 32, 0x6A}, {430, 0x86, 32, 0x6A}, {440, 0x82, 32, 0x6A}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    auto world = World(c.version, "Algorithm=0\nSignalMode=1\nStepTimer=0\n");
    TAudioTest& test = *world->Test;
    test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
    world->Deliver();
    ASSERT_TRUE(test.GetIsStart());
    EXPECT_EQ(Sent(world->Log), c.present);

    const std::int64_t presented = world->Host.NowMs;
    ASSERT_TRUE(world->RunUntil([&] { return !test.ToneOn(); }, 3000)) << "the presentation time ends";
    EXPECT_GE(world->Host.NowMs - presented, 1500);
    EXPECT_EQ(Sent(world->Log, presented + 1), c.withdraw);

    // Present again (the manual method presents on each press), then move.
    test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
    world->RunFor(5);  // the audiometer is ready again
    const std::int64_t moved = world->Host.NowMs;
    test.ButtonHandler(TAudioTest::IdFrequency0 + 6);
    EXPECT_EQ(Sent(world->Log, moved), c.change);
    EXPECT_TRUE(Sink.Messages.empty());
  }
}

// Versions 0 and 1 with the step timer: the level climbs by at most
// `OneStep` units a tick, one command a tick, the tone's mode kept.
TEST_F(LevelSequence, TheStepTimerRampsTheLevelOneStepATick) {
  for (const int oneStep : {1, 4}) {
    auto world = World(1, "Algorithm=0\nSignalMode=0\nStepTimer=2\nOneStep=" + std::to_string(oneStep) + "\n");
    TAudioTest& test = *world->Test;
    ASSERT_TRUE(test.StepMode());
    test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
    world->RunFor(400);
    const auto sent = Sent(world->Log);
    ASSERT_EQ(sent.size(), static_cast<std::size_t>((102 + oneStep - 1) / oneStep));
    for (std::size_t i = 0; i < sent.size(); ++i) {
      EXPECT_EQ(sent[i].Command, 0x82) << "tone on, the 0x08 of the host's bookkeeping left out";
      EXPECT_EQ(sent[i].Ms, static_cast<std::int64_t>(2 * i));
      EXPECT_EQ(sent[i].Value, std::min(102, static_cast<int>(i + 1) * oneStep));
    }
  }
}

// Version 2 pulses from the step timer: muted after 120 ticks, on again
// after 100.
TEST_F(LevelSequence, VersionTwoPulsesOnTheStepTimer) {
  auto world = World(2, "Algorithm=0\nSignalMode=2\nStepTimer=2\n");
  TAudioTest& test = *world->Test;
  test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
  world->RunFor(1200);
  std::vector<TSent> pulses;
  for (const TSent& sent : Sent(world->Log))
    if (sent.Ms > 190)
      pulses.push_back(sent);
  ASSERT_GE(pulses.size(), 4u);
  EXPECT_EQ(pulses[0].Command, 0x86);
  EXPECT_EQ(pulses[1].Command, 0x82);
  EXPECT_EQ(pulses[2].Command, 0x86);
  EXPECT_EQ(pulses[1].Ms - pulses[0].Ms, 200);
  EXPECT_EQ(pulses[2].Ms - pulses[1].Ms, 240);
  for (const TSent& pulse : pulses)
    EXPECT_EQ(pulse.Value, 0x66);
}

// A line error or a hang-up stops the test; it is told once, when the port
// closes, and the thresholds measured so far stay.
TEST_F(LevelSequence, ALineErrorOrAHangUpStopsTheTestAndIsToldOnce) {
  const auto t = [this](int n) { return Texts.LoadStringA(n); };
  for (const bool hangUp : {false, true}) {
    SCOPED_TRACE(hangUp);
    const auto ini = Folder.Write("Halvetra.ini", "[Audio]\nAlgorithm=0\nSignalMode=1\nStepTimer=0\n");
    TAudioSimOptions options;
    options.Version = 2;
    // Ten identification requests, then the presentation (3 commands) and
    // the withdrawal after the response (2): the next command hangs up.
    options.StopAfter = hangUp ? 16 : -1;
    TAudioWorld world(Texts, ini.string(), options);
    TAudioTest& test = *world.Test;
    ASSERT_TRUE(test.VerifySerialPort(false));
    test.ButtonHandler(TAudioTest::IdFrequency0 + 4);
    ASSERT_TRUE(world.RunUntil([&] { return test.GetFlagTable(0, TAudioTest::Actual)[4]; }, 3000));
    ASSERT_TRUE(world.RunUntil([&] { return !test.ToneOn(); }, 3000));
    if (!hangUp)
      world.Port->InjectLineErrors({1, 0, 0});
    test.ButtonHandler(TAudioTest::IdFrequency0 + 5);
    ASSERT_TRUE(world.RunUntil([&] { return !test.GetIsStart(); }, 5000)) << "the test stops by itself";
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_EQ(Sink.Messages[0].Text,
              hangUp ? Texts.Format(8130, {"COM2 (simulated)", "the device hung up"}) : t(164) + " " + t(165));
    EXPECT_TRUE(test.GetFlagTable(0, TAudioTest::Actual)[4]) << "the threshold measured before stays";
    EXPECT_EQ(test.GetTable(0, TAudioTest::Actual)[4], 40);
    EXPECT_FALSE(test.PortOpen);
    Sink.Messages.clear();
  }
}

}  // namespace
