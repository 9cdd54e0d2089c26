#pragma once

// An instrument simulator of tools/ run as its own process: it is started
// with a log file, its device path is read from its first line, and it is
// ended when the object goes.

#include <QProcess>
#include <QStringList>

#include <filesystem>
#include <string>
#include <vector>

class TSimulatorProcess {
public:
  // `program` is the name of the simulator in the build's bin folder; it
  // runs in `folder` when one is given.
  TSimulatorProcess(const std::string& program, QStringList arguments, const std::filesystem::path& log,
                    const std::filesystem::path& folder = {});
  ~TSimulatorProcess();

  // The lines of its log so far.
  std::vector<std::string> Log() const;

  QProcess Process;
  std::string Path;  // empty when it printed none
  std::filesystem::path LogPath;
};
