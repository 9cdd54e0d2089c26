#include "records/tests/RecordsFixture.h"

#include "platform/dbkit/Engine.h"
#include "records/ExaminationLoader.h"
#include "records/MeasureRecords.h"
#include "testing/TestDatabase.h"

#include <limits>

namespace {

class Load : public TRecordsFixture {
protected:
  // A meet row and a test row written as another program would.
  long StoreRows(std::int32_t flags, std::string_view table, short n, const std::vector<float>& curve,
                 std::string_view time = "08:15:00") {
    auto meet = OpenTestTable(Folder.Path(), "meet.db", &Texts());
    MeetRecordType row;
    row.PatientKey = PatientKey;
    SetFieldText(row.Date, "2026.11.02.");
    SetFieldText(row.Time, time);
    row.Flags = flags;
    EXPECT_EQ(meet->AddMeetRecord(row, 1), 0);
    const std::vector<float> values(static_cast<std::size_t>(n), 1.25f);
    EXPECT_EQ(OpenTestTable(Folder.Path(), table, &Texts())
                  ->AddSpiroRecord(values, values, values, n, curve, static_cast<long>(curve.size()), row.MeetKey, 1),
              0);
    return row.MeetKey;
  }

  TExaminationLoader Loader{Index, WorkFiles, Windows, &Texts()};
};

TEST_F(Load, FvcAndVcAsCurrentEndInFvcWithItsCaption) {
  Measure(MEASURE_FVC, 4.0f, 100);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  Measure(MEASURE_VC, 2.0f, 40);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  const std::string date = Store.GetCurrent().Date, time = Store.GetCurrent().Time;
  const std::vector<float> storedFvc(Window.GetAktBuffer(MEASURE_FVC, 0), Window.GetAktBuffer(MEASURE_FVC, 0) + 19);

  Windows.MeasureWindow = TFakeMeasure();
  Windows.MeasureOpen = false;
  ASSERT_EQ(Loader.LoadMeasurement(date, time, TExaminationLoader::AsCurrent), 0);
  EXPECT_EQ(Windows.Opened, std::vector<short>{MEASURE_FVC});
  EXPECT_EQ(Window.Caption, "FVC");
  EXPECT_EQ(Window.GetMeasureMode(), MEASURE_FVC);
  EXPECT_TRUE(Window.State().LoadedTest);
  EXPECT_EQ(Window.State().Version, "V1.000");
  // Bit-exact values; the curve is 4 x the 25 stored samples.
  EXPECT_EQ(std::vector<float>(Window.GetAktBuffer(MEASURE_FVC, 0), Window.GetAktBuffer(MEASURE_FVC, 0) + 19),
            storedFvc);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 0), 100);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(0)[8], 4.0f + 4 / 8.0f);  // stored sample 1 at position 8
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_VC, 0)[0], 2.0f);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_VC, 0), 40);
}

// The examination's flags name tests whose rows are gone (a table restored
// from an older copy): the user is told which, and what is stored loads.
TEST_F(Load, TestsWhoseRowsAreMissingAreNamedAndTheOthersLoad) {
  const struct {
    std::int32_t Flags;
    const char* Time;
    const char* Missing;
  } cases[] = {
      {MeetFlag::Fvc | MeetFlag::Vc | MeetFlag::Mvv | MeetFlag::Dfc, "08:15:00", "FVC, MVV, Diffusion capacity"},
      {4095, "09:30:00", "FVC, MVV, Diffusion capacity, Body plethysmography, Shutter, Rhinomanometry"},
  };
  for (const auto& examination : cases) {
    SCOPED_TRACE(examination.Flags);
    Windows.MeasureWindow = TFakeMeasure();
    StoreRows(examination.Flags, "vc.db", 5, std::vector<float>(10, 2.0f), examination.Time);
    ASSERT_EQ(Loader.LoadMeasurement("2026.11.02.", examination.Time, TExaminationLoader::AsCurrent), 0);
    EXPECT_TRUE(Sink.Take(Texts().Format(9260, {"2026.11.02.", examination.Time, examination.Missing})))
        << (Sink.Messages.empty() ? "no message" : Sink.Messages[0].Text);
    EXPECT_EQ(Window.GetAktBuffer(MEASURE_VC, 0)[0], 1.25f);
    EXPECT_EQ(Window.GetBufferSize(MEASURE_VC, 0), 40);
  }
}

