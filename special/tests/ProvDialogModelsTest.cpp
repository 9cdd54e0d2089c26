#include "special/provocation/ProvDialogModels.h"

#include "platform/framework/Profile.h"
#include "special/tests/ProvocationFixture.h"

using SetupDialogTest = ProvocationFixture;

TEST_F(SetupDialogTest, OpeningWithoutMaterialChoosesNothing) {
  TProvSetupModel setup(Ini, true);
  setup.Load();
  EXPECT_EQ(setup.GetType(), TProvSetupModel::NoChoice);
  EXPECT_EQ(setup.GetMode(), TProvSetupModel::NoChoice);
  EXPECT_EQ(setup.GetHead(), TProvSetupModel::NoChoice);
  EXPECT_TRUE(setup.QueueEnabled());
  EXPECT_TRUE(setup.ConcentrationEnabled());
  EXPECT_EQ(setup.GetMaximum(), "1.0");
  EXPECT_FALSE(setup.IsOkEnabled());
  EXPECT_EQ(setup.UnitLabel(), "ml");
}

TEST_F(SetupDialogTest, AStoredQueueFillsTheBoxesAndWritesBackTheSame) {
  Folder.Write("Halvetra.ini",
               "[Nebulizer]\nUnitOfDose=1\n[Material of Provocation]\nMaterial1=Metacholine\n[Provocation]\n"
               "Material=Metacholine\n[Metacholine]\nMode=1\nType=2\nQueue=0.5,1,2\nHead=1\nMaximum=4.0\nAccum=1\n");
  TProvSetupModel setup(Ini, true);
  setup.Load();
  EXPECT_EQ(setup.MaterialIndex(), 0);
  EXPECT_EQ(setup.GetType(), 2);
  EXPECT_TRUE(setup.QueueEnabled());
  EXPECT_FALSE(setup.ConcentrationEnabled());
  EXPECT_EQ(setup.QueueBoxes()[0], "0.5");
  EXPECT_EQ(setup.QueueBoxes()[2], "2");
  EXPECT_EQ(setup.QueueBoxes()[3], "");
  EXPECT_EQ(setup.UnitLabel(), "mg");
  ASSERT_TRUE(setup.IsOkEnabled());
  ASSERT_TRUE(setup.Store());
  EXPECT_EQ(TProfile("Metacholine", Ini).GetString("Queue"), "0.5,1,2");
  EXPECT_EQ(TProfile("Material of Provocation", Ini).GetString("Material2"), "");  // not written twice

  // A gap ends the queue.
  setup.SetQueueBox(1, "");
  ASSERT_TRUE(setup.Store());
  EXPECT_EQ(TProfile("Metacholine", Ini).GetString("Queue"), "0.5");
}

TEST_F(SetupDialogTest, WithoutNebulizerTheTypedModeIsShownAndStored) {
  WriteIni("Histamine", "Mode=1\nType=0\nConcentration=1\n");
  TProvSetupModel setup(Ini, false);
  setup.Load();
  EXPECT_FALSE(setup.ModeNebulisedEnabled());
  EXPECT_EQ(setup.GetMode(), 0);
  ASSERT_TRUE(setup.Store());
  EXPECT_EQ(TProfile("Histamine", Ini).GetInt("Mode", 9), 0);
}

TEST_F(SetupDialogTest, ATypedNameJoinsTheListOnceAndLoadsItsSection) {
  Folder.Write("Halvetra.ini", "[Material of Provocation]\nMaterial1=Histamine\n[Histamine]\nType=1\nQueue=1,2\n");
  TProvSetupModel setup(Ini, true);
  setup.Load();
  setup.EditMaterial("Histamine");
  setup.MaterialLeft();
  EXPECT_EQ(setup.Materials().size(), 1u);
  EXPECT_EQ(setup.GetType(), 1);  // its section loaded
  setup.EditMaterial("Adenosine");
  setup.MaterialLeft();
  EXPECT_EQ(setup.Materials(), (std::vector<std::string>{"Histamine", "Adenosine"}));
  EXPECT_EQ(setup.GetType(), 0);  // a new name: the defaults
  EXPECT_EQ(setup.GetMaximum(), "1.0");
  setup.SetConcentration("2.5");
  setup.EditSolution("Salbutamol");
  setup.SolutionLeft();
  ASSERT_TRUE(setup.Store());
  EXPECT_EQ(ProvocationSetup::ReadList(Ini, ProvocationSetup::MaterialListSection),
            (std::vector<std::string>{"Histamine", "Adenosine"}));
  EXPECT_EQ(ProvocationSetup::ReadList(Ini, ProvocationSetup::SolutionListSection),
            (std::vector<std::string>{"Salbutamol"}));
  EXPECT_EQ(TProfile("Provocation", Ini).GetString("Material"), "Adenosine");
  EXPECT_EQ(TProfile("Adenosine", Ini).GetString("MaterialOfSolution"), "Salbutamol");
}

