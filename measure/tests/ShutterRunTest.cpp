// The shutter test on the core, with the simulated shutter head played in
// process by the simulator rig: quiet breathing, the operator's CM_SHUTTER
// after five breaths, the series switched on once, one point per closure,
// the final curve and its resistance against the model's, the series off
// at the stop. The model's resistance at 0.5 L/s is worked by hand from
// Rohrer's relation P = K1 V' + K2 V'|V'|.

#include "measure/tests/SimulatedCoreFixture.h"

#include "common/CommandNumbers.h"
#include "platform/framework/BinaryStream.h"
#include "testing/TemporaryFolder.h"

#include <cmath>
#include <cstdio>
#include <numeric>

namespace {

class ShutterRun : public SimulatedCoreTest {
protected:
  ShutterRun() : SimulatedCoreTest(MEASURE_SHUTTER) {
    Core.SetIniFile("");
    Core.CalibrationInterval = 0;
    Core.InstrumentType = 0;
    Core.BreathingRate = 15;
  }

  // Quiet breathing of 1 L every 4 s (1.6 s in, 2.4 s out: peak flows
  // pi/2 x 1/1.6 = 0.98 L/s and pi/2 x 1/2.4 = 0.65 L/s) through K1, K2;
  // the patient pushes on against the closed shutter by 0.3 kPa/s.
  static TSimulatorOptions Patient(double k1, double k2, unsigned seed = 1) {
    TSimulatorOptions options;
    options.Capabilities = InstrumentProtocol::CapabilityShutter;
    options.Manoeuvre = "tidal";
    options.StartOnStream = true;
    options.LeadInS = 0.5;
    options.Seed = seed;
    options.Patient.TidalL = 1.0;
    options.Patient.ShutterRiseKpaS = 0.3;
    options.Patient.BreathS = 4.0;
    options.Patient.RawKpaSpL = k1;
    options.Patient.RohrerKpaS2pL2 = k2;
    return options;
  }

  bool Enabled(unsigned id) {
    TCommandEnabler enabler(id);
    Core.CommandEnable(enabler);
    return enabler.GetEnabled();
  }

  void Start() {
    Core.DispatchCommand(CM_START);
    ASSERT_EQ(Core.StartId, CM_START);
  }

  // Breathes `seconds`, the operator arming the series after five breaths,
  // then stops.
  void Run(double seconds) {
    Start();
    Rig.Play(2050);  // the lead-in and five breaths
    ASSERT_TRUE(TMeasureInterrupt::FlagBegin);
    Core.DispatchCommand(CM_SHUTTER);
    Rig.Play(static_cast<long>(seconds * 100.0));
    Core.DispatchCommand(CM_STOP);
  }

