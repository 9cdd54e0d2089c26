// Making, opening and closing the tables.

#include "platform/dbkit/Database.h"
#include "platform/dbkit/tests/EngineTestSupport.h"

namespace {

using TEngineTables = TEngineTest;

struct TableFile {
  const char* Name;
  short Kind;
};
const TableFile Tables[] = {{"names.db", TableKind::Names},  {"fvc.db", TableKind::Fvc},     {"vc.db", TableKind::Vc},
                            {"mvv.db", TableKind::Mvv},      {"doctor.db", TableKind::Doctor}, {"meet.db", TableKind::Meet},
                            {"audio.db", TableKind::Audio},  {"rhino.db", TableKind::Rhino}, {"dfc.db", TableKind::Dfc},
                            {"sh.db", TableKind::Shutter},   {"pl.db", TableKind::Plethy}};

TEST_F(TEngineTables, CreatesEveryKindAsAFileOfItsOwnAndOpensItAgain) {
  for (const TableFile& table : Tables) {
    auto engine = Table(table.Name, table.Kind);
    EXPECT_EQ(engine->GetTableKind(), table.Kind);
    long rows = -1;
    EXPECT_EQ(engine->GetNumberOfRecords(rows), 0);
    EXPECT_EQ(rows, 0);
  }
  for (const TableFile& table : Tables) {
    EXPECT_TRUE(std::filesystem::exists(Folder / table.Name)) << table.Name;
    auto engine = Table(table.Name);
    EXPECT_EQ(engine->GetTableKind(), table.Kind) << table.Name;
  }
  // A table name without ".db", or in other letters, names the same file.
  auto engine = Engine("Names");
  std::uint32_t cursor = 0;
  EXPECT_EQ(engine->GetTable(cursor), 0);
  EXPECT_EQ(engine->GetTableKind(), TableKind::Names);
}

TEST_F(TEngineTables, CreateTableNeverReplacesATable) {
  auto first = Table("names.db", TableKind::Names);
  PatientRecordType patient = Patient("Kis Anna", "1");
  ASSERT_EQ(first->AddPatientRecord(patient, 1), 0);
  const std::string before = Checksum(Folder / "names.db");

  auto second = Engine("names.db");
  std::uint32_t cursor = 0;
  EXPECT_EQ(second->CreateTable(cursor, TableKind::Names, ""), DbResult::TableExists);
  EXPECT_EQ(cursor, 0u);
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].Text.find("names.db exists already"), std::string::npos) << messages[0].Text;
  EXPECT_EQ(Checksum(Folder / "names.db"), before);
}

TEST_F(TEngineTables, RefusesAMissingTableAndAnUnknownKind) {
  auto engine = Engine("meet.db");
  std::uint32_t cursor = 0;
  EXPECT_EQ(engine->GetTable(cursor), DbResult::NoSuchTable);
  EXPECT_EQ(engine->CreateTable(cursor, 11, ""), DbResult::InvalidRequest);
  EXPECT_EQ(TakeMessages().size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(Folder / "meet.db"));

  auto nowhere = std::make_unique<TEngine>();
  nowhere->SetMessages(&Texts);
  nowhere->SetFolder((Folder / "missing").string());
  std::uint32_t database = 0;
  EXPECT_EQ(nowhere->OpenDB(database), DbResult::NoSuchTable);
  EXPECT_EQ(database, 0u);
  EXPECT_EQ(TakeMessages().size(), 1u);
}

TEST_F(TEngineTables, TheLanguageDriverListOffersTheCollation) {
  auto engine = std::make_unique<TEngine>();
  std::vector<std::string> drivers;
  EXPECT_EQ(engine->GetLanguageDriverList(drivers), 0);
  ASSERT_EQ(drivers.size(), 1u);
  const std::string name = drivers[0].substr(drivers[0].find(',') + 1);
  EXPECT_EQ(name, "latin_ci");
  // A table made with it, and one made with a driver name of an older
  // database, both open.
  std::uint32_t cursor = 0;
  auto names = Engine("names.db");
  EXPECT_EQ(names->CreateTable(cursor, TableKind::Names, name), 0);
  auto meet = Engine("meet.db");
  EXPECT_EQ(meet->CreateTable(cursor, TableKind::Meet, "olddriver"), 0);
}

TEST_F(TEngineTables, ClosingInAnyOrderLeavesNothingOpen) {
  auto engine = Table("names.db", TableKind::Names);
  std::uint32_t cursor = 1, database = 1;
  EXPECT_EQ(engine->CloseTable(cursor), 0);
  EXPECT_EQ(cursor, 0u);
  EXPECT_FALSE(engine->IsTableOpen());
  long rows = 0;
  EXPECT_EQ(engine->GetNumberOfRecords(rows), DbResult::NotOpen);
  EXPECT_EQ(TakeMessages().size(), 1u);
  EXPECT_EQ(engine->CloseDb(database), 0);
  EXPECT_EQ(database, 0u);
  EXPECT_EQ(engine->DbExit(), 0);
  // The engine, and every other, may open the table again.
  EXPECT_EQ(engine->OpenDB(database), 0);
  EXPECT_EQ(engine->GetTable(cursor), 0);
}

}  // namespace
