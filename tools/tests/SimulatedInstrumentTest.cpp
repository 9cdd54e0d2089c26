// The simulator's instrument in-process: what it answers, how it obeys the
// command words and what it measures.

#include "tools/lungsim/SimulatedInstrument.h"

#include "platform/portkit/plethysmography/BoxCalibration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace InstrumentProtocol;

namespace {

class TRig {
public:
  explicit TRig(TSimulatorOptions options)
      : Instrument(std::move(options), [this](const std::string& line) { Log.push_back(line); }) {}

  void Identify() { Host([](TBytes& out) { AppendIdentify(out); }); }
  void Stream(bool on) { Host([on](TBytes& out) { AppendStream(out, on); }); }
  void Word(std::uint16_t word) { Host([word](TBytes& out) { AppendControlWord(out, word); }); }
  void Byte(std::uint8_t value) { Host([value](TBytes& out) { AppendControlByte(out, value); }); }

  // Frames sent during `samples` sample periods.
  std::vector<TFrame> Run(int samples) {
    for (int i = 0; i < samples; ++i)
      Instrument.Tick();
    return Frames();
  }
  std::vector<TFrame> Frames() {
    Decoder.Feed(Instrument.TakeOutput());
    std::vector<TFrame> frames;
    while (const auto frame = Decoder.Next())
      frames.push_back(*frame);
    return frames;
  }
  std::vector<TSample> Samples(int samples) {
    std::vector<TSample> found;
    for (const TFrame& frame : Run(samples))
      if (const auto sample = ReadSample(frame))
        found.push_back(*sample);
    return found;
  }

  TSimulatedInstrument Instrument;
  std::vector<std::string> Log;
  TFrameDecoder Decoder;

private:
  template <class F>
  void Host(F append) {
    TBytes bytes;
    append(bytes);
    Instrument.Receive(bytes);
  }
};

TSimulatorOptions Quiet() {
  TSimulatorOptions options;
  options.NoiseCounts = 0;
  return options;
}

TEST(SimulatedInstrument, EachKindIntroducesItselfWithItsVersionAndChannels) {
  struct Case {
    const char* kind;
    std::uint16_t version;
    std::uint8_t channels;
  };
  for (const Case c : {Case{"spirometer", 0x00, ChannelFlow}, Case{"diffusion", 0x70, ChannelFlow | ChannelLinePressure | ChannelHelium | ChannelCarbonMonoxide},
                       Case{"plethysmograph", 0x11, ChannelFlow | ChannelMouthPressure | ChannelBoxPressure}}) {
    const char* argv[] = {"sim", "--instrument", c.kind};
    const auto options = ParseSimulatorOptions(3, const_cast<char**>(argv));
    ASSERT_TRUE(std::holds_alternative<TSimulatorOptions>(options)) << c.kind;
    TRig rig(std::get<TSimulatorOptions>(options));
    rig.Identify();
    const auto frames = rig.Frames();
    ASSERT_EQ(frames.size(), 1u);
    const auto identity = ReadIdentity(frames[0]);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->HardwareVersion, c.version) << c.kind;
    EXPECT_EQ(identity->Channels, c.channels) << c.kind;
    EXPECT_EQ(rig.Log, std::vector<std::string>{"identify"});
  }
}

TEST(SimulatedInstrument, BadCommandLinesAreRefusedWithTheReason) {
  const std::vector<std::vector<const char*>> bad{
      {"sim", "--fvc"}, {"sim", "--fvc", "x"}, {"sim", "--strokes", "-2"}, {"sim", "--manoeuvre", "swim"},
      {"sim", "--instrument", "toaster"}, {"sim", "--bogus", "1"}, {"sim", "--manoeuvre", "fvc", "--fev1", "4.6"},
      // The second blast's FEV1 above the FVC; an empty and a negative item.
      {"sim", "--manoeuvre", "fvc", "--fev1", "3.0,4.6"}, {"sim", "--fvc", "4,,3"}, {"sim", "--fev1", "3,-1"}};
  for (auto argv : bad) {
    const auto parsed = ParseSimulatorOptions(static_cast<int>(argv.size()), const_cast<char**>(argv.data()));
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << argv[1];
    EXPECT_FALSE(std::get<std::string>(parsed).empty());
  }
}

TEST(SimulatedInstrument, SamplesFlowOnlyWhileTheStreamIsOnNumberedFromZero) {
  TRig rig(Quiet());
  EXPECT_TRUE(rig.Samples(5).empty());
  rig.Stream(true);
  const auto samples = rig.Samples(300);
  ASSERT_EQ(samples.size(), 300u);
  for (std::size_t i = 0; i < samples.size(); ++i)
    ASSERT_EQ(samples[i].Sequence, static_cast<std::uint8_t>(i));
  rig.Stream(false);
  EXPECT_TRUE(rig.Samples(5).empty());
}

