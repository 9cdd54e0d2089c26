// The provocation driver over stand-ins of the provocation and measurement
// windows, a recorder of the storage calls and real work files in a
// temporary working folder.

#include "shell/client/ProvocationDriver.h"

#include "shell/settings/WorkFiles.h"
#include "shell/tests/AppFixture.h"
#include "shell/tests/StandIns.h"
#include "shell/tests/WorkingFolder.h"

#include "platform/basekit/Message.h"
#include "platform/framework/WindowMessages.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Records every message and answers each question from a script.
class TScriptedSink final : public TMessageSink {
public:
  int Show(const TUserMessage& message) override {
    Shown.push_back(message);
    if (message.Buttons == TMessageButtons::Ok)
      return IDOK;
    EXPECT_FALSE(Answers.empty()) << message.Text;
    if (Answers.empty())
      return IDCANCEL;
    const int answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const TUserMessage& m : Shown)
      texts.push_back(m.Text);
    return texts;
  }
  std::vector<TUserMessage> Shown;
  std::deque<int> Answers;
};

TMeasureWindowArgs FvcArgs() {
  TMeasureWindowArgs args;
  args.MeasureType = 0;
  return args;
}

class ProvocationDriverTest : public ::testing::Test, public TProvocationHost {
protected:
  ProvocationDriverTest()
      : Texts("English", fs::path(HALVETRA_SOURCE_DIR) / "resources/lang"), Files(Folder.Path()),
        Measure(FvcArgs(), nullptr, nullptr), Provocation(nullptr, nullptr),
        Driver(*this, Texts, Files, &Store, [this] { return Clock; }) {
    Texts.SetSink(&Sink);
    Files.MakeTempFileNames(false);
    Store.WorkFileThere = [this](short type) { return fs::exists(Files.WorkFile(type)); };
    Provocation.State.TestCommand = 2147;
  }
  void TearDown() override { EXPECT_TRUE(Sink.Answers.empty()); }

  // TProvocationHost: the windows are open; one of them is active.
  TMeasureWindow* MeasureWindow() override { return MeasureOpen ? &Measure : nullptr; }
  TProvocationWindow* ProvocationWindow() override { return &Provocation; }
  bool IsMeasureActive() const override { return MeasureActive; }
  bool IsProvocationActive() const override { return !MeasureActive; }
  void OpenProvocation() override {
    Calls.push_back("open provocation");
    AskToSave = true;
    MeasureActive = false;
  }
  void OpenMeasure(unsigned id) override {
    Calls.push_back("open measure " + std::to_string(id));
    MeasureOpen = true;
    MeasureActive = true;
  }
  bool GetAskToSave() const override { return AskToSave; }
  void SetAskToSave(bool ask) override { AskToSave = ask; }
  void DeleteTempFiles() override { Calls.push_back("delete temp"); }
  void ForgetMeetKey() override { Calls.push_back("forget meet"); }
  void EndProvocation() override { Calls.push_back("end provocation"); }

  // Every test type's work file, holding its name and a mark.
  void WriteWorkFiles(const std::string& mark) {
    for (short type = 0; type < TWorkFiles::TestTypeCount; ++type)
      std::ofstream(Files.WorkFile(type)) << "type " << type << " " << mark;
  }
  std::string Content(const std::string& file) const { return TTemporaryFolder::Read(Folder / file); }
  // A finished measurement in the active measurement window.
  void Measured(const std::string& mark, float key) {
    WriteWorkFiles(mark);
    Measure.Unsaved = true;
    Measure.Results.Key = key;
    MeasureOpen = true;
    MeasureActive = true;
  }
  std::string Format(int number, std::initializer_list<std::string> arguments) const {
    return Texts.Format(number, arguments);
  }
  std::string Text(int number) const { return Texts.LoadStringA(number); }

  TWorkingFolder Folder;
  TMessage Texts;
  TScriptedSink Sink;
  TWorkFiles Files;
  TStandInMeasure Measure;
  TStandInProvocation Provocation;
  TStoreRecorder Store;
  TStageTime Clock{2026, 3, 14, 9, 26, 53, 58};
  TProvocationDriver Driver;
  std::vector<std::string> Calls;
  bool MeasureOpen = false;
  bool MeasureActive = false;
  bool AskToSave = true;
};

