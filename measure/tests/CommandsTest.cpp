// The window's commands on the core: the response table, the switches of
// the display, the trial buttons, a mode change during a run, Esc, the
// provocation cancel, help mode and the list feeding, with a view that
// records what it is asked to do.

#include "measure/tests/LinkedCoreFixture.h"

#include "common/CommandNumbers.h"
#include "measure/results/ParamList.h"
#include "platform/framework/Profile.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

class TRecordingView final : public TMeasureView {
public:
  void SetCurrentFactor() override { Log("SetCurrentFactor"); }
  void CopyScreen() override { Log("CopyScreen"); }
  void DeleteScreenBmp() override { Log("DeleteScreenBmp"); }
  void RedrawScreenBmp() override { Log("RedrawScreenBmp"); }
  void ClearMeasureScreen() override { Log("ClearMeasureScreen"); }
  void ClearVolumeScreen() override { Log("ClearVolumeScreen"); }
  void DrawCurve(short, short, bool) override { ++Drawn; }
  void WriteLargeParam(float value) override { Large = value; }
  void UpdateTableTitle() override { Log("UpdateTableTitle"); }
  bool RefreshMeasureUnit(short) override {
    Log("RefreshMeasureUnit");
    return UnitAccepted;
  }
  void RebuildToolTipObjects() override { Log("RebuildToolTipObjects"); }
  void MeasurePaint() override { Log("MeasurePaint"); }
  void InvalidateScreen() override { Log("InvalidateScreen"); }
  void DrawMetronome(short) override {}
  void PlaceParamList(const TListPlacement& placement, bool) override { Placed = placement; }
  void ShowParamList(bool visible) override { ListShown = visible; }
  void RefreshParamList() override { Log("RefreshParamList"); }
  void ShowListScrollBar(bool) override {}
  void SetNoteEditText(const std::string& text) override { Note = text; }
  std::string GetNoteEditText() const override { return Note; }
  void DropNotes() override { NoteWindow.clear(); }
  void ShowNoteWindow(const std::string& text) override { NoteWindow = text; }
  bool IsNoteWindowOpen() const override { return !NoteWindow.empty(); }
  short GetPredictedSelection() const override { return Selection; }
  void SetCursor(int) override {}
  void Beep() override {}
  bool RunParamDialog() override { return false; }
  void SetHourGlass(bool) override {}
  bool InitCake(short age, float predictedL) override {
    Cake.push_back("init " + std::to_string(age) + " " + std::to_string(predictedL));
    return true;
  }
  void MoveFlame(short) override { ++Flickers; }
  void FlameOff(short, float referenceVolumeL, float volumeL) override {
    PutOut.push_back({referenceVolumeL, volumeL});
  }
  void CloseCake() override { Cake.emplace_back("close"); }

  void Log(const char* call) { Calls.emplace_back(call); }
  bool Called(const std::string& call) const { return std::find(Calls.begin(), Calls.end(), call) != Calls.end(); }

  std::vector<std::string> Calls;
  TListPlacement Placed;
  bool ListShown = true;
  bool UnitAccepted = true;
  std::string Note;
  std::string NoteWindow;
  short Selection = -1;
  int Drawn = 0;
  float Large = 0.0f;
  std::vector<std::string> Cake;
  int Flickers = 0;
  std::vector<std::pair<float, float>> PutOut;  // reference and volume of each sample
};

class TCommandCore final : public TMeasureCore {
public:
  using TMeasureCore::TMeasureCore;
  void PostToSelf(unsigned msg, TParam1 wParam, TParam2 lParam) override { Posted.push_back({msg, wParam, lParam}); }
  std::vector<TSentMessage> Posted;
};

class CommandsTest : public LinkedCoreTest<TCommandCore> {
protected:
  CommandsTest() : LinkedCoreTest(MEASURE_FVC) {
    Core.HomeFolder = Folder.Path();
    Core.SetView(&View);
    Core.SetMeasureMode(MEASURE_FVC);
  }
  ~CommandsTest() override { Core.SetView(nullptr); }

  bool Sent(unsigned msg) const {
    return std::any_of(Client.Sent.begin(), Client.Sent.end(), [msg](const TSentMessage& m) { return m.Msg == msg; });
  }

  TRecordingView View;
};