TEST(SimulatedInstrument, TheStartWordBeginsTheManoeuvreAndTheStopWordEndsIt) {
  TSimulatorOptions options = Quiet();
  options.Manoeuvre = "fvc";
  options.LeadInS = 0.5;
  TRig rig(options);
  rig.Stream(true);
  for (const TSample& s : rig.Samples(200))
    ASSERT_EQ(s.Value(ChannelFlow), 0) << "at rest until the start word";
  rig.Word(0xEF7F);
  double expired = 0.0;
  for (const TSample& s : rig.Samples(2000))
    if (s.Value(ChannelFlow) < 0)
      expired -= s.Value(ChannelFlow) * 8.7890625 * 0.01 / 1000.0;
  EXPECT_NEAR(expired, 4.5, 0.001) << "FVC of the default patient";
  EXPECT_EQ(rig.Log.back(), "manoeuvre fvc started");

  rig.Word(0xEF7F);  // a running word again starts nothing new
  rig.Word(0xAF7F);
  rig.Word(0xEF7F);
  EXPECT_EQ(std::count(rig.Log.begin(), rig.Log.end(), "manoeuvre fvc started"), 2);
}

// Each forced manoeuvre blown takes the next FVC and FEV1 of the lists, the
// last staying: the volume of the first second from the blast's first
// sample, and all of the expiration. A start stopped at rest takes none.
TEST(SimulatedInstrument, ForcedManoeuvresTakeTheListsOneValueAStart) {
  const char* argv[] = {"sim", "--manoeuvre", "fvc", "--trigger", "word", "--lead-in", "0.5", "--noise", "0",
                        "--fvc", "4.0", "--fev1", "3.0,2.4"};
  const auto parsed = ParseSimulatorOptions(13, const_cast<char**>(argv));
  ASSERT_TRUE(std::holds_alternative<TSimulatorOptions>(parsed)) << std::get<std::string>(parsed);
  TRig rig(std::get<TSimulatorOptions>(parsed));
  rig.Stream(true);
  rig.Word(0xEF7F);
  rig.Run(40);  // within the lead-in
  rig.Word(0xAF7F);
  for (const double fev1 : {3.0, 2.4, 2.4}) {
    rig.Word(0xEF7F);
    const auto samples = rig.Samples(2000);
    rig.Word(0xAF7F);
    const auto blast = std::find_if(samples.begin(), samples.end(),
                                    [](const TSample& s) { return s.Value(ChannelFlow) < 0; });
    ASSERT_GT(samples.end() - blast, 100);
    double firstSecondL = 0.0;
    double expiredL = 0.0;
    for (auto s = blast; s != samples.end() && s->Value(ChannelFlow) <= 0; ++s) {
      const double litres = -s->Value(ChannelFlow) * 8.7890625 * 0.01 / 1000.0;
      expiredL += litres;
      if (s - blast < 100)
        firstSecondL += litres;
    }
    EXPECT_NEAR(firstSecondL, fev1, 0.02);
    EXPECT_NEAR(expiredL, 4.0, 0.01);
  }
}

// The samples sent while the compressor was on, by the plain spirometer's
// output byte or the extended instrument's word bit, counted from the
// stream's start; each switching off reports the count so far.
TEST(SimulatedInstrument, TheSprayedSamplesAreCountedAndLogged) {
  TSimulatorOptions options = Quiet();
  options.Capabilities = CapabilityNebulizer;
  TRig rig(options);
  rig.Stream(true);
  rig.Run(10);
  rig.Byte(ByteOutputOn + OutputNebulizer);
  rig.Run(50);
  rig.Byte(OutputNebulizer);
  rig.Run(10);
  EXPECT_EQ(rig.Instrument.SprayedSamples(), 50);
  rig.Word(0xEF7F | BitNebulizer);
  rig.Run(30);
  rig.Word(0xEF7F);
  rig.Word(0xEF7F | BitNebulizer);
  rig.Run(5);
  rig.Stream(false);  // the nebulizer stops with the stream
  rig.Run(10);
  EXPECT_EQ(rig.Instrument.SprayedSamples(), 85);
  std::vector<std::string> sprayed;
  std::copy_if(rig.Log.begin(), rig.Log.end(), std::back_inserter(sprayed),
               [](const std::string& line) { return line.starts_with("sprayed"); });
  EXPECT_EQ(sprayed, (std::vector<std::string>{"sprayed 50 samples", "sprayed 80 samples", "sprayed 85 samples"}));
  rig.Stream(true);
  EXPECT_EQ(rig.Instrument.SprayedSamples(), 0);
}

