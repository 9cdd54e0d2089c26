#include "records/tests/RecordsFixture.h"

#include "platform/dbkit/Engine.h"
#include "testing/TestDatabase.h"

namespace {

class Save : public TRecordsFixture {
protected:
  std::vector<MeetRecordType> MeetRows() const {
    std::vector<MeetRecordType> rows;
    auto meet = OpenTestTable(Folder.Path(), "meet.db", &Texts());
    if (meet->GoTop() != 0)
      return rows;
    do {
      MeetRecordType row;
      if (meet->GetData(row) == 0)
        rows.push_back(row);
    } while (meet->GetNextRec() == 0);
    return rows;
  }

  struct TRow {
    short Result = -1;
    std::vector<float> Actual, Reference, Rsd, Curve;
  };
  TRow TestRow(std::string_view table, short n, long meetKey) const {
    TRow row;
    auto engine = OpenTestTable(Folder.Path(), table, &Texts());
    row.Result = engine->Search(SearchEqual, 1, meetKey);
    if (row.Result != 0)
      return row;
    row.Actual.resize(static_cast<std::size_t>(n));
    row.Reference.resize(static_cast<std::size_t>(n));
    row.Rsd.resize(static_cast<std::size_t>(n));
    long bytes = 0;
    engine->GetBlobSize(bytes);
    row.Curve.resize(static_cast<std::size_t>(bytes) / 4 + 1);
    long length = 0;
    row.Result = engine->GetSpiroRec(row.Actual, row.Reference, row.Rsd, n, row.Curve, length);
    row.Curve.resize(static_cast<std::size_t>(length));
    return row;
  }
};

// Each stored stage of a provocation is an examination of its own, flagged
// with its stage and dated when the stage was filed; the provoked stage
// names the agent with the last step's concentration and dose.
TEST_F(Save, ProvocationStagesCarryTheirFlagTimeAgentAndDose) {
  Windows.ProvocationOpen = true;
  TProvocationAccess::TState& stage = Windows.ProvocationWindow.StageState;
  stage.ProvokedAgent = "Metacholine";
  stage.ThirdStageAgent = "Salbutamol";
  Windows.ProvocationWindow.Concentration = 2.5;
  Windows.ProvocationWindow.Dose = 0.7;
  const auto save = [&](short flag, TClockReading filed) {
    return Store.SaveProvocationStage({flag, filed}, [&] { Measure(MEASURE_FVC, 3.0f, 40); });
  };
  ASSERT_EQ(save(8, {2026, 12, 11, 9, 1, 2}), 0);
  ASSERT_EQ(save(16, {2026, 12, 11, 9, 40, 0}), 0);
  ASSERT_EQ(save(32, {2026, 12, 11, 10, 5, 30}), 0);
  const std::vector<MeetRecordType> rows = MeetRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Flags, 0x008 | 0x001);
  EXPECT_EQ(FieldText(rows[0].Date), "2026.12.11.");
  EXPECT_EQ(FieldText(rows[0].Time), "09:01:02");
  EXPECT_EQ(FieldText(rows[0].Agent), "");
  EXPECT_EQ(rows[1].Flags, 0x010 | 0x001);
  EXPECT_EQ(FieldText(rows[1].Time), "09:40:00");
  EXPECT_EQ(FieldText(rows[1].Agent), "Metacholine");
  EXPECT_FLOAT_EQ(rows[1].Concentration, 2.5f);
  EXPECT_FLOAT_EQ(rows[1].Dose, 0.7f);
  EXPECT_EQ(rows[2].Flags, 0x020 | 0x001);
  EXPECT_EQ(FieldText(rows[2].Agent), "Salbutamol");
  EXPECT_EQ(FieldText(rows[2].Time), "10:05:30");

  // Another save while the window is open and no stage was filed is dated now.
  stage.Stage = 0;
  Measure(MEASURE_VC, 2.0f, 40);
  Store.ClearMeetRecordKey();
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  const std::vector<MeetRecordType> all = MeetRows();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const MeetRecordType& row) {
              return FieldText(row.Date) == "2026.12.10." && row.Flags == 0x002;
            }),
            1);
}

