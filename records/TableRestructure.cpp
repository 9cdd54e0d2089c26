#include "records/TableRestructure.h"

#include "platform/basekit/Message.h"
#include "platform/dbkit/Records.h"
#include "platform/dbkit/ResultCodes.h"
#include "platform/dbkit/TableSchema.h"
#include "platform/framework/Paths.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

namespace TableRestructure {

namespace {

struct TCloser {
  void operator()(sqlite3* database) const { sqlite3_close(database); }
};
using TConnection = std::unique_ptr<sqlite3, TCloser>;

// The engine's result for an SQLite failure.
short ResultOf(int code) {
  switch (code & 0xFF) {
  case SQLITE_NOMEM: return DbResult::OutOfMemory;
  case SQLITE_BUSY:
  case SQLITE_LOCKED: return DbResult::TableInUse;
  case SQLITE_READONLY: return DbResult::ReadOnly;
  case SQLITE_FULL: return DbResult::DiskFull;
  case SQLITE_CANTOPEN: return DbResult::NoSuchTable;
  case SQLITE_NOTADB: return DbResult::NotADatabase;
  case SQLITE_CORRUPT: return DbResult::NotADatabase;
  default: return DbResult::IoError;
  }
}

void Show(TMessage* texts, const std::string& text) {
  // The engine's reports come without a caption.
  if (texts)
    texts->GetSink().Show({"", text, TMessageIcon::Stop, TMessageButtons::Ok});
}

// The folder as the settings store it (".\\Database\\Data") or as it is
// named here; a drive the file's open then reports as missing.
std::filesystem::path NativeFolder(const std::filesystem::path& folder) {
  const auto native = Paths::ToNative(folder.string());
  return native ? std::filesystem::path(*native) : folder;
}

class TTableFile {
public:
  TTableFile(const std::filesystem::path& folder, std::string_view table, TMessage* texts)
      : Texts(texts), Path(NativeFolder(folder) / std::string(table)) {
    if (Path.extension().empty())
      Path += ".db";
  }

