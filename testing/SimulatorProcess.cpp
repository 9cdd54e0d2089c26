#include "testing/SimulatorProcess.h"

#include <QDeadlineTimer>

#include <fstream>

TSimulator::TSimulator(QStringList arguments, const std::filesystem::path& log) : LogPath(log) {
  arguments << "--log" << QString::fromStdString(log.string());
  Process.setProgram(QString(HALVETRA_BINARY_DIR) + "/bin/halvetra-lungsim");
  Process.setArguments(arguments);
  Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  Process.start();
  const QDeadlineTimer deadline(10000);
  while (!Process.canReadLine() && !deadline.hasExpired() && Process.state() != QProcess::NotRunning)
    Process.waitForReadyRead(100);
  Path = Process.readLine().trimmed().toStdString();
}

TSimulator::~TSimulator() {
  Process.terminate();
  if (!Process.waitForFinished(5000))
    Process.kill();
}

std::vector<std::string> TSimulator::Log() const {
  std::vector<std::string> lines;
  std::ifstream in(LogPath);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}
