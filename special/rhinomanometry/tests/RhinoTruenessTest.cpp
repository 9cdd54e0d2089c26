// The flow at 150 Pa of the simulated nose through the whole chain: the
// instrument's counts with noise, the recording from the turn to
// expiration, the phases, the averaged curve and the read-off. Trueness
// and precision in the manner of ISO 5725: the bias of the mean over ten
// noise seeds and the repeatability standard deviation.

#include "special/rhinomanometry/RhinoRecorder.h"

#include "common/MeasureMode.h"
#include "platform/portkit/rhinomanometry/Evaluation.h"
#include "tools/lungsim/SimulatedInstrument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

using namespace InstrumentProtocol;

namespace {

struct TNoseCase {
  const char* name;
  double flowAt150;
  double laminarShare;
  bool fineScale;
};

// One recording of the simulated nose, evaluated with every sample.
float FlowAt150(const TNoseCase& nose, unsigned seed) {
  TSimulatorOptions options;
  options.Capabilities = CapabilityRhinomanometer;
  options.Manoeuvre = "rhino";
  options.LeadInS = 0.0;
  options.NoiseCounts = 1;  // the simulator's default: 8.8 mL/s either way
  options.Seed = seed;
  options.Rhino.FlowsAt150PaMlps = {nose.flowAt150};
  options.Rhino.LaminarShare = nose.laminarShare;
  options.Rhino.FineFlowScale = nose.fineScale;
  options.Rhino.NasalNoiseCounts = 2;
  TSimulatedInstrument instrument(options, [](const std::string&) {});
  TBytes host;
  AppendStream(host, true);
  AppendControlWord(host, WordIdle);
  instrument.Receive(host);

  TMeasureData data(MEASURE_RHINO, nullptr);
  data.ClearPhaseTable();
  std::vector<float> flow(TMeasureData::CurveBufferSamples), pressure(TMeasureData::CurveBufferSamples);
  bool flagBegin = false, breathIn = false;
  TRhinoCorrection correction;
  correction.FineFlowScale = nose.fineScale;
  std::size_t index = 0;
  TFrameDecoder decoder;
  for (int tick = 0; tick < 2400; ++tick) {
    instrument.Tick();
    decoder.Feed(instrument.TakeOutput());
    while (const auto frame = decoder.Next()) {
      const auto sample = ReadSample(*frame);
      if (!sample)
        continue;
      const long raw = static_cast<long>(
          (static_cast<unsigned long>(static_cast<std::uint16_t>(sample->Value(ChannelNasalPressure))) << 16) |
          static_cast<std::uint16_t>(sample->Value(ChannelFlow)));
      // The link's index advances once the recording has begun.
      if (TakeRhinoSample(index, raw, correction, {flow, pressure, {}}, {flagBegin, breathIn}, data))
        ++index;
    }
  }
  rhinomanometry::RhinoCurve curve{flow, pressure, index};
  RHINO_PARAMS params;
  const std::span<const TPhaseEntry> phases(data.PhaseTable.data(), static_cast<std::size_t>(data.PhaseTableIndex) + 1);
  EXPECT_TRUE(rhinomanometry::EvaluateRecording(curve, rhinomanometry::CycleAlgorithm::WholeRecording, phases, params,
                                                rhinomanometry::LeftNostril, false));
  return params.Flows[3][rhinomanometry::LeftNostril];
}

TEST(RhinoTrueness, FlowAt150PaOverTenNoiseSeeds) {
  for (const TNoseCase& nose : {TNoseCase{"orifice", 400.0, 0.0, false}, TNoseCase{"Rohrer", 350.0, 0.3, false},
                                TNoseCase{"fine scale", 250.0, 0.0, true}}) {
    SCOPED_TRACE(nose.name);
    std::vector<double> flows;
    for (unsigned seed = 1; seed <= 10; ++seed)
      flows.push_back(FlowAt150(nose, seed));
    const double mean = std::accumulate(flows.begin(), flows.end(), 0.0) / static_cast<double>(flows.size());
    double squares = 0.0;
    for (const double f : flows)
      squares += (f - mean) * (f - mean);
    const double sd = std::sqrt(squares / static_cast<double>(flows.size() - 1));
    EXPECT_LT(std::abs(mean - nose.flowAt150), 0.02 * nose.flowAt150) << "bias, mean " << mean;
    EXPECT_LT(sd, 0.01 * nose.flowAt150) << "repeatability SD";
    std::printf("[ trueness ] %s: true %.1f mL/s, mean %.2f (bias %+.2f %%), SD %.2f (%.2f %%)\n", nose.name,
                nose.flowAt150, mean, 100.0 * (mean / nose.flowAt150 - 1.0), sd, 100.0 * sd / nose.flowAt150);
  }
}

}  // namespace