TEST(ProvocationColumns, ACodeSelectsATestTypesParameterExceptDiffusion) {
  using P = std::optional<std::pair<short, short>>;
  const std::pair<short, P> cases[] = {
      {0, P{{0, 0}}},    {18, P{{0, 18}}},  {102, P{{1, 2}}}, {250, P{{2, 50}}}, {300, P{}}, {350, P{}},
      {405, P{{4, 5}}},  {599, P{{5, 99}}}, {600, P{}},       {-1, P{}},
  };
  for (const auto& [code, parameter] : cases)
    EXPECT_EQ(TProvocationDriver::ColumnParameter(code), parameter) << code;
}

TEST(ProvocationFall, TheCriterionIsAFallNotZeroAndNotAboveTheLimit) {
  const std::tuple<const char*, float, bool> cases[] = {
      {"15", 20.0f, true}, {"20", 20.0f, true}, {"20.5", 20.0f, false}, {"0", 20.0f, false},
      {"", 20.0f, false},  {"abc", 20.0f, false}, {"12,5", 20.0f, true}, {"-3", 20.0f, true},
  };
  for (const auto& [fall, limit, met] : cases)
    EXPECT_EQ(TProvocationDriver::FallCriterionMet(fall, limit), met) << fall;
}

TEST_F(ProvocationDriverTest, EachMeasurementIsFiledIntoItsStageAndItsColumnsJoinTheList) {
  Provocation.State.Columns = {5, 350, 102};
  Measure.Akt[{0, 1, 5}] = 3.25f;   // FEV1 of the second trial
  Measure.Akt[{1, 1, 2}] = 4.5f;
  Measure.Akt[{0, 0, 5}] = 9.0f;    // not the chosen trial
  Measure.Trial = 2;

  // Baseline.
  Measured("baseline", 3.1f);
  Driver.CmProvocationStep();
  EXPECT_EQ(Store.Calls, std::vector<std::string>{"write 0"});
  for (short type : {0, 1, 2, 4, 5}) {
    EXPECT_EQ(Content(Files.StageFile(0, type)), "type " + std::to_string(type) + " baseline") << type;
    EXPECT_FALSE(fs::exists(Files.WorkFile(type))) << type;
  }
  // The diffusion test is never staged.
  EXPECT_FALSE(fs::exists(Files.StageFile(0, 3)));
  EXPECT_EQ(Content(Files.WorkFile(3)), "type 3 baseline");
  ASSERT_EQ(Provocation.Rows.size(), 1u);
  EXPECT_EQ(Provocation.Rows[0], (std::array<float, 3>{3.25f, 0.0f, 4.5f}));  // code 350 shows 0
  EXPECT_EQ(Measure.Results.StageKeys[0], 3.1f);
  EXPECT_EQ(Provocation.State.Stages[0], Clock);
  EXPECT_FALSE(Measure.Unsaved);
  EXPECT_EQ(Calls, (std::vector<std::string>{"delete temp", "open provocation"}));
  EXPECT_EQ(Measure.Log.Calls, (std::vector<std::string>{"ClearAllTrials", "ClearTrialSelection"}));
  EXPECT_TRUE(Sink.Shown.empty());

  // Provoked: the next set; a trial not chosen reads trial 1.
  Measure.Trial = 0;
  Measure.Akt[{0, 0, 5}] = 2.5f;
  Clock.Minute = 40;
  Measured("provoked", 2.6f);
  Driver.CmProvocationStep();
  EXPECT_EQ(Content(Files.StageFile(1, 0)), "type 0 provoked");
  EXPECT_EQ(Content(Files.StageFile(0, 0)), "type 0 baseline");
  EXPECT_EQ(Provocation.Rows.at(1), (std::array<float, 3>{2.5f, 0.0f, 0.0f}));
  EXPECT_EQ(Provocation.State.Stages[1], Clock);
  EXPECT_EQ(Measure.Results.StageKeys[1], 2.6f);

  // After the end with a second agent: the third set, no row, and the end is said.
  Provocation.State.End = true;
  Provocation.State.ThirdAgent = "Salbutamol";
  Measured("third", 2.9f);
  Driver.CmProvocationStep();
  EXPECT_EQ(Content(Files.StageFile(2, 1)), "type 1 third");
  EXPECT_EQ(Provocation.Rows.size(), 2u);
  EXPECT_EQ(Sink.Texts(), std::vector<std::string>{Text(543)});
}

