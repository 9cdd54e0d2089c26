#include "testing/SimulatorProcess.h"

#include <QDeadlineTimer>

#include <fstream>

TSimulatorProcess::TSimulatorProcess(const std::string& program, QStringList arguments,
                                     const std::filesystem::path& log, const std::filesystem::path& folder)
    : LogPath(log) {
  arguments << "--log" << QString::fromStdString(log.string());
  Process.setProgram(QString(HALVETRA_BINARY_DIR) + "/bin/" + QString::fromStdString(program));
  Process.setArguments(arguments);
  if (!folder.empty())
    Process.setWorkingDirectory(QString::fromStdString(folder.string()));
  Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  Process.start();
  const QDeadlineTimer deadline(10000);
  while (!Process.canReadLine() && !deadline.hasExpired() && Process.state() != QProcess::NotRunning)
    Process.waitForReadyRead(100);
  Path = Process.readLine().trimmed().toStdString();
}

TSimulatorProcess::~TSimulatorProcess() {
  Process.terminate();
  if (!Process.waitForFinished(5000))
    Process.kill();
}

std::vector<std::string> TSimulatorProcess::Log() const {
  std::vector<std::string> lines;
  std::ifstream in(LogPath);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}