TEST_F(CommandsTest, ZoomCyclesThroughItsFourLevels) {
  std::vector<short> levels;
  for (int press = 0; press < 4; ++press) {
    Core.DispatchCommand(CM_ZOOM);
    levels.push_back(Core.ZoomLevel);
  }
  EXPECT_EQ(levels, (std::vector<short>{2, 3, 0, 1}));
  EXPECT_EQ(Core.SavedZoomLevel, 1);
  EXPECT_TRUE(View.Called("DeleteScreenBmp"));
  EXPECT_TRUE(View.Called("SetCurrentFactor"));
}

TEST_F(CommandsTest, TableButtonsSwapTheActualTrialOrOnlyRedraw) {
  struct TCase {
    std::array<short, 3> Before;
    unsigned Command;
    std::array<short, 3> After;
  };
  const TCase cases[] = {
      {{2, 1, 3}, CM_TABLE3, {3, 1, 2}},
      {{2, 1, 3}, CM_TABLE1, {1, 2, 3}},
      {{2, 1, 3}, CM_TABLE2, {2, 1, 3}},
      // A trial that is not in the order changes nothing but the picture.
      {{1, 0, 0}, CM_TABLE2, {1, 0, 0}},
  };
  for (const TCase& c : cases) {
    Core.TrialOrder = c.Before;
    View.Calls.clear();
    Core.DispatchCommand(c.Command);
    EXPECT_EQ(Core.TrialOrder, c.After) << c.Command;
    EXPECT_TRUE(View.Called("RedrawScreenBmp"));
  }
}

TEST_F(CommandsTest, ModeChangeStopsARunningTest) {
  Core.HasInstrument = true;
  Core.CmStart(CM_START);
  Core.CmDoStart(CM_START);
  ASSERT_NE(Core.Dispatch(WM_GET_IS_START, 0, 0), 0);
  Core.SetMeasureMode(MEASURE_VC);
  EXPECT_EQ(Core.Dispatch(WM_GET_IS_START, 0, 0), 0);
  EXPECT_EQ(Core.GetMeasureMode(), MEASURE_VC);
  EXPECT_TRUE(Core.ListVisible);
  // The kind the window was opened for stays what the program asks.
  EXPECT_EQ(Core.GetMeasureType(), MEASURE_FVC);
}

// The start freezes the picture it begins from: the notes go, shutter and
// rhinomanometry clear their volume area first, a calibration screen left
// up is replaced by the measuring screen before the copy, and a start
// during a run touches nothing.
TEST_F(CommandsTest, StartCopiesTheScreenItBeginsFrom) {
  struct TCase {
    short Kind;
    short Screen;
    std::vector<std::string> Calls;
  };
  const TCase cases[] = {
      {MEASURE_FVC, 1, {"CopyScreen"}},
      {MEASURE_VC, 1, {"CopyScreen"}},
      {MEASURE_SHUTTER, 1, {"ClearVolumeScreen", "CopyScreen"}},
      {MEASURE_RHINO, 1, {"ClearVolumeScreen", "CopyScreen"}},
      {MEASURE_FVC, 0, {"ClearMeasureScreen", "CopyScreen"}},
  };
  const std::vector<std::string> watched = {"ClearMeasureScreen", "ClearVolumeScreen", "CopyScreen"};
  for (const TCase& c : cases) {
    Core.MeasureType = c.Kind;
    Core.MeasureScreen = c.Screen;
    View.NoteWindow = "2026.12.11";
    View.Calls.clear();
    Core.Posted.clear();
    Core.CmStart(CM_START);
    std::vector<std::string> calls;
    std::copy_if(View.Calls.begin(), View.Calls.end(), std::back_inserter(calls), [&](const std::string& call) {
      return std::find(watched.begin(), watched.end(), call) != watched.end();
    });
    EXPECT_EQ(calls, c.Calls) << c.Kind << " screen " << c.Screen;
    EXPECT_FALSE(View.IsNoteWindowOpen()) << c.Kind;
    EXPECT_EQ(Core.MeasureScreen, 1) << c.Kind;
    ASSERT_EQ(Core.Posted.size(), 1u) << c.Kind;
    EXPECT_EQ(Core.Posted.front().Msg, WM_DO_START) << c.Kind;
  }

  Core.MeasureType = MEASURE_FVC;
  Core.HasInstrument = true;
  Core.CmDoStart(CM_START);
  ASSERT_TRUE(Core.IsRunning());
  View.Calls.clear();
  View.NoteWindow = "kept";
  Core.CmStart(CM_START2);
  EXPECT_TRUE(View.Calls.empty());
  EXPECT_TRUE(View.IsNoteWindowOpen());
}

