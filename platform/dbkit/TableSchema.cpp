#include "platform/dbkit/TableSchema.h"

#include "platform/dbkit/Records.h"
#include "platform/framework/Paths.h"

#include <array>

std::string ArrayColumn(std::string_view field, std::size_t index) {
  return std::string(field) + "_" + std::to_string(index + 1);
}

namespace {

const std::string Text = "TEXT NOT NULL DEFAULT ''";
const std::string Integer = "INTEGER NOT NULL DEFAULT 0";
const std::string Real = "REAL";  // NULL stands for NaN, which SQLite does not keep
const std::string Blob = "BLOB NOT NULL";

void AddNumbered(std::vector<TTableColumn>& columns, std::string_view name, int count, const std::string& declaration) {
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
    columns.push_back({ArrayColumn(name, i), declaration});
}

// A table of a kind; its rows' keys are given by the engine unless the
// caller gives them (test rows carry their examination's meet key).
TTableSchema Base(short kind, const char* kindName, const char* fileName, bool engineGivesKey = true) {
  TTableSchema schema;
  schema.Kind = kind;
  schema.KindName = kindName;
  schema.FileName = fileName;
  schema.KeyColumn = engineGivesKey ? "key" : "meet_key";
  schema.EngineGivesKey = engineGivesKey;
  if (!engineGivesKey) {
    schema.Orders = {{"", {}}};
    schema.Fields = {{1, "meet_key", "", TFieldForm::Integer}};
  }
  return schema;
}

TTableSchema Names() {
  TTableSchema schema = Base(TableKind::Names, "patient", "names.db");
  for (const char* name : {"name", "identifier", "identifier2", "mother_name", "maiden_name"})
    schema.Columns.push_back({name, Text});
  for (const char* name : {"postcode", "county", "city", "street", "phone", "date"})
    AddNumbered(schema.Columns, name, PatientRecordType::AddressSets, Text);
  for (const char* name : {"sex", "unit", "height", "weight", "population"})
    schema.Columns.push_back({name, Integer});
  schema.Columns.push_back({"occupation", Text});
  schema.Columns.push_back({"home_doctor", Integer});
  schema.Columns.push_back({"treating_doctor", Integer});
  schema.Columns.push_back({"ecg_id", Text});
  schema.Columns.push_back({"note", Text});
  schema.Columns.push_back({"name_key", Text});
  schema.Columns.push_back({"identifier_key", Text});
  schema.UniqueKeys = {{"name_key", "identifier_key"}};
  schema.Orders = {{"", {"name_key", "identifier_key"}}, {"Field2", {"identifier_key", "name_key"}}};
  schema.Fields = {{1, "name", "name_key", TFieldForm::Text, sizeof(PatientRecordType::Name)},
                   {2, "identifier", "identifier_key", TFieldForm::Text, sizeof(PatientRecordType::Id)},
                   {20, "ecg_id", "", TFieldForm::Text, sizeof(PatientRecordType::EcgId)}};
  schema.Memo = "note";
  return schema;
}

TTableSchema Meet() {
  TTableSchema schema = Base(TableKind::Meet, "meet", "meet.db");
  schema.Columns = {{"patient_key", Integer}, {"date", Text},  {"time", Text},    {"flags", Integer},
                    {"agent", Text},          {"concentration", Real}, {"dose", Real}, {"note", Text},
                    {"version", Text},        {"algorithm", Integer}};
  schema.UniqueKeys = {{"patient_key", "date", "time"}};
  schema.Orders = {{"", {"patient_key", "date", "time"}}};
  schema.Fields = {{1, "patient_key", "", TFieldForm::Integer},
                   {2, "date", "", TFieldForm::Date},
                   {3, "time", "", TFieldForm::Time}};
  return schema;
}

TTableSchema Doctor() {
  TTableSchema schema = Base(TableKind::Doctor, "doctor", "doctor.db");
  schema.Columns = {{"code", Text},     {"name", Text},      {"address", Text},  {"treating", Integer},
                    {"home", Integer},  {"referring", Integer}, {"name_key", Text}};
  // The doctor lists find a doctor by name, so a name stands for one doctor.
  schema.UniqueKeys = {{"name_key"}};
  schema.Orders = {{"", {}}, {"Field2", {"name_key"}}, {"Field7", {}}};
  schema.Fields = {{2, "name", "name_key", TFieldForm::Text, sizeof(DoctorRecordType::Name)},
                   {7, "key", "", TFieldForm::Integer}};
  return schema;
}

TTableSchema Spirometric(short kind, const char* kindName, const char* fileName, short values) {
  TTableSchema schema = Base(kind, kindName, fileName, false);
  AddNumbered(schema.Columns, "actual", values, Real);
  AddNumbered(schema.Columns, "reference", values, Real);
  AddNumbered(schema.Columns, "rsd", values, Real);
  schema.Columns.push_back({"curve", Blob});
  schema.ValueCount = values;
  schema.Memo = "curve";
  return schema;
}

TTableSchema Audio() {
  TTableSchema schema = Base(TableKind::Audio, "audio", "audio.db", false);
  for (const char* name : {"first_threshold", "second_threshold", "first_flag", "second_flag"})
    AddNumbered(schema.Columns, name, TestRow::AudioEntries, Integer);
  schema.ValueCount = TestRow::AudioEntries;
  return schema;
}

TTableSchema Rhino() {
  TTableSchema schema = Base(TableKind::Rhino, "rhino", "rhino.db", false);
  schema.Columns = {{"data", Blob}};
  schema.Memo = "data";
  return schema;
}

const std::array<TTableSchema, TableKind::Count>& All() {
  static const std::array<TTableSchema, TableKind::Count> schemas = {
      Names(),
      Spirometric(TableKind::Fvc, "fvc", "fvc.db", TestRow::FvcValues),
      Spirometric(TableKind::Vc, "vc", "vc.db", TestRow::VcValues),
      Spirometric(TableKind::Mvv, "mvv", "mvv.db", TestRow::MvvValues),
      Doctor(),
      Meet(),
      Audio(),
      Rhino(),
      Spirometric(TableKind::Dfc, "dfc", "dfc.db", TestRow::DfcValues),
      Spirometric(TableKind::Shutter, "sh", "sh.db", TestRow::ShutterValues),
      Spirometric(TableKind::Plethy, "pl", "pl.db", TestRow::PlethyValues),
  };
  return schemas;
}

std::string Join(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names)
    joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

}  // namespace

