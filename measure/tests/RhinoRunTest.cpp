// Rhinomanometry from the start button to its result: the core on the
// link, the simulated rhinomanometer head inside the process behind the
// transport interface, everything on the link's manual clock.

#include "measure/tests/LinkedCoreFixture.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/tests/support/TestWindow.h"
#include "testing/SimulatorRig.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

class RhinoRun : public LinkedCoreTest<TMeasureCore> {
protected:
  RhinoRun() : LinkedCoreTest(MEASURE_RHINO) {
    Core.SetMeasureMode(MEASURE_RHINO);
    Core.HasInstrument = true;
    Core.ReadWindowSettings();
    Options.Capabilities = 0x01;
    Options.Manoeuvre = "rhino";
    Options.LeadInS = 0.5;
    Options.StartOnStream = true;  // a plain spirometer's head: no start word
    Options.NoiseCounts = 0;
    // Left, right, then after the hand-over again left and right.
    Options.Rhino.FlowsAt150PaMlps = {400.0, 350.0, 300.0, 260.0};
    Rig.Attach(Options);
    Rig.Connect(Core, "simulated instrument");
    Rig.OnStep([] { ProcessPosted(); });
  }

  // One recording from the start id until the core stops it: the 22 s of
  // the head's breaths, then quiet until the 60 s of the slot are full.
  void Record(unsigned id) {
    Core.CmStart(id);
    ProcessPosted();
    ASSERT_EQ(Core.StartId, id);
    Rig.PlayWhile([&] { return Core.StartId != 0; }, 7000);
    ASSERT_EQ(Core.StartId, 0u) << "the recording ended";
  }

  TSimulatorOptions Options;
  TSimulatorRig Rig{Clock, Device};
};

TEST_F(RhinoRun, LeftAndRightNostrilsGiveTheModelsFlowAt150Pa) {
  Record(CM_START);
  const auto& akt = Core.Rhino.ParamsAkt.Flows;
  // The left nostril: 400 mL/s at 150 Pa, within 2 %; column 1.
  EXPECT_NEAR(akt[3][1], 400.0f, 8.0f);
  EXPECT_EQ(akt[3][0], 0.0f);
  EXPECT_GT(Core.SampleCount[MEASURE_RHINO][0], 0);
  EXPECT_TRUE(Core.Dirty);
  EXPECT_TRUE(Core.Rhino.Anterior);

  Record(CM_START2);
  // The right nostril: 350 mL/s; the total is the sum of the whole flows.
  EXPECT_NEAR(akt[3][0], 350.0f, 7.0f);
  EXPECT_FLOAT_EQ(akt[3][2], std::nearbyint(akt[3][0]) + std::nearbyint(akt[3][1]));
  // Rows the deepest breath (360 Pa) reaches are all read.
  for (std::size_t row = 0; row < 5; ++row)
    EXPECT_GT(akt[row][0], 0.0f) << row;
  EXPECT_EQ(Core.Rhino.ParamsPre.Flows[3][0], 0.0f);
}

TEST_F(RhinoRun, ALoadedResultMovesToTheSecondPairAtTheNextStart) {
  Record(CM_START);
  Record(CM_START2);
  const RHINO_PARAMS first = Core.Rhino.ParamsAkt;
  // As if the program had saved the test and loaded it back.
  Core.Dirty = false;
  Core.Rhino.MoveToPrevious = true;
  Record(CM_START);
  EXPECT_EQ(Core.Rhino.ParamsPre.Flows, first.Flows) << "the second pair holds the loaded result";
  EXPECT_NEAR(Core.Rhino.ParamsAkt.Flows[3][1], 300.0f, 6.0f);
  EXPECT_EQ(Core.SampleCount[MEASURE_RHINO][1], 0) << "the right nostril is measured again";
  EXPECT_GT(Core.SampleCount[MEASURE_RHINO][3], 0);
}

TEST_F(RhinoRun, PosteriorKeepsOnlyTheTotal) {
  Record(CM_START3);
  const auto& akt = Core.Rhino.ParamsAkt.Flows;
  EXPECT_TRUE(Core.Rhino.Posterior);
  EXPECT_EQ(akt[3][0], 0.0f);
  EXPECT_NEAR(akt[3][2], 400.0f, 8.0f);
}

TEST_F(RhinoRun, ARecordingWithoutABreathIsNoResult) {
  Options.Manoeuvre = "rest";
  Rig.Attach(Options);
  Core.CmStart(CM_START);
  ProcessPosted();
  // Nothing begins at rest: stop by hand after a while.
  Rig.Play(300);
  Core.CmStop();
  EXPECT_NE(TakeMessage().find("No complete breath"), std::string::npos);
  EXPECT_FALSE(Core.Dirty);
  EXPECT_FALSE(Core.NewResult[MEASURE_RHINO]);
}

TEST_F(RhinoRun, TheZeroOfBothFlowScales) {
  for (std::size_t i = 0; i < TMeasureData::ZeroSamples; ++i) {
    TMeasureData::ZeroBuffer[i] = 600.0f;
    TMeasureData::ZeroPressureBuffer[i] = 3.0f;
  }
  // 600 mL/s is within the spirometric head's 3600, past the fine scale's
  // 500.96.
  Core.FlowScaleVariant = 1;
  EXPECT_FALSE(Core.CalculateRhinoZero());
  EXPECT_NE(TakeMessage().find('\n'), std::string::npos);
  EXPECT_FLOAT_EQ(Core.FlowZero, 600.0f);
  Core.FlowScaleVariant = 0;
  EXPECT_TRUE(Core.CalculateRhinoZero());
  EXPECT_FLOAT_EQ(Core.Rhino.PressureZero, 3.0f);
}

