#include "tools/pty/SimulatorTerminal.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t Stopping = 0;

void OnSignal(int) { Stopping = 1; }

}  // namespace

int RunOnPseudoTerminal(const std::string& logFile, const std::function<int(TSimulatorTerminal&)>& loop) {
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

  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  terminal.Stop = &Stopping;
  std::cout << path << std::endl;

  const int result = loop(terminal);
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