TEST(SimulatedInstrument, AnAutozeroPulseTakesTheFlowOffsetAway) {
  TSimulatorOptions options = Quiet();
  options.OffsetCounts = 5;
  TRig rig(options);
  rig.Stream(true);
  EXPECT_EQ(rig.Samples(1)[0].Value(ChannelFlow), 5);
  rig.Word(0xEF7F & ~0x0040);
  rig.Word(0xEF7F);
  EXPECT_EQ(rig.Samples(1)[0].Value(ChannelFlow), 0);
}

TEST(SimulatedInstrument, TheSensorsAreSentWhileTheAnalogMultiplexerIsSwitchedToThem) {
  TSimulatorOptions options = Quiet();
  options.Sensors = {24.0, 1000.0, 40.0};
  TRig rig(options);
  rig.Stream(true);
  rig.Word(0xEB7F);
  const auto frames = rig.Run(2);
  ASSERT_EQ(frames.size(), 4u);
  const auto sensors = ReadSensors(frames[1]);
  ASSERT_TRUE(sensors);
  // The older scale: 0.01220703125 °C, 1250/4095 hPa and 0.0244140625 % a count.
  EXPECT_EQ(sensors->Temperature, std::lround(24.0 / 0.01220703125));
  EXPECT_EQ(sensors->Pressure, std::lround(1000.0 / (1250.0 / 4095.0)));
  EXPECT_EQ(sensors->Humidity, std::lround(40.0 / 0.0244140625));
  rig.Word(0xEF7F);
  EXPECT_EQ(rig.Run(2).size(), 2u);
}

// The diffusion breath driven by the window's words: the hold lasts from
// 0xEF6E to 0xEF6F, and the analysis of the expired sample approaches the
// alveolar gas so that the window's extrapolation from three points finds it.
TEST(SimulatedInstrument, TheDiffusionBreathHoldsAsLongAsTheWindowSays) {
  TSimulatorOptions options = Quiet();
  options.Kind = "diffusion";
  options.HardwareVersion = 0x70;
  options.Manoeuvre = "dfc";
  options.LeadInS = 0.0;
  TRig rig(options);
  rig.Stream(true);
  rig.Word(0xEF7F & ~BitAutoZero);  // zeroes the analyser
  rig.Word(0xEF7F);
  rig.Word(0xE85E);  // the wash-out, then the patient comes with the sampling word
  rig.Word(0xEF6F);
  const auto inspiration = LungModel::DiffusionInspiration(options.Patient);
  rig.Run(static_cast<int>(inspiration.size()));
  rig.Word(0xEF6E);  // breath hold
  rig.Run(800);
  rig.Word(0xEF6F);  // sampling
  rig.Run(1);
  EXPECT_NE(std::find(rig.Log.begin(), rig.Log.end(), "breath hold ended after 8.000000 s"), rig.Log.end());
  rig.Run(1500);
  rig.Word(0xEE4F);  // gas analysis
  const auto samples = rig.Samples(8000);
  ASSERT_EQ(samples.size(), 8000u);
  // CO extrapolated from samples 2666, 5332, 7998: x3 + (x3 - x2)^2 / (2 x2 - x3 - x1).
  const auto co = [&](std::size_t i) { return samples[i].Unsigned(ChannelCarbonMonoxide) * 0.00024414; };
  const double x1 = co(2666), x2 = co(5332), x3 = co(7998);
  const double extrapolated = x3 + (x3 - x2) * (x3 - x2) / (2 * x2 - x3 - x1);
  // By hand (the uptake time as in LungModelTest): 1.26853 s of the
  // inspiration, the 8-s hold and 2 s of the expiration, 11.26853 s at
  // 3.68232 /min: 0.3 % × (4.3 − 0.33) / 5.6 × e^(−0.69157) = 0.21268 % ×
  // 0.50078 = 0.10651 % in the lungs, read through the absorber that left
  // 0.95 of the expirate: 0.10651 / 0.95 = 0.11212 %.
  EXPECT_NEAR(extrapolated, 0.11212, 0.11212 * 0.01);
  // He: 4.8 % × 3.97 / 5.6 = 3.40286 %, through the absorber 3.58196 %,
  // which the newer helium board counts as 106 %: 3.79688 % at its scale,
  // reached within a count at the end.
  EXPECT_NEAR(samples.back().Unsigned(ChannelHelium) * 0.002441406, 3.79688, 0.0025);
}

