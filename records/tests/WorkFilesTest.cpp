#include "records/tests/RecordsFixture.h"

#include <cstring>
#include <fstream>

namespace {

// Reads the file's bytes at an offset as the layout defines them,
// independently of the writer.
template <typename T>
T At(const std::string& bytes, std::size_t offset) {
  T value{};
  EXPECT_LE(offset + sizeof(T), bytes.size());
  if (offset + sizeof(T) <= bytes.size())
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

class WorkFile : public TRecordsFixture {
protected:
  std::string FileOf(short kind) const { return TTemporaryFolder::Read(WorkFiles.WorkFile(kind)); }
};

TEST_F(WorkFile, LayoutOfEachKindByteForByte) {
  // MVV, one result without a curve: 192 + 4 x 4 + 6.
  Window.FillTrial(MEASURE_MVV, 0, 1.5f, 0);
  Window.State().ActualTrial = {1, 0, 0};
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_MVV));
  std::string bytes = FileOf(MEASURE_MVV);
  ASSERT_EQ(bytes.size(), 214u);
  EXPECT_EQ(At<std::uint32_t>(bytes, 0), 2026u);
  EXPECT_EQ(At<std::uint32_t>(bytes, 8), 10u);    // day
  EXPECT_EQ(At<std::uint32_t>(bytes, 16), 30u);   // minute
  EXPECT_EQ(At<float>(bytes, 24), 1.5f);          // MVV
  EXPECT_EQ(At<float>(bytes, 28), 1.5f + 1.0f / 100.0f);  // MVV*f
  EXPECT_EQ(At<float>(bytes, 32), 3.0f);          // reference
  EXPECT_EQ(At<float>(bytes, 44), 0.6f);          // second RSD
  for (std::size_t offset = 192; offset < 208; offset += 4)
    EXPECT_EQ(At<std::int32_t>(bytes, offset), 0);
  EXPECT_EQ(At<std::int16_t>(bytes, 208), 1);

  // PLETHY without curves: 1,008 + 16 + 6 + 48, the loop bounds at the end.
  Window.FillTrial(MEASURE_PLETHY, 1, 6.0f, 0);
  Window.SetBeginResistanceLoop(2, 11);
  Window.SetEndTGVLoop(2, 44);
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_PLETHY));
  bytes = FileOf(MEASURE_PLETHY);
  ASSERT_EQ(bytes.size(), 1078u);
  EXPECT_EQ(At<float>(bytes, 252 + 24), 6.0f);  // slot 1's TLC
  EXPECT_EQ(At<std::int32_t>(bytes, 1030 + 32), 11);
  EXPECT_EQ(At<std::int32_t>(bytes, 1030 + 44), 44);

  // FVC with curves in slots 0 and 2: each block is a count and its flow.
  Window.FillTrial(MEASURE_FVC, 0, 4.0f, 100);
  Window.FillTrial(MEASURE_FVC, 2, 3.5f, 7);
  Window.State().ActualTrial = {3, 1, 0};
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_FVC));
  bytes = FileOf(MEASURE_FVC);
  ASSERT_EQ(bytes.size(), 1008u + 404 + 4 + 32 + 4 + 6);
  EXPECT_EQ(At<std::int32_t>(bytes, 1008), 100);
  EXPECT_EQ(At<float>(bytes, 1012 + 4 * 99), 4.0f + 99 / 8.0f);
  EXPECT_EQ(At<std::int32_t>(bytes, 1412), 0);
  EXPECT_EQ(At<std::int32_t>(bytes, 1416), 7);
  EXPECT_EQ(At<float>(bytes, 1420 + 4 * 6), 3.5f + 6 / 8.0f);
  EXPECT_EQ(At<std::int16_t>(bytes, 1452), 3);
  EXPECT_EQ(At<std::int16_t>(bytes, 1454), 1);
  EXPECT_EQ(WorkFiles.GetStoredTrial(MEASURE_FVC), 3);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(WorkFile, KindWithoutResultKeepsItsOlderFile) {
  Window.FillTrial(MEASURE_VC, 0, 2.5f, 10);
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_VC));
  const std::string before = FileOf(MEASURE_VC);
  Window.FillTrial(MEASURE_VC, 0, 0.0f, 20);  // every first value 0.0, other values set
  Window.GetAktBuffer(MEASURE_VC, 0)[1] = 9.0f;
  EXPECT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_VC));
  EXPECT_EQ(FileOf(MEASURE_VC), before);
}