TEST_F(CommandsTest, EscStopsOnlyARunningTest) {
  Core.DispatchCommand(CM_ESC_BUTTON);
  EXPECT_EQ(Core.StopRequest, 0);
  Core.HasInstrument = true;
  Core.CmDoStart(CM_START);
  Core.DispatchCommand(CM_ESC_BUTTON);
  EXPECT_EQ(Core.StopRequest, 1);
  // The next sample ends the run.
  Core.Dispatch(WM_DATA_READY, 0, 0);
  EXPECT_FALSE(Core.IsRunning());
}

// The settings named a conversion constant that is no number: the window
// says which, once for each, and works with the default.
TEST_F(CommandsTest, AConstantThatIsNoNumberIsNamedWhenTheSettingsArrive) {
  TMeasureSettings settings;
  settings.Calibration.Section = "Calibration";
  settings.Calibration.NotFinite = {"FlowExpirationConstans"};
  Core.ApplySettings(settings);
  EXPECT_EQ(TakeMessage(), Texts.Format(9262, {"FlowExpirationConstans", "Calibration"}));
  EXPECT_EQ(Core.ExpFactor, 1.0f);
  Core.ApplySettings(TMeasureSettings{});
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(CommandsTest, ProvocationSeriesClosesOnlyOnYes) {
  Sink.Answer = IDNO;
  Core.DispatchCommand(CM_CANCEL_PROV);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Buttons, TMessageButtons::YesNo);
  EXPECT_EQ(Sink.Messages[0].Text, Texts.LoadStringA(362));
  EXPECT_FALSE(Sent(WM_CLOSE_CHILD_WINDOWS));
  Sink.Messages.clear();
  Sink.Answer = IDYES;
  Core.DispatchCommand(CM_CANCEL_PROV);
  Sink.Messages.clear();
  EXPECT_TRUE(Sent(WM_CLOSE_CHILD_WINDOWS));
}

TEST_F(CommandsTest, DuringARunOnlyStopAndCancelAreEnabled) {
  std::vector<unsigned> ids;
  for (const TResponseEntry& entry : TMeasureCore::ResponseTable().Entries)
    if (entry.Kind == TResponseEntry::TKind::Enabler)
      ids.push_back(entry.Id);
  auto enabled = [&] {
    std::vector<unsigned> on;
    for (const unsigned id : ids) {
      TCommandEnabler enabler(id);
      Core.DispatchEnable(enabler);
      if (enabler.GetEnabled())
        on.push_back(id);
    }
    return on;
  };
  // Idle, on the demonstration data: the starts, zoom, the zero, comparison,
  // cancel, the animation (a child), the grid and the spreadsheet export.
  EXPECT_EQ(enabled(), (std::vector<unsigned>{CM_START, CM_START2, CM_START3, CM_ZOOM, CM_ZERO, CM_CANCEL_PROV,
                                              CM_PREPOST, CM_CAKE, CM_GRID, CM_DDE}));
  Core.HasInstrument = true;
  Core.CmDoStart(CM_START);
  EXPECT_EQ(enabled(), (std::vector<unsigned>{CM_STOP, CM_CANCEL_PROV}));
  Core.CmEscButton();
  Core.CmReady(0, 0);
  // With an instrument a zero is due before the next start or calibration.
  EXPECT_EQ(enabled(),
            (std::vector<unsigned>{CM_ZOOM, CM_ZERO, CM_CANCEL_PROV, CM_PREPOST, CM_CAKE, CM_GRID, CM_DDE}));
  Core.CreateZeroTimer();
  EXPECT_EQ(enabled(), (std::vector<unsigned>{CM_START, CM_START2, CM_START3, CM_CALIBRATION, CM_ZOOM, CM_ZERO,
                                              CM_CANCEL_PROV, CM_PREPOST, CM_CAKE, CM_GRID, CM_DDE}));
  Core.SetZeroPending();
  EXPECT_EQ(enabled(),
            (std::vector<unsigned>{CM_ZOOM, CM_ZERO, CM_CANCEL_PROV, CM_PREPOST, CM_CAKE, CM_GRID, CM_DDE}));
}

