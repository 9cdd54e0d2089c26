// A save killed at any moment leaves the database as it was before that
// save or after it: a helper process saves FVC and VC examinations in a
// loop and is killed at random points of its work; after each kill the
// database is whole and every examination holds exactly its flagged rows.

#include "patients/MeasureIndex.h"
#include "patients/MeasureTables.h"
#include "platform/basekit/Message.h"
#include "records/ExaminationSaver.h"
#include "records/tests/FakeMeasure.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/TestDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TMessage& Texts() {
  static TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  return texts;
}

// The helper: saves until it is killed, one byte down the pipe per save.
[[noreturn]] void SaveForever(const std::filesystem::path& folder, int pipe, int round) {
  TRecordingSink sink;
  Texts().SetSink(&sink);
  TMeasureTables tables;
  for (std::size_t i = 0; i < TMeasureTables::Tables.size(); ++i)
    if (!tables.Open(i, &Texts(), folder.string(), [] {}))
      _exit(2);
  TMeasureIndex index(tables, [] { return 1; });
  TMeasureWorkFiles files([&](short kind) { return folder / ("W" + std::to_string(kind) + ".~IN"); },
                          [&](int, short kind) { return folder / ("S" + std::to_string(kind)); }, &Texts());
  TFakeWindows windows;
  TFakeMeasure& window = windows.MeasureWindow;
  int second = 0;
  TExaminationSaver store(index, files, windows, &Texts(), [&] {
    ++second;
    return TClockReading{2000 + round, 1 + second / 86400 % 12, 1, second / 3600 % 24, second / 60 % 60, second % 60};
  });
  for (int step = 0;; ++step) {
    const short kind = step % 2 == 0 ? MEASURE_FVC : MEASURE_VC;
    window.FillTrial(kind, 0, 1.0f + static_cast<float>(step % 7), 400);
    window.State().ActualTrial = {1, 0, 0};
    window.State().NewResult[static_cast<std::size_t>(kind)] = true;
    window.Mode = kind;
    if (store.SaveMeasurement() != 0)
      _exit(3);
    const char done = 1;
    if (write(pipe, &done, 1) != 1)
      _exit(4);
  }
}

struct TCheck {
  std::string Integrity;
  long Examinations = 0;
  std::vector<std::string> Faults;
};

// Reads the tables with SQLite alone.
TCheck Check(const std::filesystem::path& folder) {
  TCheck check;
  sqlite3* db = nullptr;
  sqlite3_open((folder / "meet.db").string().c_str(), &db);
  for (const char* table : {"fvc", "vc"})
    sqlite3_exec(db, ("ATTACH '" + (folder / (std::string(table) + ".db")).string() + "' AS " + table).c_str(),
                 nullptr, nullptr, nullptr);
  const auto query = [&](const std::string& sql, auto each) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      check.Faults.push_back(sqlite3_errmsg(db));
      return;
    }
    while (sqlite3_step(statement) == SQLITE_ROW)
      each(statement);
    sqlite3_finalize(statement);
  };
  for (const char* schema : {"main", "fvc", "vc"})
    query(std::string("PRAGMA ") + schema + ".integrity_check", [&](sqlite3_stmt* s) {
      check.Integrity += reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    });
  query("SELECT count(*) FROM meet", [&](sqlite3_stmt* s) { check.Examinations = sqlite3_column_int64(s, 0); });
  // Rows without their flag, flags without their row, rows without examination.
  query("SELECT key, flags, (SELECT count(*) FROM fvc.fvc f WHERE f.meet_key = m.key),"
        " (SELECT count(*) FROM vc.vc v WHERE v.meet_key = m.key) FROM meet m",
        [&](sqlite3_stmt* s) {
          const int flags = sqlite3_column_int(s, 1);
          if ((flags & 1) != sqlite3_column_int(s, 2) || ((flags >> 1) & 1) != sqlite3_column_int(s, 3))
            check.Faults.push_back("examination " + std::to_string(sqlite3_column_int64(s, 0)) + " flags " +
                                   std::to_string(flags));
        });
  query("SELECT count(*) FROM (SELECT meet_key FROM fvc.fvc UNION ALL SELECT meet_key FROM vc.vc)"
        " WHERE meet_key NOT IN (SELECT key FROM meet)",
        [&](sqlite3_stmt* s) {
          if (sqlite3_column_int(s, 0) != 0)
            check.Faults.push_back(std::to_string(sqlite3_column_int(s, 0)) + " rows without examination");
        });
  sqlite3_close(db);
  return check;
}

TEST(SaveCrash, KilledSavesLeaveWholeExaminations) {
  TTemporaryFolder folder;
  CreateTestDatabase(folder.Path(), folder.Path(), &Texts());
  std::mt19937 random(20261210);
  long before = 0;
  for (int round = 0; round < 30; ++round) {
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(channel[0]);
      SaveForever(folder.Path(), channel[1], round);
    }
    close(channel[1]);
    // Let it save a random number of times, then kill it wherever it is in
    // the next one.
    const int saves = std::uniform_int_distribution<int>(1, 6)(random);
    char done = 0;
    for (int i = 0; i < saves; ++i)
      ASSERT_EQ(read(channel[0], &done, 1), 1) << "the helper stopped in round " << round;
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    close(channel[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << " status " << status;

    const TCheck check = Check(folder.Path());
    EXPECT_EQ(check.Integrity, "okokok") << "round " << round;
    EXPECT_TRUE(check.Faults.empty()) << "round " << round << ": " << check.Faults.front();
    EXPECT_GE(check.Examinations, before + (saves + 1) / 2) << "round " << round;
    before = check.Examinations;
  }
}

}  // namespace
