#include "platform/dbkit/Statement.h"

#include <cmath>
#include <limits>

TStatement::~TStatement() {
  if (!Handle)
    return;
  if (!InUse) {
    sqlite3_finalize(Handle);
    return;
  }
  sqlite3_reset(Handle);
  sqlite3_clear_bindings(Handle);
  *InUse = false;
}

void TStatement::Bind(int index, std::int64_t value) { sqlite3_bind_int64(Handle, index, value); }

void TStatement::Bind(int index, double value) {
  if (std::isnan(value))
    sqlite3_bind_null(Handle, index);
  else
    sqlite3_bind_double(Handle, index, value);
}

void TStatement::Bind(int index, std::string_view text) {
  sqlite3_bind_text64(Handle, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void TStatement::BindBlob(int index, std::string_view bytes) {
  // A zero-length blob must still be a blob, not NULL.
  static const char empty = 0;
  sqlite3_bind_blob64(Handle, index, bytes.empty() ? &empty : bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

void TStatement::BindNull(int index) { sqlite3_bind_null(Handle, index); }

void TStatement::Bind(int index, const TSqlValue& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value))
    Bind(index, *number);
  else if (const auto* real = std::get_if<double>(&value))
    Bind(index, *real);
  else if (const auto* text = std::get_if<std::string>(&value))
    Bind(index, std::string_view(*text));
  else if (const auto* blob = std::get_if<TSqlBlob>(&value))
    BindBlob(index, blob->Bytes);
  else
    BindNull(index);
}

void TStatement::BindAll(const std::vector<TSqlValue>& values) {
  for (std::size_t i = 0; i < values.size(); ++i)
    Bind(static_cast<int>(i) + 1, values[i]);
}

int TStatement::Step() { return sqlite3_step(Handle); }

std::int64_t TStatement::Int(int column) const { return sqlite3_column_int64(Handle, column); }

double TStatement::Real(int column) const {
  if (IsNull(column))
    return std::numeric_limits<double>::quiet_NaN();
  return sqlite3_column_double(Handle, column);
}

std::string TStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(Handle, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(Handle, column))) : std::string();
}

std::string TStatement::Blob(int column) const {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(Handle, column));
  return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(Handle, column))) : std::string();
}

bool TStatement::IsNull(int column) const { return sqlite3_column_type(Handle, column) == SQLITE_NULL; }

TSqlValue TStatement::Value(int column) const {
  switch (sqlite3_column_type(Handle, column)) {
  case SQLITE_INTEGER: return Int(column);
  case SQLITE_FLOAT: return sqlite3_column_double(Handle, column);
  case SQLITE_TEXT: return Text(column);
  case SQLITE_BLOB: return TSqlBlob{Blob(column)};
  default: return std::monostate{};
  }
}

int TStatement::ColumnCount() const { return sqlite3_column_count(Handle); }

std::string TStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(Handle, column);
  return name ? name : "";
}
