#pragma once

// The SQLite layout of each kind of table. Every file holds one table of
// rows, one column per field of the record (an array field is one column
// per entry), and a small table "about" that names the kind, the layout's
// version and the collation. Curves are BLOBs of little-endian float32.
// Dates and times are stored as "YYYY-MM-DD" and "HH:MM:SS" whatever the
// user's pictures, so that any tool reads them and they sort as they should.

#include <string>
#include <string_view>
#include <vector>

// How a field's value is compared and stored.
enum class TFieldForm { Integer, Text, Date, Time };

// A field as TEngine::Search and TEngine::WriteRecordField number it.
struct TFieldInfo {
  short Number = 0;
  std::string Column;     // the column that holds the value
  std::string KeyColumn;  // the folded copy that searches compare, when there is one
  TFieldForm Form = TFieldForm::Integer;
  std::size_t Width = 0;  // of a text field in its record, with the terminating zero
};

// An order of the rows, named as TEngine::SetIndex names it ("" is the
// primary order). The row's key ends every order, so that no two rows
// compare equal.
struct TRowOrder {
  std::string Name;
  std::vector<std::string> Columns;
};

struct TTableColumn {
  std::string Name;
  std::string Declaration;  // type and constraints
};

// The column of entry `index` (counted from 0) of an array field of a
// record: "postcode_1" holds Postcode[0].
std::string ArrayColumn(std::string_view field, std::size_t index);

struct TTableSchema {
  static constexpr int LayoutVersion = 1;

  short Kind = 0;
  std::string KindName;  // in "about", and the table's name inside the file
  std::string FileName;  // the table file the system names it by
  std::string KeyColumn;  // the row's key: the integer primary key
  bool EngineGivesKey = true;  // false: the caller gives it (the meet key of a test row)
  std::vector<TTableColumn> Columns;  // without the key column
  std::vector<std::vector<std::string>> UniqueKeys;
  std::vector<TRowOrder> Orders;  // the first is the primary order
  std::vector<TFieldInfo> Fields;
  short ValueCount = 0;  // values per array of a test row
  std::string Memo;  // the column GetBlob and SaveBlob reach, if any

  static const TTableSchema* ForKind(short kind);
  static const TTableSchema* ForKindName(std::string_view name);

  // "schema".table
  std::string Qualified(std::string_view schema) const;
  // The statements that make an empty table in the schema.
  std::vector<std::string> CreateStatements(std::string_view schema, std::string_view collation) const;
  const TRowOrder* FindOrder(std::string_view name) const;
  const TFieldInfo* FindField(short number) const;
  // The columns the table must have (the key column among them).
  std::vector<std::string> RequiredColumns() const;
};
