// From the demonstration file to the database and back: FVC trials
// replayed into the measurement window are saved, the browser lists them,
// one is loaded as the current test and one as the comparison, and one is
// deleted. The database stays in build/artifacts/records-db to be looked at.

#include "common/CommandNumbers.h"
#include "patients/MeasureIndex.h"
#include "patients/MeasureTables.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/WindowMessages.h"
#include "records/DemoReplay.h"
#include "records/MeasureRecords.h"
#include "records/window/PatientBrowseMeet.h"
#include "records/tests/FakeMeasure.h"
#include "testing/RecordingSink.h"
#include "testing/TestDatabase.h"

#include <QListWidget>

#include <gtest/gtest.h>

namespace {

TEST(RecordsEndToEnd, DemonstrationTrialsAreSavedBrowsedLoadedAndDeleted) {
  const std::filesystem::path folder = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" / "records-db";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  TRecordingSink sink;
  TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  texts.SetSink(&sink);
  CreateTestDatabase(folder, folder, &texts);
  TMeasureTables tables;
  for (std::size_t i = 0; i < TMeasureTables::Tables.size(); ++i)
    ASSERT_TRUE(tables.Open(i, &texts, folder.string(), [] {}));
  TMeasureIndex index(tables, [] { return 1; });
  TFakeWindows windows;
  TFakeMeasure& window = windows.MeasureWindow;
  TMeasureRecords records([&](short kind) { return folder / ("WORK" + std::to_string(kind) + ".~IN"); },
                          [&](int stage, short kind) { return folder / ("STAGE" + std::to_string(stage * 10 + kind)); },
                          windows, &texts, [minute = 0]() mutable { return TClockReading{2026, 12, 10, 9, minute++, 0}; });
  records.SetIndex(&index);

  // Two examinations of three replayed trials each; the window's own
  // evaluation is stood in for by a leading value per trial.
  const std::filesystem::path bin = std::filesystem::path(HALVETRA_BINARY_DIR) / "bin";
  std::vector<std::vector<float>> savedCurves;
  std::vector<float> savedFvc;
  for (int examination = 0; examination < 2; ++examination) {
    for (short slot = 0; slot < 3; ++slot) {
      ASSERT_EQ(records.EvLoadDemoData(MEASURE_FVC, slot, {}, bin), 1);
      float* actual = window.GetAktBuffer(MEASURE_FVC, slot);
      for (int i = 0; i < 19; ++i)
        actual[i] = 3.0f + 0.1f * static_cast<float>(examination) + 0.01f * static_cast<float>(slot + i);
      window.SetMeasureDate(MEASURE_FVC, slot, 2026, 12, 10);
      window.SetMeasureTime(MEASURE_FVC, slot, 9, static_cast<unsigned short>(examination), 0);
    }
    window.State().ActualTrial = {2, 1, 3};  // trial 2 is the one kept
    window.State().NewResult[MEASURE_FVC] = true;
    window.Mode = MEASURE_FVC;
    savedFvc.push_back(window.GetAktBuffer(MEASURE_FVC, 1)[0]);
    const int count = window.GetBufferSize(MEASURE_FVC, 1);
    savedCurves.emplace_back(window.GetSpiroFlowBuffer(1), window.GetSpiroFlowBuffer(1) + count);
    ASSERT_EQ(records.CmSaveMeasurement(), 0);
    records.ClearMeetRecordKey();
  }
  ASSERT_TRUE(sink.Messages.empty());

  TPatientBrowseMeet browser(texts, index, {(folder / "Halvetra.ini").string(), false, false, {}, {}, {}}, nullptr);
  ASSERT_EQ(browser.List()->count(), 2);
  browser.List()->item(1)->setSelected(true);
  browser.accept();
  ASSERT_EQ(browser.GetPlan().size(), 2u);
  window = TFakeMeasure();
  for (const BrowsePlan::TMessage& message : browser.GetPlan())
    records.EvLoadMeasurement(static_cast<short>(message.WParam), message.Key);

  // The comparison (the first examination) in slot 3, the current in slot
  // 0: values bit-exact, curves of 4 x the stored count, every fourth
  // sample as measured.
  for (const auto& [slot, examination] : {std::pair{short{3}, 0}, std::pair{short{0}, 1}}) {
    EXPECT_EQ(window.GetAktBuffer(MEASURE_FVC, slot)[0], savedFvc[static_cast<std::size_t>(examination)]);
    const std::vector<float>& measured = savedCurves[static_cast<std::size_t>(examination)];
    const int stored = static_cast<int>(measured.size()) / 4;
    ASSERT_EQ(window.GetBufferSize(MEASURE_FVC, slot), 4 * stored);
    for (int j = 1; j < stored; ++j)
      ASSERT_EQ(window.GetSpiroFlowBuffer(slot)[4 * j], measured[static_cast<std::size_t>(4 * (j - 1))]) << j;
  }

  sink.Answer = IDYES;
  browser.List()->clearSelection();
  browser.List()->item(0)->setSelected(true);
  browser.CmDelete();
  EXPECT_EQ(browser.List()->count(), 1);
  long rows = 0;
  OpenTestTable(folder, "fvc.db", &texts)->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
  tables.Close();
}

}  // namespace
