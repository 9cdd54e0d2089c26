// The hand-over of the shown patient to the external ECG program.

#include "shell/app/MdiClient.h"

#include "patients/Patient.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/ResultCodes.h"
#include "shell/client/EcgHandOver.h"
#include "shell/app/HalvetraApp.h"
#include "shell/app/MainFrame.h"

#include <cstdlib>
#include <system_error>

namespace {

constexpr int ProgramMissingText = 9100;
constexpr int StartFailedText = 9101;
constexpr int ExchangeFileText = 9102;
constexpr int TableInUseText = 249;
constexpr short EcgIdField = 20;

int RandomBelow(int n) { return std::rand() % n; }

}  // namespace

void THalvetraMDIClient::CmEcg() {
  TPatient* sheet = GetPatient();
  if (!sheet)
    return;
  const TMessage& texts = App.GetMessages();
  const std::string& iniPath = App.GetSettings().IniPath;
  const auto program = Ecg::ProgramFile(iniPath);
  if (!program) {
    texts.MessageBoxText(texts.Format(ProgramMissingText, {Ecg::ProgramFolderSetting(iniPath)}), 0, TMessageIcon::Stop);
    return;
  }

  // The patient's identifier at the ECG program is made once and kept in
  // his record; when it cannot be stored nothing is handed over.
  PatientRecordType record;
  if (sheet->GetData(record) != 0)
    return;
  std::string identifier = FieldText(record.EcgId);
  if (auto made = Ecg::NewIdentifier(identifier, sheet->GetPatientKey(), static_cast<char>('A' + RandomBelow(26)))) {
    if (const short code = sheet->WriteRecordField(*made, EcgIdField); code != 0) {
      // The engine leaves a table held by another user to its caller.
      if (DbResult::IsSilent(code))
        texts.MessageBoxText(texts.Format(TableInUseText, {"names.db"}), 0, TMessageIcon::Information);
      return;
    }
    identifier = std::move(*made);
  }

  PREDICTED_DATA patient;
  sheet->FillPatientData(patient);
  const std::string name = Ecg::ExchangeName(RandomBelow);
  const std::filesystem::path exchange = program->parent_path() / name;
  std::string error;
  if (!Ecg::WriteExchangeFile(exchange, patient, identifier, sheet->GetDoctorName(), error)) {
    std::error_code ec;
    std::filesystem::remove(exchange, ec);
    texts.MessageBoxText(texts.Format(ExchangeFileText, {exchange.string(), error}), 0, TMessageIcon::Stop);
    return;
  }

  // The main window waits, minimized and disabled, while the program runs.
  QWidget* main = App.GetFrame();
  main->showMinimized();
  main->setEnabled(false);
  Ecg::TStartFailure failure;
  const QStringList arguments = Ecg::Arguments(name);
  const int result = Ecg::RunAndWait(*program, arguments, [this] { App.PumpMessages(); }, failure);
  std::error_code ec;
  std::filesystem::remove(exchange, ec);
  main->setEnabled(true);
  main->showNormal();
  update();
  if (result != 0)
    texts.MessageBoxText(texts.Format(StartFailedText, {std::to_string(failure.Number),
                                                        program->string() + " " + arguments.join(' ').toStdString(),
                                                        failure.Reason}),
                         0, TMessageIcon::Stop);
}
