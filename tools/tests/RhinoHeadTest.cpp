// The simulator's rhinomanometer head in-process: the nose of each start,
// the signs of flow and pressure, the fine flow scale and the pressure
// sensor at rest.

#include "tools/lungsim/SimulatedInstrument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace InstrumentProtocol;

namespace {

struct THeadRig {
  explicit THeadRig(TSimulatorOptions options)
      : Instrument(std::move(options), [this](const std::string& line) { Log.push_back(line); }) {
    TBytes bytes;
    AppendStream(bytes, true);
    Instrument.Receive(bytes);
  }
  // A start word after the stop word: the next start of the test.
  void Start() {
    TBytes bytes;
    AppendControlWord(bytes, WordStop);
    AppendControlWord(bytes, WordIdle);
    Instrument.Receive(bytes);
  }
  std::vector<TSample> Samples(int count) {
    for (int i = 0; i < count; ++i)
      Instrument.Tick();
    Decoder.Feed(Instrument.TakeOutput());
    std::vector<TSample> samples;
    while (const auto frame = Decoder.Next())
      if (const auto sample = ReadSample(*frame))
        samples.push_back(*sample);
    return samples;
  }
  std::optional<TIdentity> Identity() {
    TBytes bytes;
    AppendIdentify(bytes);
    Instrument.Receive(bytes);
    Decoder.Feed(Instrument.TakeOutput());
    while (const auto frame = Decoder.Next())
      if (const auto identity = ReadIdentity(*frame))
        return identity;
    return std::nullopt;
  }

  TSimulatedInstrument Instrument;
  std::vector<std::string> Log;
  TFrameDecoder Decoder;
};

TSimulatorOptions Head(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), {"sim", "--capabilities", "1", "--manoeuvre", "rhino", "--noise", "0"});
  const auto options = ParseSimulatorOptions(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()));
  if (!std::holds_alternative<TSimulatorOptions>(options)) {
    ADD_FAILURE() << std::get<std::string>(options);
    return {};
  }
  return std::get<TSimulatorOptions>(options);
}

// The largest inspiratory flow of a start in mL/s and the pressure it came
// with; all samples have flow and pressure of opposite signs.
struct TPeak {
  double flowMlps = 0.0;
  double pressurePa = 0.0;
};
TPeak PeakOfStart(THeadRig& rig, double mlpsPerCount) {
  TPeak peak;
  for (const TSample& s : rig.Samples(2400)) {
    const double flow = s.Value(ChannelFlow) * mlpsPerCount;
    const double pressure = s.Value(ChannelNasalPressure) * NasalPaPerCount;
    EXPECT_LE(flow * pressure, 0.0) << "flow " << flow << " at " << pressure << " Pa";
    if (flow > peak.flowMlps)
      peak = {flow, pressure};
  }
  return peak;
}

TEST(RhinoHead, EachStartMeasuresTheNextNoseOfTheList) {
  THeadRig rig(Head({"--rhino-flows", "400,350,700", "--lead-in", "0"}));
  // The deepest breath reaches 360 Pa: an orifice passes √(P/150) times its
  // flow at 150 Pa at a pressure P (1.549 at 360 Pa), within a count.
  for (const double at150 : {400.0, 350.0, 700.0, 700.0}) {
    rig.Start();
    const TPeak peak = PeakOfStart(rig, InstrumentProtocol::FlowMlpsPerCount);
    EXPECT_NEAR(peak.pressurePa, -360.0, 4.0);
    EXPECT_NEAR(peak.flowMlps, at150 * std::sqrt(-peak.pressurePa / 150.0), InstrumentProtocol::FlowMlpsPerCount) << "nose of " << at150;
  }
  EXPECT_EQ(std::count_if(rig.Log.begin(), rig.Log.end(), [](const std::string& line) { return line.starts_with("nose of 700"); }), 2);
}

