#include "platform/dbkit/TableLocks.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::int64_t TableByte = 0;
std::int64_t RowByte(std::int64_t key) { return 1 + key; }

}  // namespace

TTableLocks::~TTableLocks() { Close(); }

std::filesystem::path TTableLocks::LockFileOf(const std::filesystem::path& tableFile) {
  return tableFile.string() + "-lock";
}

TDbError TTableLocks::Open(const std::filesystem::path& tableFile, bool writable) {
  Close();
  const std::filesystem::path path = LockFileOf(tableFile);
  Descriptor = writable ? ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666) : -1;
  if (Descriptor < 0 && writable)
    return {DbResult::IoError, path.string() + ": " + std::strerror(errno)};
  return {};
}

void TTableLocks::Close() {
  if (Descriptor >= 0)
    ::close(Descriptor);  // drops every lock of this open file description
  Descriptor = -1;
  Table = false;
  Rows.clear();
  Leases = 0;
}

bool TTableLocks::Set(short type, std::int64_t offset) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = 1;
  int result;
  do
    result = ::fcntl(Descriptor, F_OFD_SETLK, &lock);
  while (result < 0 && errno == EINTR);
  return result == 0;
}

bool TTableLocks::Conflicts(short type, std::int64_t offset) const {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = 1;
  if (::fcntl(Descriptor, F_OFD_GETLK, &lock) < 0)
    return false;
  return lock.l_type != F_UNLCK;
}

void TTableLocks::SettleTableByte() {
  if (Table)
    return;
  Set(!Rows.empty() || Leases > 0 ? F_RDLCK : F_UNLCK, TableByte);
}

short TTableLocks::LockTable() {
  if (!IsOpen())
    return DbResult::ReadOnly;
  if (Table)
    return DbResult::Ok;
  if (!Set(F_WRLCK, TableByte))
    return DbResult::TableLocked;
  Table = true;
  return DbResult::Ok;
}

void TTableLocks::UnlockTable() {
  if (!IsOpen() || !Table)
    return;
  Table = false;
  // Back to shared while rows stay locked: changing the lock's type never
  // lets another engine in between.
  SettleTableByte();
}

short TTableLocks::LockRow(std::int64_t key) {
  if (!IsOpen())
    return DbResult::ReadOnly;
  if (Rows.contains(key))
    return DbResult::Ok;
  if (!Table && !Set(F_RDLCK, TableByte))
    return DbResult::TableInUse;
  if (!Set(F_WRLCK, RowByte(key))) {
    SettleTableByte();
    return DbResult::RecordLocked;
  }
  Rows.insert(key);
  return DbResult::Ok;
}

void TTableLocks::UnlockRows() {
  if (!IsOpen())
    return;
  for (const std::int64_t key : Rows)
    Set(F_UNLCK, RowByte(key));
  Rows.clear();
  SettleTableByte();
}

short TTableLocks::TestRow(std::int64_t key) const {
  if (!IsOpen())
    return DbResult::Ok;
  if (!Table && Conflicts(F_RDLCK, TableByte))
    return DbResult::TableInUse;
  if (!Rows.contains(key) && Conflicts(F_WRLCK, RowByte(key)))
    return DbResult::RecordLocked;
  return DbResult::Ok;
}

TTableLocks::TWriteLease TTableLocks::LeaseForWrite(std::int64_t changedRowKey) {
  if (!IsOpen())
    return {nullptr, DbResult::ReadOnly, 0};
  if (!Table && !Set(F_RDLCK, TableByte)) {
    SettleTableByte();
    return {nullptr, DbResult::TableInUse, 0};
  }
  ++Leases;
  std::int64_t leasedRow = 0;
  if (changedRowKey > 0 && !Rows.contains(changedRowKey)) {
    if (!Set(F_WRLCK, RowByte(changedRowKey))) {
      --Leases;
      SettleTableByte();
      return {nullptr, DbResult::RecordLocked, 0};
    }
    leasedRow = changedRowKey;
  }
  return {this, DbResult::Ok, leasedRow};
}

TTableLocks::TWriteLease::TWriteLease(TWriteLease&& other) noexcept
    : Locks(other.Locks), Code(other.Code), Row(other.Row) {
  other.Locks = nullptr;
}

TTableLocks::TWriteLease::~TWriteLease() {
  if (!Locks || !Locks->IsOpen())
    return;
  if (Row != 0)
    Locks->Set(F_UNLCK, RowByte(Row));
  --Locks->Leases;
  Locks->SettleTableByte();
}
