#include "patients/tests/PatientSheetFixture.h"

#include "common/CommandNumbers.h"

#include <filesystem>

const TResponseTable& TRecordingClient::ResponseTable() {
  static constexpr TResponseEntry entries[] = {
      Response::Message<&TRecordingClient::EvCloseChildWindows>(WM_CLOSE_CHILD_WINDOWS),
      Response::Message<&TRecordingClient::EvCloseAllTempFiles>(WM_CLOSE_ALL_TEMP_FILES),
  };
  static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
  return table;
}

PatientSheetTest::PatientSheetTest()
    : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
  Texts.SetSink(&Sink);
}

TPatientSheet& PatientSheetTest::MakeSheet(TPatientSheetSettings settings) {
  Sheet = std::make_unique<TPatientSheet>(Texts, std::move(settings));
  Sheet->SetView(&View);
  Sheet->SetClient(&Client);
  Sheet->SetDatabase(&Database);
  Sheet->SetClock([this] { return Today; });
  return *Sheet;
}

TPatientSheet& PatientSheetTest::StartSheet(TPatientSheetSettings settings) {
  TPatientSheet& sheet = MakeSheet(std::move(settings));
  Database.GoTop();
  sheet.CheckButtons();
  sheet.UpdateDisplay();
  sheet.Activate();
  return sheet;
}

void PatientSheetTest::Type(int controlId, std::string text) { Sheet->EditChanged(controlId, std::move(text)); }

void PatientSheetTest::TypeAndLeave(int controlId, std::string text) {
  Type(controlId, std::move(text));
  Sheet->EvKillFocus(controlId);
}

TPatientFields PatientSheetTest::Patient(std::string name, std::string id, std::string birthDate) {
  TPatientFields patient;
  patient.Name = std::move(name);
  patient.Ids[0] = std::move(id);
  patient.Dates[0] = std::move(birthDate);
  patient.Height = 175;
  patient.Weight = 70;
  patient.TreatingDoctorKey = 1;
  return patient;
}

std::vector<std::string> PatientSheetTest::Shown() const {
  std::vector<std::string> texts;
  for (const TUserMessage& message : Sink.Messages)
    texts.push_back(message.Text);
  return texts;
}

bool PatientSheetTest::Enabled(unsigned command) {
  TCommandEnabler enabler(command);
  EXPECT_TRUE(Sheet->DispatchEnable(enabler)) << command;
  return enabler.GetEnabled();
}

bool PatientSheetTest::SaveEnabled() { return Enabled(CM_PATIENT_SAVE); }