// The model's lungs take the test gas in at body conditions; the flow sensor
// meets it dry at the room's temperature and pressure, before it is warmed
// and moistened. Room air and the expiration pass as the model breathes
// them, and so does a syringe's stroke through the gas path.
TEST(SimulatedInstrument, TheTestGasPassesTheSensorDryAtTheRoomsConditions) {
  TSimulatorOptions options = Quiet();
  options.Kind = "diffusion";
  options.HardwareVersion = 0x70;
  options.Manoeuvre = "dfc";
  options.LeadInS = 0.0;
  options.Sensors = {20.0, 1000.0, 50.0};
  TRig rig(options);
  rig.Stream(true);
  rig.Word(0xEF7F & ~BitAutoZero);
  rig.Word(0xEF7F);
  rig.Word(0xE85E);
  rig.Word(0xEF6F);  // the patient comes to the mouthpiece
  const auto litres = [](const std::vector<TSample>& samples, bool inspired) {
    double sum = 0.0;
    for (const TSample& s : samples)
      if ((s.Value(ChannelFlow) > 0) == inspired)
        sum += s.Value(ChannelFlow) * 8.7890625e-5;  // mL/s a count, 10 ms a sample
    return sum;
  };
  const LungModel::TPatient& p = options.Patient;
  const auto quiet = rig.Samples(6 * 400 + 300);  // six quiet breaths and the ERV
  EXPECT_NEAR(litres(quiet, true), 6 * p.TidalL, 0.001) << "room air as the model breathes it";
  EXPECT_NEAR(litres(quiet, false), -(6 * p.TidalL + p.ErvL), 0.001);
  rig.Word(0xEF62);  // the valve to the test gas
  const auto gas = rig.Samples(200);
  // By hand: 4.3 L at 37 degC saturated (47 mmHg = 62.66 hPa) is, dry at
  // 20 degC and 1000 hPa, 4.3 x (1000 - 62.66) / 1000 x 293.15 / 310.15
  // = 4.3 x 0.93734 x 0.94519 = 3.8096 L.
  EXPECT_NEAR(litres(gas, true), 3.8096, 0.0005);
  rig.Word(0xEF6E);
  rig.Run(1000);
  rig.Word(0xEF6F);
  EXPECT_NEAR(litres(rig.Samples(400), false), -(p.ErvL + p.TidalL + p.IrvL), 0.001) << "the expiration";

  TSimulatorOptions syringe = Quiet();
  syringe.Kind = "diffusion";
  syringe.Manoeuvre = "syringe";
  syringe.StartOnStream = true;
  syringe.LeadInS = 0.0;
  TRig stroke(syringe);
  stroke.Word(0xEF62);
  stroke.Stream(true);
  EXPECT_NEAR(litres(stroke.Samples(150), true), syringe.Patient.SyringeL, 0.001) << "the syringe's own volume";
}

// The program reads a diffusion unit's zero with the running word 0xEF7F:
// the patient rests through it, and comes to the mouthpiece only after the
// gas path's wash-out, with the sampling word.
TEST(SimulatedInstrument, TheDiffusionPatientRestsThroughTheZeroAndComesAfterTheWashOut) {
  TSimulatorOptions options = Quiet();
  options.Kind = "diffusion";
  options.HardwareVersion = 0x70;
  options.Manoeuvre = "dfc";
  TRig rig(options);
  rig.Stream(true);
  rig.Word(0xEF7F & ~BitAutoZero);
  rig.Word(0xEF7F);
  for (const auto& sample : rig.Samples(500))
    ASSERT_EQ(sample.Value(ChannelFlow), 0) << "5 s of the zero at rest";
  EXPECT_EQ(std::find(rig.Log.begin(), rig.Log.end(), "manoeuvre dfc started"), rig.Log.end());
  rig.Word(0xE85E);
  rig.Word(0xEA4F);
  rig.Word(0xEF6F);
  EXPECT_NE(std::find(rig.Log.begin(), rig.Log.end(), "manoeuvre dfc started"), rig.Log.end());
  const auto breathing = rig.Samples(static_cast<int>(LungModel::DiffusionInspiration(options.Patient).size()));
  EXPECT_TRUE(std::any_of(breathing.begin(), breathing.end(), [](const auto& s) { return s.Value(ChannelFlow) != 0; }));
}

