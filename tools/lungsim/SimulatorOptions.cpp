#include "tools/lungsim/SimulatedInstrument.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

const char* const SimulatorUsage = R"(usage: halvetra-lungsim [options]

Opens a pseudo-terminal, prints its device path on the first line of the
standard output and plays a lung-function instrument on it until stopped.

  --instrument K     spirometer (default), diffusion or plethysmograph
  --version N        the hardware version it reports (0, 0x70, 0x11 by kind)
  --capabilities N   1 rhinomanometer head, 2 nebulizer output, 4 shutter head
  --manoeuvre M      rest (default), tidal (quiet breathing at --tv and
                     --breath until stopped), fvc, vc, mvv, syringe, dfc,
                     plethysmograph, rhino
  --trigger T        word: begin with the start word (default); stream: when
                     the stream is switched on
  --lead-in S        seconds at rest before the manoeuvre (1)
  --fvc L --fev1 L --pef L/s --rise S --fivc L --pif L/s
  --rv L --tv L --irv L --erv L --breath S
  --mvv-tidal L --mvv-rate /min --mvv-time S --syringe L --strokes N
  --va L --dead-space L --tlco mmol/min/kPa --hold S --he % --co %
  --raw kPa*s/L      airway resistance, the linear term (0.15)
  --rohrer kPa*s2/L2 the Rohrer term K2 of P = K1 V' + K2 V'|V'| (0)
  --shutter-rise kPa/s  how fast the pressure behind the closed shutter
                     keeps rising (0.3)
  --he-gain G --co-gain G   analyser reading over true concentration (1)
  --absorber F       expired gas left once the CO2 absorber took its CO2 (1)
  --analyser-tau S   time constant of the analysers' approach to the bag (8)
  --he-offset COUNTS --co-offset COUNTS   analyser offsets until an autozero (30, 25)
  --speed N          the pseudo-terminal's clock runs N times faster (1)
  --stroke-times S,S,...  seconds of a syringe stroke, the strokes played in
                     as many equal runs as times are given (1)
  --inspiration-gain G --expiration-gain G --gas-path-gain G
                     what the flow sensor reads over the true flow (1)
  --nonlinearity K   the sensor's gain grows by K per L/s of flow (0)
  --line-leak P      per cent of its pressure a diffusion line loses in 15 s (4.9)
  --stuck-pump       the diffusion unit's line pump moves no air
  --bag-stuck        the sample bag is never drawn down to its vacuum
  --noise COUNTS     flow noise, counts either way (1)
  --offset COUNTS    flow offset until an autozero (0)
  --seed N
  --temperature C --pressure hPa --humidity %
  --door-open        the cabin door reports open
  --log FILE         every request and command word, one a line
  --stop-after N     hang up after sending N samples
  --garbage-every N  noise bytes after every N-th frame
  --corrupt-every N  every N-th sample frame damaged on the line
  --fault-after N    report a fault after N samples
)";

namespace {

std::optional<double> Number(const char* text) {
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text, &end);
  if (errno || end == text || *end)
    return std::nullopt;
  return value;
}

std::optional<long> Integer(const char* text) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 0);  // 0x70 as well as 112
  if (errno || end == text || *end)
    return std::nullopt;
  return value;
}

}  // namespace

