#pragma once

// Finds rows of one table in one order, for the engine's cursor. A
// position is the row's values in the order's columns and the row's key
// (which ends every order), so it stays meaningful when rows are added or
// removed around it, and when its own row is gone.

#include "platform/dbkit/Database.h"
#include "platform/dbkit/TableSchema.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct TPosition {
  enum TWhere { BeforeFirst, OnRow, Between, AfterLast };
  TWhere Where = BeforeFirst;
  std::vector<TSqlValue> Keys;  // the row's values in the order's columns
  std::int64_t RowKey = 0;

  static TPosition Before() { return {}; }
  static TPosition After() { return {AfterLast, {}, 0}; }
};

// A condition of a search: a column and the value it is compared with.
using TCondition = std::pair<std::string, TSqlValue>;

class TRowNavigator {
public:
  TRowNavigator(TDatabase& database, const TDatabase::TAttached& table, const TTableSchema& schema,
                const TRowOrder& order);

  // The row found, or nothing (then `error` may say why).
  std::optional<TPosition> First(TDbError& error);
  std::optional<TPosition> Last(TDbError& error);
  std::optional<TPosition> After(const TPosition& from, TDbError& error);
  std::optional<TPosition> Before(const TPosition& from, TDbError& error);
  // The row of a key as it is now.
  std::optional<TPosition> Row(std::int64_t key, TDbError& error);
  // The row at a 1-based number in the order.
  std::optional<TPosition> Numbered(long number, TDbError& error);
  // The first row whose columns equal the values, or (greaterOrEqual) the
  // first row not before them in the order; then the columns must be the
  // order's leading columns.
  std::optional<TPosition> Find(const std::vector<TCondition>& conditions, bool greaterOrEqual, TDbError& error);
  bool CanSeek(const std::vector<TCondition>& conditions) const;

  long CountBefore(const TPosition& at, TDbError& error);
  long Count(TDbError& error);

private:
  std::string Columns() const;        // "key, c1, c2"
  std::string OrderBy(bool descending) const;
  std::string Tuple() const;          // "(c1, c2, key)"
  std::string Placeholders() const;   // "(?, ?, ?)"
  std::vector<TSqlValue> Values(const TPosition& position) const;
  std::optional<TPosition> One(const std::string& sql, const std::vector<TSqlValue>& values, TDbError& error);

  TDatabase& Database;
  TDatabase::TAttached Table;
  const TTableSchema& Schema;
  const TRowOrder& Order;
  std::string From;
};
