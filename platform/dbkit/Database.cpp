#include "platform/dbkit/Database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// The databases of this process by folder. An entry of another process id
// was inherited through a fork and belongs to the parent.
struct TRegistryEntry {
  pid_t Owner = 0;
  std::weak_ptr<TDatabase> Database;
};

std::map<std::string, TRegistryEntry>& Registry() {
  static std::map<std::string, TRegistryEntry> registry;
  return registry;
}

// How long a write waits for another process's write to end before the
// table counts as held by another user.
constexpr int BusyTimeoutMs = 3000;

std::string FileUri(const std::filesystem::path& path, std::string_view mode) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (const char c : path.string()) {
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || std::strchr("/-._~", c)) {
      uri += c;
    } else {
      uri += '%';
      uri += hex[byte >> 4];
      uri += hex[byte & 0xF];
    }
  }
  return uri + "?mode=" + std::string(mode);
}

// The system's error behind a failed read or write. SQLite's own note of
// it may be overwritten by the calls of the rollback that followed, so the
// files' last errors are asked too, until one is a full disk.
int SystemError(sqlite3* handle, const std::vector<std::string>& schemas) {
  int system = sqlite3_system_errno(handle);
  for (const std::string& schema : schemas) {
    if (DbResult::OfSystemError(system) == DbResult::DiskFull)
      break;
    int last = 0;
    if (sqlite3_file_control(handle, schema.c_str(), SQLITE_FCNTL_LAST_ERRNO, &last) == SQLITE_OK && last != 0)
      system = last;
  }
  return system;
}

TDbError MapError(sqlite3* handle, int result, const std::vector<std::string>& schemas = {}) {
  std::string detail = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(result);
  const int primary = result & 0xFF;
  const int system =
      handle && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN) ? SystemError(handle, schemas) : 0;
  switch (primary) {
  case SQLITE_NOMEM: return {DbResult::OutOfMemory, detail};
  case SQLITE_FULL: return {DbResult::DiskFull, detail};
  case SQLITE_IOERR:
  case SQLITE_CANTOPEN:
    if (system != 0)
      detail += " (" + std::string(std::strerror(system)) + ")";
    return {DbResult::OfSystemError(system), detail};
  case SQLITE_READONLY: return {DbResult::ReadOnly, detail};
  case SQLITE_NOTADB:
  case SQLITE_CORRUPT: return {DbResult::NotADatabase, detail};
  case SQLITE_BUSY:
  case SQLITE_LOCKED: return {DbResult::TableInUse, detail};
  case SQLITE_CONSTRAINT:
    if (result == SQLITE_CONSTRAINT_UNIQUE || result == SQLITE_CONSTRAINT_PRIMARYKEY)
      return {DbResult::DuplicateKey, detail};
    return {DbResult::InvalidRequest, detail};
  case SQLITE_MISMATCH: return {DbResult::DamagedValue, detail};
  case SQLITE_ERROR:  // a statement that does not fit the file: no such table or column
  case SQLITE_TOOBIG:
  case SQLITE_RANGE: return {DbResult::InvalidRequest, detail};
  default: return {DbResult::IoError, detail};
  }
}

// SQLite's write lock on a file: the byte after the pending byte, held by a
// connection from the first write of its transaction until the commit ends.
constexpr off_t ReservedByte = 0x40000001;

// Whether another process is in the middle of a save to a file of the folder.
bool SaveUnderWay(const std::filesystem::path& folder) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const int descriptor = ::open(it->path().c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
      continue;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = ReservedByte;
    lock.l_len = 1;
    const bool reserved = ::fcntl(descriptor, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(descriptor);
    if (reserved)
      return true;
  }
  return false;
}

// The end of a journal, where SQLite writes the super-journal it belongs to.
std::string JournalTail(const std::filesystem::path& journal) {
  constexpr std::streamoff TailBytes = 64 * 1024;
  std::ifstream in(journal, std::ios::binary);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(size > TailBytes ? size - TailBytes : 0);
  std::ostringstream tail;
  tail << in.rdbuf();
  return tail.str();
}

// A save over several tables that was killed can leave its super-journal
// behind once its table journals are gone. One that no journal names
// serves no recovery; it is removed, unless another program is saving at
// this moment (its super-journal is named by its journals only a little
// later).
void RemoveStaleSuperJournals(const std::filesystem::path& folder) {
  const std::string prefix = std::string(TDatabase::AnchorName) + "-mj";
  std::vector<std::filesystem::path> supers;
  std::vector<std::string> tails;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.starts_with(prefix))
      supers.push_back(it->path());
    else if (name.ends_with("-journal"))
      tails.push_back(JournalTail(it->path()));
  }
  if (supers.empty() || SaveUnderWay(folder))
    return;
  for (const std::filesystem::path& super : supers) {
    const std::string name = super.filename().string();
    if (std::none_of(tails.begin(), tails.end(), [&](const std::string& tail) { return tail.find(name) != std::string::npos; })) {
      std::error_code removeError;
      std::filesystem::remove(super, removeError);
    }
  }
}

}  // namespace