const TTableSchema* TTableSchema::ForKind(short kind) {
  if (kind < 0 || kind >= TableKind::Count)
    return nullptr;
  return &All()[static_cast<std::size_t>(kind)];
}

const TTableSchema* TTableSchema::ForKindName(std::string_view name) {
  for (const TTableSchema& schema : All())
    if (schema.KindName == name)
      return &schema;
  return nullptr;
}

std::string TTableSchema::Qualified(std::string_view schema) const {
  return "\"" + std::string(schema) + "\"." + KindName;
}

std::vector<std::string> TTableSchema::CreateStatements(std::string_view schema, std::string_view collation) const {
  const std::string prefix = "\"" + std::string(schema) + "\".";
  std::string table = "CREATE TABLE " + prefix + KindName + " (" + KeyColumn + " INTEGER PRIMARY KEY" +
                      (EngineGivesKey ? " AUTOINCREMENT" : "");
  for (const TTableColumn& column : Columns)
    table += ", " + column.Name + " " + column.Declaration;
  table += ") STRICT";

  std::vector<std::string> statements = {
      table,
      "CREATE TABLE " + prefix + "about (name TEXT PRIMARY KEY, value TEXT NOT NULL) STRICT",
      "INSERT INTO " + prefix + "about VALUES ('kind', '" + KindName + "'), ('layout', '" +
          std::to_string(LayoutVersion) + "'), ('collation', '" + std::string(collation) + "')"};
  int number = 1;
  for (const auto& key : UniqueKeys)
    statements.push_back("CREATE UNIQUE INDEX " + prefix + KindName + "_unique" + std::to_string(number++) + " ON " +
                         KindName + " (" + Join(key) + ")");
  for (const TRowOrder& order : Orders) {
    if (order.Columns.empty())
      continue;
    bool covered = false;
    for (const auto& key : UniqueKeys)
      covered = covered || key == order.Columns;
    if (!covered)
      statements.push_back("CREATE INDEX " + prefix + KindName + "_by_" + order.Columns.front() + " ON " + KindName +
                           " (" + Join(order.Columns) + ")");
  }
  return statements;
}

const TRowOrder* TTableSchema::FindOrder(std::string_view name) const {
  for (const TRowOrder& order : Orders)
    if (Paths::EqualNoCase(order.Name, name))
      return &order;
  return nullptr;
}

const TFieldInfo* TTableSchema::FindField(short number) const {
  for (const TFieldInfo& field : Fields)
    if (field.Number == number)
      return &field;
  return nullptr;
}

std::vector<std::string> TTableSchema::RequiredColumns() const {
  std::vector<std::string> names = {KeyColumn};
  for (const TTableColumn& column : Columns)
    names.push_back(column.Name);
  return names;
}
