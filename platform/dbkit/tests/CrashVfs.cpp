#include "platform/dbkit/tests/CrashVfs.h"

#include <sqlite3.h>

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace CrashVfs {
namespace {

sqlite3_vfs* Base = nullptr;
sqlite3_vfs Layer;
int Countdown = 0;
int Seen = 0;

// Our header, then the usual layer's file.
struct TFile {
  sqlite3_file Header;
  sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};
TFile* Of(sqlite3_file* file) { return reinterpret_cast<TFile*>(file); }

// True when this event is the one that kills.
bool Fatal() {
  if (Countdown <= 0)
    return false;
  ++Seen;
  return --Countdown == 0;
}

void Die() {
  ::kill(::getpid(), SIGKILL);
  ::pause();
}

int Close(sqlite3_file* file) {
  sqlite3_file* real = Of(file)->Real();
  const int result = real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
  return result;
}
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  sqlite3_file* real = Of(file)->Real();
  return real->pMethods->xRead(real, buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  sqlite3_file* real = Of(file)->Real();
  if (Fatal()) {
    real->pMethods->xWrite(real, buffer, amount / 2, offset);  // a torn write
    Die();
  }
  return real->pMethods->xWrite(real, buffer, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  sqlite3_file* real = Of(file)->Real();
  if (Fatal())
    Die();
  return real->pMethods->xTruncate(real, size);
}
int Sync(sqlite3_file* file, int flags) {
  sqlite3_file* real = Of(file)->Real();
  if (Fatal())
    Die();
  return real->pMethods->xSync(real, flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  sqlite3_file* real = Of(file)->Real();
  return real->pMethods->xFileSize(real, size);
}
int Lock(sqlite3_file* file, int level) {
  sqlite3_file* real = Of(file)->Real();
  return real->pMethods->xLock(real, level);
}
int Unlock(sqlite3_file* file, int level) {
  sqlite3_file* real = Of(file)->Real();
  return real->pMethods->xUnlock(real, level);
}
int CheckReservedLock(sqlite3_file* file, int* out) {
  sqlite3_file* real = Of(file)->Real();
  return real->pMethods->xCheckReservedLock(real, out);
}
int FileControl(sqlite3_file* file, int op, void* argument) {
  sqlite3_file* real = Of(file)->Real();
  return real->pMethods->xFileControl(real, op, argument);
}
int SectorSize(sqlite3_file* file) {
  sqlite3_file* real = Of(file)->Real();
  return real->pMethods->xSectorSize(real);
}
int DeviceCharacteristics(sqlite3_file* file) {
  sqlite3_file* real = Of(file)->Real();
  return real->pMethods->xDeviceCharacteristics(real);
}

// Version 1: no shared memory (rollback journals need none) and no memory mapping.
const sqlite3_io_methods Methods = {1,        Close,    Read,    Write,       Truncate,          Sync,
                                    FileSize, Lock,     Unlock,  CheckReservedLock, FileControl, SectorSize,
                                    DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  TFile* ours = Of(file);
  std::memset(ours, 0, sizeof(TFile));
  const int result = Base->xOpen(Base, name, ours->Real(), flags, outFlags);
  ours->Header.pMethods = ours->Real()->pMethods ? &Methods : nullptr;
  return result;
}
int Delete(sqlite3_vfs*, const char* name, int syncDirectory) {
  if (Fatal())
    Die();
  return Base->xDelete(Base, name, syncDirectory);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return Base->xAccess(Base, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return Base->xFullPathname(Base, name, size, out);
}

}  // namespace

void Install() {
  Base = sqlite3_vfs_find(nullptr);
  Layer = *Base;
  Layer.iVersion = 2;
  Layer.szOsFile = static_cast<int>(sizeof(TFile)) + Base->szOsFile;
  Layer.zName = "crash";
  Layer.pNext = nullptr;
  Layer.xOpen = Open;
  Layer.xDelete = Delete;
  Layer.xAccess = Access;
  Layer.xFullPathname = FullPathname;
  sqlite3_vfs_register(&Layer, 1);
}

void KillAtEvent(int n) {
  Countdown = n;
  Seen = 0;
}

int EventsSeen() { return Seen; }

}  // namespace CrashVfs
