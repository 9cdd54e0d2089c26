// TEngine: moving the cursor, searching, the bookmark and the active order.

#include "platform/dbkit/DateColumns.h"
#include "platform/dbkit/EngineState.h"
#include "platform/dbkit/NameCollation.h"

TRowNavigator TEngine::Navigator() const { return {*Database, State->Table, *Schema, *State->Order}; }

void TEngine::SyncPosition() {
  TPosition& position = State->Position;
  if (position.Where != TPosition::OnRow)
    return;
  // The row may have moved in the order (a rewrite by another user) or be
  // gone (then the cursor stands on the gap where it was).
  TDbError error;
  if (const auto now = Navigator().Row(position.RowKey, error))
    position = *now;
  else if (!error)
    position.Where = TPosition::Between;
}

short TEngine::NeedRow(std::int64_t& key) {
  if (const short code = NeedTable())
    return code;
  SyncPosition();
  switch (State->Position.Where) {
  case TPosition::OnRow: key = State->Position.RowKey; return DbResult::Ok;
  case TPosition::BeforeFirst: return DbResult::BeginOfTable;
  case TPosition::AfterLast: return DbResult::EndOfTable;
  default: return DbResult::NoCurrentRow;
  }
}

short TEngine::Move(bool forward) {
  if (const short code = NeedTable())
    return code;
  // Finding the row again and stepping from it read under one lock.
  const TDatabase::TReadScope read(*Database, State->Table);
  SyncPosition();
  TDbError error;
  TRowNavigator navigator = Navigator();
  const auto next = forward ? navigator.After(State->Position, error) : navigator.Before(State->Position, error);
  if (error)
    return Report(error);
  if (next) {
    State->Position = *next;
    return DbResult::Ok;
  }
  State->Position = forward ? TPosition::After() : TPosition::Before();
  return forward ? DbResult::EndOfTable : DbResult::BeginOfTable;
}

short TEngine::GetNextRec() { return Move(true); }
short TEngine::GetPrevRec() { return Move(false); }

short TEngine::GoTop(short) {
  if (const short code = NeedTable())
    return code;
  TDbError error;
  const auto first = Navigator().First(error);
  if (error)
    return Report(error);
  // An empty table is no failure: the cursor waits on the gap.
  State->Position = first ? *first : TPosition::Before();
  return DbResult::Ok;
}

short TEngine::GoBottom(short) {
  if (const short code = NeedTable())
    return code;
  TDbError error;
  const auto last = Navigator().Last(error);
  if (error)
    return Report(error);
  State->Position = last ? *last : TPosition::After();
  return DbResult::Ok;
}

bool TEngine::AtBOF() {
  if (!Schema || !Database)
    return true;
  SyncPosition();
  TDbError error;
  return !Navigator().Before(State->Position, error);
}

bool TEngine::AtEOF() {
  if (!Schema || !Database)
    return true;
  SyncPosition();
  TDbError error;
  return !Navigator().After(State->Position, error);
}

short TEngine::GoToRecord(long number) {
  if (const short code = NeedTable())
    return code;
  TDbError error;
  const auto row = Navigator().Numbered(number, error);
  if (error)
    return Report(error);
  if (!row)
    return number < 1 ? DbResult::BeginOfTable : DbResult::EndOfTable;
  State->Position = *row;
  return DbResult::Ok;
}

short TEngine::GetRecordIndex(long& number) {
  number = 0;
  std::int64_t key = 0;
  if (const short code = NeedRow(key))
    return code;
  TDbError error;
  const long before = Navigator().CountBefore(State->Position, error);
  if (error)
    return Report(error);
  number = before + 1;
  return DbResult::Ok;
}

short TEngine::GetNumberOfRecords(long& count) {
  count = 0;
  if (const short code = NeedTable())
    return code;
  TDbError error;
  count = Navigator().Count(error);
  return Report(error);
}

short TEngine::GetBookMark() {
  if (const short code = NeedTable())
    return code;
  SyncPosition();
  State->BookMark = State->Position;
  return DbResult::Ok;
}

