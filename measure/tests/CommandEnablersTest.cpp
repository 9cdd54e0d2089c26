// The measurement window's command enablers as functions of its state.

#include "measure/core/CommandEnablers.h"

#include "common/CommandNumbers.h"
#include "common/MeasureMode.h"
#include "platform/basekit/Message.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

constexpr std::array Commands{CM_START,       CM_START2, CM_START3, CM_STOP,  CM_DDE,   CM_ZOOM,
                              CM_ZERO,        CM_CALIBRATION,       CM_PREPOST, CM_CAKE, CM_TABLE1,
                              CM_TABLE2,      CM_TABLE3, CM_CANCEL_PROV, CM_GRID, CM_RHINO_PROVOCATION,
                              CM_GAS,         CM_SHUTTER, CM_RESISTANCE_LOOP1, CM_RESISTANCE_LOOP2,
                              CM_RESISTANCE_LOOP3};

// A window where everything the user might want is possible.
TEnablerState Ready(short type = MEASURE_FVC) {
  TEnablerState s;
  s.MeasureType = s.MeasureMode = type;
  s.ZeroDue = false;
  s.InstrumentAttached = true;
  s.InstrumentType = 0x01;
  s.CalibrationValid = true;
  s.TrialOrder = {2, 1, 3};
  s.AnimationSwitch = true;
  s.PatientAge = 8;
  s.Dirty = true;
  s.ResistanceLoop = {true, true, true};
  s.ReferenceIvc = 4.0f;
  return s;
}

std::set<unsigned> EnabledOf(const TEnablerState& s) {
  std::set<unsigned> enabled;
  for (const unsigned id : Commands)
    if (const auto answer = CommandEnable(s, id); answer && answer->Enabled)
      enabled.insert(id);
  return enabled;
}

bool Enabled(const TEnablerState& s, unsigned id) { return CommandEnable(s, id).value().Enabled; }

TEST(CommandEnablers, DuringATestOnlyStopCancelAndTheirOwnStepsAreOpen) {
  TEnablerState s = Ready();
  EXPECT_TRUE(EnabledOf(s).contains(CM_START));
  s.Running = true;
  EXPECT_EQ(EnabledOf(s), (std::set<unsigned>{CM_STOP, CM_CANCEL_PROV}));

  // The gas command once the washing-out is over and the breath has begun;
  // the shutter once the breath has begun.
  TEnablerState dfc = Ready(MEASURE_DFC);
  dfc.Running = dfc.WashingOutDone = dfc.FlagBegin = true;
  EXPECT_EQ(EnabledOf(dfc), (std::set<unsigned>{CM_STOP, CM_CANCEL_PROV, CM_GAS, CM_SHUTTER}));
  dfc.MeasureMode = MEASURE_CALIBRATION;
  EXPECT_FALSE(Enabled(dfc, CM_GAS));

  TEnablerState shutter = Ready(MEASURE_SHUTTER);
  shutter.Running = shutter.FlagBegin = true;
  shutter.ProgressCounter = 4;
  EXPECT_FALSE(Enabled(shutter, CM_SHUTTER));
  shutter.ProgressCounter = 5;
  EXPECT_TRUE(Enabled(shutter, CM_SHUTTER));
  shutter.ShutterClosed = true;
  EXPECT_FALSE(Enabled(shutter, CM_SHUTTER));
}

// While the provocation's nebulizer drives the link the window is busy
// though no test of its own runs: nothing of its own starts, and there is
// no run of its own to stop.
TEST(CommandEnablers, WhileTheLinkIsLentNothingOfTheWindowsOwnIsOpen) {
  for (const short type : {MEASURE_FVC, MEASURE_VC, MEASURE_MVV}) {
    TEnablerState s = Ready(type);
    s.LinkLent = true;
    EXPECT_EQ(EnabledOf(s), (std::set<unsigned>{CM_CANCEL_PROV})) << type;
  }
}

TEST(CommandEnablers, TheAnimationIsForChildrenUpToTwelve) {
  struct Case {
    std::int32_t age;
    short type;
    bool enabled;
  };
  for (const Case c : {Case{12, MEASURE_FVC, true}, Case{13, MEASURE_FVC, false}, Case{0, MEASURE_VC, true},
                       Case{-1, MEASURE_FVC, false}, Case{8, MEASURE_DFC, false}, Case{8, MEASURE_PLETHY, false}}) {
    TEnablerState s = Ready(c.type);
    s.PatientAge = c.age;
    s.AnimationOn = true;
    const TEnableAnswer answer = CommandEnable(s, CM_CAKE).value();
    EXPECT_EQ(answer.Enabled, c.enabled) << c.age << " " << c.type;
    EXPECT_EQ(answer.Check, 1);
  }
}

