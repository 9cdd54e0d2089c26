// A crash in the middle of saving an examination (its row in meet.db and
// its FVC row with the curve) leaves the whole examination or none of it,
// and no super-journal piles up in the folder.

#include "platform/dbkit/tests/CrashVfs.h"
#include "platform/dbkit/tests/EngineTestSupport.h"

#include <sqlite3.h>

#include <csignal>

namespace {

constexpr std::int32_t PatientKey = 1;

class TEngineCrash : public TEngineTest {
protected:
  // A database with one examination already saved.
  void SetUp() override {
    Pristine = Folder / "pristine";
    std::filesystem::create_directory(Pristine);
    auto meets = Engine("meet.db", Pristine);
    auto fvc = Engine("fvc.db", Pristine);
    std::uint32_t cursor = 0;
    ASSERT_EQ(meets->CreateTable(cursor, TableKind::Meet, ""), 0);
    ASSERT_EQ(fvc->CreateTable(cursor, TableKind::Fvc, ""), 0);
    ASSERT_EQ(Save(*meets, *fvc, "2023.11.20.", 0.5f), 0);
  }

  // The save of one examination, as the program stores an FVC test.
  static short Save(TEngine& meets, TEngine& fvc, std::string_view date, float scale) {
    if (const short code = meets.BeginTransaction())
      return code;
    MeetRecordType meet = Meet(PatientKey, date, "10:30:00");
    if (const short code = meets.AddMeetRecord(meet, 1)) {
      meets.RollbackTransaction();
      return code;
    }
    const std::vector<float> values = Values(scale);
    const std::vector<float> curve = Curve(scale);
    if (const short code = fvc.AddSpiroRecord(values, values, values, 19, curve, 6010, meet.MeetKey, 1)) {
      meets.RollbackTransaction();
      return code;
    }
    return meets.CommitTransaction();
  }
  static std::vector<float> Values(float scale) {
    std::vector<float> values(19);
    for (std::size_t i = 0; i < values.size(); ++i)
      values[i] = scale * static_cast<float>(i + 1);
    return values;
  }
  static std::vector<float> Curve(float scale) {
    std::vector<float> curve = FlowCurve(6010);
    for (float& sample : curve)
      sample *= scale;
    return curve;
  }

  // A copy of the pristine database to crash in.
  std::filesystem::path Copy(int number) const {
    const std::filesystem::path folder = Folder / ("run" + std::to_string(number));
    std::filesystem::copy(Pristine, folder);
    return folder;
  }

  // What the folder holds after the crash: 1 (the old examination only) or
  // 2 (with the new one, whole). Anything else fails the test.
  int Examinations(const std::filesystem::path& folder) {
    auto meets = Engine("meet.db", folder);
    auto fvc = Engine("fvc.db", folder);
    std::uint32_t cursor = 0;
    EXPECT_EQ(meets->GetTable(cursor), 0);
    EXPECT_EQ(fvc->GetTable(cursor), 0);
    int found = 0;
    MeetRecordType meet;
    for (short r = meets->GoTop(); r == 0 && meets->GetData(meet) == 0; r = meets->GetNextRec()) {
      ++found;
      const float scale = FieldText(meet.Date) == "2023.11.20." ? 0.5f : 1.0f;
      std::vector<float> a(19), r2(19), s(19), curve(TestRow::CurveBufferFloats);
      long length = 0;
      EXPECT_EQ(fvc->Search(SearchEqual, 1, static_cast<long>(meet.MeetKey)), 0) << FieldText(meet.Date);
      EXPECT_EQ(fvc->GetSpiroRec(a, r2, s, 19, curve, length), 0);
      EXPECT_EQ(length, 6010);
      EXPECT_EQ(a, Values(scale));
      curve.resize(6010);
      EXPECT_EQ(curve, Curve(scale));
    }
    long rows = 0;
    fvc->GetNumberOfRecords(rows);
    EXPECT_EQ(rows, found) << "test rows without their examination";
    for (const char* table : {"meet.db", "fvc.db"}) {
      sqlite3* check = nullptr;
      sqlite3_open_v2((folder / table).c_str(), &check, SQLITE_OPEN_READONLY, nullptr);
      sqlite3_stmt* statement = nullptr;
      sqlite3_prepare_v2(check, "PRAGMA integrity_check", -1, &statement, nullptr);
      EXPECT_EQ(sqlite3_step(statement), SQLITE_ROW);
      EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "ok") << table;
      sqlite3_finalize(statement);
      sqlite3_close(check);
    }
    return found;
  }