TEST_F(Load, ComparisonGoesToSlotThreeAndAsksForPrePost) {
  Measure(MEASURE_FVC, 4.0f, 100);
  Window.Notes[1] = "after salbutamol";
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  const std::string date = Store.GetCurrent().Date, time = Store.GetCurrent().Time;
  ASSERT_EQ(Loader.LoadMeasurement(date, time, TExaminationLoader::AsComparison), 0);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_FVC, 3)[0], 4.0f);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 3), 100);
  EXPECT_EQ(Window.Notes[2], "after salbutamol");
  EXPECT_TRUE(Loader.PrePostPending);
  ASSERT_EQ(Loader.LoadMeasurement(date, time, TExaminationLoader::AsCurrent), 0);
  EXPECT_EQ(Window.Log.back(), "PrePost");
  EXPECT_FALSE(Loader.PrePostPending);
}

TEST_F(Load, ShutterRowSplitsIntoFlowAndPressure) {
  std::vector<float> curve(1200);
  for (std::size_t i = 0; i < curve.size(); ++i)
    curve[i] = float(i);
  StoreRows(MeetFlag::Shutter, "sh.db", 5, curve);
  ASSERT_EQ(Loader.LoadMeasurement("2026.11.02.", "08:15:00", TExaminationLoader::AsCurrent), 0);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_SHUTTER, 0), 600);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(0)[599], 599.0f);
  EXPECT_EQ(Window.GetSpiroPressureBuffer(0)[0], 600.0f);
  EXPECT_EQ(Window.Caption, "S&hutter");
}

TEST_F(Load, StoredCurveTooLongForTheWindowIsRefused) {
  StoreRows(MeetFlag::Fvc, "fvc.db", 19, std::vector<float>(1600, 1.0f));  // 6,400 samples expanded
  EXPECT_EQ(Loader.LoadMeasurement("2026.11.02.", "08:15:00", TExaminationLoader::AsCurrent),
            DbResult::DamagedValue);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find("6400"), std::string::npos) << Sink.Messages[0].Text;
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 0), 0);
}

TEST_F(Load, PlethyComesBackWithItsLoops) {
  MeasurePlethy();
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  const std::string date = Store.GetCurrent().Date, time = Store.GetCurrent().Time;
  Windows.MeasureWindow = TFakeMeasure();
  ASSERT_EQ(Loader.LoadMeasurement(date, time, TExaminationLoader::AsComparison), 0);
  const auto sample = [](int i) { return 6.0f + i / 8.0f; };
  EXPECT_EQ(Window.GetBufferSize(MEASURE_PLETHY, 3), 400);
  // The expansion's leading zero puts measured sample i at i + 4: the
  // loops' exact samples and bounds move with it, so the flow runs on
  // through the loops without a step (a line stays a line).
  for (int k = 4; k < 400; ++k)
    ASSERT_NEAR(Window.GetSpiroFlowBuffer(3)[k], sample(k - 4), 1e-4f) << k;
  EXPECT_EQ(Window.GetSpiroFlowBuffer(3)[15 + 4], sample(15));  // exact over the resistance loop
  EXPECT_EQ(Window.GetSpiroBoxPressureBuffer(3)[32 + 4], 3.0f * sample(32));
  EXPECT_EQ(Window.GetSpiroMouthPressureBuffer(3)[34 + 4], -4.0f * sample(34));
  EXPECT_EQ(Window.GetBeginResistanceLoop(3), 10 + 4);
  EXPECT_EQ(Window.GetEndResistanceLoop(3), 20 + 4);
  EXPECT_EQ(Window.GetBeginTGVLoop(3), 30 + 4);
  EXPECT_EQ(Window.GetEndTGVLoop(3), 35 + 4);
  EXPECT_EQ(Window.FirstBoxPressure[3][1], 3.0f * sample(30));
  EXPECT_EQ(Window.State().RvComparison, 6.0f + 2.0f / 100.0f);
}