TEST_F(ProvocationDriverTest, AStepWithoutANewMeasurementOnlyBringsTheProvocationForward) {
  WriteWorkFiles("old");
  MeasureOpen = MeasureActive = true;
  Driver.CmProvocationStep();
  EXPECT_TRUE(Store.Calls.empty());
  EXPECT_EQ(Calls, std::vector<std::string>{"open provocation"});
  EXPECT_FALSE(fs::exists(Files.StageFile(0, 0)));
  EXPECT_TRUE(Provocation.Rows.empty());

  // After the end without a second agent nothing is filed either.
  Provocation.State.End = true;
  Provocation.State.BaselineDone = true;
  Measured("late", 1.0f);
  Driver.CmProvocationStep();
  for (int set = 0; set < 3; ++set)
    EXPECT_FALSE(fs::exists(Files.StageFile(set, 0))) << set;
  EXPECT_EQ(Sink.Texts(), std::vector<std::string>{Text(543)});
}

TEST_F(ProvocationDriverTest, AMeasurementWhoseWorkFileCannotBeWrittenIsNotFiled) {
  Store.FailWrite = true;
  Measured("kept", 3.0f);
  Driver.CmProvocationStep();
  EXPECT_TRUE(Measure.Unsaved);  // the store has said why; the results stay
  EXPECT_FALSE(fs::exists(Files.StageFile(0, 0)));
  EXPECT_TRUE(Provocation.Rows.empty());
  EXPECT_TRUE(Calls.empty());
}

// One step from the provocation window, from its state and the answers.
struct TStepCase {
  const char* name;
  std::function<void(TStandInProvocation&)> setUp;
  std::deque<int> answers;
  std::vector<std::pair<int, std::string>> messages;  // text number and argument ("" none)
  bool measures;    // the next measurement opens
  bool end;
  bool thirdStage;
  std::vector<std::string> windowCalls;
};