std::variant<TSimulatorOptions, std::string> ParseSimulatorOptions(int argc, char** argv) {
  TSimulatorOptions o;
  bool versionGiven = false;
  LungModel::TPatient& p = o.Patient;
  const std::map<std::string, double*> reals{
      {"--fvc", &p.FvcL},           {"--fev1", &p.Fev1L},        {"--pef", &p.PefLps},
      {"--rise", &p.RiseTimeS},     {"--fivc", &p.FivcL},        {"--pif", &p.PifLps},
      {"--rv", &p.RvL},             {"--tv", &p.TidalL},         {"--irv", &p.IrvL},
      {"--erv", &p.ErvL},           {"--breath", &p.BreathS},    {"--mvv-tidal", &p.MvvTidalL},
      {"--mvv-rate", &p.MvvPerMin}, {"--mvv-time", &p.MvvSeconds}, {"--syringe", &p.SyringeL},
      {"--va", &p.AlveolarVolumeL}, {"--tlco", &p.TlcoMmolMinKPa}, {"--dead-space", &p.DeadSpaceL},     {"--hold", &p.BreathHoldS},
      {"--he", &p.InspiredHePercent}, {"--co", &p.InspiredCoPercent}, {"--lead-in", &o.LeadInS},
      {"--temperature", &o.Sensors.TemperatureC}, {"--pressure", &o.Sensors.PressureHpa},
      {"--humidity", &o.Sensors.HumidityPercent}, {"--inspiration-gain", &o.InspirationGain},
      {"--expiration-gain", &o.ExpirationGain}, {"--gas-path-gain", &o.GasPathGain},
      {"--nonlinearity", &o.Nonlinearity}, {"--line-leak", &o.LineLeakPercent},
      {"--he-gain", &o.Analyser.HeliumGain}, {"--co-gain", &o.Analyser.CoGain},
      {"--absorber", &o.Analyser.Absorber}, {"--analyser-tau", &o.Analyser.TimeConstantS},
      {"--raw", &p.RawKpaSpL}, {"--rohrer", &p.RohrerKpaS2pL2}, {"--shutter-rise", &p.ShutterRiseKpaS}};
  const std::map<std::string, std::function<void(long)>> integers{
      {"--version", [&](long v) { o.HardwareVersion = static_cast<std::uint16_t>(v); versionGiven = true; }},
      {"--capabilities", [&](long v) { o.Capabilities = static_cast<std::uint8_t>(v); }},
      {"--strokes", [&](long v) { p.SyringeStrokes = static_cast<int>(v); }},
      {"--noise", [&](long v) { o.NoiseCounts = static_cast<int>(v); }},
      {"--offset", [&](long v) { o.OffsetCounts = static_cast<int>(v); }},
      {"--seed", [&](long v) { o.Seed = static_cast<unsigned>(v); }},
      {"--stop-after", [&](long v) { o.StopAfterSamples = v; }},
      {"--garbage-every", [&](long v) { o.GarbageEvery = static_cast<int>(v); }},
      {"--corrupt-every", [&](long v) { o.CorruptEvery = static_cast<int>(v); }},
      {"--fault-after", [&](long v) { o.FaultAfterSamples = v; }},
      {"--he-offset", [&](long v) { o.Analyser.HeliumOffsetCounts = static_cast<int>(v); }},
      {"--co-offset", [&](long v) { o.Analyser.CoOffsetCounts = static_cast<int>(v); }},
      {"--speed", [&](long v) { o.Speed = static_cast<int>(std::clamp<long>(v, 1, 100)); }}};

  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--door-open") {
      o.DoorOpen = true;
      continue;
    }
    if (option == "--stuck-pump") {
      o.StuckPump = true;
      continue;
    }
    if (option == "--bag-stuck") {
      o.BagNeverEmpties = true;
      continue;
    }
    if (option == "--help")
      return std::string(SimulatorUsage);
    if (i + 1 >= argc)
      return option + " wants a value";
    const char* value = argv[++i];
    if (const auto real = reals.find(option); real != reals.end()) {
      const auto number = Number(value);
      if (!number)
        return option + ": " + value + " is not a number";
      *real->second = *number;
    } else if (const auto integer = integers.find(option); integer != integers.end()) {
      const auto number = Integer(value);
      if (!number || *number < 0)
        return option + ": " + value + " is not a whole number";
      integer->second(*number);
    } else if (option == "--instrument") {
      o.Kind = value;
      if (o.Kind != "spirometer" && o.Kind != "diffusion" && o.Kind != "plethysmograph")
        return "--instrument: " + o.Kind + " is none of spirometer, diffusion, plethysmograph";
    } else if (option == "--manoeuvre") {
      o.Manoeuvre = value;
      static const char* const known[] = {"rest", "tidal", "fvc", "vc", "mvv", "syringe", "dfc", "plethysmograph", "rhino"};
      if (std::find(std::begin(known), std::end(known), o.Manoeuvre) == std::end(known))
        return "--manoeuvre: " + o.Manoeuvre + " is not known";
    } else if (option == "--trigger") {
      const std::string trigger = value;
      if (trigger != "word" && trigger != "stream")
        return "--trigger: " + trigger + " is neither word nor stream";
      o.StartOnStream = trigger == "stream";
    } else if (option == "--stroke-times") {
      p.StrokeSeconds.clear();
      std::string list = value;
      for (std::size_t from = 0; from <= list.size();) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        const auto seconds = Number(list.substr(from, comma - from).c_str());
        if (!seconds || *seconds <= 0.0)
          return "--stroke-times: " + list + " is not a list of positive seconds";
        p.StrokeSeconds.push_back(*seconds);
        from = comma + 1;
      }
    } else if (option == "--log") {
      o.LogFile = value;
    } else {
      return "unknown option " + option;
    }
  }
  if (o.Analyser.Absorber <= 0.0 || o.Analyser.TimeConstantS <= 0.0)
    return "--absorber and --analyser-tau must be above 0";
  if (!versionGiven)
    o.HardwareVersion = o.Kind == "diffusion" ? 0x70 : o.Kind == "plethysmograph" ? 0x11 : 0x00;
  if (o.InspirationGain <= 0.0 || o.ExpirationGain <= 0.0 || o.GasPathGain <= 0.0)
    return "a sensor gain must be above 0";
  if (o.LineLeakPercent < 0.0 || o.LineLeakPercent >= 100.0)
    return "--line-leak: a loss of 0 to below 100 per cent";
  if (o.Patient.TidalL <= 0.0 || o.Patient.BreathS < 0.1)
    return "--tv must be above 0 L and --breath at least 0.1 s";
  if (o.Manoeuvre == "fvc")
    if (const auto problem = LungModel::CheckForced(o.Patient))
      return *problem;
  return o;
}
