#pragma once

// One prepared SQLite statement, reset when it goes out of use, so that no
// statement keeps a read transaction open between the engine's calls.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A value as the tables hold it: NULL, an integer, a real, a text or the
// bytes of a BLOB.
struct TSqlBlob {
  std::string Bytes;
  friend bool operator==(const TSqlBlob&, const TSqlBlob&) = default;
};
using TSqlValue = std::variant<std::monostate, std::int64_t, double, std::string, TSqlBlob>;

class TStatement {
public:
  // A statement of a cache, marked in use while this object lives; or one
  // of its own (inUse null), finalized when done.
  TStatement(sqlite3_stmt* statement, bool* inUse) : Handle(statement), InUse(inUse) {}
  ~TStatement();
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;
  TStatement(TStatement&& other) noexcept : Handle(other.Handle), InUse(other.InUse) { other.Handle = nullptr; }

  bool Valid() const { return Handle != nullptr; }

  // Parameters are 1-based, as SQLite counts them.
  void Bind(int index, std::int64_t value);
  void Bind(int index, double value);  // NaN is stored as NULL and read back as NaN
  void Bind(int index, std::string_view text);
  void BindBlob(int index, std::string_view bytes);
  void BindNull(int index);
  void Bind(int index, const TSqlValue& value);
  // Binds the values from index 1 on.
  void BindAll(const std::vector<TSqlValue>& values);

  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();

  std::int64_t Int(int column) const;
  double Real(int column) const;  // NULL reads as NaN
  std::string Text(int column) const;
  std::string Blob(int column) const;
  bool IsNull(int column) const;
  TSqlValue Value(int column) const;
  int ColumnCount() const;
  std::string ColumnName(int column) const;

private:
  sqlite3_stmt* Handle = nullptr;
  bool* InUse = nullptr;
};
