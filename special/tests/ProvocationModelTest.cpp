#include "special/tests/ProvocationFixture.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "special/provocation/ProvocationTexts.h"

using ModelTest = ProvocationFixture;

// Typed doses of one concentration (2.5 mg/ml), accumulating: FEV1 3.00 L at
// baseline, then 2.70, 2.50 and 2.35 L after 0.10, 0.20 and 0.40 ml.
// Changes by hand: 2.70 / 3.00 = 0.900 -> -10 %; 2.50 / 3.00 = 0.8333 ->
// -16.67 % (shown -17); 2.35 / 3.00 = 0.78333 -> -21.67 % (shown -22), past
// the limit of -20 %. Accumulated doses 0.10, 0.30, 0.70.
TEST_F(ModelTest, TypedDosesGiveLinesChangesAndTheCrossedLimit) {
  WriteIni("Histamine", "Type=0\nConcentration=2.5\nAccum=1\nMaximum=0.0\n");
  TProvocationModel model = Open();
  const auto ask = [](float dose) {
    return [dose](float, float, bool, short) { return std::optional<float>(dose); };
  };
  ASSERT_TRUE(model.CheckProvocationOK());
  EXPECT_EQ(model.NextCommand(), static_cast<short>(CM_MEASURE_FVC));
  EXPECT_TRUE(model.GetNextDose(ask(9.0f), nullptr));  // the baseline needs no dose
  model.AddDataToProvListBox({3.00f, 0.0f, 0.0f});
  for (const auto& [dose, fev1] : {std::pair{0.10f, 2.70f}, {0.20f, 2.50f}, {0.40f, 2.35f}}) {
    ASSERT_TRUE(model.CheckProvocationOK());
    ASSERT_TRUE(model.GetNextDose(ask(dose), nullptr));
    model.AddDataToProvListBox({fev1, 0.0f, 0.0f});
  }
  const std::vector<std::string> expected{
      "      0.00  3.00    0  0.00    0  0.00    0",
      " 2.5  0.10  2.70  -10  0.00    0  0.00    0",
      " 2.5  0.30  2.50  -17  0.00    0  0.00    0",
      " 2.5  0.70  2.35  -22  0.00    0  0.00    0",
  };
  EXPECT_EQ(model.Lines(), expected);
  EXPECT_TRUE(model.LimitReached());
  EXPECT_TRUE(model.LimitHit(0));
  EXPECT_FALSE(model.LimitHit(1));
  EXPECT_TRUE(model.Steps().ProvokedRow);
  EXPECT_NEAR(model.AccumulatedDose(), 0.70f, 1e-6f);
  // What the driver reads: the maximum as text, the accumulated dose.
  EXPECT_EQ(model.Steps().FallValue, "0.0");
  EXPECT_EQ(model.Steps().FallLimit, model.AccumulatedDose());
}

