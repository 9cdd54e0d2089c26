#pragma once

// Handing the shown patient to the external ECG program: the program file
// in the folder the settings name, the exchange file it reads, the
// patient's identifier at that program, and the run of the program with
// the exchange file's name on its command line.

#include "common/PredictedData.h"

#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Ecg {

// [Korvane] Path, as the settings give it (empty when none).
std::string ProgramFolderSetting(const std::string& iniPath);
// "korvan.exe" in that folder, else "korvan32.exe"; nothing when neither
// is there (or the folder is not one of this computer).
std::optional<std::filesystem::path> ProgramFile(const std::string& iniPath);

// Eight capital letters and ".~KV"; `random(n)` gives 0 to n - 1.
std::string ExchangeName(const std::function<int(int)>& random);

// The identifier to store for a patient whose stored one is `current`:
// nothing when it holds a full stop already (it is kept); otherwise the key
// as eight digits, reversed, after one capital letter, cut to seven digits
// and closed by a full stop ("A4321000." for key 1234).
std::optional<std::string> NewIdentifier(std::string_view current, std::int32_t patientKey, char letter);

// The [Patient] section of the exchange file, key by key in the order the
// ECG program reads them. False, with the reason, when it cannot be written.
bool WriteExchangeFile(const std::filesystem::path& file, const PREDICTED_DATA& patient, std::string_view identifier,
                       std::string_view doctor, std::string& error);

// The program's one argument: "/Q" and the exchange file's bare name.
QStringList Arguments(std::string_view exchangeName);

// Why the program could not be started: the error's number and reason.
struct TStartFailure {
  int Number = 0;
  std::string Reason;
};

// Runs the program in its own folder and waits for its end, calling
// `pump` meanwhile so the windows stay painted. 0 when it ran; -1 when it
// could not be started, with `failure` saying why.
int RunAndWait(const std::filesystem::path& program, const QStringList& arguments, const std::function<void()>& pump,
               TStartFailure& failure);

}  // namespace Ecg
