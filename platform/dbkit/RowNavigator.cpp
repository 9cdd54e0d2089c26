#include "platform/dbkit/RowNavigator.h"

#include <sqlite3.h>

TRowNavigator::TRowNavigator(TDatabase& database, const TDatabase::TAttached& table, const TTableSchema& schema,
                             const TRowOrder& order)
    : Database(database), Table(table), Schema(schema), Order(order), From(" FROM " + schema.Qualified(table.Schema)) {}

std::string TRowNavigator::Columns() const {
  std::string columns = Schema.KeyColumn;
  for (const std::string& column : Order.Columns)
    columns += ", " + column;
  return columns;
}

std::string TRowNavigator::OrderBy(bool descending) const {
  const char* direction = descending ? " DESC" : "";
  std::string order = " ORDER BY ";
  for (const std::string& column : Order.Columns)
    order += column + direction + ", ";
  return order + Schema.KeyColumn + direction;
}

std::string TRowNavigator::Tuple() const {
  std::string tuple = "(";
  for (const std::string& column : Order.Columns)
    tuple += column + ", ";
  return tuple + Schema.KeyColumn + ")";
}

std::string TRowNavigator::Placeholders() const {
  std::string placeholders = "(";
  for (std::size_t i = 0; i < Order.Columns.size(); ++i)
    placeholders += "?, ";
  return placeholders + "?)";
}

std::vector<TSqlValue> TRowNavigator::Values(const TPosition& position) const {
  std::vector<TSqlValue> values = position.Keys;
  values.resize(Order.Columns.size());
  values.push_back(position.RowKey);
  return values;
}

std::optional<TPosition> TRowNavigator::One(const std::string& sql, const std::vector<TSqlValue>& values,
                                            TDbError& error) {
  TStatement statement = Database.Prepare(Table, sql, error);
  if (error)
    return std::nullopt;
  statement.BindAll(values);
  const int result = statement.Step();
  if (result == SQLITE_DONE)
    return std::nullopt;
  if (result != SQLITE_ROW) {
    error = Database.ErrorOf(Table, result);
    return std::nullopt;
  }
  TPosition position{TPosition::OnRow, {}, statement.Int(0)};
  for (std::size_t i = 0; i < Order.Columns.size(); ++i)
    position.Keys.push_back(statement.Value(static_cast<int>(i) + 1));
  return position;
}

std::optional<TPosition> TRowNavigator::First(TDbError& error) {
  return One("SELECT " + Columns() + From + OrderBy(false) + " LIMIT 1", {}, error);
}

std::optional<TPosition> TRowNavigator::Last(TDbError& error) {
  return One("SELECT " + Columns() + From + OrderBy(true) + " LIMIT 1", {}, error);
}

std::optional<TPosition> TRowNavigator::After(const TPosition& from, TDbError& error) {
  switch (from.Where) {
  case TPosition::BeforeFirst: return First(error);
  case TPosition::AfterLast: return std::nullopt;
  default:
    return One("SELECT " + Columns() + From + " WHERE " + Tuple() + " > " + Placeholders() + OrderBy(false) +
                   " LIMIT 1",
               Values(from), error);
  }
}

std::optional<TPosition> TRowNavigator::Before(const TPosition& from, TDbError& error) {
  switch (from.Where) {
  case TPosition::BeforeFirst: return std::nullopt;
  case TPosition::AfterLast: return Last(error);
  default:
    return One("SELECT " + Columns() + From + " WHERE " + Tuple() + " < " + Placeholders() + OrderBy(true) +
                   " LIMIT 1",
               Values(from), error);
  }
}

std::optional<TPosition> TRowNavigator::Row(std::int64_t key, TDbError& error) {
  return One("SELECT " + Columns() + From + " WHERE " + Schema.KeyColumn + " = ?", {key}, error);
}

std::optional<TPosition> TRowNavigator::Numbered(long number, TDbError& error) {
  if (number < 1)
    return std::nullopt;
  return One("SELECT " + Columns() + From + OrderBy(false) + " LIMIT 1 OFFSET ?",
             {static_cast<std::int64_t>(number - 1)}, error);
}

bool TRowNavigator::CanSeek(const std::vector<TCondition>& conditions) const {
  if (conditions.empty() || conditions.size() > Order.Columns.size() + 1)
    return false;
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    const std::string& column = i < Order.Columns.size() ? Order.Columns[i] : Schema.KeyColumn;
    if (conditions[i].first != column)
      return false;
  }
  return true;
}

std::optional<TPosition> TRowNavigator::Find(const std::vector<TCondition>& conditions, bool greaterOrEqual,
                                             TDbError& error) {
  std::vector<TSqlValue> values;
  std::string where;
  if (greaterOrEqual) {
    std::string tuple = "(", placeholders = "(";
    for (const auto& [column, value] : conditions) {
      tuple += (values.empty() ? "" : ", ") + column;
      placeholders += values.empty() ? "?" : ", ?";
      values.push_back(value);
    }
    where = tuple + ") >= " + placeholders + ")";
  } else {
    for (const auto& [column, value] : conditions) {
      where += (values.empty() ? "" : " AND ") + column + " = ?";
      values.push_back(value);
    }
  }
  return One("SELECT " + Columns() + From + " WHERE " + where + OrderBy(false) + " LIMIT 1", values, error);
}

long TRowNavigator::CountBefore(const TPosition& at, TDbError& error) {
  if (at.Where == TPosition::BeforeFirst)
    return 0;
  if (at.Where == TPosition::AfterLast)
    return Count(error);
  TStatement statement =
      Database.Prepare(Table, "SELECT count(*)" + From + " WHERE " + Tuple() + " < " + Placeholders(), error);
  if (error)
    return 0;
  statement.BindAll(Values(at));
  const int result = statement.Step();
  if (result != SQLITE_ROW) {
    error = Database.ErrorOf(Table, result);
    return 0;
  }
  return static_cast<long>(statement.Int(0));
}

long TRowNavigator::Count(TDbError& error) {
  TStatement statement = Database.Prepare(Table, "SELECT count(*)" + From, error);
  if (error)
    return 0;
  const int result = statement.Step();
  if (result != SQLITE_ROW) {
    error = Database.ErrorOf(Table, result);
    return 0;
  }
  return static_cast<long>(statement.Int(0));
}
