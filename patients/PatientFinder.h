#pragma once

// Finding patients in the patient table by what the user typed: the
// beginning of the name and of the identifier, or the beginning of the
// identifier alone. Beginnings compare as the table compares names,
// without regard to case ("kov" finds "KOVÁCS"). The search starts at the
// first row not before the typed beginnings in the table's active order
// and stops at the first row whose leading field no longer begins with
// its typed text; within that run, a row whose other field does not fit
// is passed over, so no matching patient is missed.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TEngine;

namespace PatientFinder {

enum class TMode {
  NameAndIdentifier = 0,  // the table in its primary order (name, identifier)
  IdentifierOnly = 1,     // the table in identifier order
};

// The order the table must be in for a mode: "" or "Field2".
std::string_view OrderOf(TMode mode);

struct TQuery {
  TMode Mode = TMode::NameAndIdentifier;
  // The beginnings typed; an empty one fits every patient.
  std::string Name;
  std::string Identifier;
  std::string IdentifierOnly;  // the identifier of the identifier-only search
};

struct TFoundPatient {
  std::string Name;
  std::string Identifier;
};

// At most this many patients are listed.
inline constexpr std::size_t Limit = 100;

struct TFound {
  std::vector<TFoundPatient> Patients;
  // One more patient would have fitted: the list is not the whole answer.
  bool LimitReached = false;
};

// Searches the table (in the order of the query's mode) and reports each
// patient found with the count so far. Leaves the cursor where the search
// ended.
TFound Find(TEngine& names, const TQuery& query, const std::function<void(std::size_t found)>& progress = {});

// One line of the result list: the name in 30 columns, eight blanks, the
// identifier in 16 columns, counted in characters so that the columns line
// up in a fixed-width font.
std::string ResultLine(const TFoundPatient& patient);

}  // namespace PatientFinder