TEST_F(Save, FvcThenVcShareOneExaminationAndTheFvcRowTakesTheNewFevPerIvc) {
  Measure(MEASURE_FVC, 4.0f, 100);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  EXPECT_FALSE(Window.State().NewResult[MEASURE_FVC]);
  EXPECT_FALSE(Window.State().ChangedData);
  const long key = Store.GetCurrent().MeetKey;
  ASSERT_NE(key, 0);
  EXPECT_EQ(Index.CurrentMeetKey, key);
  const TRow first = TestRow("fvc.db", 19, key);
  ASSERT_EQ(first.Result, 0);
  EXPECT_EQ(first.Actual[0], 4.0f);
  EXPECT_EQ(first.Curve.size(), 25u);  // every fourth of 100 samples
  EXPECT_EQ(first.Curve[1], 4.0f + 4 / 8.0f);

  Measure(MEASURE_VC, 2.0f, 40);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  const std::vector<MeetRecordType> rows = MeetRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Flags, MeetFlag::Fvc | MeetFlag::Vc);
  EXPECT_EQ(FieldText(rows[0].Date), "2026.12.10.");
  EXPECT_EQ(FieldText(rows[0].Time), "14:05:09");
  EXPECT_EQ(FieldText(rows[0].Version), "V1.000");
  EXPECT_EQ(rows[0].PatientKey, PatientKey);
  EXPECT_EQ(TestRow("vc.db", 5, key).Actual[0], 2.0f);
  // FEV1/IVC of the FVC row: 100 x FEV1 (4.02) / IVC (2.0).
  const TRow rewritten = TestRow("fvc.db", 19, key);
  EXPECT_FLOAT_EQ(rewritten.Actual[5], 201.0f);
  EXPECT_EQ(RowCount("fvc.db"), 1);
  // The window is back in the VC kind from its work file.
  EXPECT_EQ(Window.GetMeasureMode(), MEASURE_VC);
  EXPECT_EQ(Window.GetAktBuffer(MEASURE_VC, 0)[0], 2.0f);
}

TEST_F(Save, KindSavedAgainStartsAnExaminationAndNothingNewStoresNoRow) {
  Measure(MEASURE_FVC, 4.0f, 100);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  Now.Second = 40;
  Measure(MEASURE_FVC, 4.4f, 100);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  ASSERT_EQ(MeetRows().size(), 2u);
  EXPECT_EQ(MeetRows()[1].Flags, MeetFlag::Fvc);
  EXPECT_EQ(TestRow("fvc.db", 19, MeetRows()[1].MeetKey).Actual[0], 4.4f);
  // Saving again without a new result: the row stays as it was, no test row.
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  EXPECT_EQ(MeetRows().size(), 2u);
  EXPECT_EQ(RowCount("fvc.db"), 2);
}

// The moment is the examination's key within the patient: saves within
// one second each keep their examination, at the next free second, also
// across midnight at the end of a year.
TEST_F(Save, SavesWithinOneSecondEachKeepTheirExamination) {
  Now = {2026, 12, 31, 23, 59, 59};
  Measure(MEASURE_FVC, 4.0f, 100);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  Measure(MEASURE_FVC, 4.4f, 100);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  Windows.AudioOpen = true;
  Windows.AudioWindow.State().NewAudiogram = true;
  ASSERT_EQ(Store.SaveAudiogram(), 0);

  const std::vector<MeetRecordType> rows = MeetRows();
  ASSERT_EQ(rows.size(), 3u);
  const std::array<std::pair<const char*, const char*>, 3> moments{
      {{"2026.12.31.", "23:59:59"}, {"2027.01.01.", "00:00:00"}, {"2027.01.01.", "00:00:01"}}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(FieldText(rows[i].Date), moments[i].first) << i;
    EXPECT_EQ(FieldText(rows[i].Time), moments[i].second) << i;
  }
  EXPECT_EQ(TestRow("fvc.db", 19, rows[0].MeetKey).Actual[0], 4.0f);
  EXPECT_EQ(TestRow("fvc.db", 19, rows[1].MeetKey).Actual[0], 4.4f);
  EXPECT_EQ(rows[2].Flags, MeetFlag::Audiogram);
  EXPECT_FALSE(Window.State().NewResult[MEASURE_FVC]);
}

TEST_F(Save, KindWithoutSamplesIsSkippedAndKeepsItsFlag) {
  Measure(MEASURE_FVC, 4.0f, 100);
  Window.FillTrial(MEASURE_MVV, 0, 80.0f, 0);
  Window.State().NewResult[MEASURE_MVV] = true;
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  EXPECT_EQ(RowCount("mvv.db"), 0);
  EXPECT_TRUE(Window.State().NewResult[MEASURE_MVV]);
  EXPECT_FALSE(Window.State().NewResult[MEASURE_FVC]);
}

TEST_F(Save, PlethyRowHoldsLoopsThenDecimatedFlow) {
  MeasurePlethy();
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  const TRow row = TestRow("pl.db", 19, Store.GetCurrent().MeetKey);
  ASSERT_EQ(row.Result, 0);
  ASSERT_EQ(row.Curve.size(), 4u + 20 + 10 + 1 + 100);
  EXPECT_EQ((std::vector<float>(row.Curve.begin(), row.Curve.begin() + 4)), (std::vector<float>{10, 20, 30, 35}));
  const auto flow = [](int i) { return 6.0f + i / 8.0f; };
  EXPECT_EQ(row.Curve[4], flow(10));          // flow[10]
  EXPECT_EQ(row.Curve[5], 3.0f * flow(10));   // box[10]
  EXPECT_EQ(row.Curve[24], 3.0f * flow(30));  // box[30]: the TGV loop's pairs
  EXPECT_EQ(row.Curve[25], -4.0f * flow(30)); // mouth[30]
  EXPECT_EQ(row.Curve[34], 100.0f);
  EXPECT_EQ(row.Curve[35 + 99], flow(396));
}