TEST(SimulatedInstrument, TheLinePumpsFillTheLineTheValvesChoose) {
  TSimulatorOptions options = Quiet();
  options.Kind = "diffusion";
  TRig rig(options);
  rig.Stream(true);
  rig.Word(0xEB78);  // Fleisch line pump
  const auto pumped = rig.Samples(50);
  EXPECT_NEAR(pumped.back().Value(ChannelLinePressure), 750, 1) << "1500 Pa/s for half a second";
  rig.Word(0xEB5A);  // hold and measure
  const auto held = rig.Samples(1500);
  const double loss = 1.0 - held.back().Value(ChannelLinePressure) / 750.0;
  EXPECT_NEAR(loss, 1.0 - std::exp(-15.0 / 300.0), 0.002) << "a slow leak over 15 s";
  rig.Word(0xEB6B);  // the balloon line is still empty
  EXPECT_EQ(rig.Samples(1)[0].Value(ChannelLinePressure), 0);
}

TEST(SimulatedInstrument, AShutterSeriesClosesTenSamplesOfEveryForty) {
  TSimulatorOptions options = Quiet();
  options.Capabilities = CapabilityShutter;
  options.Manoeuvre = "vc";
  options.LeadInS = 0.0;
  TRig rig(options);
  rig.Stream(true);
  rig.Word(0xEF7F);
  EXPECT_EQ(rig.Samples(1)[0].Value(ChannelMouthPressure), ShutterOpenMark) << "no series yet";
  rig.Byte(ByteShutterSeriesOn);
  const auto samples = rig.Samples(400);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const bool closed = i % 40 >= 30;
    ASSERT_EQ(samples[i].Value(ChannelMouthPressure) == ShutterOpenMark, !closed) << i;
    if (i % 40 == 30) {
      ASSERT_NEAR(samples[i].Value(ChannelFlow), samples[i - 1].Value(ChannelFlow), 1) << i << ": the flow before";
      ASSERT_EQ(samples[i].Value(ChannelMouthPressure), 0) << i << ": no pressure yet";
    } else if (closed) {
      ASSERT_EQ(samples[i].Value(ChannelFlow), 0) << i;
    }
  }
  rig.Byte(ByteShutterSeriesOff);
  EXPECT_EQ(rig.Samples(40)[35].Value(ChannelMouthPressure), ShutterOpenMark) << "open again";
  EXPECT_EQ(std::count(rig.Log.begin(), rig.Log.end(), "shutter series on"), 1);
  EXPECT_EQ(std::count(rig.Log.begin(), rig.Log.end(), "shutter series off"), 1);
}

// Quiet breathing goes on breath after breath: 0.5 L in 1.6 s and out in
// 2.4 s, at 15 breaths a minute.
TEST(SimulatedInstrument, TidalBreathingGoesOnUntilTheStreamEnds) {
  TSimulatorOptions options = Quiet();
  options.Manoeuvre = "tidal";
  options.StartOnStream = true;
  options.LeadInS = 0.0;
  options.Patient.TidalL = 0.5;
  options.Patient.BreathS = 4.0;
  TRig rig(options);
  rig.Stream(true);
  const auto samples = rig.Samples(6000);  // 60 s: 15 breaths
  ASSERT_EQ(samples.size(), 6000u);
  double volumeL = 0.0;
  double highestL = 0.0;
  int reversals = 0;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double flowLps = samples[i].Value(ChannelFlow) * 8.7890625 / 1000.0;
    volumeL += flowLps * 0.01;
    highestL = std::max(highestL, volumeL);
    if (i > 0 && (samples[i - 1].Value(ChannelFlow) > 0) != (samples[i].Value(ChannelFlow) > 0))
      ++reversals;
  }
  EXPECT_NEAR(highestL, 0.5, 0.01);
  EXPECT_NEAR(volumeL, 0.0, 0.01) << "every breath returns to the resting level";
  EXPECT_NEAR(reversals, 30, 1) << "two reversals a breath";
}

TEST(SimulatedInstrument, LineFaultsAndInstrumentFaultsCanBeScripted) {
  TSimulatorOptions options = Quiet();
  options.GarbageEvery = 10;
  options.CorruptEvery = 25;
  options.FaultAfterSamples = 90;
  TRig rig(options);
  rig.Stream(true);
  int samples = 0, faults = 0;
  for (const TFrame& frame : rig.Run(105)) {
    samples += frame.Type == TFrameType::Sample;
    faults += frame.Type == TFrameType::Fault;
  }
  EXPECT_EQ(samples, 101) << "four frames damaged";
  EXPECT_EQ(faults, 1);
  EXPECT_EQ(rig.Decoder.RejectedFrames(), 10u + 4u) << "a false start in each noise burst, and the damaged frames";
}

}  // namespace

namespace {

TSimulatorOptions Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "sim");
  const auto options = ParseSimulatorOptions(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()));
  EXPECT_TRUE(std::holds_alternative<TSimulatorOptions>(options));
  return std::holds_alternative<TSimulatorOptions>(options) ? std::get<TSimulatorOptions>(options) : Quiet();
}

