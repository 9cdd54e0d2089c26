#pragma once

// One doctor as the doctors dialog edits it: name, code, address and the
// roles the doctor has for a patient. doctor.db keeps each text in a field
// of fixed bytes (the widths below).

#include "platform/dbkit/Records.h"

#include <string>

struct TDoctorEntry {
  // Bytes of each text, without the terminating zero.
  static constexpr std::size_t NameWidth = sizeof(DoctorRecordType::Name) - 1;        // 30
  static constexpr std::size_t CodeWidth = sizeof(DoctorRecordType::Code) - 1;        // 10
  static constexpr std::size_t AddressWidth = sizeof(DoctorRecordType::Address) - 1;  // 40

  std::string Name;
  std::string Code;
  std::string Address;
  bool Treating = false;
  bool Home = false;
  bool Referring = false;

  friend bool operator==(const TDoctorEntry&, const TDoctorEntry&) = default;

  // The input dialog's OK needs a name, a code and at least one role.
  bool IsComplete() const { return !Name.empty() && !Code.empty() && (Treating || Home || Referring); }

  DoctorRecordType ToRecord() const;
  static TDoctorEntry FromRecord(const DoctorRecordType& record);
};