TEST_F(Save, RhinomanometryHasItsOwnExaminationAndEndsTheCurrentOne) {
  Measure(MEASURE_FVC, 4.0f, 100);
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  Now.Second = 30;
  Window.FillTrial(MEASURE_RHINO, 0, 1.0f, 30);
  Window.FillTrial(MEASURE_RHINO, 1, 2.0f, 20);
  Window.Mode = MEASURE_RHINO;
  Window.State().NewResult[MEASURE_RHINO] = true;
  Window.State().RhinoPosterior = true;
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  const std::vector<MeetRecordType> rows = MeetRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].Flags, MeetFlag::Rhino | MeetFlag::PosteriorRhino);
  EXPECT_EQ(Store.GetCurrent().MeetKey, 0);
  auto rhino = OpenTestTable(Folder.Path(), "rhino.db", &Texts());
  ASSERT_EQ(rhino->Search(SearchEqual, 1, long{rows[1].MeetKey}), 0);
  std::vector<float> data;
  long length = 0;
  ASSERT_EQ(rhino->GetRhinoRec(data, length), 0);
  ASSERT_EQ(length, 2 * 30 + 2 * 20 + 2);
  EXPECT_EQ(data[0], 30.0f);
  EXPECT_EQ(data[31], -2.0f);  // first pressure sample of curve 1
  EXPECT_EQ(data[61], 20.0f);
  EXPECT_FALSE(Window.State().NewResult[MEASURE_RHINO]);
}

TEST_F(Save, AudiogramGetsItsOwnExamination) {
  Windows.AudioOpen = true;
  TFakeAudio& audio = Windows.AudioWindow;
  audio.State().NewAudiogram = true;
  audio.State().Note = "left ear";
  audio.Tables[2][0] = 25;  // set 1, slot 0
  audio.Flags[0][10] = true;
  ASSERT_EQ(Store.SaveAudiogram(), 0);
  const std::vector<MeetRecordType> rows = MeetRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Flags, MeetFlag::Audiogram);
  EXPECT_EQ(FieldText(rows[0].Note), "left ear");
  auto table = OpenTestTable(Folder.Path(), "audio.db", &Texts());
  ASSERT_EQ(table->Search(SearchEqual, 1, long{rows[0].MeetKey}), 0);
  std::array<int, 11> first{}, second{};
  std::array<bool, 11> firstFlags{}, secondFlags{};
  ASSERT_EQ(table->GetAudioRec(first, second, firstFlags, secondFlags, 11), 0);
  EXPECT_EQ(first[0], 25);
  EXPECT_TRUE(secondFlags[10]);
  EXPECT_FALSE(audio.State().NewAudiogram);
  EXPECT_EQ(Store.GetCurrent().MeetKey, 0);
}

TEST_F(Save, FailingKindLeavesTheTablesAndFlagsAsTheyWere) {
  Measure(MEASURE_VC, 2.0f, 40);
  Measure(MEASURE_FVC, 4.0f, 100);
  Window.State().NewResult[MEASURE_VC] = true;
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_VC));
  auto other = OpenTestTable(Folder.Path(), "vc.db", &Texts());
  ASSERT_EQ(other->LockTable(), 0);
  EXPECT_NE(Store.SaveMeasurement(), 0);
  EXPECT_EQ(RowCount("meet.db"), 0);
  EXPECT_EQ(RowCount("fvc.db"), 0);
  EXPECT_TRUE(Window.State().NewResult[MEASURE_FVC]);
  EXPECT_TRUE(Window.State().NewResult[MEASURE_VC]);
  EXPECT_TRUE(Window.State().ChangedData);
  EXPECT_EQ(Store.GetCurrent().MeetKey, 0);
  ASSERT_EQ(other->UnLockTable(), 0);
  Sink.Messages.clear();
  ASSERT_EQ(Store.SaveMeasurement(), 0);
  EXPECT_EQ(MeetRows().at(0).Flags, MeetFlag::Fvc | MeetFlag::Vc);
}

TEST_F(Save, WorkFileThatCannotBeWrittenStopsTheSave) {
  Measure(MEASURE_FVC, 4.0f, 100);
  std::filesystem::create_directory(WorkFiles.WorkFile(MEASURE_FVC));  // a folder where the file goes
  EXPECT_NE(Store.SaveMeasurement(), 0);
  EXPECT_EQ(RowCount("meet.db"), 0);
  EXPECT_TRUE(Window.State().NewResult[MEASURE_FVC]);
  EXPECT_EQ(Sink.Messages.size(), 1u);
}

}  // namespace
