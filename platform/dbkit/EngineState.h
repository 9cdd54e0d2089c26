#pragma once

// The open table and the cursor of a TEngine; shared by the engine's
// source files only.

#include "platform/dbkit/Database.h"
#include "platform/dbkit/Engine.h"
#include "platform/dbkit/RowNavigator.h"
#include "platform/dbkit/TableSchema.h"

#include <map>
#include <optional>

struct TEngine::TState {
  TDatabase::TAttached Table;
  const TRowOrder* Order = nullptr;
  TPosition Position;
  std::optional<TPosition> BookMark;
  // What the engine has seen of the table's changes (the change notice).
  std::int64_t SeenDataVersion = -1;
  std::uint64_t SeenLocalChanges = 0;
};

// One row of a table by column name, as SELECT * reads it.
struct TRowValues : std::map<std::string, TSqlValue> {};

// Columns and the values to write into them.
struct TColumnValues : std::vector<std::pair<std::string, TSqlValue>> {
  void Add(std::string column, TSqlValue value) { emplace_back(std::move(column), std::move(value)); }
};

// The value a search compares for a field (the folded key of a text, the
// column text of a date or time), or nothing when the value does not fit
// the field.
std::optional<TSqlValue> SearchKeyOf(const TFieldInfo& field, const TFieldValue& value, std::string_view datePicture,
                                     std::string_view timePicture);
