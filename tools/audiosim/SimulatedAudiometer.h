#pragma once

// The audiometer of the simulator, with a listener in its earphones. It
// answers the protocol of docs/audiometer-protocol.md: the version to the
// identification request, "ready" a moment after every level command, and
// the response button as the listener presses and releases it. The
// listener hears a channel when its level, by the audiometer's inverse of
// the host's level law, is at or above the ear's threshold.
//
// Time is what the caller says it is (milliseconds, any origin), so that
// the same device runs on a pseudo-terminal in real time and inside a test
// on a manual clock.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

struct TAudioSimOptions {
  static constexpr int Frequencies = 11;
  using TThresholds = std::array<std::optional<double>, Frequencies>;  // dB HL; empty: never heard

  TThresholds Right{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  TThresholds Left{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  double Max = 120.0;  // the attenuator's range, as the host's "Max"
  // The earphone's reference correction per frequency, as the host's "SPL".
  std::array<double, Frequencies> Retspl{45.0, 25.5, 11.5, 7.5, 7.0, 6.5, 9.0, 8.5, 11.5, 11.5, 26.5};
  int LatencyMs = 250;  // from the tone becoming audible to the press
  int HoldMs = 200;     // how long the button stays pressed
  int Version = 2;
  bool Silent = false;       // answers nothing at all
  long ResetAfter = -1;      // sends 0xFF after this many commands
  long StopAfter = -1;       // hangs up after this many commands
  std::string LogFile;
};

inline constexpr std::array<int, TAudioSimOptions::Frequencies> AudioSimHz{125,  250,  500,  750,  1000, 1500,
                                                                          2000, 3000, 4000, 6000, 8000};

// The options of the command line; the usage text (or what is wrong) when
// they cannot be used.
std::variant<TAudioSimOptions, std::string> ParseAudioSimOptions(int argc, const char* const* argv);
extern const char* const AudioSimUsage;

class TSimulatedAudiometer {
public:
  using TLog = std::function<void(const std::string&)>;

  explicit TSimulatedAudiometer(TAudioSimOptions options, TLog log = {});

  // Bytes from the host at `nowMs`.
  void Receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
  // Lets the time run to `nowMs`: answers fall due, the listener presses
  // and releases.
  void Advance(std::int64_t nowMs);
  // What the audiometer has sent since the last call.
  std::vector<std::uint8_t> TakeOutput();
  bool HasOutput() const { return !Output.empty(); }
  // When the audiometer or the listener next does something by itself.
  std::optional<std::int64_t> NextDueMs() const;

  bool HungUp() const { return Stopped; }
  long Commands() const { return CommandCount; }
  // The hearing level a channel's level byte gives at a frequency code, by
  // the attenuator's law; nothing for a code that is no test frequency.
  std::optional<double> HearingLevel(int level, int code) const;
  bool Pressed() const { return ButtonDown; }
  bool Audible() const;

private:
  struct TChannel {
    int Level = 0;
    int Code = 0;
    bool Muted = false;
  };
  struct TAnswer {
    std::int64_t DueMs;
    std::uint8_t Byte;
  };

  void Command(const std::array<std::uint8_t, 4>& command, std::int64_t nowMs);
  void ListenerReacts(std::int64_t nowMs);
  bool Hears(const TChannel& channel, const TAudioSimOptions::TThresholds& thresholds) const;

  TAudioSimOptions Options;
  TLog Log;
  std::vector<std::uint8_t> Pending;  // a command not yet complete
  std::vector<TAnswer> Answers;
  std::vector<std::uint8_t> Output;
  std::array<TChannel, 2> Channels;  // right, left
  long CommandCount = 0;
  bool Stopped = false;
  bool WasAudible = false;
  bool ButtonDown = false;
  std::optional<std::int64_t> PressDueMs;
  std::optional<std::int64_t> ReleaseDueMs;
};
