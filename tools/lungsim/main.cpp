// The lung-function instrument simulator: a pseudo-terminal that speaks the
// instrument protocol. See SimulatorUsage for its options.

#include "tools/lungsim/SimulatedInstrument.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t Stop = 0;

void OnSignal(int) { Stop = 1; }

std::int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Writes what the instrument sent; a host that does not read loses it, as
// on a real line.
void Send(int master, const InstrumentProtocol::TBytes& bytes) {
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
  const auto parsed = ParseSimulatorOptions(argc, argv);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    const bool help = *problem == SimulatorUsage;
    (help ? std::cout : std::cerr) << *problem << (help ? "" : "\n");
    return help ? 0 : 2;
  }
  const TSimulatorOptions& options = std::get<TSimulatorOptions>(parsed);

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

  TSimulatedInstrument instrument(options, log);
  constexpr std::int64_t PeriodNs = 10'000'000;
  std::int64_t next = NowNs() + PeriodNs;
  std::array<std::uint8_t, 512> buffer{};
  while (!Stop) {
    const std::int64_t wait = instrument.Streaming() ? std::max<std::int64_t>(0, next - NowNs()) : 100'000'000;
    const timespec timeout{static_cast<time_t>(wait / 1'000'000'000), static_cast<long>(wait % 1'000'000'000)};
    pollfd in{master, POLLIN, 0};
    if (::ppoll(&in, 1, &timeout, nullptr) > 0 && (in.revents & POLLIN)) {
      const ssize_t got = ::read(master, buffer.data(), buffer.size());
      if (got > 0)
        instrument.Receive({buffer.data(), static_cast<std::size_t>(got)});
    }
    if (!instrument.Streaming()) {
      next = NowNs() + PeriodNs;
    } else {
      // Keep 100 samples a second on average; after a long stall start anew
      // rather than bursting.
      const std::int64_t now = NowNs();
      if (now - next > 50 * PeriodNs)
        next = now;
      while (next <= now && instrument.SamplesSent() != options.StopAfterSamples) {
        instrument.Tick();
        next += PeriodNs;
      }
    }
    Send(master, instrument.TakeOutput());
    if (instrument.SamplesSent() == options.StopAfterSamples) {
      log("stopped after " + std::to_string(instrument.SamplesSent()) + " samples");
      // Hang up once the host has read everything sent. The terminal moves
      // written bytes to the reader's queue a moment later, so the queue
      // must stay empty for a while before nothing is in flight.
      int waiting = 0;
      for (int quiet = 0, i = 0; quiet < 10 && i < 2000; ++i) {
        quiet = ::ioctl(slave, FIONREAD, &waiting) == 0 && waiting == 0 ? quiet + 1 : 0;
        ::usleep(5000);
      }
      break;
    }
  }
  ::close(slave);
  ::close(master);
  return 0;
}