  // Opened for writing where the file allows it, also to look: a hot
  // journal that a killed upgrade left is rolled back only through a
  // connection that may write, and a read-only one would report the file
  // as unwritable for good.
  bool Open() {
    if (!std::filesystem::exists(Path))
      return Fail("OpenTable", DbResult::NoSuchTable, "The table file " + Path.string() + " does not exist.");
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(Path.string().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Connection.reset(raw);
    if (code != SQLITE_OK)
      return Fail("OpenDatabase", ResultOf(code), raw ? sqlite3_errmsg(raw) : sqlite3_errstr(code));
    sqlite3_busy_timeout(raw, 2000);
    return Run("OpenTable", "PRAGMA synchronous=FULL");
  }

  // One statement; false after the report.
  bool Run(std::string_view step, const std::string& sql) {
    const int code = sqlite3_exec(Connection.get(), sql.c_str(), nullptr, nullptr, nullptr);
    return code == SQLITE_OK || Fail(step, ResultOf(code), sqlite3_errmsg(Connection.get()));
  }

  // The first column of every row of a query, as text; false after a report.
  bool Query(std::string_view step, const std::string& sql, std::vector<std::string>& values) {
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(Connection.get(), sql.c_str(), -1, &statement, nullptr);
    if (code == SQLITE_OK) {
      while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
      }
      if (code == SQLITE_DONE)
        code = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    return code == SQLITE_OK || Fail(step, ResultOf(code), sqlite3_errmsg(Connection.get()));
  }

  // The name of the table inside the file (the kind the "about" table names).
  bool KindName(std::string& name) {
    std::vector<std::string> values;
    if (!Query("GetCursorProps", "SELECT value FROM about WHERE name = 'kind'", values))
      return false;
    if (values.empty())
      return Fail("GetCursorProps", DbResult::WrongStructure, "The table file names no kind of table.");
    name = values[0];
    return true;
  }

  bool Fail(std::string_view step, short result, const std::string& message) {
    Result = result;
    Show(Texts, ErrorReport(step, result, message));
    return false;
  }

  short Result = 0;

private:
  TMessage* Texts;
  std::filesystem::path Path;
  TConnection Connection;
};

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

}  // namespace

std::string ErrorReport(std::string_view step, short result, std::string_view message) {
  std::array<char, 1400> text{};
  std::snprintf(text.data(), text.size(), "        ERROR -  %.*s\n                 Cat:Code = [%xh:%xh]\n                 %.*s",
                static_cast<int>(step.size()), step.data(), unsigned(DbResult::Category(result)),
                unsigned(DbResult::CodeInCategory(result)), static_cast<int>(message.size()), message.data());
  return text.data();
}

std::string ResultReport(std::string_view step, short result, std::string_view text) {
  std::array<char, 1400> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "        ERROR - %.*s  Cat:Code [%xh:%xh]\n                %.*s",
                static_cast<int>(step.size()), step.data(), unsigned(DbResult::Category(result)),
                unsigned(DbResult::CodeInCategory(result)), static_cast<int>(text.size()), text.data());
  return buffer.data();
}

bool TableNeedsRestructure(const std::filesystem::path& folder, short& result, std::string_view table, int fields,
                           TMessage* texts) {
  TTableFile file(folder, table, texts);
  std::string kind;
  std::vector<std::string> columns;
  if (file.Open() && file.KindName(kind))
    file.Query("GetFIeldDescs", "SELECT name FROM pragma_table_info(" + Quoted(kind) + ")", columns);
  result = file.Result;
  return static_cast<int>(columns.size()) < fields;
}

short RestructureTable(const std::filesystem::path& folder, std::string_view table, TMessage* texts,
                       const TStepHook& hook) {
  const auto step = [&](std::string_view name) {
    if (hook)
      hook(name);
  };
  TTableFile file(folder, table, texts);
  std::string kind;
  std::vector<std::string> old;
  if (!file.Open() || !file.KindName(kind) ||
      !file.Query("GetFIeldDescs", "SELECT name FROM pragma_table_info(" + Quoted(kind) + ")", old))
    return file.Result;
  const TTableSchema* schema = TTableSchema::ForKindName(kind);
  if (!schema) {
    file.Fail("GetCursorProps", DbResult::WrongStructure, "The table file holds a table of the kind \"" + kind + "\".");
    return file.Result;
  }
  // The fields the old table has keep their values; the new ones start at 0.
  std::string create = "CREATE TABLE restructured (" + schema->KeyColumn + " INTEGER PRIMARY KEY";
  std::string target = schema->KeyColumn, source = schema->KeyColumn;
  for (const TTableColumn& column : schema->Columns) {
    create += ", " + column.Name + " " + column.Declaration;
    const bool kept = std::find(old.begin(), old.end(), column.Name) != old.end();
    target += ", " + column.Name;
    source += ", " + (kept ? column.Name : std::string("0"));
  }
  create += ") STRICT";

  if (!file.Run("DoRestructure", "BEGIN IMMEDIATE"))
    return file.Result;
  std::vector<std::string> before, after;
  const bool done = file.Run("DoRestructure", create) && (step("create"), true) &&
                    file.Run("DoRestructure", "INSERT INTO restructured (" + target + ") SELECT " + source +
                                                  " FROM " + Quoted(kind)) &&
                    (step("copy"), true) &&
                    file.Query("DoRestructure", "SELECT count(*) FROM " + Quoted(kind), before) &&
                    file.Query("DoRestructure", "SELECT count(*) FROM restructured", after) &&
                    (before == after ||
                     file.Fail("DoRestructure", DbResult::DamagedValue,
                               "Not every row was copied (" + after.at(0) + " of " + before.at(0) + ").")) &&
                    file.Run("DoRestructure", "DROP TABLE " + Quoted(kind)) && (step("drop"), true) &&
                    file.Run("DoRestructure", "ALTER TABLE restructured RENAME TO " + Quoted(kind)) &&
                    file.Run("DoRestructure", "UPDATE about SET value = '" +
                                                  std::to_string(TTableSchema::LayoutVersion) +
                                                  "' WHERE name = 'layout'") &&
                    (step("commit"), true) && file.Run("DoRestructure", "COMMIT");
  if (!done) {
    file.Run("CloseCursor", "ROLLBACK");
    return file.Result == 0 ? DbResult::IoError : file.Result;
  }
  return 0;
}

short UpgradeVcTable(const std::filesystem::path& folder, TMessage* texts) {
  constexpr int Fields = 1 + 3 * TestRow::VcValues + 1;
  const std::string table = TTableSchema::ForKind(TableKind::Vc)->FileName;
  short result = 0;
  if (!std::filesystem::exists(NativeFolder(folder) / table) ||
      !TableNeedsRestructure(folder, result, table, Fields, texts) || result != 0)
    return result;
  {
    // A table of another kind under the VC table's name is not an older
    // VC table: it stays as it is, for the layout check to name.
    TTableFile file(folder, table, texts);
    std::string kind;
    if (!file.Open() || !file.KindName(kind))
      return file.Result;
    if (kind != TTableSchema::ForKind(TableKind::Vc)->KindName)
      return 0;
  }
  return RestructureTable(folder, table, texts);
}

}  // namespace TableRestructure