TEST_F(WorkFile, ReloadRestoresEverySlotAndRunsFevPerIvc) {
  Window.FillTrial(MEASURE_VC, 0, 2.5f, 10);
  Window.State().ActualTrial = {1, 0, 0};
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_VC));
  Window.FillTrial(MEASURE_FVC, 0, 4.0f, 100);
  Window.FillTrial(MEASURE_FVC, 1, 4.2f, 80);
  Window.FillTrial(MEASURE_FVC, 3, 3.9f, 60);
  Window.State().ActualTrial = {2, 0, 1};
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_FVC));

  TFakeMeasure reloaded;
  reloaded.GetAktBuffer(MEASURE_VC, 0)[0] = 2.5f;
  WorkFiles.ReadMeasureFile(reloaded, MEASURE_FVC, true);
  for (short slot : {0, 1, 3}) {
    ASSERT_EQ(reloaded.GetBufferSize(MEASURE_FVC, slot), Window.GetBufferSize(MEASURE_FVC, slot));
    for (int i = 0; i < reloaded.GetBufferSize(MEASURE_FVC, slot); ++i)
      ASSERT_EQ(reloaded.GetSpiroFlowBuffer(slot)[i], Window.GetSpiroFlowBuffer(slot)[i]);
    EXPECT_EQ(reloaded.GetAktBuffer(MEASURE_FVC, slot)[18], Window.GetAktBuffer(MEASURE_FVC, slot)[18]);
  }
  EXPECT_EQ(reloaded.GetBufferSize(MEASURE_FVC, 2), 0);
  EXPECT_EQ(reloaded.GetRefBuffer(MEASURE_FVC, 3)[4], 7.0f);
  EXPECT_EQ(reloaded.State().ActualTrial, (std::array<std::int16_t, 3>{2, 0, 1}));
  // FEV/IVC for the trials named, in order, against the VC trial of the
  // VC file; then the window goes to FVC.
  const std::vector<std::string> tail(reloaded.Log.end() - 3, reloaded.Log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"FEV/IVC 1 0", "FEV/IVC 0 0", "Mode 0"}));
  EXPECT_NE(std::find(reloaded.Log.begin(), reloaded.Log.end(), "Volume 0 1 80"), reloaded.Log.end());
}

TEST_F(WorkFile, ModeChangeLoadsActualAndComparisonCurvesOnly) {
  for (short slot = 0; slot < 4; ++slot)
    Window.FillTrial(MEASURE_SHUTTER, slot, 1.0f + slot, 10 + slot);
  Window.State().ActualTrial = {0, 0, 0};
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_SHUTTER));
  TFakeMeasure other;
  WorkFiles.ReadMeasureFileForMode(other, MEASURE_SHUTTER, 1);
  EXPECT_EQ(other.GetBufferSize(MEASURE_SHUTTER, 0), 10);
  EXPECT_EQ(other.GetBufferSize(MEASURE_SHUTTER, 1), 0);
  EXPECT_EQ(other.GetBufferSize(MEASURE_SHUTTER, 2), 0);
  EXPECT_EQ(other.GetBufferSize(MEASURE_SHUTTER, 3), 13);
  EXPECT_EQ(other.GetSpiroPressureBuffer(3)[12], -2.0f * (4.0f + 12 / 8.0f));
  EXPECT_EQ(other.GetMeasureMode(), MEASURE_SHUTTER);
}

TEST_F(WorkFile, SelectedTrialGoesToSlotZeroWithoutItsDate) {
  Window.FillTrial(MEASURE_FVC, 0, 4.0f, 40);
  Window.FillTrial(MEASURE_FVC, 2, 3.0f, 24);
  Window.State().ActualTrial = {3, 0, 0};
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_FVC));
  TFakeMeasure other;
  other.SetMeasureDate(MEASURE_FVC, 0, 1999, 12, 31);
  WorkFiles.ReadSelectedTrial(other, MEASURE_FVC);
  EXPECT_EQ(other.GetAktBuffer(MEASURE_FVC, 0)[0], 3.0f);
  EXPECT_EQ(other.GetBufferSize(MEASURE_FVC, 0), 24);
  EXPECT_EQ(other.GetSpiroFlowBuffer(0)[23], 3.0f + 23 / 8.0f);
  unsigned short year = 0, month = 0, day = 0;
  other.GetMeasureDate(MEASURE_FVC, 0, &year, &month, &day);
  EXPECT_EQ(year, 1999);
  EXPECT_EQ(day, 31);
}