TEST_F(CommandsTest, UnitChangeIsKeptOnlyWhenTheScreenTakesIt) {
  Core.SetIniFile((Folder / "Halvetra.ini").string());
  View.UnitAccepted = false;
  Core.DispatchCommand(CM_UNIT);
  EXPECT_EQ(Core.UnitSystem, 0);
  View.UnitAccepted = true;
  Core.DispatchCommand(CM_UNIT);
  EXPECT_EQ(Core.UnitSystem, 1);
  EXPECT_EQ(TProfile("Unit of Measurement", Core.GetIniFile()).GetInt("Unit", 0), 1);
  // In help mode the command only asks for its help.
  Client.HelpMode = true;
  Core.DispatchCommand(CM_UNIT);
  EXPECT_EQ(Core.UnitSystem, 1);
  EXPECT_EQ(Client.Sent.back(), (TSentMessage{WM_SHOW_HELP, CM_UNIT, 0}));
}

// What the client leaves unanswered goes to the main window: its help mode,
// and the grid and animation buttons when no child of the client shows them.
TEST_F(CommandsTest, WhatTheClientLeavesUnansweredGoesToTheMainWindow) {
  Core.SetIniFile((Folder / "Halvetra.ini").string());
  Client.Answers = {0};
  const bool grid = Core.GridOn;
  Core.DispatchCommand(CM_GRID);
  EXPECT_NE(Core.GridOn, grid);
  ASSERT_FALSE(Client.SentToMainWindow.empty());
  EXPECT_EQ(Client.SentToMainWindow.back(), (TSentMessage{WM_GRID_CHANGED, Core.GridOn ? 1u : 0u, 0}));

  Client.Answers = {1};
  Client.SentToMainWindow.clear();
  Core.DispatchCommand(CM_GRID);
  EXPECT_EQ(Core.GridOn, grid);
  for (const TSentMessage& sent : Client.SentToMainWindow)
    EXPECT_NE(sent.Msg, static_cast<unsigned>(WM_GRID_CHANGED)) << "the client took it";

  // Help mode known only to the main window: the grid stays as it is.
  Client.MainWindowHelpMode = true;
  Core.DispatchCommand(CM_GRID);
  EXPECT_EQ(Core.GridOn, grid);
  EXPECT_EQ(Client.SentToMainWindow.back(), (TSentMessage{WM_GET_HELP_MODE, 0, 0}));
}

TEST_F(CommandsTest, ComparisonMovesTheListUnderTheTallerTitleAndTellsTheClient) {
  Core.ScreenIndex = 4;
  Core.ScreenWidthPx = 1280;  // a 1280 x 1024 screen
  Core.ScreenFactors = {1.6f, 1024.0f / 600.0f};
  Core.DispatchCommand(CM_PREPOST);
  EXPECT_TRUE(Core.PrePostMode);
  EXPECT_EQ(View.Placed, (TListPlacement{512, 199, 1187, 470}));
  EXPECT_EQ(Client.Sent.back(), (TSentMessage{WM_PREPOST_CHANGED, 1, 0}));
  Core.DispatchCommand(CM_PREPOST);
  EXPECT_FALSE(Core.PrePostMode);
  EXPECT_EQ(View.Placed, (TListPlacement{512, 145, 1187, 469}));
  EXPECT_EQ(Client.Sent.back(), (TSentMessage{WM_PREPOST_CHANGED, 0, 0}));
}

TEST_F(CommandsTest, ScreenIndexAndListPlacementByScreenWidth) {
  EXPECT_EQ(TMeasureCore::ScreenIndexOf(640), 0);
  EXPECT_EQ(TMeasureCore::ScreenIndexOf(1280), 4);
  EXPECT_EQ(TMeasureCore::ScreenIndexOf(1600), 5);
  // A width the layout does not know is laid out as 800.
  EXPECT_EQ(TMeasureCore::ScreenIndexOf(1366), 1);
  EXPECT_EQ(TMeasureCore::ListPlacement(1, false), (TListPlacement{320, 85, 742, 278}));
  EXPECT_EQ(TMeasureCore::ListPlacement(0, true), (TListPlacement{256, 93, 594, 226}));
}

TEST_F(CommandsTest, CurvesOnlyHidesTheListAndBringsItBack) {
  Core.DispatchCommand(CM_SCREEN);
  EXPECT_FALSE(Core.ListVisible);
  EXPECT_FALSE(View.ListShown);
  // Curves only is the full-width screen.
  EXPECT_EQ(Core.ScreenMode, 0);
  EXPECT_EQ(Core.EnablerState().ScreenMode, 0);
  Core.DispatchCommand(CM_SCREEN);
  EXPECT_TRUE(Core.ListVisible);
  EXPECT_TRUE(View.ListShown);
  EXPECT_EQ(Core.ScreenMode, 1);
  EXPECT_TRUE(Sent(WM_CHANGE_BUTTON_COLOR));
  // A change of the test kind comes back to the curves beside the list.
  Core.DispatchCommand(CM_SCREEN);
  Core.SetMeasureMode(MEASURE_VC);
  EXPECT_EQ(Core.ScreenMode, 1);
  EXPECT_TRUE(Core.ListVisible);
}

