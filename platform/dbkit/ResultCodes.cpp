#include "platform/dbkit/ResultCodes.h"

#include <cerrno>

namespace DbResult {

bool IsSilent(short code) {
  switch (code) {
  case Ok:
  case BeginOfTable:
  case EndOfTable:
  case NotFound:
  case NoCurrentRow:
  case DuplicateKey:
  case RecordLocked:
  case TableLocked:
  case TableInUse:
  case InvalidDate:
    return true;
  default:
    return false;
  }
}

int TextNumber(short code) {
  switch (code) {
  case IoError: return 8001;
  case DiskFull: return 8002;
  case ReadOnly: return 8003;
  case NoSuchTable: return 8004;
  case TableExists: return 8005;
  case NotADatabase: return 8006;
  case WrongStructure: return 8007;
  case InvalidDate: return 8008;
  case DamagedValue: return 8009;
  case CurveTooLong: return 8010;
  case NotOpen: return 8011;
  case InvalidRequest: return 8012;
  case NoNetworkFolder: return 8013;
  case TransactionFailed: return 8014;
  case OutOfMemory: return 8015;
  case DuplicateKey: return 8016;
  case RecordLocked: return 8017;
  case TableLocked: return 8018;
  case TableInUse: return 8019;
  case NoCurrentRow: return 8020;
  case BeginOfTable: return 8021;
  case EndOfTable: return 8022;
  case NotFound: return 8023;
  default: return 8000;
  }
}

short OfSystemError(int error) {
  switch (error) {
  case ENOSPC:
  case EDQUOT:
  case EFBIG:
    return DiskFull;
  case EACCES:
  case EPERM:
  case EROFS:
    return ReadOnly;
  default:
    return IoError;
  }
}

}  // namespace DbResult