  std::filesystem::path Pristine;
};

TEST_F(TEngineCrash, AKillBetweenTheRowsLeavesNoneOfTheExamination) {
  const std::filesystem::path folder = Copy(0);
  TChild child([&](TChild& self) {
    auto meets = Engine("meet.db", folder);
    auto fvc = Engine("fvc.db", folder);
    std::uint32_t cursor = 0;
    if (meets->GetTable(cursor) || fvc->GetTable(cursor) || meets->BeginTransaction())
      return 1;
    MeetRecordType meet = Meet(PatientKey, "2024.05.06.", "10:30:00");
    if (meets->AddMeetRecord(meet, 1))
      return 2;
    self.Tell('M');
    self.AwaitParent();
    return 3;
  });
  ASSERT_EQ(child.AwaitChild(), 'M');
  child.Kill();
  ASSERT_EQ(child.Wait(), -SIGKILL);
  EXPECT_EQ(Examinations(folder), 1);
}

TEST_F(TEngineCrash, AKillAtAnyWriteOfTheCommitLeavesTheWholeExaminationOrNone) {
  int none = 0, whole = 0;
  for (int event = 1;; ++event) {
    const std::filesystem::path folder = Copy(event);
    TChild child([&](TChild&) {
      CrashVfs::Install();
      auto meets = Engine("meet.db", folder);
      auto fvc = Engine("fvc.db", folder);
      std::uint32_t cursor = 0;
      if (meets->GetTable(cursor) || fvc->GetTable(cursor))
        return 1;
      CrashVfs::KillAtEvent(event);
      return Save(*meets, *fvc, "2024.05.06.", 1.0f) == 0 ? 0 : 2;
    });
    const int status = child.Wait();
    if (status == 0)
      break;  // the save ran through: every step of it was a crash point
    ASSERT_EQ(status, -SIGKILL) << "at event " << event;
    const int examinations = Examinations(folder);
    ASSERT_TRUE(examinations == 1 || examinations == 2) << "at event " << event;
    // The next opening leaves no super-journal that no journal names.
    EXPECT_EQ(Examinations(folder), examinations);
    std::string journals;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.path().filename().string().ends_with("-journal"))
        journals += TTemporaryFolder::Read(entry.path());
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(".halvetra-transactions-mj")) {
        EXPECT_NE(journals.find(name), std::string::npos) << name << " at event " << event;
      }
    }
    ++(examinations == 1 ? none : whole);
    ASSERT_LT(event, 500) << "the save never ends";
    std::filesystem::remove_all(folder);
  }
  // Crashes before the commit point leave none, after it the whole.
  EXPECT_GT(none, 0);
  EXPECT_GT(whole, 0);
  RecordProperty("CrashPoints", none + whole);
  RecordProperty("CrashPointsLeavingNone", none);
}

TEST_F(TEngineCrash, OpeningAFolderRemovesTheSuperJournalsNoJournalNames) {
  const std::filesystem::path stale = Folder.Write("pristine/.halvetra-transactions-mj0123ABCD9", "meet.db fvc.db");
  const std::filesystem::path named = Folder.Write("pristine/.halvetra-transactions-mj4567EF019", "meet.db fvc.db");
  // A journal of another program's table still names its super-journal.
  Folder.Write("pristine/other.db-journal", "pages ... " + named.string());
  EXPECT_EQ(Examinations(Pristine), 1);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(named));
}

}  // namespace
