#include "shell/settings/DatabaseTables.h"

#include "patients/DatabaseFolders.h"
#include "platform/dbkit/Engine.h"

namespace DatabaseTables {
namespace {

bool Create(TEngine& engine, const std::string& folder, const TTable& table, std::string_view driver) {
  engine.SetFolder(folder);
  engine.SetTableName(table.File);
  std::uint32_t database = 0, cursor = 0;
  if (engine.OpenDB(database) != DbResult::Ok)
    return false;
  const bool made = engine.CreateTable(cursor, table.Kind, driver) == DbResult::Ok;
  if (made)
    engine.CloseTable(cursor);
  engine.CloseDb(database);
  return made;
}

}  // namespace

bool CreateMissing(const std::string& commonFolder, const std::string& databaseFolder, std::string_view driver,
                   TMessage& messages, const std::function<void()>& step) {
  if (commonFolder.empty() || databaseFolder.empty())
    return false;
  TEngine engine;
  engine.SetMessages(&messages);
  if (engine.DbInit("", "") != DbResult::Ok)
    return false;
  bool made = true;
  const auto make = [&](const std::string& folder, const TTable& table) {
    if (made && !DatabaseFolders::HoldsTable(folder, table.File))
      made = Create(engine, folder, table, driver);
    if (made && step)
      step();
  };
  make(commonFolder, DoctorTable);
  for (const TTable& table : DataTables)
    make(databaseFolder, table);
  engine.DbExit();
  return made;
}

}  // namespace DatabaseTables