TEST_F(ProvocationDriverTest, StepsFromTheProvocationWindow) {
  const auto provoked = [](TStandInProvocation& p) {
    p.State.BaselineDone = true;
    p.State.DoseStep = 2;
  };
  const std::vector<TStepCase> cases{
      {"next dose", provoked, {}, {}, true, false, false, {"GetNextDose"}},
      {"queue empty", [&](auto& p) { provoked(p); p.QueueUsedUp = true; }, {}, {{360, "345"}, {543, ""}}, false, true, false, {}},
      {"limit reached", [&](auto& p) { provoked(p); p.State.FallValue = "15"; p.State.FallLimit = 20; },
       {}, {{360, "298"}, {543, ""}}, false, true, false, {}},
      {"limit reached, third taken", [&](auto& p) { provoked(p); p.State.FallValue = "15"; p.State.FallLimit = 20; p.State.ThirdAgent = "Salbutamol"; },
       {IDYES}, {{360, "298"}, {361, ""}, {359, "Salbutamol"}}, true, true, true, {}},
      {"queue empty, third declined", [&](auto& p) { provoked(p); p.QueueUsedUp = true; p.State.ThirdAgent = "Salbutamol"; },
       {IDNO}, {{360, "345"}, {361, ""}, {543, ""}}, false, true, false, {}},
      {"fall 0 is no fall", [&](auto& p) { provoked(p); p.State.FallValue = "0"; }, {}, {}, true, false, false, {"GetNextDose"}},
      {"no further dose", [&](auto& p) { provoked(p); p.NextDoseTaken = false; }, {}, {}, false, false, false, {"GetNextDose"}},
      {"the nebulizer starts on the first dose", [&](auto& p) { provoked(p); p.State.DoseStep = 1; p.State.NebulizerWord = 0x30; },
       {}, {}, false, false, false, {"StartNebulizer"}},
      {"the nebulizer stopped", [&](auto& p) { provoked(p); p.State.NebulizerRunning = true; }, {}, {}, true, false, false, {}},
      {"before the baseline", [](auto& p) { p.State.DoseStep = 2; }, {}, {}, true, false, false, {}},
      {"go on after a provoked row", [&](auto& p) { provoked(p); p.State.ProvokedRow = true; },
       {IDYES}, {{358, ""}}, true, false, false, {"GetNextDose"}},
      {"stop after a provoked row", [&](auto& p) { provoked(p); p.State.ProvokedRow = true; },
       {IDNO}, {{358, ""}, {543, ""}}, false, false, false, {}},
      {"stop after a provoked row, third agent", [&](auto& p) { provoked(p); p.State.ProvokedRow = true; p.State.ThirdAgent = "Salbutamol"; },
       {IDNO}, {{358, ""}, {359, "Salbutamol"}}, true, true, true, {}},
      {"step 0: next dose", [](auto& p) { p.State.BaselineDone = true; }, {}, {}, true, false, false, {"GetNextDose"}},
      {"step 0: limit reached", [](auto& p) { p.State.BaselineDone = true; p.State.FallValue = "18"; p.State.FallLimit = 20; },
       {}, {{360, "298"}, {543, ""}}, false, true, false, {}},
      {"step 0: the dose starts the nebulizer", [](auto& p) { p.State.BaselineDone = true; p.NextDoseStartsNebulizer = true; },
       {}, {}, false, false, false, {"GetNextDose"}},
      {"step 0: the nebulizer stopped", [](auto& p) { p.State.BaselineDone = true; p.State.NebulizerRunning = true; },
       {}, {}, true, false, false, {}},
      // A crossed limit is named before the question and the dose (message 0: the window's own text).
      {"a crossed limit is named first", [&](auto& p) { provoked(p); p.State.ProvokedRow = true; p.Crossed = "FEV1 -22 %"; },
       {IDYES}, {{0, "FEV1 -22 %"}, {358, ""}}, true, false, false, {"GetNextDose"}},
      {"a crossed limit and the queue's end", [&](auto& p) { provoked(p); p.QueueUsedUp = true; p.Crossed = "FEV1 -22 %"; },
       {}, {{0, "FEV1 -22 %"}, {360, "345"}, {543, ""}}, false, true, false, {}},
      {"the run that ended gave its dose: no warning", [&](auto& p) { provoked(p); p.State.NebulizerRunning = true; p.Crossed = "FEV1 -22 %"; },
       {}, {}, true, false, false, {}},
  };
  for (const TStepCase& c : cases) {
    SCOPED_TRACE(c.name);
    Provocation.State = {};
    Provocation.State.TestCommand = 2148;
    Provocation.QueueUsedUp = false;
    Provocation.Crossed.clear();
    Provocation.NextDoseTaken = true;
    Provocation.NextDoseStartsNebulizer = false;
    Provocation.Log.Calls.clear();
    Sink.Shown.clear();
    Calls.clear();
    MeasureOpen = MeasureActive = false;
    Measure.Unsaved = true;
    Measure.Results = {1.0f, 2.0f, {}, 3.0f};
    Driver.ProvocationOpened();
    c.setUp(Provocation);
    Sink.Answers = c.answers;

    Driver.CmProvocationStep();
    std::vector<std::string> expected;
    for (const auto& [number, argument] : c.messages)
      expected.push_back(number == 0       ? argument
                         : argument.empty() ? Text(number)
                         : number == 360 ? Format(360, {Text(std::stoi(argument))})
                                         : Format(number, {argument}));
    EXPECT_EQ(Sink.Texts(), expected);
    EXPECT_EQ(Calls, c.measures ? std::vector<std::string>{"open measure 2148"} : std::vector<std::string>{});
    EXPECT_EQ(Provocation.State.End, c.end);
    EXPECT_EQ(Driver.IsThirdStage(), c.thirdStage);
    EXPECT_EQ(Provocation.Log.Calls, c.windowCalls);
    EXPECT_FALSE(AskToSave);
    if (c.measures) {
      // The next measurement starts clean and linked.
      EXPECT_FALSE(Measure.Unsaved);
      EXPECT_EQ(Measure.Results.Key, 0.0f);
      EXPECT_EQ(Measure.Results.KeyBefore, 0.0f);
      EXPECT_EQ(Measure.Results.Further, 0.0f);
      EXPECT_TRUE(Provocation.State.MeasurementLinked);
      EXPECT_EQ(Provocation.State.LinkedMeasure, &Measure);
    }
  }
  // The question whether to go on makes No its default.
  Provocation.State = {};
  Provocation.Crossed.clear();
  Provocation.State.ProvokedRow = true;
  MeasureActive = false;
  Sink.Shown.clear();
  Sink.Answers = {IDNO};
  Driver.CmProvocationStep();
  ASSERT_FALSE(Sink.Shown.empty());
  EXPECT_EQ(Sink.Shown[0].DefaultButton, 2);
  EXPECT_EQ(Sink.Shown[0].Icon, TMessageIcon::Warning);
}