// A damaged plethysmograph row: every loop bound is checked as the stored
// float, whole and inside the curve, before it becomes an index.
TEST_F(Load, DamagedPlethysmographLoopBoundsAreRefusedBeforeUse) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const struct {
    const char* Case;
    std::array<float, 4> Bounds;
  } cases[] = {
      {"every bound one past the curve", {6010, 6010, 6010, 6010}},
      {"a TGV loop starting one past the curve", {10, 20, 6010, 6010}},
      {"a bound that is not a number", {nan, 20, 30, 35}},
      {"an infinite end", {10, 20, 30, inf}},
      {"a bound beyond any int", {10, 20, 3e12f, 4e12f}},
      {"a negative bound", {-4, 20, 30, 35}},
      {"a bound between two samples", {10.5f, 20, 30, 35}},
  };
  int time = 0;
  for (const auto& damaged : cases) {
    SCOPED_TRACE(damaged.Case);
    Windows.MeasureWindow = TFakeMeasure();
    std::vector<float> row(damaged.Bounds.begin(), damaged.Bounds.end());
    row.resize(row.size() + 200, 0.0f);  // room for whatever the bounds claim, a count of 0
    const std::string at = "10:00:0" + std::to_string(time++);
    StoreRows(MeetFlag::Plethy, "pl.db", 19, row, at);
    EXPECT_EQ(Loader.LoadMeasurement("2026.11.02.", at, TExaminationLoader::AsCurrent), DbResult::DamagedValue);
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_NE(Sink.Messages[0].Text.find("loop bounds"), std::string::npos) << Sink.Messages[0].Text;
    Sink.Messages.clear();
  }
}

TEST_F(Load, RhinomanometryBaselineMovesAsideForTheLoadedOne) {
  Window.Mode = MEASURE_RHINO;
  Window.FillTrial(MEASURE_RHINO, 0, 1.0f, 30);
  Window.FillTrial(MEASURE_RHINO, 1, 2.0f, 20);
  Window.State().NewResult[MEASURE_RHINO] = true;
  Window.State().RhinoBaseline = true;
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  auto meet = OpenTestTable(Folder.Path(), "meet.db", &Texts());
  MeetRecordType stored;
  ASSERT_EQ(meet->GoTop(), 0);
  ASSERT_EQ(meet->GetData(stored), 0);
  ASSERT_EQ(stored.Flags, MeetFlag::Rhino | MeetFlag::Baseline);

  // The window shows that baseline as held; loading another moves it to 2 and 3.
  Window.State().RhinoBaseline = false;
  Window.State().RhinoBaselineHeld = true;
  Window.FillTrial(MEASURE_RHINO, 0, 7.0f, 12);
  ASSERT_EQ(Loader.LoadRhinoRecord(FieldText(stored.Date), FieldText(stored.Time), TExaminationLoader::AsCurrent), 0);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_RHINO, 2), 12);
  EXPECT_EQ(Window.GetSpiroFlowBuffer(2)[0], 7.0f);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_RHINO, 0), 30);
  EXPECT_EQ(Window.GetBufferSize(MEASURE_RHINO, 1), 20);
  EXPECT_EQ(Window.GetMeasureMode(), MEASURE_RHINO);
}

