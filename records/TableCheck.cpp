#include "records/TableCheck.h"

#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"

#include <string>

namespace TableCheck {

short CheckTableLayout(std::string_view folder, std::string_view table, short kind, TMessage* texts) {
  TEngine engine;
  engine.SetMessages(texts);
  engine.SetFolder(folder);
  engine.SetTableName(table);
  std::uint32_t database = 0, cursor = 0;
  // Opening the table compares its kind, layout and fields with the
  // program's own; it writes nothing.
  short result = engine.OpenDB(database);
  if (result == DbResult::Ok)
    result = engine.GetTable(cursor);
  // A whole table of another kind under this table's name is no less wrong.
  if (result == DbResult::Ok && engine.GetTableKind() != kind) {
    result = DbResult::WrongStructure;
    engine.WinMsg(texts ? texts->Format(DbResult::TextNumber(result), {std::string(table)}) : std::string(table), 16);
  }
  engine.CloseTable(cursor);
  engine.CloseDb(database);
  return result;
}

}  // namespace TableCheck