TEST_F(ProvocationDriverTest, TheNextMeasurementCommandEndsTheDosesAndOffersAThirdStage) {
  Driver.CmProvocationMeasure();
  EXPECT_TRUE(Provocation.State.End);
  EXPECT_EQ(Sink.Texts(), std::vector<std::string>{Text(543)});
  EXPECT_TRUE(Calls.empty());

  Sink.Shown.clear();
  Provocation.State.ThirdAgent = "Salbutamol";
  Sink.Answers = {IDYES};
  Driver.CmProvocationMeasure();
  EXPECT_EQ(Sink.Texts(), (std::vector<std::string>{Text(361), Format(359, {"Salbutamol"})}));
  EXPECT_EQ(Calls, std::vector<std::string>{"open measure 2147"});
  EXPECT_TRUE(Driver.IsThirdStage());
}

class ProvocationClosing : public ProvocationDriverTest {
protected:
  // Baseline and provoked stages filed; the third was declined.
  void FileTwoStages() {
    Measured("baseline", 3.0f);
    Driver.CmProvocationStep();
    Clock.Hour = 10;
    Measured("provoked", 2.4f);
    Driver.CmProvocationStep();
    Store.Calls.clear();
    Calls.clear();
    Measure.Log.Calls.clear();
    fs::remove(Files.WorkFile(3));  // the clean-up of the work files
  }
};

TEST_F(ProvocationClosing, EveryFiledStageIsStoredOnceInItsOrder) {
  FileTwoStages();
  Sink.Answers = {IDYES};
  Driver.CmProvocationClosed();
  EXPECT_EQ(Sink.Texts(), std::vector<std::string>{Text(288)});
  // Each set is an examination of its own, with the kinds it holds (no diffusion test).
  EXPECT_EQ(Store.Calls, (std::vector<std::string>{"stage 8: 0 1 2 4 5", "stage 16: 0 1 2 4 5"}));
  ASSERT_EQ(Store.StageTimes.size(), 2u);
  EXPECT_EQ(Store.StageTimes[0], Provocation.State.Stages[0]);
  EXPECT_EQ(Store.StageTimes[1].Hour, 10);
  EXPECT_EQ(Measure.Log.Calls, (std::vector<std::string>{"SetChanged 0", "SetChanged 1", "SetChanged 2", "SetChanged 4",
                                                         "SetChanged 5", "SetChanged 0", "SetChanged 1", "SetChanged 2",
                                                         "SetChanged 4", "SetChanged 5"}));
  EXPECT_EQ(Content(Files.WorkFile(0)), "type 0 provoked");  // the last set brought back
  EXPECT_EQ(Provocation.State.StageFlag, TProvocationDriver::ThirdStageFlag);  // the third set was looked at
  EXPECT_EQ(Calls, (std::vector<std::string>{"forget meet", "delete temp", "forget meet", "end provocation"}));

  // The window's closing runs once.
  Sink.Shown.clear();
  Driver.CmProvocationClosed();
  EXPECT_TRUE(Sink.Shown.empty());
  EXPECT_EQ(Store.Calls.size(), 2u);
}