// A plain spirometer's head started by its stream: the program's zero
// switches the stream on for 2.25 s and off again within the 3 s of rest,
// so it sees no breath and takes no nose; the start after it breathes the
// first nose of the list once its own rest is over.
TEST(RhinoHead, TheZeroSeesRestAndTakesNoNose) {
  THeadRig rig(Head({"--rhino-flows", "400,350", "--trigger", "stream"}));
  const auto stream = [&rig](bool on) {
    TBytes bytes;
    AppendStream(bytes, on);
    rig.Instrument.Receive(bytes);
  };
  for (const TSample& s : rig.Samples(225)) {
    EXPECT_EQ(s.Value(ChannelFlow), 0);
    EXPECT_EQ(s.Value(ChannelNasalPressure), 0);
  }
  stream(false);
  stream(true);
  const std::vector<TSample> rest = rig.Samples(300);
  EXPECT_TRUE(std::all_of(rest.begin(), rest.end(), [](const TSample& s) { return s.Value(ChannelFlow) == 0; }));
  const TPeak peak = PeakOfStart(rig, InstrumentProtocol::FlowMlpsPerCount);
  EXPECT_NEAR(peak.flowMlps, 400.0 * std::sqrt(-peak.pressurePa / 150.0), InstrumentProtocol::FlowMlpsPerCount);
  const auto nose = [](const std::string& line) { return line.starts_with("nose of"); };
  EXPECT_EQ(std::count_if(rig.Log.begin(), rig.Log.end(), nose), 1);
}

TEST(RhinoHead, TheFineFlowScaleIsAnnouncedAndSendsMoreCounts) {
  THeadRig normal(Head({}));
  THeadRig fine(Head({"--flow-scale", "fine", "--nasal-rohrer", "0.3"}));
  EXPECT_EQ(normal.Identity()->Capabilities, CapabilityRhinomanometer);
  EXPECT_EQ(fine.Identity()->Capabilities, CapabilityRhinomanometer | CapabilityFineFlowScale);
  normal.Start();
  fine.Start();
  // Rohrer's nose passes the same 400 mL/s at 150 Pa; on the fine scale a
  // count is 8.7890625 / 2.5048 = 3.5089 mL/s.
  const TPeak peak = PeakOfStart(fine, InstrumentProtocol::FlowMlpsPerCount / FineFlowCountsPerCount);
  EXPECT_NEAR(peak.pressurePa, -360.0, 1.0);
  // Rohrer at 360 Pa with k1 = 45/400 = 0.1125, k2 = 105/400² = 0.00065625:
  // V = (-0.1125 + √(0.01265625 + 0.945)) / 0.0013125 = 659.9 mL/s.
  EXPECT_NEAR(peak.flowMlps, 659.9, 4.0);
}

TEST(RhinoHead, ThePressureSensorAtRestReadsItsOffsetAndNoise) {
  THeadRig rig(Head({"--nasal-offset", "12.5", "--nasal-noise", "2", "--seed", "7"}));
  int low = 1000, high = -1000;
  for (const TSample& s : rig.Samples(300)) {
    low = std::min<int>(low, s.Value(ChannelNasalPressure));
    high = std::max<int>(high, s.Value(ChannelNasalPressure));
  }
  // 12.5 Pa is 12.8 counts, rounded to 13, and the noise 2 either way.
  EXPECT_EQ(low, 11);
  EXPECT_EQ(high, 15);
}

TEST(RhinoHead, BadOptionsAreRefused) {
  for (const std::vector<const char*>& bad : {std::vector<const char*>{"--rhino-flows", "400,,300"},
                                             {"--rhino-flows", "-3"},
                                             {"--nasal-rohrer", "1"},
                                             {"--flow-scale", "coarse"},
                                             {"--nasal-noise", "1.5"},
                                             {"--nasal-offset", "x"}}) {
    std::vector<const char*> arguments{"sim"};
    arguments.insert(arguments.end(), bad.begin(), bad.end());
    const auto options = ParseSimulatorOptions(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()));
    ASSERT_TRUE(std::holds_alternative<std::string>(options)) << bad[0] << " " << bad[1];
    EXPECT_TRUE(std::get<std::string>(options).starts_with(bad[0]));
  }
}

}  // namespace