// The warning before a further dose names the parameter that crossed its
// limit, the limit and the last step's change, also once the parameter has
// come back: 2.35 / 3.00 -> -21.67 % (-22); 2.91 / 3.00 = 0.97 -> -3 %.
TEST_F(ModelTest, ACrossedLimitIsNamedWithItsLimitAndTheLastChange) {
  const TMessage english{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources" / "lang"};
  const std::string head = "The provocation has crossed a limit:\n";
  const std::string tail = "\nGive a further dose only when the patient's state allows it.";
  struct TCase {
    std::vector<float> fev1;
    std::string line;  // empty: no warning
  };
  const TCase cases[] = {
      {{3.00f}, ""},
      {{3.00f, 2.70f}, ""},
      {{3.00f, 2.35f}, "FEV1,0 has crossed its limit of -20 % of the baseline (last step: -22 %)."},
      {{3.00f, 2.35f, 2.91f}, "FEV1,0 has crossed its limit of -20 % of the baseline (last step: -3 %)."},
  };
  WriteIni("Histamine", "Type=0\nConcentration=2.5\nAccum=1\n");
  for (const TCase& c : cases) {
    TProvocationModel model = Open();
    for (const float fev1 : c.fev1)
      model.AddDataToProvListBox({fev1, 0.0f, 0.0f});
    EXPECT_EQ(ProvocationTexts::LimitCrossedText(english, model), c.line.empty() ? "" : head + c.line + tail)
        << c.fev1.size();
  }
}

TEST_F(ModelTest, ALimitOfZeroNeverFiresAndPositiveLimitsWatchARise) {
  WriteIni("Histamine", "Type=0\nConcentration=1\n", "Param1=FVC02\nLimit1=0\nParam2=PL04\nLimit2=35\n");
  TProvocationModel model = Open();
  model.AddDataToProvListBox({3.0f, 0.20f, 0.0f});
  model.AddDataToProvListBox({1.0f, 0.26f, 0.0f});  // -67 %; Raw +30 %
  EXPECT_FALSE(model.LimitReached());
  model.AddDataToProvListBox({1.0f, 0.27f, 0.0f});  // Raw 0.27 / 0.20 = 1.35: +35 % reaches +35
  EXPECT_TRUE(model.LimitHit(1));
  EXPECT_FALSE(model.LimitHit(0));
}

TEST_F(ModelTest, AQueueGivesItsItemsStepByStepThenEnds) {
  WriteIni("Metacholine", "Type=2\nQueue=0.5,1,2\nMaterialOfSolution=Salbutamol\n");
  TProvocationModel model = Open();
  EXPECT_EQ(model.QueueIndex(), -1);
  EXPECT_EQ(model.GetCurrentQueueItem(model.Setup().Queue), "0.00");
  model.AddDataToProvListBox({3.0f, 0.0f, 0.0f});
  EXPECT_EQ(model.StepList()[0].Concentration, "0.00");
  EXPECT_EQ(model.QueueIndex(), 0);
  for (std::string_view item : {"0.5", "1", "2"}) {
    EXPECT_FALSE(model.IsThereEndOfQueue());
    EXPECT_EQ(model.GetCurrentQueueItem(model.Setup().Queue), item);
    model.AddDataToProvListBox({2.9f, 0.0f, 0.0f});
    EXPECT_EQ(model.StepList().back().Concentration, item);
  }
  EXPECT_TRUE(model.IsThereEndOfQueue());
  // With a solvent to measure, a used-up queue does not block the step.
  EXPECT_TRUE(model.CheckProvocationOK());
}

// Each condition of the step check, one at a time, against a set-up that
// passes: typed doses, FVC, -20 %, a maximum of 1.0.
TEST_F(ModelTest, EveryConditionOfTheStepCheck) {
  struct TCase {
    std::string Name;
    std::string Section;
    std::string Params;
    std::function<void(TProvocationModel&)> Change;
    bool Ok;
  };
  const std::string section = "Type=0\nConcentration=1\nMaximum=1.0\n";
  const std::string params = "Param1=FVC02\nLimit1=-20\n";
  const auto none = [](TProvocationModel&) {};
  const std::vector<TCase> cases{
      {"passes", section, params, none, true},
      {"no parameter", section, "Param1=\n", none, false},
      {"diffusion code only", section, "", [](TProvocationModel& m) { m.SetParameter(0, 305, -20); }, false},
      {"limit 99", section, "Param1=FVC02\nLimit1=99\n", none, true},
      {"limit 100", section, "Param1=FVC02\nLimit1=100\n", none, false},
      {"limit -100", section, "Param1=FVC02\nLimit1=-100\n", none, false},
      {"nebulised, nebulizer not ready", section + "Mode=1\n", params, none, false},
      {"nebulised, nebulizer ready", section + "Mode=1\n", params, [](TProvocationModel& m) { m.NebulizerReady = true; },
       true},
      {"no fresh result", section, params, [](TProvocationModel& m) { m.Steps().UnsavedCopy = false; }, false},
      {"queue used up", "Type=1\nQueue=1\n", params,
       [](TProvocationModel& m) {
         m.AddDataToProvListBox({3, 0, 0});
         m.AddDataToProvListBox({3, 0, 0});
       },
       false},
      {"maximum reached exactly", section, params, [](TProvocationModel& m) { m.SetAccumulatedDose(1.0f); }, true},
      {"maximum passed", section, params, [](TProvocationModel& m) { m.SetAccumulatedDose(1.01f); }, false},
      {"maximum 0 is none", "Type=0\nConcentration=1\nMaximum=0.0\n", params,
       [](TProvocationModel& m) { m.SetAccumulatedDose(50.0f); }, true},
      {"finished", section, params, [](TProvocationModel& m) { m.Steps().End = true; }, false},
      {"nebulizer running", section, params, [](TProvocationModel& m) { m.Steps().NebulizerRunning = true; }, false},
  };
  for (const TCase& c : cases) {
    WriteIni("Histamine", c.Section, c.Params);
    TProvocationModel model(Ini);
    model.ReadSelectedProvParams();
    model.ReloadSetup();
    c.Change(model);
    EXPECT_EQ(model.CheckProvocationOK(), c.Ok) << c.Name;
  }
  Folder.Write("Halvetra.ini", "[Provocation]\nParam1=FVC02\nLimit1=-20\n");
  TProvocationModel noSetup = Open();
  EXPECT_FALSE(noSetup.CheckProvocationOK());
}

TEST_F(ModelTest, TheNextTestIsTheLowestCommandOfTheChosenParameters) {
  WriteIni("Histamine", "Type=0\nConcentration=1\n", "Param1=VC03\nLimit1=-10\nParam2=FVC02\nLimit2=-20\n");
  TProvocationModel model = Open();
  EXPECT_TRUE(model.CheckProvocationOK());
  EXPECT_EQ(model.NextCommand(), static_cast<short>(CM_MEASURE_FVC));
  // A changed column decides anew.
  model.SetParameter(1, -1, 0);
  EXPECT_EQ(model.NextCommand(), -1);
  EXPECT_TRUE(model.CheckProvocationOK());
  EXPECT_EQ(model.NextCommand(), static_cast<short>(CM_MEASURE_VC));
}

TEST_F(ModelTest, ACancelledDoseChangesNothingAndDosesStandAloneWithoutAccumulation) {
  WriteIni("Histamine", "Type=0\nConcentration=1\nAccum=0\n");
  TProvocationModel model = Open();
  model.AddDataToProvListBox({3, 0, 0});
  EXPECT_FALSE(model.GetNextDose([](float, float, bool, short) { return std::nullopt; }, nullptr));
  EXPECT_EQ(model.AccumulatedDose(), 0.0f);
  float offered = -1.0f;
  const auto ask = [&offered](float dose) {
    return [dose, &offered](float start, float, bool, short) {
      offered = start;
      return std::optional<float>(dose);
    };
  };
  ASSERT_TRUE(model.GetNextDose(ask(0.5f), nullptr));
  ASSERT_TRUE(model.GetNextDose(ask(0.25f), nullptr));
  EXPECT_EQ(offered, 0.5f);  // the dialog starts from the accumulated dose
  EXPECT_EQ(model.AccumulatedDose(), 0.25f);
}

TEST_F(ModelTest, ANebulisedDoseStartsTheNebulizerInsteadOfAccumulating) {
  WriteIni("Histamine", "Type=2\nQueue=1\nMode=1\n");
  TProvocationModel model = Open();
  model.AddDataToProvListBox({3, 0, 0});
  bool started = false;
  ASSERT_TRUE(model.GetNextDose([](float, float, bool, short) { return std::optional<float>(0.06f); },
                                [&started] { started = true; }));
  EXPECT_TRUE(started);
  EXPECT_EQ(model.StepDose, 0.06f);
  EXPECT_EQ(model.AccumulatedDose(), 0.0f);
}

// GetConcAndDose: with doses in mg the listed dose is divided by the
// concentration: 1.25 mg at 2.5 mg/ml is 0.5 ml.
TEST_F(ModelTest, ConcentrationAndDoseOfTheLastLine) {
  WriteIni("Histamine", "Type=0\nConcentration=2.5\n");
  TProvocationModel model = Open();
  double conc = -1.0;
  double dose = -1.0;
  EXPECT_FALSE(model.GetConcAndDose(conc, dose));
  EXPECT_EQ(conc, -1.0);  // no line: unchanged
  EXPECT_EQ(dose, -1.0);
  model.AddDataToProvListBox({3, 0, 0});
  model.SetAccumulatedDose(1.25f);
  model.AddDataToProvListBox({2.8f, 0, 0});
  model.Nebulizer.UnitOfDose = 1;
  ASSERT_TRUE(model.GetConcAndDose(conc, dose));
  EXPECT_DOUBLE_EQ(conc, 2.5);
  EXPECT_NEAR(dose, 0.5, 1e-6);
  model.Nebulizer.UnitOfDose = 0;
  model.GetConcAndDose(conc, dose);
  EXPECT_NEAR(dose, 1.25, 1e-6);

  // A zero concentration (the baseline line) leaves the dose undivided; a
  // five-character concentration and a dose of 100 or more are read whole.
  WriteIni("Histamine", "Type=1\nQueue=12.5\n");
  TProvocationModel wide = Open();
  wide.Nebulizer.UnitOfDose = 1;
  wide.SetAccumulatedDose(3.0f);
  wide.AddDataToProvListBox({3, 0, 0});
  wide.GetConcAndDose(conc, dose);
  EXPECT_EQ(conc, 0.0);
  EXPECT_NEAR(dose, 3.0, 1e-6);
  wide.SetAccumulatedDose(125.0f);
  wide.AddDataToProvListBox({3, 0, 0});
  wide.GetConcAndDose(conc, dose);
  EXPECT_DOUBLE_EQ(conc, 12.5);
  EXPECT_NEAR(dose, 10.0, 1e-6);  // 125 mg / 12.5 mg/ml
}

TEST_F(ModelTest, ParametersAndLimitsReadAndWriteBack) {
  Folder.Write("Halvetra.ini", "[Provocation]\nParam1=MVV01\nLimit1=-15\nParam2=VC03\nLimit2=abc\nParam3=XYZ\n");
  TProvocationModel model(Ini);
  const std::vector<TParamIssue> expected{{"Limit2", "abc"}, {"Param3", "XYZ"}};
  EXPECT_EQ(model.ReadSelectedProvParams(), expected);
  EXPECT_EQ(model.ParamCode(0), 201);
  EXPECT_EQ(model.Limit(0), -15);
  EXPECT_EQ(model.ParamCode(1), 103);
  EXPECT_EQ(model.Limit(1), 0);      // unreadable: left as it was
  EXPECT_EQ(model.ParamCode(2), 0);  // unknown prefix: left as it was (0 after construction)

  model.SetParameter(2, -1, 5);  // no parameter: no limit
  EXPECT_EQ(model.Limit(2), 0);
  model.SetParameter(0, 201, -1);
  const TProfile profile("Provocation", Ini);
  EXPECT_EQ(profile.GetString("Param1"), "MVV01");
  EXPECT_EQ(profile.GetString("Limit1"), "-1");
  EXPECT_EQ(profile.GetString("Param2"), "VC03");
  EXPECT_EQ(profile.GetString("Limit2"), "0");
  EXPECT_EQ(profile.GetString("Param3"), "");
  EXPECT_EQ(profile.GetString("Limit3"), "");

  TProvocationModel again(Ini);
  EXPECT_TRUE(again.ReadSelectedProvParams().empty());
  EXPECT_EQ(again.ParamCode(0), 201);
  EXPECT_EQ(again.Limit(0), -1);
  EXPECT_EQ(again.ParamCode(2), -1);
}

TEST_F(ModelTest, AnUnusableSetupBlocksEveryStep) {
  WriteIni("Histamine", "Type=1\nQueue=0.5,1,2,4,8,16,32,64,128,256,512,1024,2048,4096,8192,9999,1\n");
  TProvocationModel model = Open();
  ASSERT_EQ(model.SetupIssues().size(), 1u);
  EXPECT_EQ(model.SetupIssues()[0].Kind, TSetupIssue::TKind::QueueTooLong);
  EXPECT_FALSE(model.CheckProvocationOK());
  EXPECT_EQ(model.Setup().Queue.size(), 59u);  // kept as written
}

// The counted dose: 6000 sprayed samples (a minute) of the purple head's
// 0.12 ml/min are 0.12 ml; in mg at 2.5 mg/ml that is 0.3 mg.
TEST_F(ModelTest, CountedDoseFromSprayedSamples) {
  WriteIni("Histamine", "Type=0\nConcentration=2.5\nMode=1\nHead=0\n");
  TProvocationModel model = Open();
  EXPECT_NEAR(model.CountedDose(6000), 0.12f, 1e-6f);
  EXPECT_NEAR(model.CountedDose(3000), 0.06f, 1e-6f);
  model.Nebulizer.UnitOfDose = 1;
  model.TakeCurrentConcentration();
  EXPECT_NEAR(model.CountedDose(6000), 0.3f, 1e-6f);
  WriteIni("Histamine", "Type=0\nConcentration=2.5\nMode=1\nHead=1\n");
  model.ReloadSetup();
  model.Nebulizer.UnitOfDose = 0;
  EXPECT_NEAR(model.CountedDose(6000), 0.3f, 1e-6f);  // the green head's 0.3 ml/min
}