TEST_F(SetupDialogTest, OkNeedsWhatTheTypeUsesAndANameThatNamesASection) {
  TProvSetupModel setup(Ini, true);
  setup.Load();
  setup.EditMaterial("Histamine");
  setup.SetType(0);
  EXPECT_FALSE(setup.IsOkEnabled());  // no concentration
  setup.SetConcentration("2.5");
  EXPECT_TRUE(setup.IsOkEnabled());
  for (int type : {1, 2}) {
    setup.SetType(type);
    setup.SetQueueBox(0, "");
    EXPECT_FALSE(setup.IsOkEnabled()) << "empty first box, type " << type;
    setup.SetQueueBox(0, "a");
    EXPECT_FALSE(setup.IsOkEnabled()) << "not numeric";
    setup.SetQueueBox(0, "0.5");
    setup.SetQueueBox(3, "1,5");
    EXPECT_FALSE(setup.IsOkEnabled()) << "a later box not numeric";
    setup.SetQueueBox(3, "");
    EXPECT_TRUE(setup.IsOkEnabled());
  }
  for (std::string bad : {"", "a]b", "[a", "a\nb"}) {
    setup.EditMaterial(bad);
    EXPECT_FALSE(setup.IsOkEnabled()) << bad;
    EXPECT_FALSE(setup.Store());
  }
}

TEST_F(SetupDialogTest, AHandEditedSetupThatDoesNotFitIsReportedOnLoading) {
  WriteIni("Histamine", "Type=1\nQueue=0.5,1,2,4,8,16,32,64,128,256,512,1024,2048,4096,8192,9999,1\n");
  TProvSetupModel setup(Ini, true);
  setup.Load();
  ASSERT_EQ(setup.LoadIssues().size(), 1u);
  EXPECT_EQ(setup.LoadIssues()[0].Kind, TSetupIssue::TKind::QueueTooLong);
  EXPECT_EQ(setup.QueueBoxes()[15], "9999");

  Folder.Write("Halvetra.ini", "[Provocation]\nMaterial=a]b\n");
  TProvSetupModel bad(Ini, true);
  bad.Load();
  ASSERT_EQ(bad.LoadIssues().size(), 1u);
  EXPECT_EQ(bad.LoadIssues()[0].Kind, TSetupIssue::TKind::MaterialName);
  bad.SetType(0);
  bad.SetConcentration("1");
  EXPECT_FALSE(bad.IsOkEnabled());
}

TEST(ProvParamDialog, SelectionFromTheCodeAndOkByTheLimit) {
  EXPECT_EQ(TProvParamModel(418, -20).Selection(), 45);
  EXPECT_EQ(TProvParamModel(500, -20).Selection(), 46);
  EXPECT_EQ(TProvParamModel(-1, 0).Selection(), 0);
  EXPECT_EQ(TProvParamModel(305, 0).Selection(), -1);  // a diffusion code selects nothing
  EXPECT_EQ(TProvParamModel(2, -20).LimitText(), "-20");

  TProvParamModel param(2, -20);
  struct TCase {
    const char* Limit;
    bool Ok;
  };
  for (const TCase c : {TCase{"-20", true}, {"0", false}, {"101", false}, {"100", false}, {"99", true}, {"-99", true},
                        {"-100", false}, {"abc", false}, {"", false}}) {
    param.SetLimitText(c.Limit);
    EXPECT_EQ(param.IsOkEnabled(), c.Ok) << c.Limit;
  }
  // The empty item: code -1 and limit 0 whatever the edit holds.
  param.Select(0);
  param.SetLimitText("abc");
  EXPECT_TRUE(param.IsOkEnabled());
  EXPECT_EQ(param.Code(), -1);
  EXPECT_EQ(param.LimitValue(), 0);
  param.Select(20);
  param.SetLimitText("-15");
  EXPECT_EQ(param.Code(), 100);
  EXPECT_EQ(param.LimitValue(), -15);

  const auto items = TProvParamModel::Items(800);
  ASSERT_EQ(items.size(), 51u);
  EXPECT_EQ(items[0], "");
  EXPECT_EQ(items[45].substr(0, 1), "W");
}

TEST(ProvInputDialog, TheDoseMustBePositiveAndKeepTheMaximum) {
  struct TCase {
    float Start;
    float Maximum;
    bool Accumulate;
    const char* Typed;
    bool Ok;
  };
  for (const TCase c : {TCase{0.8f, 1.0f, true, "0.2", true},   // 0.8 + 0.2 = 1.0 reaches the maximum
                        {0.8f, 1.0f, true, "0.25", false},      // 1.05
                        {0.8f, 1.0f, false, "1.0", true},       // stands alone
                        {0.8f, 1.0f, false, "1.01", false},
                        {5.0f, 0.0f, true, "7", true},          // no maximum
                        {0.0f, 1.0f, true, "0.00", false},
                        {0.0f, 1.0f, true, "abc", false},
                        {0.0f, 1.0f, true, "-0.5", false}}) {
    TProvInputModel input(c.Start, c.Maximum, c.Accumulate, 0);
    EXPECT_EQ(input.DoseText(), "0.00");
    input.SetDoseText(c.Typed);
    EXPECT_EQ(input.IsOkEnabled(), c.Ok) << c.Start << " + " << c.Typed << " max " << c.Maximum;
  }
  TProvInputModel input(0.8f, 1.0f, true, 1);
  input.SetDoseText("0.2");
  EXPECT_EQ(input.Dose(), 0.2f);  // the typed dose, not the total
  EXPECT_EQ(input.UnitLabel(), "mg");
}
