// The audiometer simulator: a pseudo-terminal that speaks the audiometer
// protocol, with a listener of given thresholds. See AudioSimUsage.

#include "tools/audiosim/SimulatedAudiometer.h"
#include "tools/pty/SimulatorTerminal.h"

#include <array>
#include <ctime>
#include <iostream>

#include <poll.h>
#include <unistd.h>

namespace {

std::int64_t NowMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
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
  return RunOnPseudoTerminal(options.LogFile, [&](TSimulatorTerminal& terminal) {
    TSimulatedAudiometer audiometer(options, terminal.Log);
    std::array<std::uint8_t, 256> buffer{};
    while (!*terminal.Stop && !audiometer.HungUp()) {
      pollfd in{terminal.Master, POLLIN, 0};
      // A millisecond is the audiometer's resolution: its answers and the
      // listener's button fall due on whole milliseconds.
      if (::poll(&in, 1, 1) > 0 && (in.revents & POLLIN)) {
        const ssize_t got = ::read(terminal.Master, buffer.data(), buffer.size());
        if (got > 0)
          audiometer.Receive({buffer.data(), static_cast<std::size_t>(got)}, NowMs());
      }
      audiometer.Advance(NowMs());
      SendToHost(terminal.Master, audiometer.TakeOutput());
    }
    return 0;
  });
}