std::shared_ptr<TDatabase> TDatabase::Open(const std::filesystem::path& folder, TDbError& error) {
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::canonical(folder.empty() ? "." : folder, ec);
  if (ec || !std::filesystem::is_directory(canonical, ec)) {
    error = {DbResult::NoSuchTable, "The folder \"" + folder.string() + "\" does not exist."};
    return nullptr;
  }
  TRegistryEntry& entry = Registry()[canonical.string()];
  if (entry.Owner == ::getpid())
    if (auto shared = entry.Database.lock())
      return shared;

  const bool writable = ::faccessat(AT_FDCWD, canonical.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
  if (writable)
    RemoveStaleSuperJournals(canonical);
  std::shared_ptr<TDatabase> database(new TDatabase(canonical, writable));
  if ((error = database->OpenConnection()))
    return nullptr;
  entry = {::getpid(), database};
  return database;
}

TDatabase::~TDatabase() {
  for (auto& connection : Connections) {
    if (connection->Writing)
      Run(*connection, "ROLLBACK");
    ClearStatements(*connection);
    sqlite3_close_v2(connection->Handle);
  }
}

TDbError TDatabase::OpenConnection() {
  auto connection = std::make_unique<TConnection>();
  // In a folder that cannot be written nothing is ever committed, so the
  // anchor is not needed there (and could not be made).
  const std::string main = Writable ? FileUri(FolderPath / std::string(AnchorName), "rwc") : ":memory:";
  const int opened = sqlite3_open_v2(main.c_str(), &connection->Handle,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
  if (opened != SQLITE_OK) {
    TDbError error = MapError(connection->Handle, opened);
    sqlite3_close_v2(connection->Handle);
    return error;
  }
  sqlite3_extended_result_codes(connection->Handle, 1);
  sqlite3_busy_timeout(connection->Handle, BusyTimeoutMs);
  Connections.push_back(std::move(connection));
  // Reads the anchor once: a file in its place that is not a database
  // shows here, not in the middle of a save.
  if (TDbError error = Run(*Connections.back(), "PRAGMA main.synchronous=FULL; PRAGMA main.schema_version")) {
    sqlite3_close_v2(Connections.back()->Handle);
    Connections.pop_back();
    error.Detail = (FolderPath / std::string(AnchorName)).string() + ": " + error.Detail;
    return error;
  }
  return {};
}

TDbError TDatabase::Run(TConnection& connection, std::string_view sql) {
  const int result = sqlite3_exec(connection.Handle, std::string(sql).c_str(), nullptr, nullptr, nullptr);
  return result == SQLITE_OK ? TDbError{} : ErrorOn(connection, result);
}

TDbError TDatabase::ErrorOn(const TConnection& connection, int result) const {
  std::vector<std::string> schemas = {"main"};
  for (const auto& [path, attachment] : connection.Files)
    schemas.push_back(attachment.Schema);
  return MapError(connection.Handle, result, schemas);
}

TDatabase::TAttached TDatabase::Attach(const std::filesystem::path& file, TAttachMode mode, TDbError& error) {
  std::error_code ec;
  const std::filesystem::path path = std::filesystem::canonical(file, ec);
  if (ec) {
    error = {DbResult::NoSuchTable, file.string() + ": " + ec.message()};
    return {};
  }
  for (std::size_t i = 0; i < Connections.size(); ++i) {
    const auto found = Connections[i]->Files.find(path.string());
    if (found != Connections[i]->Files.end()) {
      ++found->second.Users;
      return {static_cast<int>(i), found->second.Schema};
    }
  }

  // A connection with room for one more file and no write under way (SQLite
  // attaches nothing inside a transaction); else a new one.
  std::size_t chosen = Connections.size();
  for (std::size_t i = 0; i < Connections.size(); ++i) {
    TConnection& connection = *Connections[i];
    const auto limit = static_cast<std::size_t>(sqlite3_limit(connection.Handle, SQLITE_LIMIT_ATTACHED, -1));
    if (!connection.Writing && connection.Files.size() < limit) {
      chosen = i;
      break;
    }
  }
  if (chosen == Connections.size())
    if ((error = OpenConnection()))
      return {};

  TConnection& connection = *Connections[chosen];
  const std::string schema = "t" + std::to_string(connection.NextSchema++);
  const std::string uri = FileUri(path, mode == TAttachMode::ReadOnly ? "ro" : "rw");
  sqlite3_stmt* attach = nullptr;
  int result = sqlite3_prepare_v2(connection.Handle, ("ATTACH DATABASE ?1 AS \"" + schema + "\"").c_str(), -1,
                                  &attach, nullptr);
  if (result == SQLITE_OK) {
    sqlite3_bind_text(attach, 1, uri.c_str(), -1, SQLITE_TRANSIENT);
    result = sqlite3_step(attach);
    if (result == SQLITE_DONE)
      result = SQLITE_OK;
  }
  if (result != SQLITE_OK)
    error = ErrorOn(connection, result);
  sqlite3_finalize(attach);
  if (error)
    return {};
  connection.Files[path.string()] = {schema, 1, 0};
  return {static_cast<int>(chosen), schema};
}

TDatabase::TAttachment* TDatabase::Find(const TAttached& table) {
  if (table.Connection < 0 || static_cast<std::size_t>(table.Connection) >= Connections.size())
    return nullptr;
  for (auto& [path, attachment] : Connections[static_cast<std::size_t>(table.Connection)]->Files)
    if (attachment.Schema == table.Schema)
      return &attachment;
  return nullptr;
}

const TDatabase::TAttachment* TDatabase::Find(const TAttached& table) const {
  return const_cast<TDatabase*>(this)->Find(table);
}

void TDatabase::Release(const TAttached& table) {
  if (TAttachment* attachment = Find(table))
    --attachment->Users;
  DetachUnused();
}

void TDatabase::DetachUnused() {
  for (auto& connection : Connections) {
    if (connection->Writing)
      continue;
    for (auto it = connection->Files.begin(); it != connection->Files.end();) {
      if (it->second.Users > 0) {
        ++it;
        continue;
      }
      // Statements naming the schema would fail after the detach anyway.
      ClearStatements(*connection);
      Run(*connection, "DETACH DATABASE \"" + it->second.Schema + "\"");
      it = connection->Files.erase(it);
    }
  }
}

void TDatabase::ClearStatements(TConnection& connection) {
  // A statement in use belongs to a caller still reading: it stays.
  for (auto it = connection.Statements.begin(); it != connection.Statements.end();) {
    if (it->second->InUse) {
      ++it;
      continue;
    }
    sqlite3_finalize(it->second->Handle);
    it = connection.Statements.erase(it);
  }
}

TStatement TDatabase::Prepare(const TAttached& table, std::string_view sql, TDbError& error) {
  if (!Find(table)) {
    error = {DbResult::NotOpen, "no such attachment"};
    return {nullptr, nullptr};
  }
  TConnection& connection = *Connections[static_cast<std::size_t>(table.Connection)];
  const std::string key(sql);
  auto& cached = connection.Statements[key];
  if (cached && !cached->InUse) {
    cached->InUse = true;
    return {cached->Handle, &cached->InUse};
  }
  sqlite3_stmt* handle = nullptr;
  // A statement already stepping (a nested use of the same text) gets a
  // second one of its own.
  const bool keep = !cached;
  const int result = sqlite3_prepare_v3(connection.Handle, key.c_str(), static_cast<int>(key.size()),
                                        keep ? SQLITE_PREPARE_PERSISTENT : 0, &handle, nullptr);
  if (result != SQLITE_OK) {
    error = ErrorOn(connection, result);
    sqlite3_finalize(handle);
    if (keep)
      connection.Statements.erase(key);
    return {nullptr, nullptr};
  }
  if (!keep)
    return {handle, nullptr};
  cached = std::make_unique<TCachedStatement>();
  cached->Handle = handle;
  cached->InUse = true;
  return {handle, &cached->InUse};
}

TDbError TDatabase::Execute(const TAttached& table, std::string_view sql) {
  TDbError error;
  TStatement statement = Prepare(table, sql, error);
  if (error)
    return error;
  int result;
  while ((result = statement.Step()) == SQLITE_ROW) {
  }
  return result == SQLITE_DONE ? TDbError{} : ErrorOf(table, result);
}

TDbError TDatabase::ErrorOf(const TAttached& table, int result) const {
  if (table.Connection < 0 || static_cast<std::size_t>(table.Connection) >= Connections.size())
    return MapError(nullptr, result);
  return ErrorOn(*Connections[static_cast<std::size_t>(table.Connection)], result);
}

TDbError TDatabase::BeginTransaction() {
  if (Explicit)
    return {DbResult::InvalidRequest, "A transaction is open already."};
  Explicit = true;
  ExplicitFailed = false;
  return {};
}

TDbError TDatabase::CommitTransaction() {
  if (!Explicit)
    return {DbResult::InvalidRequest, "No transaction is open."};
  TDbError error;
  if (ExplicitFailed) {
    RollbackConnections();
    error = {DbResult::TransactionFailed, "An earlier step failed; nothing of the save was kept."};
  } else {
    error = CommitConnections();
  }
  Explicit = false;
  ExplicitFailed = false;
  DetachUnused();
  return error;
}

void TDatabase::RollbackTransaction() {
  RollbackConnections();
  Explicit = false;
  ExplicitFailed = false;
  DetachUnused();
}

TDbError TDatabase::CommitConnections() {
  for (auto& connection : Connections) {
    if (!connection->Writing)
      continue;
    if (TDbError error = Run(*connection, "COMMIT")) {
      RollbackConnections();
      return error;
    }
    connection->Writing = false;
  }
  return {};
}

void TDatabase::RollbackConnections() {
  for (auto& connection : Connections) {
    if (connection->Writing && !sqlite3_get_autocommit(connection->Handle))
      Run(*connection, "ROLLBACK");
    connection->Writing = false;
  }
}

TDbError TDatabase::BeginWrite(const TAttached& table) {
  if (!Find(table))
    return {DbResult::NotOpen, "no such attachment"};
  TConnection& connection = *Connections[static_cast<std::size_t>(table.Connection)];
  if (Explicit && ExplicitFailed)
    return {DbResult::TransactionFailed, "An earlier step of this save failed."};
  if (connection.Writing)
    return Explicit ? TDbError{} : TDbError{DbResult::InvalidRequest, "A write is under way already."};
  if (Explicit) {
    // The connection that holds the save locks every table of the folder
    // through the anchor: a table on another connection could only wait
    // for it and then be taken for held by another user. Nothing of the
    // save can be kept whole now.
    for (const auto& other : Connections)
      if (other->Writing) {
        ExplicitFailed = true;
        return {DbResult::InvalidRequest, "The table cannot join the save under way: it was opened after the save "
                                          "began, or more tables are open than one save can hold."};
      }
  }
  // IMMEDIATE takes the write lock at once, so two processes never both
  // read first and then deadlock on their way to writing.
  if (TDbError error = Run(connection, "BEGIN IMMEDIATE"))
    return error;
  connection.Writing = true;
  return {};
}

TDbError TDatabase::EndWrite(const TAttached& table, bool succeeded) {
  if (!Find(table))
    return {DbResult::NotOpen, "no such attachment"};
  TConnection& connection = *Connections[static_cast<std::size_t>(table.Connection)];
  if (Explicit) {
    if (!succeeded && sqlite3_get_autocommit(connection.Handle)) {
      // SQLite undid the whole transaction (a full disk, an I/O error).
      connection.Writing = false;
      ExplicitFailed = true;
    }
    return {};
  }
  TDbError error;
  if (succeeded)
    error = Run(connection, "COMMIT");
  if ((!succeeded || error) && !sqlite3_get_autocommit(connection.Handle))
    Run(connection, "ROLLBACK");
  connection.Writing = false;
  DetachUnused();
  return error;
}

TDatabase::TReadScope::TReadScope(TDatabase& database, const TAttached& table) : Database(database) {
  if (!database.Find(table))
    return;
  TConnection& connection = *database.Connections[static_cast<std::size_t>(table.Connection)];
  if (connection.Writing || !sqlite3_get_autocommit(connection.Handle))
    return;
  // A deferred BEGIN takes no lock itself; the first read takes the shared one.
  if (!database.Run(connection, "BEGIN DEFERRED"))
    Connection = table.Connection;
}

TDatabase::TReadScope::~TReadScope() {
  if (Connection < 0)
    return;
  TConnection& connection = *Database.Connections[static_cast<std::size_t>(Connection)];
  if (!sqlite3_get_autocommit(connection.Handle))
    Database.Run(connection, "COMMIT");
}

std::int64_t TDatabase::DataVersion(const TAttached& table) {
  TDbError error;
  TStatement statement = Prepare(table, "PRAGMA \"" + table.Schema + "\".data_version", error);
  if (error || statement.Step() != SQLITE_ROW)
    return -1;
  return statement.Int(0);
}

std::uint64_t TDatabase::LocalChanges(const TAttached& table) const {
  const TAttachment* attachment = Find(table);
  return attachment ? attachment->LocalChanges : 0;
}

void TDatabase::NoteLocalChange(const TAttached& table) {
  if (TAttachment* attachment = Find(table))
    ++attachment->LocalChanges;
}
