#include "tools/pty/SimulatorTerminal.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t Stopping = 0;

void OnSignal(int) { Stopping = 1; }

// Points `link` at `device`. A link left by an earlier run is replaced;
// anything else at that path is kept and refused.
bool MakeLink(const std::filesystem::path& link, const std::string& device) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(link, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
    std::cerr << "--link: " << link.string() << " exists and is not a link\n";
    return false;
  }
  if (std::filesystem::is_symlink(status))
    std::filesystem::remove(link, error);
  std::filesystem::create_symlink(device, link, error);
  if (error) {
    std::cerr << "--link: cannot make " << link.string() << ": " << error.message() << "\n";
    return false;
  }
  return true;
}

// Removes the link if it still leads to this run's device.
void RemoveLink(const std::filesystem::path& link, const std::string& device) {
  std::error_code error;
  if (std::filesystem::read_symlink(link, error) == device && !error)
    std::filesystem::remove(link, error);
}

}  // namespace

int RunOnPseudoTerminal(const std::string& logFile, const std::function<int(TSimulatorTerminal&)>& loop,
                        const std::string& linkPath) {
  std::ofstream log;
  if (!logFile.empty()) {
    log.open(logFile, std::ios::out | std::ios::trunc);
    if (!log) {
      std::cerr << "cannot write " << logFile << "\n";
      return 1;
    }
  }
  TSimulatorTerminal terminal;
  terminal.Log = [&](const std::string& line) {
    if (log)
      log << line << std::endl;  // flushed: a test reads it while the simulator runs
  };
  terminal.Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (terminal.Master < 0 || ::grantpt(terminal.Master) != 0 || ::unlockpt(terminal.Master) != 0) {
    std::cerr << "no pseudo-terminal: " << std::strerror(errno) << "\n";
    return 1;
  }
  const std::string path = ::ptsname(terminal.Master);
  terminal.Slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios raw{};
  if (terminal.Slave < 0 || ::tcgetattr(terminal.Slave, &raw) != 0) {
    std::cerr << "cannot open " << path << ": " << std::strerror(errno) << "\n";
    ::close(terminal.Master);
    return 1;
  }
  ::cfmakeraw(&raw);
  ::tcsetattr(terminal.Slave, TCSANOW, &raw);
  if (!linkPath.empty() && !MakeLink(linkPath, path)) {
    ::close(terminal.Slave);
    ::close(terminal.Master);
    return 1;
  }

  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  terminal.Stop = &Stopping;
  std::cout << path << std::endl;

  const int result = loop(terminal);
  if (!linkPath.empty())
    RemoveLink(linkPath, path);
  ::close(terminal.Slave);
  ::close(terminal.Master);
  return result;
}

void SendToHost(int master, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(master, bytes.data() + done, bytes.size() - done);
    if (put > 0)
      done += static_cast<std::size_t>(put);
    else if (put < 0 && errno == EINTR)
      continue;
    else
      return;
  }
}
