#pragma once

// The instrument simulator program on a pseudo-terminal, for the tests
// that meet an instrument the way the program does: its device path and
// its log of every word it was told.

#include <QProcess>
#include <QStringList>

#include <filesystem>
#include <string>
#include <vector>

class TSimulator {
public:
  // Starts build/bin/halvetra-lungsim with the arguments and a log; Path is
  // empty when it printed no device.
  TSimulator(QStringList arguments, const std::filesystem::path& log);
  ~TSimulator();
  TSimulator(const TSimulator&) = delete;
  TSimulator& operator=(const TSimulator&) = delete;

  std::vector<std::string> Log() const;

  QProcess Process;
  std::string Path;
  std::filesystem::path LogPath;
};
