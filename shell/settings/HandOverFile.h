#pragma once

// The patient hand-over file that another program names with "-p": an ini
// text with the sections [Patient] and [Institute]. Each line is taken as
// UTF-8, or as Windows-1252 when it is not valid UTF-8. A control character
// (DEL and C1 included) makes it no ini text; a date that is not in the
// calendar leaves the birth date empty. A file that cannot
// be used is kept for the user to look at; one that was used is deleted by
// the caller (Remove), so that it is applied only once.

#include "patients/NewPatientRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TMessage;

namespace HandOver {

struct THandOverPatient {
  // What a new patient is entered with; keys the file leaves out are empty
  // or 0.
  TTPatientRecord Record;
  // What a patient already in the table takes from the file. Nothing when
  // the file does not say, so that the stored value stays.
  std::optional<std::int32_t> HeightCm;
  std::optional<std::int32_t> WeightKg;
};

enum class TProblem {
  None,
  Unreadable,  // the file cannot be read; Detail says why
  NotIniText,  // Line names the first line that is no ini text
  NoPatient,   // no [Patient] section
};

struct TReadResult {
  std::optional<THandOverPatient> Patient;
  TProblem Problem = TProblem::None;
  std::string Detail;
  std::size_t Line = 0;
};

// Whether the file is there (an ordinary file).
bool Exists(const std::string& systemPath);
// The patient of a file's bytes.
TReadResult Parse(std::string_view bytes);
// The patient of the file (a path as the system writes it).
TReadResult Read(const std::string& systemPath);
// Reads the file and tells the user, through the texts' sink, why it cannot
// be used; nothing then.
std::optional<THandOverPatient> ReadAndReport(const std::string& systemPath, const TMessage& messages);
// Deletes the file once it has been used; false, with the reason, when it
// cannot be deleted.
bool Remove(const std::string& systemPath, std::string* error = nullptr);

}  // namespace HandOver
