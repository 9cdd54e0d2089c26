#include "records/PatientCopy.h"

#include "platform/dbkit/Engine.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <chrono>

namespace PatientCopy {

short CopyPatient(const TTableSet& from, const PatientRecordType& patient, const std::filesystem::path& folder,
                  TMessage* texts, std::string_view languageDriver) {
  TFolderTables target;
  const short result = target.Open(folder, texts, TFolderTables::TMode::OpenOrCreate, languageDriver);
  if (result != 0)
    return result;
  return PatientTransfer::TransferPatient(from, target.Set(), patient);
}

std::optional<TMeetLine> ParseMeetLine(std::string_view line, std::size_t dateLength, std::size_t timeLength) {
  // "%5s %s %s %c": the kind, the date from position 6, the time ending two
  // characters before the end.
  if (line.size() < 6 + dateLength + 1 + timeLength + 2 || timeLength > 8)
    return std::nullopt;
  TMeetLine parsed;
  const std::string_view kind = line.substr(0, 5);
  parsed.Kind = std::string(kind.substr(kind.find_first_not_of(' ') == std::string_view::npos
                                            ? kind.size()
                                            : kind.find_first_not_of(' ')));
  parsed.Date = std::string(line.substr(6, dateLength));
  parsed.Time = std::string(line.substr(line.size() - 10, 8)).substr(0, timeLength);
  if (parsed.Kind.empty() || parsed.Date.empty() || parsed.Time.empty())
    return std::nullopt;
  return parsed;
}

TMail MailCopy(const TTableSet& from, const PatientRecordType& patient, const std::vector<std::string>& lines,
               std::size_t dateLength, std::size_t timeLength,
               const std::function<bool(const TMeetLine&)>& findExamination, const std::filesystem::path& mailFolder,
               TMessage* texts, std::string_view languageDriver) {
  TMail mail;
  // A fresh folder for every mail: the tables are made new there.
  const auto stamp = std::chrono::system_clock::now().time_since_epoch().count();
  for (int attempt = 0; mail.Folder.empty(); ++attempt) {
    std::filesystem::path folder = mailFolder / ("mail-" + std::to_string(stamp) + "-" + std::to_string(attempt));
    std::error_code error;
    std::filesystem::create_directories(mailFolder, error);
    if (std::filesystem::create_directory(folder, error))
      mail.Folder = folder;
    else if (error || attempt > 100) {
      mail.Result = DbResult::ReadOnly;
      return mail;
    }
  }
  TFolderTables target;
  if ((mail.Result = target.Open(mail.Folder, texts, TFolderTables::TMode::Create, languageDriver)) != 0)
    return mail;
  const TTableSet& to = target.Set();
  if ((mail.Result = to.Names->BeginTransaction()) != 0)
    return mail;
  std::int32_t newKey = 0;
  short result = PatientTransfer::CopyPatientRow(from, to, patient, newKey);
  for (const std::string& text : lines) {
    if (result != 0)
      break;
    const std::optional<TMeetLine> line = ParseMeetLine(text, dateLength, timeLength);
    if (!line) {
      result = DbResult::InvalidRequest;
      break;
    }
    if (!findExamination(*line))
      continue;
    MeetRecordType row;
    if ((result = from.Meet->GetData(row, dbiREADLOCK)) == 0)
      result = PatientTransfer::CopyExamination(from, to, row, newKey);
  }
  if (result == 0)
    result = to.Names->CommitTransaction();
  if (result != 0)
    to.Names->RollbackTransaction();
  mail.Result = result;
  target.Close();
  if (result != 0)
    return mail;
  for (std::string_view name : TFolderTables::Files())
    if (std::filesystem::exists(mail.Folder / std::string(name)))
      mail.Files.push_back(mail.Folder / std::string(name));
  return mail;
}

bool MailAvailable() { return !QStandardPaths::findExecutable("xdg-email").isEmpty(); }

std::vector<std::string> MailArguments(const std::vector<std::filesystem::path>& files) {
  std::vector<std::string> arguments;
  for (const std::filesystem::path& file : files) {
    arguments.push_back("--attach");
    arguments.push_back(file.string());
  }
  return arguments;
}

bool SendMail(const std::vector<std::filesystem::path>& files) {
  QStringList arguments;
  for (const std::string& argument : MailArguments(files))
    arguments << QString::fromStdString(argument);
  // xdg-email hands the mail to the desktop's mail client and returns.
  return QProcess::execute("xdg-email", arguments) == 0;
}

}  // namespace PatientCopy
