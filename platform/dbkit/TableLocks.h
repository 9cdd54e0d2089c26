#pragma once

// The locks that users of one table hold on it and on its rows, seen by
// every process on every workstation that opens the table.
//
// SQLite's own locks last only as long as one transaction, while these
// last as long as a user edits a row or runs the doctors dialog. They are
// byte-range locks on a lock file beside the table ("names.db-lock"),
// taken as open-file-description locks: each engine opens the file itself,
// so two engines conflict even inside one process (the doctors dialog and
// the patient sheet's doctor list), closing one engine's file never drops
// another's locks, and the kernel drops every lock of a process that ends,
// however it ends, so a crash leaves no lock behind.
//
// Byte 0 stands for the table: LockTable holds it exclusively; an engine
// holding row locks, or writing, holds it shared. Byte 1 + key stands for
// the row of that key.

#include "platform/dbkit/ResultCodes.h"

#include <cstdint>
#include <filesystem>
#include <set>

class TTableLocks {
public:
  TTableLocks() = default;
  ~TTableLocks();
  TTableLocks(const TTableLocks&) = delete;
  TTableLocks& operator=(const TTableLocks&) = delete;

  // Opens or makes the lock file of a table file. Without one (a folder
  // that cannot be written) every lock answers ReadOnly.
  TDbError Open(const std::filesystem::path& tableFile, bool writable);
  // Drops every lock of this engine.
  void Close();
  bool IsOpen() const { return Descriptor >= 0; }
  static std::filesystem::path LockFileOf(const std::filesystem::path& tableFile);

  // TableLocked when another engine holds the table or any of its rows.
  short LockTable();
  void UnlockTable();
  bool HoldsTable() const { return Table; }

  // RecordLocked when another engine holds the row, TableInUse when it
  // holds the table.
  short LockRow(std::int64_t key);
  void UnlockRows();
  bool HoldsRow(std::int64_t key) const { return Rows.contains(key); }

  // Whether a read of the row with a lock would be refused: TableInUse or
  // RecordLocked, else Ok. Nothing is taken.
  short TestRow(std::int64_t key) const;

  // A write takes the table byte shared (and the row, when it changes an
  // existing one) for its duration, so it is refused while another engine
  // holds the table or that row.
  class TWriteLease {
  public:
    TWriteLease(TWriteLease&& other) noexcept;
    ~TWriteLease();
    short Result() const { return Code; }

  private:
    friend class TTableLocks;
    TWriteLease(TTableLocks* locks, short code, std::int64_t row) : Locks(locks), Code(code), Row(row) {}
    TTableLocks* Locks = nullptr;
    short Code = 0;
    std::int64_t Row = 0;  // a row lock taken for the lease alone, or 0
  };
  TWriteLease LeaseForWrite(std::int64_t changedRowKey);

private:
  bool Set(short type, std::int64_t offset);  // F_RDLCK, F_WRLCK or F_UNLCK on one byte
  bool Conflicts(short type, std::int64_t offset) const;
  // Holds byte 0 as this engine's state asks: exclusive, shared or not at all.
  void SettleTableByte();

  int Descriptor = -1;
  bool Table = false;
  std::set<std::int64_t> Rows;
  int Leases = 0;
};
