#include "platform/dbkit/ResultCodes.h"

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
  case IoError: return 9001;
  case DiskFull: return 9002;
  case ReadOnly: return 9003;
  case NoSuchTable: return 9004;
  case TableExists: return 9005;
  case NotADatabase: return 9006;
  case WrongStructure: return 9007;
  case InvalidDate: return 9008;
  case DamagedValue: return 9009;
  case CurveTooLong: return 9010;
  case NotOpen: return 9011;
  case InvalidRequest: return 9012;
  case NoNetworkFolder: return 9013;
  case TransactionFailed: return 9014;
  case OutOfMemory: return 9015;
  case DuplicateKey: return 9016;
  case RecordLocked: return 9017;
  case TableLocked: return 9018;
  case TableInUse: return 9019;
  case NoCurrentRow: return 9020;
  case BeginOfTable: return 9021;
  case EndOfTable: return 9022;
  case NotFound: return 9023;
  default: return 9000;
  }
}

}  // namespace DbResult