// The volume the sensor reports for each stroke of a syringe, in litres.
std::vector<double> StrokeVolumes(TRig& rig, int samples) {
  std::vector<double> strokes;
  double volume = 0.0;
  int sign = 0;
  for (const TSample& sample : rig.Samples(samples)) {
    const int count = sample.Value(ChannelFlow);
    const int now = count > 0 ? 1 : count < 0 ? -1 : 0;
    if (now != 0 && now != sign) {
      if (sign != 0)
        strokes.push_back(volume);
      volume = 0.0;
      sign = now;
    }
    volume += count * 8.7890625 * 0.01 / 1000.0;
  }
  if (sign != 0)
    strokes.push_back(volume);
  return strokes;
}

TEST(SimulatedInstrument, TheFlowSensorsGainsAndNonlinearityAtThreeStrokeSpeeds) {
  // A 3-L stroke of T seconds along half a cosine has the flow
  // (3 pi / 2T) sin(pi t / T); a gain growing by k per L/s reads it as
  // 3 + k * integral of flow squared = 3 + k * 9 pi^2 / (8 T) litres:
  // k = 0.02 adds 0.1110 L at 2 s, 0.2221 L at 1 s, 0.4441 L at 0.5 s.
  TRig linear(Parse({"--manoeuvre", "syringe", "--trigger", "stream", "--lead-in", "0", "--noise", "0", "--strokes",
                     "6", "--stroke-times", "2,1,0.5", "--inspiration-gain", "0.95", "--expiration-gain", "1.04"}));
  linear.Stream(true);
  const std::vector<double> gained = StrokeVolumes(linear, 1000);
  ASSERT_EQ(gained.size(), 6u);
  for (std::size_t k = 0; k < 6; ++k)
    EXPECT_NEAR(std::abs(gained[k]), k % 2 == 0 ? 2.85 : 3.12, 0.001) << "stroke " << k;

  TRig bent(Parse({"--manoeuvre", "syringe", "--trigger", "stream", "--lead-in", "0", "--noise", "0", "--strokes",
                   "6", "--stroke-times", "2,1,0.5", "--nonlinearity", "0.02"}));
  bent.Stream(true);
  const std::vector<double> read = StrokeVolumes(bent, 1000);
  ASSERT_EQ(read.size(), 6u);
  const double extra[] = {0.1110, 0.2221, 0.4441};
  for (std::size_t k = 0; k < 6; ++k)
    EXPECT_NEAR(std::abs(read[k]), 3.0 + extra[k / 2], 0.002) << "stroke " << k;
}

TEST(SimulatedInstrument, ALeakyLineAndAStuckPump) {
  struct Case {
    std::vector<const char*> arguments;
    double reachedPa;  // after 80 samples of pumping at 15 Pa each
    double keptShare;  // of the pressure after the 15-s hold
  };
  const Case cases[] = {{{"--instrument", "diffusion", "--line-leak", "30"}, 1200.0, 0.70},
                        {{"--instrument", "diffusion"}, 1200.0, 0.951},
                        {{"--instrument", "diffusion", "--stuck-pump"}, 0.0, 0.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.size());
    TRig rig(Parse(c.arguments));
    rig.Stream(true);
    rig.Word(0xEB78);  // the Fleisch line's pump
    const std::vector<TSample> pumped = rig.Samples(80);
    const double reached = pumped.back().Value(ChannelLinePressure);
    rig.Word(0xEB5E);  // closed
    const std::vector<TSample> held = rig.Samples(1500);
    const double end = held.back().Value(ChannelLinePressure);
    // 80 samples of pumping less the leak meanwhile, to the count.
    EXPECT_NEAR(reached, c.reachedPa, c.reachedPa * 0.015 + 0.5);
    if (c.reachedPa > 0.0)
      EXPECT_NEAR(end / reached, c.keptShare, 0.002);
    else
      EXPECT_EQ(end, 0.0);
  }
}

TEST(SimulatedInstrument, TheBagFillsAtHighSpeedAndIsDrawnDownAtLowSpeed) {
  struct Case {
    std::vector<const char*> arguments;
    double lowSpeedPa;  // what the bag settles to while the slow pump draws it
  };
  // The bag approaches each phase's pressure with a time constant of 1.5 s:
  // after 10 s it is within 0.13 % of it.
  const Case cases[] = {{{"--instrument", "diffusion"}, 1200.0}, {{"--instrument", "diffusion", "--bag-stuck"}, 800.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.size());
    TRig rig(Parse(c.arguments));
    rig.Stream(true);
    rig.Word(0xE85E);  // high speed: the bag fills
    EXPECT_NEAR(rig.Samples(1000).back().Value(ChannelLinePressure), 600.0, 600.0 * 0.005);
    rig.Word(0xEA4F);  // low speed: the bag is emptied
    EXPECT_NEAR(rig.Samples(1000).back().Value(ChannelLinePressure), c.lowSpeedPa, c.lowSpeedPa * 0.005);
  }
}

