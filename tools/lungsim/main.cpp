// The lung-function instrument simulator: a pseudo-terminal that speaks the
// instrument protocol. See SimulatorUsage for its options.

#include "tools/lungsim/SimulatedInstrument.h"
#include "tools/pty/SimulatorTerminal.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <iostream>

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

std::int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
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
  return RunOnPseudoTerminal(options.LogFile, [&](TSimulatorTerminal& terminal) {
    const int master = terminal.Master;
    const int slave = terminal.Slave;
    const auto& log = terminal.Log;
    TSimulatedInstrument instrument(options, log);
    // One sample period of the instrument, shortened by the speed-up.
    const std::int64_t PeriodNs = 10'000'000 / options.Speed;
    std::int64_t next = NowNs() + PeriodNs;
    std::array<std::uint8_t, 512> buffer{};
    while (!*terminal.Stop) {
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
      SendToHost(master, instrument.TakeOutput());
      if (instrument.SamplesSent() == options.StopAfterSamples) {
        log("stopped after " + std::to_string(instrument.SamplesSent()) + " samples");
        // Hang up once the host has read everything sent. The terminal moves
        // written bytes to the reader's queue a moment later, from a kernel
        // worker that a loaded machine may hold back for tens of
        // milliseconds, and the hang-up throws away whatever is still on its
        // way: the queue must stay empty for half a second, well within the
        // host's two seconds of patience with a silent line.
        int waiting = 0;
        for (int quiet = 0, i = 0; quiet < 100 && i < 2000; ++i) {
          quiet = ::ioctl(slave, FIONREAD, &waiting) == 0 && waiting == 0 ? quiet + 1 : 0;
          ::usleep(5000);
        }
        break;
      }
    }
    return 0;
  }, options.LinkPath);
}
