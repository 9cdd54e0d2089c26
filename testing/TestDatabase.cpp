#include "testing/TestDatabase.h"

#include "platform/dbkit/Engine.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

std::unique_ptr<TEngine> OpenTestDatabase(const std::filesystem::path& folder, std::string_view table,
                                          TMessage* texts) {
  auto engine = std::make_unique<TEngine>();
  engine->SetFolder(folder.string());
  engine->SetTableName(table);
  engine->SetMessages(texts);
  std::uint32_t database = 0;
  EXPECT_EQ(engine->OpenDB(database), 0) << folder;
  return engine;
}

std::unique_ptr<TEngine> OpenTestTable(const std::filesystem::path& folder, std::string_view table, TMessage* texts) {
  auto engine = OpenTestDatabase(folder, table, texts);
  std::uint32_t cursor = 0;
  EXPECT_EQ(engine->GetTable(cursor), 0) << table;
  return engine;
}

void CreateTestDatabase(const std::filesystem::path& commonFolder, const std::filesystem::path& databaseFolder,
                        TMessage* texts) {
  const auto create = [texts](const std::filesystem::path& folder, std::string_view table, short kind) {
    std::filesystem::create_directories(folder);
    std::uint32_t cursor = 0;
    EXPECT_EQ(OpenTestDatabase(folder, table, texts)->CreateTable(cursor, kind, ""), 0) << table;
  };
  create(commonFolder, "doctor.db", TableKind::Doctor);
  const std::pair<std::string_view, short> tables[] = {
      {"names.db", TableKind::Names}, {"meet.db", TableKind::Meet},  {"fvc.db", TableKind::Fvc},
      {"vc.db", TableKind::Vc},       {"mvv.db", TableKind::Mvv},    {"dfc.db", TableKind::Dfc},
      {"pl.db", TableKind::Plethy},   {"sh.db", TableKind::Shutter}, {"audio.db", TableKind::Audio},
      {"rhino.db", TableKind::Rhino}};
  for (const auto& [table, kind] : tables)
    create(databaseFolder, table, kind);
}
