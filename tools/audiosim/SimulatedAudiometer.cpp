#include "tools/audiosim/SimulatedAudiometer.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr int ReadyDelayMs = 2;
constexpr int IdentifyDelayMs = 1;

std::optional<int> IndexOfCode(int code) {
  // A frequency's code is the frequency divided by 62.5.
  for (std::size_t i = 0; i < AudioSimHz.size(); ++i)
    if (AudioSimHz[i] * 2 == code * 125)
      return static_cast<int>(i);
  return std::nullopt;
}

}  // namespace

TSimulatedAudiometer::TSimulatedAudiometer(TAudioSimOptions options, TLog log)
    : Options(std::move(options)), Log(std::move(log)) {}

std::optional<double> TSimulatedAudiometer::HearingLevel(int level, int code) const {
  const auto index = IndexOfCode(code);
  if (!index)
    return std::nullopt;
  return (level - 10) * (Options.Max + 10.0) / 255.0 - Options.Retspl[static_cast<std::size_t>(*index)];
}

bool TSimulatedAudiometer::Hears(const TChannel& channel, const TAudioSimOptions::TThresholds& thresholds) const {
  if (channel.Level <= 0 || channel.Muted)
    return false;
  const auto index = IndexOfCode(channel.Code);
  const auto level = HearingLevel(channel.Level, channel.Code);
  if (!index || !level || !thresholds[static_cast<std::size_t>(*index)])
    return false;
  // Less than one level unit below the threshold counts as at it: the
  // host's level byte is the integer part of its law.
  const double unit = (Options.Max + 10.0) / 255.0;
  return *thresholds[static_cast<std::size_t>(*index)] - *level < unit;
}

bool TSimulatedAudiometer::Audible() const {
  return Hears(Channels[0], Options.Right) || Hears(Channels[1], Options.Left);
}

void TSimulatedAudiometer::Receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
  Advance(nowMs);
  for (const std::uint8_t byte : bytes) {
    if (Stopped)
      return;
    Pending.push_back(byte);
    if (Pending.size() < 4)
      continue;
    Command({Pending[0], Pending[1], Pending[2], Pending[3]}, nowMs);
    Pending.clear();
  }
}

void TSimulatedAudiometer::Command(const std::array<std::uint8_t, 4>& command, std::int64_t nowMs) {
  ++CommandCount;
  if (Log) {
    char line[64];
    std::snprintf(line, sizeof line, "%lld %02X %02X %02X %02X", static_cast<long long>(nowMs), command[0],
                  command[1], command[2], command[3]);
    Log(line);
  }
  const std::uint8_t what = command[0];
  if (what == 0xC0) {
    if (!Options.Silent)
      Answers.push_back({nowMs + IdentifyDelayMs, static_cast<std::uint8_t>(0x80 | (Options.Version & 0x7F))});
  } else if ((what & 0xC0) == 0x80) {
    // The microphone (0x10) replaces the tone; level 0 is silence.
    const bool microphone = (what & 0x10) != 0;
    for (std::size_t ear = 0; ear < 2; ++ear) {
      if (!(what & (ear == 0 ? 0x02 : 0x01)))
        continue;
      Channels[ear] = {microphone ? 0 : command[2], command[1], (what & 0x04) != 0};
    }
    if (!Options.Silent)
      Answers.push_back({nowMs + ReadyDelayMs, 0x20});
  }
  if (CommandCount == Options.ResetAfter) {
    Channels = {};
    Answers.push_back({nowMs, 0xFF});
  }
  if (CommandCount == Options.StopAfter) {
    Stopped = true;
    if (Log)
      Log("hung up after " + std::to_string(CommandCount) + " commands");
  }
  ListenerReacts(nowMs);
}

void TSimulatedAudiometer::ListenerReacts(std::int64_t nowMs) {
  const bool audible = Audible();
  if (audible && !WasAudible && !ButtonDown)
    PressDueMs = nowMs + Options.LatencyMs;
  if (!audible) {
    PressDueMs.reset();
    if (ButtonDown)
      ReleaseDueMs = nowMs;  // the tone stopped: the finger comes off
  }
  WasAudible = audible;
}

void TSimulatedAudiometer::Advance(std::int64_t nowMs) {
  for (;;) {
    std::optional<std::int64_t> next;
    const auto consider = [&](std::optional<std::int64_t> due) {
      if (due && *due <= nowMs && (!next || *due < *next))
        next = due;
    };
    for (const TAnswer& answer : Answers)
      consider(answer.DueMs);
    consider(PressDueMs);
    consider(ReleaseDueMs);
    if (!next)
      return;
    const auto answer = std::find_if(Answers.begin(), Answers.end(), [&](const TAnswer& a) { return a.DueMs == *next; });
    if (answer != Answers.end()) {
      if (!Stopped)
        Output.push_back(answer->Byte);
      Answers.erase(answer);
    } else if (PressDueMs == next) {
      PressDueMs.reset();
      ButtonDown = true;
      ReleaseDueMs = *next + Options.HoldMs;
      if (!Stopped && !Options.Silent)
        Output.push_back(0x40);
    } else {
      ReleaseDueMs.reset();
      if (ButtonDown && !Stopped && !Options.Silent)
        Output.push_back(0x00);
      ButtonDown = false;
    }
  }
}

std::optional<std::int64_t> TSimulatedAudiometer::NextDueMs() const {
  std::optional<std::int64_t> next;
  const auto consider = [&](std::optional<std::int64_t> due) {
    if (due && (!next || *due < *next))
      next = due;
  };
  for (const TAnswer& answer : Answers)
    consider(answer.DueMs);
  consider(PressDueMs);
  consider(ReleaseDueMs);
  return next;
}

std::vector<std::uint8_t> TSimulatedAudiometer::TakeOutput() { return std::exchange(Output, {}); }