  float Raw() const { return Core.AktParams[MEASURE_SHUTTER][0][0]; }
};

TEST_F(ShutterRun, TheOperatorArmsTheSeriesAndTheResistanceComesBack) {
  Attach(Patient(0.1, 0.05));
  Start();
  EXPECT_FALSE(Enabled(CM_SHUTTER)) << "not before the breathing has gone on for a while";
  Rig.Play(2050);
  ASSERT_TRUE(TMeasureInterrupt::FlagBegin);
  EXPECT_TRUE(Enabled(CM_SHUTTER)) << "five breaths in";
  Core.DispatchCommand(CM_SHUTTER);
  EXPECT_FALSE(Enabled(CM_SHUTTER)) << "armed once";
  Rig.Play(20 * 40 + 5);  // twenty closures
  EXPECT_EQ(Rig.CountLogged("shutter series on"), 1);
  EXPECT_EQ(Core.Shutter.Fitted.size(), 20u) << "one point per closure";
  EXPECT_FALSE(Rig.Logged("shutter series off"));
  Core.DispatchCommand(CM_STOP);
  Rig.Step();  // the instrument reads what the stop sent
  EXPECT_EQ(Rig.CountLogged("shutter series off"), 1);

  // K1 0.1, K2 0.05: |P(±0.5)| = 0.05 + 0.0125 = 0.0625 kPa, Raw = 0.125.
  EXPECT_NEAR(Raw(), 0.125f, 0.0125f);
  EXPECT_NEAR(Core.AktParams[MEASURE_SHUTTER][0][3], 1.0f / Raw(), 1e-3f) << "Gaw";
  // 1.6 s in, 2.4 s out: the three half-breaths before the newest reversal
  // are 1.6, 2.4, 1.6 s (30 / 1.867 = 16.07) or 2.4, 1.6, 2.4 s
  // (30 / 2.133 = 14.06), by the phase the test stops in.
  const float rate = Core.AktParams[MEASURE_SHUTTER][0][4];
  EXPECT_TRUE(rate == 16.0f || rate == 14.0f) << rate;
  EXPECT_GT(Core.SampleCount[MEASURE_SHUTTER][0], 2) << "the final curve";
  EXPECT_TRUE(Core.Shutter.FlowPoints.empty()) << "the raw points are freed";
  EXPECT_EQ(Core.TrialOrder[0], 1);
  EXPECT_TRUE(Core.HasUnsavedResults()) << "a new result to save, and to ask about before closing";

  // The next test waits for the operator again.
  Core.DispatchCommand(CM_START2);
  ASSERT_EQ(Core.StartId, CM_START2);
  Rig.Play(300);
  EXPECT_EQ(Rig.CountLogged("shutter series on"), 1) << "not switched on by the last test's arming";
  Core.DispatchCommand(CM_STOP);
}

TEST_F(ShutterRun, AStopWithoutAClosureLeavesNoCurve) {
  Attach(Patient(0.2, 0.0));
  Start();
  Rig.Play(1000);
  Core.DispatchCommand(CM_STOP);
  EXPECT_EQ(Core.SampleCount[MEASURE_SHUTTER][0], 0);
  EXPECT_EQ(Raw(), 0.0f);
  EXPECT_FALSE(Rig.Logged("shutter series on"));
  EXPECT_FALSE(Core.HasUnsavedResults()) << "nothing to save";
  // An empty slot is no result: Save has nothing to store.
  EXPECT_FALSE(Core.NewResult[MEASURE_SHUTTER]);
}

// The point buffers hold 1,000 pairs: the thousandth is stored (index
// 999), the next point ends the test; a pressure of 5000 is no point.
TEST_F(ShutterRun, TheThousandthPointEndsTheTest) {
  Attach(Patient(0.2, 0.0));
  Start();
  TMeasureInterrupt::FlagBegin = true;
  const auto packed = [](int flow, int pressure) {
    return static_cast<TParam2>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(pressure)) << 16) |
                                static_cast<std::uint16_t>(flow));
  };
  unsigned index = 0;
  for (; index < 1000; ++index) {
    Core.CmReady(index, packed(0, 5000));
    ASSERT_EQ(Core.Shutter.PointIndex, -1) << "5000 is no point";
  }
  for (int k = 0; k < 1000; ++k, ++index)
    Core.CmReady(index, packed(10, 100 + k % 10));
  EXPECT_EQ(Core.Shutter.PointIndex, 999);
  EXPECT_EQ(Core.StopRequest, 0);
  Core.CmReady(index++, packed(10, 100));
  EXPECT_EQ(Core.Shutter.PointIndex, 999) << "the 1,001st is not stored";
  EXPECT_EQ(Core.StopRequest, 1);
  Core.CmReady(index, packed(10, 100));  // the next sample stops the test
  EXPECT_EQ(Core.StartId, 0u);
  EXPECT_EQ(Core.SampleCount[MEASURE_SHUTTER][0], 0) << "never armed: no point fitted";
}

// ShDemo.bin replayed as the link replays it (flow and pressure counts of
// each sample): its closures give the curve and the Raw of the patient it
// was made from, 0.15 kPa*s/L (tools/lungmodel's default patient).
TEST_F(ShutterRun, TheDemonstrationFileReplaysToACurveAndRaw) {
  const std::string bytes = TTemporaryFolder::Read(std::filesystem::path(HALVETRA_BINARY_DIR) / "bin" / "ShDemo.bin");
  ASSERT_GT(bytes.size(), 4u) << "the demonstration files are built with the tests";
  TBinaryReader in(bytes);
  const std::uint32_t count = in.ReadUInt32();
  std::vector<int> flows(count), pressures(count);
  for (int& flow : flows)
    flow = in.ReadInt16() + 3;
  for (int& pressure : pressures)
    pressure = in.ReadInt16();
  Core.HasInstrument = false;
  Client.OnMessage = [&](unsigned msg, TParam1 kind, TParam2 trial) {
    if (msg != WM_LOAD_DEMO_DATA)
      return;
    ASSERT_TRUE(Core.AllocateSpiroBuffer(static_cast<short>(trial), static_cast<short>(kind), true));
    for (std::uint32_t i = 0; i < count; ++i) {
      Core.Flow[0][i] = static_cast<float>(flows[i]);
      Core.Third[0][i] = static_cast<float>(pressures[i]);
    }
    Core.SampleCount[MEASURE_SHUTTER][0] = static_cast<short>(count);
  };
  Core.CmStart(CM_START);
  ASSERT_TRUE(Core.IsRunning());
  for (std::uint32_t i = 0; i < count && Core.IsRunning(); ++i)
    Core.CmReady(i, static_cast<TParam2>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(pressures[i])) << 16) |
                                         static_cast<std::uint16_t>(flows[i])));
  if (Core.IsRunning())
    Core.DispatchCommand(CM_STOP);
  EXPECT_GT(Core.SampleCount[MEASURE_SHUTTER][0], 2);
  EXPECT_NEAR(Raw(), 0.15f, 0.015f);
}

