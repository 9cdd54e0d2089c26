// The browser of a patient's tests offscreen, over a real database.

#include "common/CommandNumbers.h"
#include "patients/MeasureIndex.h"
#include "patients/MeasureTables.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "platform/framework/WindowMessages.h"
#include "records/window/PatientBrowseMeet.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/TestDatabase.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class Browser : public ::testing::Test {
protected:
  Browser() {
    Texts.SetSink(&Sink);
    CreateTestDatabase(Folder.Path(), Folder.Path(), &Texts);
    AddExamination("08:00:00", MeetFlag::Fvc | MeetFlag::Baseline, true);
    AddExamination("09:00:00", MeetFlag::Fvc | MeetFlag::Vc | MeetFlag::Provoked, true);
    AddExamination("10:00:00", MeetFlag::Fvc, true);
    AddExamination("11:00:00", MeetFlag::Audiogram, false);
    for (std::size_t i = 0; i < TMeasureTables::Tables.size(); ++i)
      EXPECT_TRUE(Tables.Open(i, &Texts, Folder.Path().string(), [] {}));
  }
  ~Browser() override { Tables.Close(); }

  void AddExamination(const char* time, std::int32_t flags, bool fvcRow) {
    auto meet = OpenTestTable(Folder.Path(), "meet.db", &Texts);
    MeetRecordType row;
    row.PatientKey = 3;
    SetFieldText(row.Date, "2026.10.01.");
    SetFieldText(row.Time, time);
    row.Flags = flags;
    SetFieldText(row.Agent, "metacholine");
    row.Concentration = 2.0f;
    row.Dose = 0.5f;
    SetFieldText(row.Note, std::string("note ") + time);
    ASSERT_EQ(meet->AddMeetRecord(row, 1), 0);
    const std::vector<float> values(19, 3.0f), curve(10, 1.0f);
    if (fvcRow) {
      ASSERT_EQ(OpenTestTable(Folder.Path(), "fvc.db", &Texts)
                    ->AddSpiroRecord(values, values, values, 19, curve, 10, row.MeetKey, 1),
                0);
    }
  }

  void Select(TPatientBrowseMeet& browser, std::initializer_list<int> rows) {
    browser.List()->clearSelection();
    for (int row : rows)
      browser.List()->item(row)->setSelected(true);
  }

  long Rows(std::string_view table) {
    long count = -1;
    OpenTestTable(Folder.Path(), table, &Texts)->GetNumberOfRecords(count);
    return count;
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TMeasureTables Tables;
  TMeasureIndex Index{Tables, [] { return 3; }};
  TPatientBrowseMeet::TSetup Setup{(Folder / "Halvetra.ini").string(), true, true, {}, {}, {}};
};

TEST_F(Browser, ListsTestsShowsOneAndPlansTheLoad) {
  TPatientBrowseMeet browser(Texts, Index, Setup, nullptr);
  browser.resize(900, 520);
  browser.show();
  ASSERT_EQ(browser.List()->count(), 4);
  EXPECT_EQ(browser.List()->item(0)->text().toStdString(), "SPIRO 2026.10.01. 08:00:00 B");
  EXPECT_EQ(browser.List()->item(3)->text().toStdString(), "AUDIO 2026.10.01. 11:00:00  ");
  EXPECT_EQ(browser.findChild<QLabel*>("5743")->text(), "1 / 4");
  EXPECT_TRUE(browser.findChild<QCheckBox*>("5741")->isChecked());   // FVC
  EXPECT_TRUE(browser.findChild<QCheckBox*>("5737")->isChecked());   // baseline
  EXPECT_FALSE(browser.findChild<QCheckBox*>("5740")->isChecked());  // VC
  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  EXPECT_TRUE(browser.grab().save(QString::fromStdString((artifacts / "records-browser.png").string())));

  // A spirometry and an audiogram together: no load.
  Select(browser, {2, 3});
  EXPECT_FALSE(browser.findChild<QPushButton*>("1")->isEnabled());
  EXPECT_EQ(browser.findChild<QLabel*>("5743")->text(), "2 / 4");

  // Two tests, no baseline-provoked pair: comparison first, then current.
  Select(browser, {1, 2});
  ASSERT_TRUE(browser.findChild<QPushButton*>("1")->isEnabled());
  browser.accept();
  EXPECT_EQ(browser.GetPlan(), (std::vector<BrowsePlan::TMessage>{{WM_LOAD_MEASUREMENT, 2, "2026.10.01.@09:00:00"},
                                                                  {WM_LOAD_MEASUREMENT, 1, "2026.10.01.@10:00:00"}}));
}

TEST_F(Browser, BaselineAndProvokedLoadAsASeries) {
  TPatientBrowseMeet browser(Texts, Index, Setup, nullptr);
  Select(browser, {0, 1});
  browser.accept();
  EXPECT_EQ(browser.GetPlan(), (std::vector<BrowsePlan::TMessage>{{WM_LOAD_MEASUREMENT, 1, "2026.10.01.@08:00:00"},
                                                                  {WM_LOAD_MEASUREMENT, 1, "2026.10.01.@09:00:00"}}));
}

TEST_F(Browser, DeleteRemovesTheExaminationWithEveryRow) {
  TPatientBrowseMeet browser(Texts, Index, Setup, nullptr);
  Select(browser, {1});
  Sink.Answer = IDNO;
  browser.CmDelete();
  EXPECT_EQ(browser.List()->count(), 4);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].DefaultButton, 2);
  Sink.Answer = IDYES;
  browser.CmDelete();
  EXPECT_EQ(browser.List()->count(), 3);
  EXPECT_EQ(Rows("meet.db"), 3);
  EXPECT_EQ(Rows("fvc.db"), 2);
  // The newest first after the order toggle.
  browser.CmToggleOrder();
  EXPECT_EQ(browser.List()->item(0)->text().toStdString(), "AUDIO 2026.10.01. 11:00:00  ");
}

}  // namespace