// The program's own sequence on a plain spirometer: the zero switches the
// stream on for 225 samples and off, the start switches it on again and
// sends no word. With nothing but --manoeuvre fvc the zero sees rest and
// the blast comes after the start.
TEST(SimulatedInstrument, APlainSpirometerRestsThroughTheZeroAndBlowsAfterTheStart) {
  TRig rig(Parse({"--manoeuvre", "fvc", "--noise", "0"}));
  const auto flows = [&rig](int samples) {
    std::vector<int> counts;
    for (const TSample& sample : rig.Samples(samples))
      counts.push_back(sample.Value(ChannelFlow));
    return counts;
  };
  rig.Stream(true);
  const std::vector<int> zero = flows(225);
  EXPECT_EQ(std::count(zero.begin(), zero.end(), 0), 225) << "the zero saw a breath";
  rig.Stream(false);
  rig.Stream(true);
  // 3 s of rest; the model's manoeuvre then breathes in for 2.5 s and
  // blows with the default PEF of 9 L/s, -1024 counts of 8.7890625 mL/s;
  // sampled every 10 ms, the peak may fall up to 1 % between two samples.
  const std::vector<int> rest = flows(300);
  EXPECT_EQ(std::count(rest.begin(), rest.end(), 0), 300);
  const std::vector<int> blast = flows(400);
  EXPECT_NEAR(*std::min_element(blast.begin(), blast.end()), -1024, 10.24);
  EXPECT_EQ(rig.Log, (std::vector<std::string>{"stream on", "manoeuvre fvc started", "stream off", "stream on",
                                               "manoeuvre fvc started"}));
}

TEST(SimulatedInstrument, TheTriggerFollowsTheInstrumentVersionUnlessGiven) {
  struct Case {
    std::vector<const char*> arguments;
    bool onStream;
    double leadInS;
  };
  const Case cases[] = {{{"--manoeuvre", "fvc"}, true, 3.0},
                        {{"--manoeuvre", "fvc", "--lead-in", "0.5"}, true, 0.5},
                        {{"--manoeuvre", "fvc", "--trigger", "word"}, false, 1.0},
                        {{"--manoeuvre", "fvc", "--version", "0x70"}, false, 1.0},
                        {{"--instrument", "diffusion", "--manoeuvre", "dfc"}, false, 1.0},
                        {{"--instrument", "plethysmograph"}, false, 1.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    const TSimulatorOptions options = Parse(c.arguments);
    EXPECT_EQ(options.StartOnStream, c.onStream);
    EXPECT_DOUBLE_EQ(options.LeadInS, c.leadInS);
  }
}

TEST(SimulatedInstrument, SensorOptionsOutOfRangeAreRefused) {
  for (const std::vector<const char*>& arguments :
       {std::vector<const char*>{"sim", "--inspiration-gain", "0"}, {"sim", "--line-leak", "100"},
        {"sim", "--stroke-times", "1,,2"}, {"sim", "--stroke-times", "-1"}, {"sim", "--lead-in", "-1"}}) {
    const auto options =
        ParseSimulatorOptions(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()));
    EXPECT_TRUE(std::holds_alternative<std::string>(options)) << arguments[1] << " " << arguments[2];
  }
}

// The body box: what the plethysmograph's head does with the words.
TSimulatorOptions Box() {
  TSimulatorOptions options = Quiet();
  options.Kind = "plethysmograph";
  options.Manoeuvre = "plethysmograph";
  return options;
}

double BoxPa(const TSample& s) { return s.Value(ChannelBoxPressure) * BoxPaPerCount; }
double MouthPa(const TSample& s) { return s.Value(ChannelMouthPressure) * PlethysmographMouthPaPerCount; }

