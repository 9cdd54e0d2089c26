// The audiometer simulator: a pseudo-terminal that speaks the audiometer
// protocol, with a listener of given thresholds. See AudioSimUsage.

#include "tools/audiosim/SimulatedAudiometer.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t Stop = 0;

void OnSignal(int) { Stop = 1; }

std::int64_t NowMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// A host that does not read loses what the audiometer sent, as on a line.
void Send(int master, const std::vector<std::uint8_t>& bytes) {
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

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = ParseAudioSimOptions(argc, argv);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    const bool help = *problem == AudioSimUsage;
    (help ? std::cout : std::cerr) << *problem << (help ? "" : "\n");
    return help ? 0 : 2;
  }
  const TAudioSimOptions& options = std::get<TAudioSimOptions>(parsed);

  std::ofstream logFile;
  if (!options.LogFile.empty()) {
    logFile.open(options.LogFile, std::ios::out | std::ios::trunc);
    if (!logFile) {
      std::cerr << "cannot write " << options.LogFile << "\n";
      return 1;
    }
  }
  const auto log = [&](const std::string& line) {
    if (logFile)
      logFile << line << std::endl;  // flushed: a test reads it while the simulator runs
  };

  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    std::cerr << "no pseudo-terminal: " << std::strerror(errno) << "\n";
    return 1;
  }
  const std::string path = ::ptsname(master);
  // Hold the terminal open, raw, so nothing the host does before it sets
  // the port up is echoed or changed.
  const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios raw{};
  if (slave < 0 || ::tcgetattr(slave, &raw) != 0) {
    std::cerr << "cannot open " << path << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  ::cfmakeraw(&raw);
  ::tcsetattr(slave, TCSANOW, &raw);

  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  std::cout << path << std::endl;

  TSimulatedAudiometer audiometer(options, log);
  std::array<std::uint8_t, 256> buffer{};
  while (!Stop && !audiometer.HungUp()) {
    pollfd in{master, POLLIN, 0};
    // A millisecond's resolution is the audiometer's: its answers and the
    // listener's button fall due on whole milliseconds.
    if (::poll(&in, 1, 1) > 0 && (in.revents & POLLIN)) {
      const ssize_t got = ::read(master, buffer.data(), buffer.size());
      if (got > 0)
        audiometer.Receive({buffer.data(), static_cast<std::size_t>(got)}, NowMs());
    }
    audiometer.Advance(NowMs());
    Send(master, audiometer.TakeOutput());
  }
  ::close(slave);
  ::close(master);
  return 0;
}
