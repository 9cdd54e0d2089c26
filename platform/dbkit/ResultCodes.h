#pragma once

// What TEngine's operations answer: 0, or a 16-bit code whose high byte is
// its category and low byte the code within it (shown as "Cat:Code" in the
// engine's error boxes). The callers test the first group by number; the
// second group is this engine's own and always comes with a message box.

#include <string>
#include <string_view>

namespace DbResult {

// Results the callers test.
inline constexpr short Ok = 0;
inline constexpr short BeginOfTable = 8705;    // 0x2201: no row before the cursor
inline constexpr short EndOfTable = 8706;      // 0x2202: no row after the cursor
inline constexpr short NotFound = 8710;        // 0x2206: no row matches the search
inline constexpr short OutOfMemory = 9473;     // 0x2501
inline constexpr short DuplicateKey = 9729;    // 0x2601
inline constexpr short RecordLocked = 10241;   // 0x2801: another user holds the row
inline constexpr short TableLocked = 10243;    // 0x2803: another user holds the table or one of its rows
inline constexpr short TableInUse = 10245;     // 0x2805: another user holds the table

// The engine's own.
inline constexpr short NoCurrentRow = 0x2203;     // the cursor stands between rows
inline constexpr short IoError = 0x2101;          // reading or writing a file failed
inline constexpr short DiskFull = 0x2102;
inline constexpr short ReadOnly = 0x2103;         // the folder or the table file cannot be written
inline constexpr short NoSuchTable = 0x2104;      // the table file or its folder is missing
inline constexpr short TableExists = 0x2105;      // CreateTable never replaces a table
inline constexpr short NotADatabase = 0x2301;     // the file is not a database at all
inline constexpr short WrongStructure = 0x2302;   // a database, but not a table of this kind
inline constexpr short InvalidDate = 0x2303;      // a date or time text that the picture does not read
inline constexpr short DamagedValue = 0x2304;     // a stored value that does not fit its field
inline constexpr short CurveTooLong = 0x2305;     // a stored curve longer than the caller's buffer
inline constexpr short NotOpen = 0x2401;          // no database or no table open
inline constexpr short InvalidRequest = 0x2402;   // an argument outside the contract
inline constexpr short NoNetworkFolder = 0x2403;
inline constexpr short TransactionFailed = 0x2404; // an earlier step of the save failed; it was undone

// Results that the callers handle themselves; the engine shows nothing for them.
bool IsSilent(short code);

// The number of the language text that says what the code means.
int TextNumber(short code);

// The code of a failed file operation by the system's error number: a file
// grown past its limit or a quota is a full disk for the user as much as
// ENOSPC is; a permission or a read-only file system is ReadOnly.
short OfSystemError(int error);

inline constexpr int Category(short code) { return (static_cast<unsigned short>(code) >> 8) & 0xFF; }
inline constexpr int CodeInCategory(short code) { return static_cast<unsigned short>(code) & 0xFF; }

}  // namespace DbResult

// A failure inside the engine: its code, and the detail shown on the box's
// second line (SQLite's own text, the fields that are missing ...).
struct TDbError {
  short Code = DbResult::Ok;
  std::string Detail;

  explicit operator bool() const { return Code != DbResult::Ok; }
};