TEST(CommandEnablers, TheBigTableLeavesOnlyTheTrialButtons) {
  TEnablerState s = Ready();
  s.BigTable = true;
  s.PrePost = true;  // the trial buttons stay even beside pre/post when the table is big
  // The animation and the provocation do not look at the table.
  EXPECT_EQ(EnabledOf(s), (std::set<unsigned>{CM_DDE, CM_CAKE, CM_TABLE1, CM_TABLE2, CM_TABLE3,
                                              CM_RHINO_PROVOCATION, CM_CANCEL_PROV}));
  EXPECT_EQ(CommandEnable(s, CM_TABLE2)->Check, 1);  // the best trial is the second
  EXPECT_EQ(CommandEnable(s, CM_TABLE1)->Check, 0);
  s.BigTable = false;
  EXPECT_FALSE(Enabled(s, CM_TABLE1));
  s.PrePost = false;
  s.TrialOrder = {1, 0, 0};
  EXPECT_TRUE(Enabled(s, CM_TABLE1));
  EXPECT_FALSE(Enabled(s, CM_TABLE3));
}

TEST(CommandEnablers, StartNeedsAZeroAValidCalibrationAndForTheBoxAnIvc) {
  TEnablerState s = Ready();
  s.ZeroDue = true;
  EXPECT_FALSE(Enabled(s, CM_START));
  s = Ready();
  s.CalibrationValid = false;
  EXPECT_FALSE(Enabled(s, CM_START2));
  s.InstrumentType = 0;  // a plain spirometer is not held back by its calibration
  EXPECT_TRUE(Enabled(s, CM_START2));
  s = Ready(MEASURE_PLETHY);
  s.ReferenceIvc = 0.0f;
  EXPECT_TRUE(Enabled(s, CM_START));  // the status word set at construction
  s.StatusWord = 0;
  EXPECT_FALSE(Enabled(s, CM_START));
}

TEST(CommandEnablers, RhinomanometryStartsNameTheirSideAndAPosteriorRunLocksTheAnteriorOnes) {
  const TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  TEnablerState s = Ready(MEASURE_RHINO);
  EXPECT_EQ(CommandEnable(s, CM_START, &texts)->Text, texts.LoadStringA(312) + " - Anterior");
  EXPECT_EQ(CommandEnable(s, CM_START2, &texts)->Text, texts.LoadStringA(313) + " - Anterior");
  EXPECT_EQ(CommandEnable(s, CM_START3, &texts)->Text, "Posterior");
  s.AnteriorStarted = true;
  EXPECT_EQ(EnabledOf(s).count(CM_START3), 0u);
  EXPECT_EQ(EnabledOf(s).count(CM_START2), 1u);
  s.PosteriorStarted = true;
  EXPECT_FALSE(Enabled(s, CM_START));
  EXPECT_FALSE(Enabled(s, CM_START2));
  EXPECT_TRUE(Enabled(s, CM_START3));
  EXPECT_FALSE(Enabled(s, CM_PREPOST));

  TCommandEnabler enabler(CM_START3);
  Apply(*CommandEnable(s, CM_START3, &texts), enabler);
  EXPECT_EQ(enabler.GetText(), "Posterior");
  EXPECT_TRUE(enabler.GetEnabled());
}

TEST(CommandEnablers, ZeroAndCalibrationFollowTheHardware) {
  TEnablerState s = Ready(MEASURE_RHINO);
  s.RhinoZero = false;
  EXPECT_FALSE(Enabled(s, CM_ZERO));
  s.InstrumentAttached = false;
  EXPECT_TRUE(Enabled(s, CM_ZERO));
  EXPECT_FALSE(Enabled(s, CM_CALIBRATION));
  s = Ready();
  s.ZeroCommand = false;
  EXPECT_FALSE(Enabled(s, CM_ZERO));
  EXPECT_TRUE(Enabled(s, CM_CALIBRATION));
  s.ScreenMode = 0;
  EXPECT_FALSE(Enabled(s, CM_CALIBRATION));
  EXPECT_FALSE(CommandEnable(s, 9999u).has_value());
}

}  // namespace
