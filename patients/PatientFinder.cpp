#include "patients/PatientFinder.h"

#include "platform/dbkit/Engine.h"
#include "platform/dbkit/NameCollation.h"

#include <QString>

namespace PatientFinder {
namespace {

constexpr short NameField = 1;
constexpr short IdentifierField = 2;
constexpr int NameColumns = 30;
constexpr int Gap = 8;
constexpr int IdentifierColumns = 16;

}  // namespace

std::string_view OrderOf(TMode mode) { return mode == TMode::IdentifierOnly ? "Field2" : ""; }

TFound Find(TEngine& names, const TQuery& query, const std::function<void(std::size_t)>& progress) {
  const bool byName = query.Mode == TMode::NameAndIdentifier;
  const std::string& leading = byName ? query.Name : query.IdentifierOnly;
  short result = byName ? names.Search(SearchGreaterOrEqual, NameField, query.Name, IdentifierField, query.Identifier)
                        : names.Search(SearchGreaterOrEqual, IdentifierField, query.IdentifierOnly);
  TFound found;
  for (; result == DbResult::Ok; result = names.GetNextRec()) {
    PatientRecordType row;
    if (names.GetData(row, dbiNOLOCK) != DbResult::Ok)
      break;
    const std::string name = FieldText(row.Name);
    const std::string identifier = FieldText(row.Id);
    // Past the run of rows that begin with the leading text, nothing fits.
    if (!NameCollation::StartsWith(byName ? name : identifier, leading))
      break;
    if (byName && !NameCollation::StartsWith(identifier, query.Identifier))
      continue;
    if (found.Patients.size() == Limit) {
      found.LimitReached = true;
      break;
    }
    found.Patients.push_back({name, identifier});
    if (progress)
      progress(found.Patients.size());
  }
  return found;
}

std::string ResultLine(const TFoundPatient& patient) {
  const QString line = QString::fromStdString(patient.Name).leftJustified(NameColumns) + QString(Gap, ' ') +
                       QString::fromStdString(patient.Identifier).leftJustified(IdentifierColumns);
  return line.toStdString();
}

}  // namespace PatientFinder
