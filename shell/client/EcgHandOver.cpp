#include "shell/client/EcgHandOver.h"

#include "platform/basekit/Convert.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Profile.h"
#include "shell/settings/AppSettings.h"

#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace Ecg {

namespace {

constexpr std::size_t FolderSize = 300;
constexpr int NameLetters = 8;
constexpr int Letters = 26;
constexpr int WaitStepMs = 1;

}  // namespace

std::string ProgramFolderSetting(const std::string& iniPath) {
  return Settings::ReadText(TProfile("Korvane", iniPath), "Path", "", FolderSize);
}

std::optional<std::filesystem::path> ProgramFile(const std::string& iniPath) {
  const std::string folder = ProgramFolderSetting(iniPath);
  if (folder.empty())
    return std::nullopt;
  const auto native = Paths::ToNative(folder);
  if (!native)
    return std::nullopt;
  for (const char* program : {"korvan.exe", "korvan32.exe"}) {
    const auto found = Paths::FindNoCase(*native, program);
    std::error_code ec;
    if (found && std::filesystem::is_regular_file(*found, ec))
      return found;
  }
  return std::nullopt;
}

std::string ExchangeName(const std::function<int(int)>& random) {
  std::string name;
  for (int i = 0; i < NameLetters; ++i)
    name += static_cast<char>('A' + random(Letters));
  return name + ".~KV";
}

std::optional<std::string> NewIdentifier(std::string_view current, std::int32_t patientKey, char letter) {
  if (current.find('.') != std::string_view::npos)
    return std::nullopt;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%08ld", static_cast<long>(patientKey));
  std::string reversed(digits);
  std::reverse(reversed.begin(), reversed.end());
  return std::string(1, letter) + reversed.substr(0, 7) + ".";
}

bool WriteExchangeFile(const std::filesystem::path& file, const PREDICTED_DATA& patient, std::string_view identifier,
                       std::string_view doctor, std::string& error) {
  int weight = patient.Weight;
  int height = patient.Height;
  if (patient.Unit != 0) {
    weight = static_cast<int>(TConvert::WeightConvert(static_cast<float>(patient.Weight), 0));
    const int feet = patient.Height / 12;
    const int inches = patient.Height - feet * 12;
    height = static_cast<int>(TConvert::HeightConvert(static_cast<float>(feet), static_cast<float>(inches), 0));
  }
  char born[32];
  std::snprintf(born, sizeof born, "%04d/%02d/%02d", static_cast<int>(patient.BirthYear),
                static_cast<int>(patient.BirthMonth), static_cast<int>(patient.BirthDay));

  TProfile profile("Patient", file.string());
  const bool written = profile.WriteString("Name", patient.GetName()) && profile.WriteString("Id", patient.GetId()) &&
                       profile.WriteInt("Sex", patient.Sex == 1 ? 1 : 2) && profile.WriteInt("Weight", weight) &&
                       profile.WriteInt("Height", height) && profile.WriteString("Born", born) &&
                       profile.WriteString("KvnId", identifier) && profile.WriteInt("OEM", 0) &&
                       profile.WriteString("Doctor", doctor) && profile.Flush();
  if (!written)
    error = profile.GetLastError();
  return written;
}

QStringList Arguments(std::string_view exchangeName) {
  return {QStringLiteral("/Q") + QString::fromStdString(std::string(exchangeName))};
}

int RunAndWait(const std::filesystem::path& program, const QStringList& arguments, const std::function<void()>& pump,
               TStartFailure& failure) {
  // The program starts in its own folder; ours never changes.
  QProcess process;
  process.setProgram(QString::fromStdString(program.string()));
  process.setArguments(arguments);
  process.setWorkingDirectory(QString::fromStdString(program.parent_path().string()));
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start();
  if (!process.waitForStarted()) {
    failure.Number = static_cast<int>(process.error());
    failure.Reason = process.errorString().toStdString();
    return -1;
  }
  while (!process.waitForFinished(WaitStepMs))
    if (process.state() == QProcess::NotRunning)
      break;
    else if (pump)
      pump();
  return 0;
}

}  // namespace Ecg