short TEngine::SetToBookMark(int goBack) {
  if (const short code = NeedTable())
    return code;
  if (!State->BookMark)
    return Report({DbResult::InvalidRequest, "No bookmark was taken."});
  if (goBack) {
    State->Position = *State->BookMark;
    SyncPosition();
  }
  State->BookMark.reset();
  return goBack && State->Position.Where == TPosition::Between ? DbResult::NoCurrentRow : DbResult::Ok;
}

short TEngine::SetIndex(std::string_view indexName) {
  if (const short code = NeedTable())
    return code;
  const TRowOrder* order = Schema->FindOrder(indexName);
  if (!order)
    return Report({DbResult::InvalidRequest, "The table has no index \"" + std::string(indexName) + "\"."});
  SyncPosition();
  const bool onRow = State->Position.Where == TPosition::OnRow;
  const std::int64_t key = State->Position.RowKey;
  State->Order = order;
  // The same row in the new order; a gap has no place in it.
  State->Position = TPosition::Before();
  if (onRow) {
    TDbError error;
    if (const auto row = Navigator().Row(key, error))
      State->Position = *row;
  }
  return DbResult::Ok;
}

short TEngine::Search(DBISearchCond condition, short field1, const TFieldValue& value1, short field2,
                      const TFieldValue& value2, short field3, const TFieldValue& value3) {
  if (const short code = NeedTable())
    return code;
  if (condition != SearchEqual && condition != SearchGreaterOrEqual)
    return Report({DbResult::InvalidRequest, "Search condition " + std::to_string(condition) + "."});

  std::vector<TCondition> conditions;
  const std::pair<short, const TFieldValue*> given[] = {{field1, &value1}, {field2, &value2}, {field3, &value3}};
  for (const auto& [number, value] : given) {
    if (number == 0)
      break;
    const TFieldInfo* field = Schema->FindField(number);
    if (!field)
      return Report({DbResult::InvalidRequest, "The table has no key field " + std::to_string(number) + "."});
    std::optional<TSqlValue> key = SearchKeyOf(*field, *value, DatePicture, TimePicture);
    if (!key)
      return field->Form == TFieldForm::Date || field->Form == TFieldForm::Time
                 ? DbResult::InvalidDate
                 : Report({DbResult::InvalidRequest, "A value of the wrong type for field " + std::to_string(number) + "."});
    conditions.emplace_back(field->KeyColumn.empty() ? field->Column : field->KeyColumn, std::move(*key));
  }
  if (conditions.empty())
    return Report({DbResult::InvalidRequest, "A search names no field."});

  TRowNavigator navigator = Navigator();
  const bool greaterOrEqual = condition == SearchGreaterOrEqual;
  if (greaterOrEqual && !navigator.CanSeek(conditions))
    return Report({DbResult::InvalidRequest, "A greater-or-equal search needs the leading fields of the active index."});
  TDbError error;
  const auto found = navigator.Find(conditions, greaterOrEqual, error);
  if (error)
    return Report(error);
  if (!found)
    return DbResult::NotFound;
  State->Position = *found;
  return DbResult::Ok;
}

std::optional<TSqlValue> SearchKeyOf(const TFieldInfo& field, const TFieldValue& value, std::string_view datePicture,
                                     std::string_view timePicture) {
  const auto* number = std::get_if<long>(&value);
  const auto* text = std::get_if<std::string>(&value);
  switch (field.Form) {
  case TFieldForm::Integer:
    if (number)
      return static_cast<std::int64_t>(*number);
    return std::nullopt;
  case TFieldForm::Text:
    if (!text)
      return std::nullopt;
    if (!field.KeyColumn.empty())
      return NameCollation::Key(*text);
    return std::string(*text, 0, text->find_last_not_of(' ') + 1);
  case TFieldForm::Date:
    if (number)
      if (auto column = DateColumns::DateColumnOfValue(*number))
        return *column;
    if (text)
      if (auto column = DateColumns::DateToColumn(*text, datePicture); column && !column->empty())
        return *column;
    return std::nullopt;
  case TFieldForm::Time:
    if (number)
      if (auto column = DateColumns::TimeColumnOfValue(*number))
        return *column;
    if (text)
      if (auto column = DateColumns::TimeToColumn(*text, timePicture); column && !column->empty())
        return *column;
    return std::nullopt;
  }
  return std::nullopt;
}
