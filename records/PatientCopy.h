#pragma once

// Copies of the shown patient into another database: the patient list's
// copy of the patient with every examination into a folder the user
// chose (adding to what is there), and the browser's mail of the patient
// with the chosen examinations, made in a fresh sub-folder of the mail
// folder and handed to the desktop's mail program with the table files
// attached.

#include "patients/PatientTransfer.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TMessage;

namespace PatientCopy {

// The patient (the source names table stands on it) with every
// examination into the database of `folder`; its missing tables are made.
short CopyPatient(const TTableSet& from, const PatientRecordType& patient, const std::filesystem::path& folder,
                  TMessage* texts, std::string_view languageDriver);

// An examination line of the browser: the kind ("SPIRO", "AUDIO",
// "RINOA", "RINOP"), the date and the time texts.
struct TMeetLine {
  std::string Kind, Date, Time;
};
// Nothing when the line holds no kind, date or time.
std::optional<TMeetLine> ParseMeetLine(std::string_view line, std::size_t dateLength, std::size_t timeLength);

struct TMail {
  short Result = 0;
  std::filesystem::path Folder;             // the fresh sub-folder
  std::vector<std::filesystem::path> Files;  // the table files to send
};
// The patient and the examinations of the lines into new tables of a
// fresh sub-folder of `mailFolder`. `findExamination` puts the source
// meet table on the examination of a line (false: it is gone).
TMail MailCopy(const TTableSet& from, const PatientRecordType& patient, const std::vector<std::string>& lines,
               std::size_t dateLength, std::size_t timeLength,
               const std::function<bool(const TMeetLine&)>& findExamination, const std::filesystem::path& mailFolder,
               TMessage* texts, std::string_view languageDriver);

// Whether the desktop's mail program can be started ("xdg-email" on the PATH).
bool MailAvailable();
// The arguments of "xdg-email": one --attach for each file.
std::vector<std::string> MailArguments(const std::vector<std::filesystem::path>& files);
// Hands the files to the mail program; false when it failed.
bool SendMail(const std::vector<std::filesystem::path>& files);

}  // namespace PatientCopy
