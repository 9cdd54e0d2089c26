#include "tools/audiosim/SimulatedAudiometer.h"

#include <charconv>
#include <string_view>

const char* const AudioSimUsage =
    "usage: halvetra-audiosim [options]\n"
    "An audiometer with a listener on a pseudo-terminal; prints its device path first.\n"
    "  --right LIST      thresholds of the right ear in dB HL, e.g. 125=20,1000=35,8000=none\n"
    "                    (none: never heard; a frequency not named: 0 dB)\n"
    "  --left LIST       the same for the left ear\n"
    "  --max DB          the attenuator's range, as the program's \"Max\" (120)\n"
    "  --retspl LIST     reference corrections per frequency, e.g. 1000=7.0 (the program's defaults)\n"
    "  --latency MS      from an audible tone to the press (250)\n"
    "  --hold MS         how long the button stays pressed (200)\n"
    "  --version N       hardware version 0, 1 or 2 (2)\n"
    "  --silent          answer nothing\n"
    "  --reset-after N   send a reset (0xFF) after N commands\n"
    "  --stop-after N    hang up after N commands\n"
    "  --log FILE        write each command with its time in ms\n";

namespace {

template <class T>
bool Number(std::string_view text, T& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::optional<std::size_t> FrequencyIndex(std::string_view text) {
  int hz = 0;
  if (!Number(text, hz))
    return std::nullopt;
  for (std::size_t i = 0; i < AudioSimHz.size(); ++i)
    if (AudioSimHz[i] == hz)
      return i;
  return std::nullopt;
}

// "125=20,1000=none": calls `set` for each pair; false on a bad pair.
template <class Set>
bool EachPair(std::string_view list, Set set) {
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view pair = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos)
      return false;
    const auto index = FrequencyIndex(pair.substr(0, equals));
    if (!index || !set(*index, pair.substr(equals + 1)))
      return false;
  }
  return true;
}

bool Thresholds(std::string_view list, TAudioSimOptions::TThresholds& thresholds) {
  return EachPair(list, [&](std::size_t index, std::string_view value) {
    if (value == "none") {
      thresholds[index].reset();
      return true;
    }
    double db = 0;
    if (!Number(value, db))
      return false;
    thresholds[index] = db;
    return true;
  });
}

}  // namespace

std::variant<TAudioSimOptions, std::string> ParseAudioSimOptions(int argc, const char* const* argv) {
  TAudioSimOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--help")
      return std::string(AudioSimUsage);
    if (name == "--silent") {
      options.Silent = true;
      continue;
    }
    if (i + 1 >= argc)
      return std::string(name) + " needs a value";
    const std::string_view value = argv[++i];
    bool good = true;
    if (name == "--right")
      good = Thresholds(value, options.Right);
    else if (name == "--left")
      good = Thresholds(value, options.Left);
    else if (name == "--max")
      good = Number(value, options.Max) && options.Max > -10;
    else if (name == "--retspl")
      good = EachPair(value, [&](std::size_t index, std::string_view v) { return Number(v, options.Retspl[index]); });
    else if (name == "--latency")
      good = Number(value, options.LatencyMs) && options.LatencyMs >= 0;
    else if (name == "--hold")
      good = Number(value, options.HoldMs) && options.HoldMs >= 0;
    else if (name == "--version")
      good = Number(value, options.Version) && options.Version >= 0 && options.Version < 128;
    else if (name == "--reset-after")
      good = Number(value, options.ResetAfter) && options.ResetAfter > 0;
    else if (name == "--stop-after")
      good = Number(value, options.StopAfter) && options.StopAfter > 0;
    else if (name == "--log")
      options.LogFile = value;
    else
      return "unknown option " + std::string(name) + "\n" + AudioSimUsage;
    if (!good)
      return "bad value for " + std::string(name) + ": " + std::string(value);
  }
  return options;
}