TEST_F(WorkFile, PlethyStageFileGivesTheSlotItsTrialsLoops) {
  Window.FillTrial(MEASURE_PLETHY, 0, 6.0f, 50);
  Window.FillTrial(MEASURE_PLETHY, 1, 6.5f, 60);
  Window.SetBeginResistanceLoop(1, 10);
  Window.SetEndResistanceLoop(1, 20);
  Window.SetBeginTGVLoop(1, 30);
  Window.SetEndTGVLoop(1, 35);
  Window.State().ActualTrial = {2, 1, 0};
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_PLETHY));
  std::filesystem::rename(WorkFiles.WorkFile(MEASURE_PLETHY), WorkFiles.StageFile(1, MEASURE_PLETHY));
  TFakeMeasure other;
  WorkFiles.ReadStageFiles(other, MEASURE_PLETHY);
  EXPECT_EQ(other.GetBufferSize(MEASURE_PLETHY, 1), 60);
  EXPECT_EQ(other.GetAktBuffer(MEASURE_PLETHY, 1)[0], 6.5f);
  EXPECT_EQ(other.GetBeginResistanceLoop(1), 10);
  EXPECT_EQ(other.GetEndTGVLoop(1), 35);
  EXPECT_EQ(other.FirstBoxPressure[1][0], 3.0f * (6.5f + 10 / 8.0f));
  EXPECT_EQ(other.FirstBoxPressure[1][1], 3.0f * (6.5f + 30 / 8.0f));
  EXPECT_EQ(other.GetBufferSize(MEASURE_PLETHY, 0), 0);
  EXPECT_EQ(other.GetMeasureMode(), MEASURE_PLETHY);
}

TEST_F(WorkFile, DamagedFilesAreNamedAndReadAsMissing) {
  Window.FillTrial(MEASURE_FVC, 0, 4.0f, 100);
  Window.State().ActualTrial = {1, 0, 0};
  ASSERT_TRUE(WorkFiles.WriteMeasureFile(Window, MEASURE_FVC));
  const std::string good = FileOf(MEASURE_FVC);
  std::string sevenThousand = good;
  const std::int32_t count = 7000;
  std::memcpy(sevenThousand.data() + 1008, &count, 4);
  std::string badTrial = good;
  const std::int16_t trial = 9;
  std::memcpy(badTrial.data() + good.size() - 6, &trial, 2);
  for (const std::string& damaged :
       {good.substr(0, 500), good.substr(0, good.size() - 1), good + "x", sevenThousand, badTrial}) {
    Folder.Write(WorkFiles.WorkFile(MEASURE_FVC).filename().string(), damaged);
    Sink.Messages.clear();
    TFakeMeasure other;
    WorkFiles.ReadMeasureFile(other, MEASURE_FVC, true);
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_NE(Sink.Messages[0].Text.find("WORK0.~IN"), std::string::npos) << Sink.Messages[0].Text;
    EXPECT_EQ(other.GetAktBuffer(MEASURE_FVC, 0)[0], 0.0f);
    EXPECT_EQ(other.GetBufferSize(MEASURE_FVC, 0), 0);
    EXPECT_EQ(other.GetMeasureMode(), MEASURE_FVC);  // as for a missing file
  }
}

TEST_F(WorkFile, FileThatCannotBeWrittenSaysSoAndKeepsTheRecord) {
  const auto unwritable = UnwritableFolder(Folder);
  if (!unwritable)
    GTEST_SKIP() << "no unwritable folder on this machine";
  TMeasureWorkFiles files([&](short) { return *unwritable / "WORK.~IN"; }, {}, &Texts());
  Window.FillTrial(MEASURE_VC, 0, 2.5f, 10);
  Window.State().ActualTrial = {1, 0, 0};
  EXPECT_FALSE(files.WriteMeasureFile(Window, MEASURE_VC));
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_NE(Sink.Messages[0].Text.find(" (VC)"), std::string::npos);
  EXPECT_EQ(files.GetStoredTrial(MEASURE_VC), 0);
}

}  // namespace
