#include "records/TableRestructure.h"

#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "testing/ChildProcess.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/TestDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class Restructure : public ::testing::Test {
protected:
  Restructure() {
    Texts.SetSink(&Sink);
    CreateTestDatabase(Folder.Path(), Folder.Path(), &Texts);
  }

  // The VC table as older databases keep it: four values per array.
  void MakeOldVcTable(int rows) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Folder / "vc.db").string().c_str(), &db), SQLITE_OK);
    std::string create = "DROP TABLE vc; CREATE TABLE vc (meet_key INTEGER PRIMARY KEY";
    for (const char* array : {"actual", "reference", "rsd"})
      for (int i = 1; i <= 4; ++i)
        create += std::string(", ") + array + "_" + std::to_string(i) + " REAL NOT NULL";
    create += ", curve BLOB); UPDATE about SET value = '0' WHERE name = 'layout'; BEGIN;";
    for (int row = 1; row <= rows; ++row) {
      create += "INSERT INTO vc VALUES (" + std::to_string(row);
      for (int i = 0; i < 12; ++i)
        create += ", " + std::to_string(row + i / 4.0);
      create += ", x'0000803f0000c03f');";  // 1.0, 1.5
    }
    create += "COMMIT;";
    ASSERT_EQ(sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }

  // Rows large enough that the copy spills out of SQLite's page cache into
  // the file before the commit: a kill then leaves a hot journal.
  void MakeLargeOldVcTable(int rows) {
    MakeOldVcTable(rows);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Folder / "vc.db").string().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "UPDATE vc SET curve = zeroblob(8000)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }

  int Fields() {
    short result = -1;
    TableRestructure::TableNeedsRestructure(Folder.Path(), result, "vc.db", 100, &Texts);
    sqlite3* db = nullptr;
    sqlite3_open((Folder / "vc.db").string().c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM pragma_table_info('vc')", -1, &statement, nullptr);
    sqlite3_step(statement);
    const int count = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return count;
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
};

TEST_F(Restructure, CurrentTableIsLeftAloneWithoutAMessage) {
  short result = -1;
  EXPECT_FALSE(TableRestructure::TableNeedsRestructure(Folder.Path(), result, "vc.db", 17, &Texts));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(TableRestructure::UpgradeVcTable(Folder.Path(), &Texts), 0);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(Restructure, OldTableKeepsEveryRowAndGainsTheNewFields) {
  MakeOldVcTable(1000);
  short result = -1;
  EXPECT_TRUE(TableRestructure::TableNeedsRestructure(Folder.Path(), result, "vc.db", 17, &Texts));
  EXPECT_EQ(result, 0);
  ASSERT_EQ(TableRestructure::UpgradeVcTable(Folder.Path(), &Texts), 0);
  EXPECT_EQ(Fields(), 17);
  auto engine = OpenTestTable(Folder.Path(), "vc.db", &Texts);
  long rows = 0;
  ASSERT_EQ(engine->GetNumberOfRecords(rows), 0);
  EXPECT_EQ(rows, 1000);
  ASSERT_EQ(engine->Search(SearchEqual, 1, 734L), 0);
  std::array<float, 5> actual{}, reference{}, rsd{};
  std::array<float, 4> curve{};
  long length = 0;
  ASSERT_EQ(engine->GetSpiroRec(actual, reference, rsd, 5, curve, length), 0);
  EXPECT_EQ(actual, (std::array<float, 5>{734, 734.25, 734.5, 734.75, 0}));
  EXPECT_EQ(rsd[3], 736.75f);
  EXPECT_EQ(rsd[4], 0.0f);
  ASSERT_EQ(length, 2);
  EXPECT_EQ(curve[1], 1.5f);
  EXPECT_TRUE(Sink.Messages.empty());
  EXPECT_FALSE(std::filesystem::exists(Folder / "vc.db-journal"));
}

TEST_F(Restructure, KilledMidwayLeavesTheOldTable) {
  MakeOldVcTable(50);
  for (const char* stop : {"copy", "drop", "commit"}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      TableRestructure::RestructureTable(Folder.Path(), "vc.db", nullptr, [stop](std::string_view step) {
        if (step == stop)
          raise(SIGKILL);
      });
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << stop;
    EXPECT_EQ(Fields(), 14) << stop;
  }
  // The next open finds the old table whole and upgrades it.
  ASSERT_EQ(TableRestructure::UpgradeVcTable(Folder.Path(), &Texts), 0);
  EXPECT_EQ(Fields(), 17);
  long rows = 0;
  OpenTestTable(Folder.Path(), "vc.db", &Texts)->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 50);
}

// A kill mid-upgrade leaves a hot journal beside the old table. The next
// open of the patient runs the upgrade first, before anything else has
// opened the file: the journal must be rolled back there, not reported as
// a read-only database on every later open.
TEST_F(Restructure, NextUpgradeAfterAKillRollsTheHotJournalBack) {
  MakeLargeOldVcTable(600);
  for (const char* stop : {"copy", "drop", "commit"}) {
    TChild child([stop, folder = Folder.Path()](TChild&) {
      TableRestructure::RestructureTable(folder, "vc.db", nullptr,
                                         [stop](std::string_view step) {
                                           if (step == stop)
                                             raise(SIGKILL);
                                         });
      return 0;
    });
    ASSERT_EQ(child.Wait(), -SIGKILL) << stop;
    ASSERT_TRUE(std::filesystem::exists(Folder / "vc.db-journal")) << stop;

    ASSERT_EQ(TableRestructure::UpgradeVcTable(Folder.Path(), &Texts), 0) << stop;
    EXPECT_TRUE(Sink.Messages.empty()) << stop << ": " << (Sink.Messages.empty() ? "" : Sink.Messages[0].Text);
    Sink.Messages.clear();
    EXPECT_FALSE(std::filesystem::exists(Folder / "vc.db-journal")) << stop;
    long rows = 0;
    OpenTestTable(Folder.Path(), "vc.db", &Texts)->GetNumberOfRecords(rows);
    EXPECT_EQ(rows, 600) << stop;
    EXPECT_EQ(Fields(), 17) << stop;
    MakeLargeOldVcTable(600);
  }
}

// The settings keep the folder in the system's own form, backslashes and
// all; the upgrade reads it as every other table open does.
TEST_F(Restructure, FolderInTheStoredFormIsUpgraded) {
  MakeOldVcTable(3);
  const std::string stored = Folder.Path().parent_path().string() + "\\" + Folder.Path().filename().string();
  ASSERT_EQ(TableRestructure::UpgradeVcTable(stored, &Texts), 0);
  EXPECT_EQ(Fields(), 17);
  EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(Restructure, TableThatCannotBeOpenedGivesOneReport) {
  std::filesystem::remove(Folder / "vc.db");
  Folder.Write("vc.db", "not a database at all, and long enough to be read as a header of one ......");
  short result = 0;
  EXPECT_TRUE(TableRestructure::TableNeedsRestructure(Folder.Path(), result, "vc.db", 17, &Texts));
  EXPECT_NE(result, 0);
  ASSERT_EQ(Sink.Messages.size(), 1u);
  EXPECT_EQ(Sink.Messages[0].Caption, "");
  EXPECT_EQ(TableRestructure::UpgradeVcTable(Folder.Path(), &Texts), result);
}

TEST(RestructureReport, FormsOfTheReport) {
  EXPECT_EQ(TableRestructure::ResultReport("DoRestructure", 0x2501, "Out of memory"),
            "        ERROR - DoRestructure  Cat:Code [25h:1h]\n                Out of memory");
  EXPECT_EQ(TableRestructure::ErrorReport("OpenTable", 0x2104, "no such file"),
            "        ERROR -  OpenTable\n                 Cat:Code = [21h:4h]\n                 no such file");
}

}  // namespace
