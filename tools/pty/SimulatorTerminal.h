#pragma once

// What every simulator's main does around its loop: the log file, a
// pseudo-terminal opened raw (its slave held open, so nothing the host does
// before it sets the port up is echoed), SIGINT and SIGTERM to stop, and
// the device path printed on the first line.

#include <csignal>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

struct TSimulatorTerminal {
  int Master = -1;
  int Slave = -1;
  std::function<void(const std::string&)> Log;  // a line to the log file, if any
  const volatile std::sig_atomic_t* Stop = nullptr;  // set by SIGINT or SIGTERM
};

// Runs `loop` on a fresh pseudo-terminal; its answer is the exit code. 1
// when the log file or the terminal cannot be had. With `linkPath` the
// device is also reached through a symbolic link there, so that an ini
// file names it once for every run; the link goes when the loop ends.
int RunOnPseudoTerminal(const std::string& logFile, const std::function<int(TSimulatorTerminal&)>& loop,
                        const std::string& linkPath = {});

// Writes what the instrument sent; a host that does not read loses it, as
// on a real line.
void SendToHost(int master, std::span<const std::uint8_t> bytes);
