#pragma once

// The database of a folder: one SQLite connection to which the folder's
// table files are attached, shared by every engine of this process that
// works in that folder. Sharing the connection is what lets one save span
// tables: an examination's row in "meet.db" and its test rows in "fvc.db"
// commit together or not at all, because SQLite commits a transaction over
// several attached files atomically (through a super-journal) in rollback
// journal mode, when the connection's main database is a file. That main
// database is an empty anchor file in the folder; the tables never live in
// it.
//
// Only a process of its own reaches the connection: after a fork the child
// opens connections of its own.

#include "platform/dbkit/ResultCodes.h"
#include "platform/dbkit/Statement.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;

class TDatabase {
public:
  // The anchor file that every folder of tables holds once it was written.
  static constexpr std::string_view AnchorName = ".halvetra-transactions";

  // The database of a folder, shared with the engines that have it open.
  static std::shared_ptr<TDatabase> Open(const std::filesystem::path& folder, TDbError& error);
  ~TDatabase();
  TDatabase(const TDatabase&) = delete;
  TDatabase& operator=(const TDatabase&) = delete;

  const std::filesystem::path& Folder() const { return FolderPath; }
  // False for a folder this process cannot write: its tables open read-only.
  bool FolderWritable() const { return Writable; }

  // A table file attached to one of the connections, under a schema name.
  struct TAttached {
    int Connection = -1;
    std::string Schema;
    explicit operator bool() const { return Connection >= 0; }
  };
  enum class TAttachMode { Existing, ReadOnly };
  TAttached Attach(const std::filesystem::path& file, TAttachMode mode, TDbError& error);
  // Gives the attachment back; the file is detached when nobody uses it.
  void Release(const TAttached& table);

  // A statement on the connection of the table. Its text names the table's
  // schema as it likes (TTableSchema builds the names).
  TStatement Prepare(const TAttached& table, std::string_view sql, TDbError& error);
  // Runs a statement that answers nothing, or one row that is not needed.
  TDbError Execute(const TAttached& table, std::string_view sql);

  // An explicit transaction spans every write of every engine of the folder
  // until it is committed or rolled back; its writes must all fall on one
  // connection. Without one, each write is a transaction of its own.
  TDbError BeginTransaction();
  TDbError CommitTransaction();
  void RollbackTransaction();
  bool InTransaction() const { return Explicit; }

  // One engine's write: opened before its statements, closed after them.
  // Inside an explicit transaction a failed write that made SQLite undo
  // the transaction marks it failed, so that no later step of the same save
  // is committed on its own.
  TDbError BeginWrite(const TAttached& table);
  TDbError EndWrite(const TAttached& table, bool succeeded);

  // Several reads that run together under one shared lock of the table's
  // file: SQLite then takes and checks the lock (the file's header, a hot
  // journal) once instead of once per statement. Nothing is done while a
  // transaction is open on the connection already. Keep the scope short:
  // other processes cannot write the file while it lasts.
  class TReadScope {
  public:
    TReadScope(TDatabase& database, const TAttached& table);
    ~TReadScope();
    TReadScope(const TReadScope&) = delete;
    TReadScope& operator=(const TReadScope&) = delete;

  private:
    TDatabase& Database;
    int Connection = -1;  // the one it began on
  };

  // What changes another process (SQLite's data version) or another engine
  // of this process (a count kept here) made to a table.
  std::int64_t DataVersion(const TAttached& table);
  std::uint64_t LocalChanges(const TAttached& table) const;
  void NoteLocalChange(const TAttached& table);

  // The error of a SQLite result on the table's connection.
  TDbError ErrorOf(const TAttached& table, int result) const;

private:
  struct TCachedStatement {
    sqlite3_stmt* Handle = nullptr;
    bool InUse = false;
  };
  struct TAttachment {
    std::string Schema;
    int Users = 0;
    std::uint64_t LocalChanges = 0;
  };
  struct TConnection {
    sqlite3* Handle = nullptr;
    std::map<std::string, TAttachment> Files;  // by canonical path
    std::unordered_map<std::string, std::unique_ptr<TCachedStatement>> Statements;
    bool Writing = false;  // a write transaction is open on it
    int NextSchema = 1;
  };

  TDatabase(std::filesystem::path folder, bool writable) : FolderPath(std::move(folder)), Writable(writable) {}
  TDbError OpenConnection();
  TAttachment* Find(const TAttached& table);
  const TAttachment* Find(const TAttached& table) const;
  TDbError Run(TConnection& connection, std::string_view sql);
  TDbError ErrorOn(const TConnection& connection, int result) const;
  void ClearStatements(TConnection& connection);
  void DetachUnused();
  TDbError CommitConnections();
  void RollbackConnections();

  std::filesystem::path FolderPath;
  bool Writable = false;
  std::vector<std::unique_ptr<TConnection>> Connections;
  bool Explicit = false;
  bool ExplicitFailed = false;
};