// The run drives the incentive animation: shown at the start with the
// kind's predicted value, a flicker for each sample before the breath,
// the candles measured on every sample after it, closed at the stop.
TEST_F(CommandsTest, TheRunShowsMovesAndClosesTheCake) {
  Core.PredictedData.Age = 6;
  Core.RefParams[MEASURE_FVC][0] = 1.5f;
  Core.HasInstrument = true;
  Core.CmStart(CM_START);
  Core.CmDoStart(CM_START);
  ASSERT_EQ(View.Cake, (std::vector<std::string>{"init 6 " + std::to_string(1.5f)}));
  // Quiet breathing below the start threshold flickers; the blast starts it.
  const int quiet[] = {3, -2, 4, -3, 2};
  for (const int count : quiet)
    Core.CmReady(0, count);
  EXPECT_EQ(View.Flickers, 5);
  EXPECT_TRUE(View.PutOut.empty());
  for (unsigned i = 0; i < 50; ++i)
    Core.CmReady(i, -200);  // -1.76 L/s
  EXPECT_EQ(View.Flickers, 5);
  ASSERT_EQ(View.PutOut.size(), 50u);
  // Each sample is measured against the turning point before the blast
  // (volume 0) and its own volume: 1.7578125 L/s x 0.01 s per sample.
  EXPECT_FLOAT_EQ(View.PutOut.back().first, 0.0f);
  EXPECT_NEAR(View.PutOut.back().second, -50 * 0.017578125, 1e-4);
  Core.CmStop();
  EXPECT_EQ(View.Cake.back(), "close");
  EXPECT_TRUE(View.Called("RedrawScreenBmp"));
}

TEST_F(CommandsTest, NoCakeInRhinomanometryOrWithoutTheList) {
  Core.PredictedData.Age = 6;
  Core.RefParams[MEASURE_FVC][0] = 1.5f;
  Core.HasInstrument = true;
  Core.DispatchCommand(CM_SCREEN);  // curves only
  Core.CmStart(CM_START);
  Core.CmDoStart(CM_START);
  Core.CmStop();
  EXPECT_EQ(View.Cake, (std::vector<std::string>{"close"}));
}

// A window opened again shows the comparison when it was shown last and
// both the actual and the previous result of its kind have samples.
TEST_F(CommandsTest, ComparisonComesBackOnlyWithBothResults) {
  struct TCase {
    bool shownLast;
    short actualSamples;
    short previousSamples;
    bool stageView;
    bool restored;
  };
  const TCase cases[] = {
      {true, 300, 250, false, true},
      {false, 300, 250, false, false},
      {true, 0, 250, false, false},
      {true, 300, 0, false, false},
      {true, 300, 250, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.shownLast << c.actualSamples << c.previousSamples << c.stageView);
    TCommandCore core(&Texts, &Client, MEASURE_FVC);
    core.SetView(&View);
    core.StageView = c.stageView;
    core.SampleCount[MEASURE_FVC][1] = c.actualSamples;
    core.SampleCount[MEASURE_FVC][3] = c.previousSamples;
    TMeasureCore::PrePostShown = c.shownLast;
    core.RestorePrePost();
    EXPECT_EQ(core.PrePostMode, c.restored);
    core.RestorePrePost();  // never switches it off again
    EXPECT_EQ(core.PrePostMode, c.restored);
    core.SetView(nullptr);
  }
  // Switching the comparison is what the next window remembers.
  Core.DispatchCommand(CM_PREPOST);
  EXPECT_TRUE(TMeasureCore::PrePostShown);
  Core.DispatchCommand(CM_PREPOST);
  EXPECT_FALSE(TMeasureCore::PrePostShown);
}

