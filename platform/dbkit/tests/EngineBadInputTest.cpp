// Foreign data and a hostile disk: a file that is not a database, a table
// with fields missing, a read-only folder, a full disk. Each gives its own
// code and message, and leaves the files as they were.

#include "platform/dbkit/tests/EngineTestSupport.h"

#include <sqlite3.h>

#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

class TEngineBadInput : public TEngineTest {
protected:
  // The message shown, which must be the engine's error box for the code.
  void ExpectErrorBox(short code, std::string_view detail) {
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    const std::string& text = messages[0].Text;
    char category[64];
    std::snprintf(category, sizeof category, "  Cat:Code [%xh:%xh]\r\n                ", (code >> 8) & 0xFF, code & 0xFF);
    EXPECT_EQ(text.rfind("        ERROR - ", 0), 0u) << text;
    EXPECT_NE(text.find(category), std::string::npos) << text;
    EXPECT_NE(text.find(detail), std::string::npos) << text;
    EXPECT_EQ(messages[0].Icon, TMessageIcon::Stop);
  }
  static void Sql(const std::filesystem::path& file, const char* statements) {
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &handle), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(handle, statements, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(handle);
    sqlite3_close(handle);
  }
};

// As root the file modes do not bind; without these capabilities they do.
bool DropFilePrivileges() {
  if (::geteuid() != 0)
    return true;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (::syscall(SYS_capget, &header, data) != 0)
    return false;
  for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
    data[capability / 32].effective &= ~(1u << (capability % 32));
    data[capability / 32].permitted &= ~(1u << (capability % 32));
  }
  return ::syscall(SYS_capset, &header, data) == 0;
}

TEST_F(TEngineBadInput, AFileThatIsNotADatabase) {
  auto names = Engine("names.db");
  Folder.Write("names.db", std::string(8192, 'x') + "Halvetra patient list, exported as text\n");
  const auto before = FolderChecksums(Folder.Path());
  std::uint32_t cursor = 0;
  EXPECT_EQ(names->GetTable(cursor), DbResult::NotADatabase);
  EXPECT_EQ(cursor, 0u);
  EXPECT_FALSE(names->IsTableOpen());
  ExpectErrorBox(DbResult::NotADatabase, "file is not a database");
  EXPECT_EQ(FolderChecksums(Folder.Path()), before);
}

TEST_F(TEngineBadInput, ADatabaseWithoutOurTablesOrWithFieldsMissing) {
  auto foreign = Engine("names.db");
  Sql(Folder / "names.db", "CREATE TABLE people (id INTEGER PRIMARY KEY, name TEXT)");
  Sql(Folder / "meet.db",
      "CREATE TABLE about (name TEXT PRIMARY KEY, value TEXT NOT NULL);"
      "INSERT INTO about VALUES ('kind', 'meet'), ('layout', '1'), ('collation', 'latin_ci');"
      "CREATE TABLE meet (key INTEGER PRIMARY KEY, patient_key INTEGER, date TEXT, flags INTEGER)");
  const auto before = FolderChecksums(Folder.Path());
  std::uint32_t cursor = 0;
  EXPECT_EQ(foreign->GetTable(cursor), DbResult::WrongStructure);
  ExpectErrorBox(DbResult::WrongStructure, "no such table");
  auto meets = Engine("meet.db");
  EXPECT_EQ(meets->GetTable(cursor), DbResult::WrongStructure);
  ExpectErrorBox(DbResult::WrongStructure, "Fields missing in \"meet\": time, agent, concentration, dose, note, version, algorithm");
  EXPECT_EQ(FolderChecksums(Folder.Path()), before);
}

TEST_F(TEngineBadInput, AReadOnlyFolderIsReadButNeverWritten) {
  {
    auto names = Table("names.db", TableKind::Names);
    PatientRecordType patient = Patient("Kis Anna", "1");
    ASSERT_EQ(names->AddPatientRecord(patient, 1), 0);
  }
  const auto before = FolderChecksums(Folder.Path());
  ASSERT_EQ(::chmod(Folder.Path().c_str(), 0555), 0);
  TChild child([this](TChild&) {
    if (!DropFilePrivileges())
      return 1;
    auto names = Engine("names.db");
    std::uint32_t cursor = 0;
    if (names->GetTable(cursor) != 0 || names->GoTop() != 0)
      return 2;
    PatientRecordType read;
    if (names->GetData(read, dbiREADLOCK) != 0 || FieldText(read.Name) != "Kis Anna")
      return 3;
    PatientRecordType added = Patient("Nagy Béla", "2");
    if (names->AddPatientRecord(added, 1) != DbResult::ReadOnly || names->LockRecord(1) != DbResult::ReadOnly ||
        names->DeleteRec() != DbResult::ReadOnly)
      return 4;
    auto meets = Engine("meet.db");
    if (meets->CreateTable(cursor, TableKind::Meet, "") != DbResult::ReadOnly)
      return 5;
    const auto messages = TakeMessages();
    if (messages.size() != 4)
      return 6;
    for (const TUserMessage& message : messages)
      if (message.Text.find("read-only") == std::string::npos || message.Text.find("[21h:3h]") == std::string::npos)
        return 7;
    return 0;
  });
  EXPECT_EQ(child.Wait(), 0);
  ::chmod(Folder.Path().c_str(), 0755);
  EXPECT_EQ(FolderChecksums(Folder.Path()), before);
}

TEST_F(TEngineBadInput, AFullDiskLeavesTheTablesAsTheyWere) {
  const std::vector<float> values(19, 3.0f), curve = FlowCurve(6010);
  {
    auto meets = Table("meet.db", TableKind::Meet);
    auto fvc = Table("fvc.db", TableKind::Fvc);
    MeetRecordType meet = Meet(1, "2024.01.01.", "10:00:00");
    ASSERT_EQ(meets->AddMeetRecord(meet, 1), 0);
    ASSERT_EQ(fvc->AddSpiroRecord(values, values, values, 19, curve, 6010, meet.MeetKey, 1), 0);
  }
  const auto before = FolderChecksums(Folder.Path());
  std::uintmax_t largest = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Folder.Path()))
    largest = std::max(largest, entry.file_size());

  TChild child([&](TChild&) {
    // No file may grow past what the largest table holds now, plus a page:
    // the journal fits, the new curve does not.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{largest + 4096, largest + 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
      return 1;
    auto meets = Engine("meet.db");
    auto fvc = Engine("fvc.db");
    std::uint32_t cursor = 0;
    if (meets->GetTable(cursor) || fvc->GetTable(cursor) || meets->BeginTransaction())
      return 2;
    MeetRecordType meet = Meet(1, "2024.02.02.", "11:00:00");
    short result = meets->AddMeetRecord(meet, 1);
    if (result == 0)
      result = fvc->AddSpiroRecord(values, values, values, 19, curve, 6010, meet.MeetKey, 1);
    if (result == 0)
      result = meets->CommitTransaction();
    else
      meets->RollbackTransaction();
    if (result != DbResult::DiskFull)
      return 3;
    const auto messages = TakeMessages();
    if (messages.size() != 1 || messages[0].Text.find("The disk is full") == std::string::npos ||
        messages[0].Text.find("[21h:2h]") == std::string::npos)
      return 4;
    return 0;
  });
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(FolderChecksums(Folder.Path()), before);

  // And the database works on as before.
  auto meets = Table("meet.db");
  long rows = 0;
  meets->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
  MeetRecordType meet = Meet(1, "2024.02.02.", "11:00:00");
  EXPECT_EQ(meets->AddMeetRecord(meet, 1), 0);
}

}  // namespace