TEST_F(Load, ProvocationStagesGoToTheirStageFiles) {
  StoreRows(MeetFlag::Fvc | MeetFlag::Provoked, "fvc.db", 19, std::vector<float>(25, 2.0f));
  Windows.ProvocationFromDatabase = true;
  ASSERT_EQ(Loader.LoadMeasurement("2026.11.02.", "08:15:00", TExaminationLoader::AsCurrent), 0);
  // The provoked stage's file, read into slot 1 of the window.
  EXPECT_FALSE(std::filesystem::exists(WorkFiles.WorkFile(MEASURE_FVC)));
  EXPECT_TRUE(std::filesystem::exists(WorkFiles.StageFile(1, MEASURE_FVC)));
  EXPECT_EQ(Window.GetBufferSize(MEASURE_FVC, 1), 100);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_FVC, 1)[0], 1.25f);
  EXPECT_EQ(Window.State().ProvokedAgent, "");
  EXPECT_EQ(Window.State().ActualTrial, (std::array<std::int16_t, 3>{1, 2, 0}));

  // A diffusion test has no stage file: nothing is read from one.
  Windows.MeasureWindow = TFakeMeasure();
  auto meet = OpenTestTable(Folder.Path(), "meet.db", &Texts());
  MeetRecordType row;
  row.PatientKey = PatientKey;
  SetFieldText(row.Date, "2026.11.03.");
  SetFieldText(row.Time, "08:15:00");
  row.Flags = MeetFlag::Dfc | MeetFlag::Baseline;
  ASSERT_EQ(meet->AddMeetRecord(row, 1), 0);
  const std::vector<float> values(13, 5.0f), curve(10, 1.0f);
  ASSERT_EQ(OpenTestTable(Folder.Path(), "dfc.db", &Texts())->AddSpiroRecord(values, values, values, 13, curve, 10,
                                                                             row.MeetKey, 1),
            0);
  ASSERT_EQ(Loader.LoadMeasurement("2026.11.03.", "08:15:00", TExaminationLoader::AsCurrent), 0);
  EXPECT_TRUE(std::filesystem::exists(WorkFiles.WorkFile(MEASURE_DFC)));
  EXPECT_EQ(std::count(Window.Log.begin(), Window.Log.end(), "Mode 3"), 1);  // from the work file only
}

TEST_F(Load, AudiogramAsComparisonFillsSlotOneWithoutRedraw) {
  Windows.AudioOpen = true;
  TFakeAudio& audio = Windows.AudioWindow;
  audio.State().NewAudiogram = true;
  audio.State().Note = "noise at work";
  audio.Tables[0][3] = 40;  // set 0, slot 0
  ASSERT_EQ(Store.SaveAudiogram(), 0);
  Windows.AudioOpen = false;
  Windows.AudioWindow = TFakeAudio();
  ASSERT_EQ(Loader.LoadAudioRecord("2026.12.10.", "14:05:09", 1), 0);
  ASSERT_TRUE(Windows.AudioOpen);
  EXPECT_EQ(audio.Tables[1][3], 40);  // set 0, slot 1
  EXPECT_EQ(audio.State().SlotNote[1], "noise at work");
  EXPECT_TRUE(audio.State().SlotLoaded[1]);
  EXPECT_EQ(audio.Redraws, 0);
  EXPECT_EQ(audio.Dates[1], "2026-12-10 14:5:9");
}

}  // namespace

namespace {

TEST(MeasureRecordsKey, SplitsAtTheFirstAtSign) {
  EXPECT_EQ(TMeasureRecords::SplitKey("2026.10.01.@08:00:00"),
            (std::pair<std::string, std::string>{"2026.10.01.", "08:00:00"}));
  EXPECT_EQ(TMeasureRecords::SplitKey("a@b@c"), (std::pair<std::string, std::string>{"a", "b@c"}));
  EXPECT_FALSE(TMeasureRecords::SplitKey("2026.10.01.@"));
  EXPECT_FALSE(TMeasureRecords::SplitKey("@08:00:00"));
  EXPECT_FALSE(TMeasureRecords::SplitKey("no key"));
}

}  // namespace