TEST_F(CommandsTest, NoteWindowShowsDatesAndNotesAndToggles) {
  Core.SetNote(2, "");
  Core.SetNote(1, "after");
  Core.DispatchCommand(5401);
  ASSERT_TRUE(View.IsNoteWindowOpen());
  EXPECT_NE(View.NoteWindow.find("after"), std::string::npos);
  // An empty comparison note shows the text that says so.
  EXPECT_NE(View.NoteWindow.find(Texts.LoadStringA(85)), std::string::npos);
  Core.DispatchCommand(5401);
  EXPECT_FALSE(View.IsNoteWindowOpen());
  // The edit's change notification marks the note changed.
  Core.Dispatch(TMeasureCore::ControlNotify(TMeasureCore::NoteEditId, TMeasureCore::EN_CHANGE), 0, 0);
  EXPECT_TRUE(Core.NoteChanged);
}

TEST_F(CommandsTest, EquationSetChangeRecomputesThePredictedValues) {
  Core.CreateParamList(0, 1.0f);
  PREDICTED_DATA man;
  man.Age = 40;
  man.Height = 180;
  man.Weight = 80;
  man.Sex = 1;
  Core.SetPredictedData(man);
  Core.CalculatePredictedRSD();
  const float eccs = Core.RefParams[MEASURE_FVC][0];
  View.Selection = 1;  // Knudson
  Core.Dispatch(TMeasureCore::ControlNotify(TMeasureCore::PredictedListId, TMeasureCore::CBN_SELCHANGE), 0, 0);
  EXPECT_EQ(Core.GetParamList()->PredictedAlgorithm, 1);
  EXPECT_NE(Core.RefParams[MEASURE_FVC][0], eccs);
  EXPECT_TRUE(View.Called("RedrawScreenBmp"));
}

TEST_F(CommandsTest, ListShowsTheTrialsBesidePredictedValuesAndVext) {
  Core.SetIniFile((Folder / "Halvetra.ini").string());
  Core.CreateParamList(0, 1.0f);
  Core.AktParams[MEASURE_FVC][0][0] = 4.5f;
  Core.AktParams[MEASURE_FVC][1][0] = 4.2f;
  Core.RefParams[MEASURE_FVC][0] = 5.0f;
  Core.RsdParams[MEASURE_FVC][0] = 0.5f;
  Core.TrialOrder = {1, 2, 0};
  Core.LostVolume[0] = 0.12f;
  TMeasureSettings settings;
  settings.Spirometer.ShowLostVolume = true;
  Core.ApplySettings(settings);
  Core.UpdateParamListBox();
  const std::vector<std::string>& lines = Core.GetParamList()->GetLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("4.50"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(" 90"), std::string::npos) << lines[0];  // 4.5 of 5.0
  EXPECT_NE(lines[0].find("4.20"), std::string::npos) << lines[0];
  EXPECT_EQ(lines.back(), "Vext         0.12");
  EXPECT_TRUE(Sent(WM_CHANGE_BUTTON_COLOR));
}

}  // namespace

// What the provocation driver reads and sets through the program's contract.
TEST_F(CommandsTest, ProvocationReadsValuesClearsEveryTrialAndMarksNewResults) {
  TMeasureWindow& window = Core;
  Core.GetAktBuffer(MEASURE_FVC, 1)[2] = 3.25f;
  Core.GetAktBuffer(MEASURE_VC, 3)[0] = 4.5f;
  EXPECT_FLOAT_EQ(window.GetAktValue(MEASURE_FVC, 1, 2), 3.25f);
  EXPECT_FLOAT_EQ(window.GetAktValue(MEASURE_VC, 3, 0), 4.5f);
  // Outside the tables: nothing, never another slot's value.
  EXPECT_EQ(window.GetAktValue(MEASURE_FVC, 4, 2), 0.0f);
  EXPECT_EQ(window.GetAktValue(TEST_KIND_COUNT, 1, 2), 0.0f);
  EXPECT_EQ(window.GetAktValue(MEASURE_FVC, 1, -1), 0.0f);
  EXPECT_EQ(window.GetAktValue(MEASURE_FVC, 1, TMeasureCore::GetNumberOfParams(MEASURE_FVC)), 0.0f);

  window.ClearAllTrials();
  EXPECT_EQ(window.GetAktValue(MEASURE_FVC, 1, 2), 0.0f);
  EXPECT_EQ(window.GetAktValue(MEASURE_VC, 3, 0), 0.0f);

  window.SetChanged(MEASURE_VC);
  window.SetChanged(-1);
  window.SetChanged(99);
  EXPECT_TRUE(Core.NewResult[MEASURE_VC]);
  EXPECT_FALSE(Core.NewResult[MEASURE_FVC]);

  window.ProvocationResults().Key = 2.5f;
  EXPECT_FLOAT_EQ(Core.ProvocationResults().Key, 2.5f);
}