TEST_F(RhinoRun, DatesOfBothPairsAndTheAlgorithmNames) {
  Core.SampleCount[MEASURE_RHINO][1] = 5;
  Core.MeasureDate[MEASURE_RHINO][1] = {2026, 11, 12};
  Core.MeasureTime[MEASURE_RHINO][1] = {30, 0, 0, 15};  // 00:30:15
  Core.SampleCount[MEASURE_RHINO][2] = 5;               // a slot without a date
  std::string aktDate, preDate, aktTime, preTime;
  Core.SetRhinoDateTimeStr(aktDate, preDate, aktTime, preTime);
  EXPECT_EQ(aktDate, "2026.12.11.");
  EXPECT_EQ(aktTime, "00:30:15") << "a time in the midnight hour is shown";
  EXPECT_EQ(preDate, "YYYY.MM.DD.") << "year 0 leaves the picture";
  EXPECT_EQ(preTime, "HH:MM:SS");

  Core.Rhino.Algorithm = 0;
  EXPECT_EQ(Core.GetRhinoAlgorithmName(1), "Largest breath");
  EXPECT_EQ(Core.GetRhinoAlgorithmName(2), "") << "no previous result";
  Core.Rhino.AlgorithmPre = 2;
  EXPECT_EQ(Core.GetRhinoAlgorithmName(2), "Smallest breath");
}

// A view whose provocation dialog answers as the test says.
class TProvocationView : public TNoMeasureView {
public:
  std::optional<TRhinoProvocationEntry> RunRhinoProvocationDialog() override {
    ++Asked;
    return Answer;
  }
  std::optional<TRhinoProvocationEntry> Answer;
  int Asked = 0;
};

class RhinoProvocation : public RhinoRun {
protected:
  RhinoProvocation() {
    Core.SetView(&View);
    Client.OnMessage = [this](unsigned msg, TParam1 wParam, TParam2) {
      if (msg != WM_COMMAND || wParam != CM_SAVE_MEASUREMENT)
        return;
      ++Saves;
      EXPECT_TRUE(Core.Rhino.SavingBase) << "the program marks the stored test as the base";
      if (SaveSucceeds)
        Core.Dirty = false;
    };
  }
  ~RhinoProvocation() override { Core.SetView(nullptr); }

  TProvocationView View;
  int Saves = 0;
  bool SaveSucceeds = true;
};

TEST_F(RhinoProvocation, TheFirstEntrySavesTheBaseAndEmptiesTheSecondPair) {
  Record(CM_START);
  Record(CM_START2);
  // A previous result in slot 3 goes.
  Core.SampleCount[MEASURE_RHINO][3] = 40;
  Core.Rhino.ParamsPre.Flows[3] = {250.0f, 0.0f, 250.0f};
  View.Answer = TRhinoProvocationEntry{"Histamine", "2.5", "0.1"};
  SendMessage(&Core, WM_COMMAND, CM_RHINO_PROVOCATION, 0);
  EXPECT_EQ(Saves, 1);
  EXPECT_TRUE(Core.Rhino.Provoked);
  EXPECT_FALSE(Core.Rhino.SavingBase);
  EXPECT_EQ(Core.SampleCount[MEASURE_RHINO][3], 0);
  EXPECT_EQ(Core.Rhino.ParamsPre.Flows[3][0], 0.0f);
  EXPECT_EQ(Core.Rhino.ProvocationMaterial, "Histamine");
  EXPECT_FLOAT_EQ(Core.Rhino.ProvocationConcentration, 2.5f);
  EXPECT_FLOAT_EQ(Core.Rhino.ProvocationDose, 0.1f);

  // The next starts fill the second pair: 300 mL/s after the provocation.
  const RHINO_PARAMS base = Core.Rhino.ParamsAkt;
  Record(CM_START);
  EXPECT_NEAR(Core.Rhino.ParamsPre.Flows[3][1], 300.0f, 6.0f);
  EXPECT_GT(Core.SampleCount[MEASURE_RHINO][2], 0);
  EXPECT_EQ(Core.Rhino.ParamsAkt.Flows, base.Flows) << "the base stays";

  // A second entry saves nothing and clears nothing; an empty dose keeps
  // the one before.
  View.Answer = TRhinoProvocationEntry{"Allergen", "5", ""};
  SendMessage(&Core, WM_COMMAND, CM_RHINO_PROVOCATION, 0);
  EXPECT_EQ(Saves, 1);
  EXPECT_GT(Core.SampleCount[MEASURE_RHINO][2], 0);
  EXPECT_EQ(Core.Rhino.ProvocationMaterial, "Allergen");
  EXPECT_FLOAT_EQ(Core.Rhino.ProvocationConcentration, 5.0f);
  EXPECT_FLOAT_EQ(Core.Rhino.ProvocationDose, 0.1f);
}

TEST_F(RhinoProvocation, AFailedSaveOrCancelChangesNothing) {
  Record(CM_START);
  SendMessage(&Core, WM_COMMAND, CM_RHINO_PROVOCATION, 0);  // cancelled
  EXPECT_EQ(View.Asked, 1);
  EXPECT_EQ(Saves, 0);
  EXPECT_FALSE(Core.Rhino.Provoked);

  SaveSucceeds = false;
  View.Answer = TRhinoProvocationEntry{"Histamine", "2.5", "0.1"};
  SendMessage(&Core, WM_COMMAND, CM_RHINO_PROVOCATION, 0);
  EXPECT_EQ(Saves, 1);
  EXPECT_FALSE(Core.Rhino.Provoked);
  EXPECT_TRUE(Core.Rhino.ProvocationMaterial.empty());
  Record(CM_START2);
  EXPECT_GT(Core.SampleCount[MEASURE_RHINO][1], 0) << "the next start still measures the first pair";
}

}  // namespace