// A link that stops in the middle of the series ends the test with its
// message; the closures fitted so far still make the curve, and the series
// is not left on for the next test.
TEST_F(ShutterRun, ALinkThatStopsMidSeriesKeepsWhatWasFitted) {
  Attach(Patient(0.3, 0.0));
  Start();
  Rig.Play(2050);
  Core.DispatchCommand(CM_SHUTTER);
  Rig.Play(12 * 40);
  Device->HangUp("the cable was pulled");
  Rig.PlayWhile([this] { return Core.StartId != 0; }, 400);
  EXPECT_EQ(Core.StartId, 0u) << "the run ended";
  EXPECT_FALSE(TakeMessage().empty()) << "and said why";
  EXPECT_FALSE(Core.ShutterRunning);
  EXPECT_GT(Core.SampleCount[MEASURE_SHUTTER][0], 2);
  EXPECT_NEAR(Raw(), 0.3f, 0.03f);
}

// A second test starts its breathing rate afresh: the rate, the phase
// list and its running phase are cleared, so the first read-out of the new
// test is not the last test's breathing.
TEST_F(ShutterRun, EachTestStartsItsBreathingRateAfresh) {
  Attach(Patient(0.3, 0.0));
  Run(4.0);
  ASSERT_GT(Core.ShutterBreathingRate, 0);
  ASSERT_GT(Core.PhaseTableIndex, 4);
  Core.TrialIndex = 1;
  Start();
  EXPECT_EQ(Core.ShutterBreathingRate, 0);
  EXPECT_EQ(Core.PhaseTableIndex, 0);
  EXPECT_EQ(Core.PhaseState, 0);
  EXPECT_FALSE(Core.ShutterRequested) << "the series waits for the operator again";
  Core.DispatchCommand(CM_STOP);
}

// "Shutter" corrections are per cent; 0 or less would report every curve
// as no resistance and reads as 100.
TEST_F(ShutterRun, ACorrectionOfZeroReadsAsNone) {
  Core.SetIniFile(Folder.Write("Halvetra.ini", "[Shutter]\nCorrectionOfFlowValue=0\nCorrectionOfPressureValue=-5\n")
                      .string());
  Core.ReadShutterParams();
  EXPECT_EQ(Core.FlowCorrection, 1.0f);
  EXPECT_EQ(Core.PressureCorrection, 1.0f);
  Core.SetIniFile(Folder.Write("Halvetra.ini", "[Shutter]\nCorrectionOfFlowValue=90\n").string());
  Core.ReadShutterParams();
  EXPECT_FLOAT_EQ(Core.FlowCorrection, 0.9f);
  EXPECT_EQ(Core.PressureCorrection, 1.0f);
}

// In the plethysmograph test CM_SHUTTER only requests the shutter: no
// points, no series byte.
TEST_F(ShutterRun, ThePlethysmographOnlyRequestsTheShutter) {
  Core.SetMeasureMode(MEASURE_PLETHY);
  TMeasureData::LastSentData = 0xEF7F;
  Core.CmShutter();
  EXPECT_TRUE(Core.ShutterRequested);
  EXPECT_EQ(TMeasureData::LastSentData, 0xEF7F);
  EXPECT_FALSE(Core.Shutter.Allocated());
}

TEST_F(ShutterRun, TheBreathingRateLineInEachTest) {
  Core.ShutterBreathingRate = 17;
  EXPECT_EQ(Core.BreathingRateText(), "Breathing rate:   17 /min");
  Core.SetMeasureMode(MEASURE_PLETHY);
  EXPECT_EQ(Core.BreathingRateText(), "17 /min");
}

// Trueness and precision in the manner of ISO 5725: ten runs with other
// noise seeds for each model resistance; the bias of the mean and the
// repeatability standard deviation against the model's Raw.
TEST_F(ShutterRun, TruenessAndPrecisionOfRaw) {
  std::printf("model Raw  mean Raw  bias %%  repeatability SD %%\n");
  for (const double k1 : {0.1, 0.3}) {
    std::vector<double> raws;
    for (unsigned seed = 1; seed <= 10; ++seed) {
      Attach(Patient(k1, 0.0, seed));
      Run(12.0);
      raws.push_back(Raw());
    }
    const double mean = std::accumulate(raws.begin(), raws.end(), 0.0) / static_cast<double>(raws.size());
    double ss = 0.0;
    for (const double r : raws)
      ss += (r - mean) * (r - mean);
    const double sd = std::sqrt(ss / static_cast<double>(raws.size() - 1));
    const double bias = (mean - k1) / k1 * 100.0;
    std::printf("%8.3f  %8.4f  %6.2f  %6.2f\n", k1, mean, bias, sd / k1 * 100.0);
    EXPECT_LT(std::fabs(bias), 10.0) << k1;
    EXPECT_LT(sd / k1 * 100.0, 5.0) << k1;
  }
}

}  // namespace
