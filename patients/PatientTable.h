#pragma once

// The patient sheet's database: the patient table through the sheet's own
// engine, and the doctor table through an engine of its own in the doctor
// folder. Rows cross as the sheet's TPatientFields.

#include "patients/PatientDatabase.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class TEngine;
class TMessage;

class TPatientTable final : public TPatientDatabase {
public:
  // `names` is open on the patient table (or will be) while this object lives.
  explicit TPatientTable(TEngine& names);
  ~TPatientTable() override;

  short GetData(TPatientFields& record, TLock lock) override;
  // A rewrite keeps the identifier that the ECG hand-over wrote into the
  // row, whatever the sheet read before.
  short AddPatientRecord(TPatientFields& record, bool insert) override;
  short DeleteRec() override;
  short FindPatient(std::string_view name, std::string_view id) override;
  short LockRecord() override;
  short UnLockRecord() override;
  short GoTop() override;
  short GoBottom() override;
  short GetNextRec() override;
  short GetPrevRec() override;
  bool AtBOF() override;
  bool AtEOF() override;
  int WinMsg(std::string_view text, int flags) override;
  void WriteLogFile(std::string_view line) override;
  std::optional<TDoctorRow> FindDoctor(std::int32_t key) override;
  std::optional<TDoctorRow> FindDoctorByName(std::string_view name) override;

  // Opens "Doctor.db" in its folder and reads every doctor in name order
  // for the sheet's lists, with a progress step between the stages and
  // after every second doctor. Nothing when the table cannot be used (the
  // engine has said why).
  std::optional<std::vector<TDoctorRow>> OpenDoctorDatabase(TMessage* texts, std::string_view folder,
                                                            const std::function<void()>& step);
  void CloseDoctorDatabase();
  bool IsDoctorDatabaseOpen() const;

private:
  // The doctor under the doctor cursor; read without a lock when another
  // user holds it.
  std::optional<TDoctorRow> ReadDoctor();

  TEngine& Names;
  std::unique_ptr<TEngine> Doctors;
};