TEST_F(ProvocationClosing, NoKeepsTheStageFilesAndAPendingMeasurementIsSaidToBeLeftOut) {
  FileTwoStages();
  Sink.Answers = {IDNO};
  Driver.CmProvocationClosed();
  EXPECT_TRUE(Store.Calls.empty());
  EXPECT_TRUE(fs::exists(Files.StageFile(0, 0)));

  // A step opened the next measurement (ask-to-save clear): it is left out,
  // the filed stages are stored.
  AskToSave = false;
  Sink.Shown.clear();
  Sink.Answers = {IDYES};
  Driver.CmProvocationClosed();
  EXPECT_EQ(Sink.Texts(), (std::vector<std::string>{Text(288), Text(554)}));
  EXPECT_EQ(Store.Calls.size(), 2u);
}

TEST_F(ProvocationClosing, WithoutABaselineNothingIsAsked) {
  Driver.CmProvocationClosed();
  EXPECT_TRUE(Sink.Shown.empty());
  EXPECT_TRUE(Store.Calls.empty());
}

// The driver in the client: its commands, the windows it switches between
// and the stages stored as the provocation window closes.
class ProvocationInTheClient : public TAppFixture {
protected:
  void SetUp() override {
    Windows = StandIns.Factories([this] { return App ? static_cast<TEventHandler*>(App->GetClient()) : nullptr; });
    Store = &Recorder;
    StageClock = [] { return TStageTime{2026, 3, 14, 9, 26, 53, 0}; };
    Recorder.WorkFileThere = [this](short type) { return fs::exists(App->GetWorkFiles().WorkFile(type)); };
    Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\n");
    Start();
    CreateDatabase();
    AddPatient("Anna Kovacs", "A-1");
    ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  }
  void Step() { SendMessage(&Client(), WM_COMMAND, CM_PROVOCATION_STEP, 0); }
  bool Active(THalvetraMDIChild* frame) { return frame && Client().activeSubWindow() == frame; }

  TStandInWindows StandIns;
  TStoreRecorder Recorder;
};

TEST_F(ProvocationInTheClient, StepsAlternateBetweenTheWindowsAndClosingStoresTheStages) {
  Client().CmProvocation();
  TStandInProvocation* provocation = StandIns.Provocation;
  ASSERT_NE(provocation, nullptr);
  provocation->State.TestCommand = static_cast<short>(CM_MEASURE_FVC);
  provocation->State.Columns = {5, -1, -1};

  // From the provocation: the first dose, then the measurement.
  Step();
  ASSERT_NE(StandIns.Measure, nullptr);
  EXPECT_TRUE(Active(Client().GetMeasureFrame()));
  EXPECT_EQ(provocation->State.LinkedMeasure, Client().GetMeasure());
  EXPECT_EQ(Recorder.Calls, std::vector<std::string>{"read 0"});  // the window opens on its work file
  Recorder.Calls.clear();

  // The baseline is measured; the step files it and goes back.
  Folder.Write(App->GetWorkFiles().WorkFile(0), "baseline");
  StandIns.Measure->Unsaved = true;
  StandIns.Measure->Akt[{0, 0, 5}] = 3.5f;
  Step();
  EXPECT_EQ(Recorder.Calls, std::vector<std::string>{"write 0"});
  EXPECT_TRUE(fs::exists(Folder / App->GetWorkFiles().StageFile(0, 0)));
  ASSERT_EQ(provocation->Rows.size(), 1u);
  EXPECT_EQ(provocation->Rows[0][0], 3.5f);
  EXPECT_TRUE(Active(Client().GetProvocationFrame()));
  EXPECT_EQ(provocation->State.Stages[0].Minute, 26);

  // Closing the provocation stores the baseline as its own examination.
  Sink.Answer = IDYES;
  Client().GetProvocationFrame()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  EXPECT_TRUE(Shown(288));
  EXPECT_EQ(Recorder.Calls, (std::vector<std::string>{"write 0", "stage 8: 0"}));
  EXPECT_EQ(Recorder.StageTimes.at(0).Hour, 9);
  EXPECT_FALSE(Client().IsProvocationMode());
  EXPECT_EQ(Client().GetProvocation(), nullptr);
}

}  // namespace