TEST(SimulatedBox, TheShutterClosesAndOpensByTheWord) {
  TRig rig(Box());
  rig.Stream(true);
  rig.Word(0xEF7D);  // start: the patient breathes through the open shutter
  int breathing = 0;
  for (const TSample& s : rig.Samples(400)) {
    breathing += s.Value(ChannelFlow) != 0;
    ASSERT_EQ(s.Value(ChannelMouthPressure), 0);
  }
  EXPECT_GT(breathing, 350);
  rig.Word(0xEF7C);  // 0x1000 and 0x0001 clear: closed
  double highest = 0.0;
  for (const TSample& s : rig.Samples(200)) {
    ASSERT_EQ(s.Value(ChannelFlow), 0);
    highest = std::max(highest, MouthPa(s));
    if (MouthPa(s) > 500.0) {
      EXPECT_LT(BoxPa(s), 0.0) << "the compressed chest leaves the box more room";
    }
  }
  EXPECT_NEAR(highest, 1000.0, 3.0);  // 1 kPa panting, counts of 2.93 Pa
  rig.Word(0xEF7D);  // open: out to RV
  double expired = 0.0;
  for (const TSample& s : rig.Samples(300))
    expired -= s.Value(ChannelFlow) * InstrumentProtocol::FlowMlpsPerCount / 100000.0;
  EXPECT_GT(expired, 1.5);  // from about FRC (3.2 L) to RV (1.6 L)
  EXPECT_EQ(std::count(rig.Log.begin(), rig.Log.end(), "shutter closed"), 1);
}

TEST(SimulatedBox, ZeroSamplesReadNothing) {
  TRig rig(Box());
  rig.Stream(true);
  rig.Word(0xEF7D);
  rig.Samples(50);
  rig.Word(0xEF79);  // 0x0004 clear
  for (const TSample& s : rig.Samples(100)) {
    ASSERT_EQ(s.Value(ChannelFlow), 0);
    ASSERT_EQ(s.Value(ChannelBoxPressure), 0);
  }
}

TEST(SimulatedBox, LeakAndPressureCalibrationPumps) {
  TSimulatorOptions options = Box();
  options.Manoeuvre = "rest";
  options.Box.Box.LeakTauS = 6.0;
  options.Box.Box.BoxFactor = 1.1;
  TRig rig(options);
  rig.Stream(true);
  // Pump position 0 with the box-test bit, then the leak test's word.
  for (const std::uint16_t word : {0x0010, 0xEE6D, 0xEF6D})
    rig.Word(word);
  std::vector<TSample> samples = rig.Samples(1600);
  ASSERT_EQ(samples.size(), 1600u);
  for (std::size_t i = 0; i < 100; ++i)
    ASSERT_EQ(samples[i].Status, StatusPumpMoving) << i;
  std::vector<float> leak;
  for (std::size_t i = 100; i < samples.size(); ++i) {
    ASSERT_EQ(samples[i].Status, 0);
    leak.push_back(static_cast<float>(BoxPa(samples[i])));
  }
  leak.resize(1500);
  EXPECT_NEAR(plethysmography::LeakTimeConstantS(leak, 3), 6.0, 0.06);

  // Pump position 1: settles (status 0x02), then swings the empty box by
  // 1.1 × 100 × 1013 hPa × 0.15 L / 960 L = 1.1 × 15.828 Pa.
  rig.Word(0xED6D);
  samples = rig.Samples(1600);
  for (std::size_t i = 0; i < 100; ++i)
    ASSERT_EQ(samples[i].Status, StatusCalibrationPumpIdle) << i;
  std::vector<float> swing;
  for (std::size_t i = 100; i < samples.size(); ++i)
    swing.push_back(static_cast<float>(8.0 - BoxPa(samples[i])));
  const auto calibration = plethysmography::CalibrateBoxPressure(swing, 1013.0, 0.15, 960.0);
  ASSERT_TRUE(calibration);
  EXPECT_NEAR(calibration->expectedPa, 15.828, 0.001);
  EXPECT_NEAR(calibration->factor, 1.1, 0.011);
}

TEST(SimulatedBox, AStuckPumpHoldsItsStatus) {
  TSimulatorOptions options = Box();
  options.Manoeuvre = "rest";
  options.StuckPump = true;
  TRig rig(options);
  rig.Stream(true);
  rig.Word(0xED6D);
  for (const TSample& s : rig.Samples(6100))
    ASSERT_EQ(s.Status, StatusCalibrationPumpIdle);
}

TEST(SimulatedBox, TheDoorOpensAndClosesAtItsTimes) {
  TSimulatorOptions options = Box();
  options.Box.DoorOpenAtS = 2.0;
  options.Box.DoorCloseAtS = 5.0;
  TRig rig(options);
  rig.Stream(true);
  const std::vector<TSample> samples = rig.Samples(600);
  for (std::size_t i = 0; i < samples.size(); ++i)
    ASSERT_EQ((samples[i].Status & StatusDoorOpen) != 0, i >= 200 && i < 500) << i;
}

}  // namespace
