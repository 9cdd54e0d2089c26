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
  --trigger T        word: begin with the start word; stream: each time the
                     stream is switched on. A plain spirometer (version 0)
                     gets no start word, so stream is its default; word is
                     the default of the others
  --lead-in S        seconds at rest before the manoeuvre: 3 when it begins
                     with the stream, longer than the program's zero; 1 else
  --fvc L,L,... --fev1 L,L,...   FVC and FEV1 of each forced manoeuvre in
                     turn, the last one staying (4.5 and 3.7); a start that
                     ends at rest before the blast (a zero) takes none
  --pef L/s --rise S --fivc L --pif L/s
  --rv L --tv L --irv L --erv L --breath S
  --mvv-tidal L --mvv-rate /min --mvv-time S --syringe L --strokes N
  --va L --dead-space L --tlco mmol/min/kPa --hold S --he % --co %
                     the diffusion patient's lungs, at body conditions: the
                     test gas reaches the flow sensor dry at the room's
                     --temperature and --pressure, so the program's VA and
                     Tlco are these when its panel shows the same room
  --raw kPa*s/L      airway resistance, the linear term (0.15)
  --shutter-rise kPa/s  how fast the pressure behind the closed shutter
                     keeps rising (0.3)
  --he-gain G --co-gain G   analyser reading over true concentration (1)
  --absorber F       expired gas left once the CO2 absorber took its CO2
                     (0.95, what the program's 95 % correction expects)
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
  --sensors-silent   the BTPS sensors never answer
  --rhino-flows F,F,...  mL/s at 150 Pa of each rhinomanometry start in turn
                     (left, right, both, again after a provocation); the
                     last one stays (default: 400 every time)
  --nasal-rohrer S   the nose by Rohrer's law, its laminar part taking S of
                     the 150 Pa (0: an orifice, the default)
  --flow-scale K     normal (default) or fine: the rhinomanometer head's fine
                     flow scale, 2.5048 counts a spirometric count
  --nasal-offset PA  the nasal pressure at rest (0)
  --nasal-noise COUNTS  nasal pressure noise, counts either way (0)
  --noise COUNTS     flow noise, counts either way (1)
  --offset COUNTS    flow offset until an autozero (0)
  --seed N
  --link PATH        a symbolic link at PATH to the device, for [Serial Ports]
  --temperature C --pressure hPa --humidity %
  --door-open        the cabin door reports open
  --door-open-at S --door-close-at S   the cabin door opens (and closes) then
The body box (--instrument plethysmograph, --manoeuvre plethysmograph):
  --tgv L --raw kPa*s/L   the patient's FRC at the shutter and airway resistance
  --rohrer K2        a Rohrer term K2 V'|V'| on top of Raw (0), in the box
                     and behind the shutter
  --ivc              breathe in to TLC (RV + FIVC) after RV
  --artefact-share K share of the inspired air's expansion to BTPS the box shows (0.4)
  --cabin L --weight KG --sensor-volume L   the box, the patient, the gas between
                     mouth and shutter (960, 75, 0.08)
  --box-breath S --box-tidal L   quiet breathing in the box (2, 0.6)
  --panting kPa --panting-hz HZ  against the closed shutter (1, 1)
  --box-drift PA/S   thermal drift of the box pressure (0)
  --calibration-volume L --box-factor F --leak-tau S
                     the calibration pump's stroke (0.15), the box's swing over
                     Boyle's (1) and the leak's time constant (5); with
                     --stuck-pump a pump keeps its status
  --log FILE         every request and command word, one a line, and the
                     samples sprayed while the nebulizer was on
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

// "a,b,c": each a number above 0.
std::optional<std::vector<double>> PositiveList(const std::string& list) {
  std::vector<double> values;
  for (std::size_t from = 0; from <= list.size();) {
    const std::size_t comma = std::min(list.find(',', from), list.size());
    const auto value = Number(list.substr(from, comma - from).c_str());
    if (!value || *value <= 0.0)
      return std::nullopt;
    values.push_back(*value);
    from = comma + 1;
  }
  return values;
}

}  // namespace

std::variant<TSimulatorOptions, std::string> ParseSimulatorOptions(int argc, char** argv) {
  TSimulatorOptions o;
  bool versionGiven = false;
  bool triggerGiven = false;
  bool leadInGiven = false;
  LungModel::TPatient& p = o.Patient;
  const std::map<std::string, double*> reals{
      {"--pef", &p.PefLps},
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
      {"--tgv", &p.TgvL}, {"--raw", &p.RawKpaSpL}, {"--rohrer", &o.Box.Box.RohrerK2},
      {"--artefact-share", &o.Box.Box.ArtefactShare}, {"--cabin", &o.Box.Box.CabinL},
      {"--weight", &o.Box.Box.WeightKg}, {"--sensor-volume", &o.Box.Box.SensorDeadSpaceL},
      {"--box-breath", &o.Box.Box.BreathS}, {"--box-tidal", &o.Box.Box.TidalL},
      {"--panting", &o.Box.Box.PantingKPa}, {"--panting-hz", &o.Box.Box.PantingHz},
      {"--box-drift", &o.Box.Box.DriftPaPerS}, {"--calibration-volume", &o.Box.Box.CalibrationVolumeL},
      {"--box-factor", &o.Box.Box.BoxFactor}, {"--leak-tau", &o.Box.Box.LeakTauS},
      {"--door-open-at", &o.Box.DoorOpenAtS}, {"--door-close-at", &o.Box.DoorCloseAtS},
      {"--shutter-rise", &p.ShutterRiseKpaS}};
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
    if (option == "--ivc") {
      o.Box.Box.Ivc = true;
      continue;
    }
    if (option == "--sensors-silent") {
      o.SensorsSilent = true;
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
      leadInGiven |= real->second == &o.LeadInS;
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
      triggerGiven = true;
    } else if (option == "--stroke-times") {
      const auto seconds = PositiveList(value);
      if (!seconds)
        return "--stroke-times: " + std::string(value) + " is not a list of positive seconds";
      p.StrokeSeconds = *seconds;
    } else if (option == "--fvc" || option == "--fev1") {
      const auto litres = PositiveList(value);
      if (!litres)
        return option + ": " + value + " is not a list of positive litres";
      (option == "--fvc" ? o.ForcedFvcL : o.ForcedFev1L) = *litres;
    } else if (const auto rhino = ParseRhinoHeadOption(option, value, o.Rhino)) {
      if (!rhino->empty())
        return *rhino;
    } else if (option == "--log") {
      o.LogFile = value;
    } else if (option == "--link") {
      o.LinkPath = value;
    } else {
      return "unknown option " + option;
    }
  }
  if (o.Analyser.Absorber <= 0.0 || o.Analyser.TimeConstantS <= 0.0)
    return "--absorber and --analyser-tau must be above 0";
  if (!versionGiven)
    o.HardwareVersion = o.Kind == "diffusion" ? 0x70 : o.Kind == "plethysmograph" ? 0x11 : 0x00;
  // The program starts a plain spirometer's acquisition by switching the
  // stream on and sends it no start word; its zero streams too, so the
  // patient rests longer than the zero reads before the blast.
  // The rhinomanometer's nose is played start by start on the start word,
  // as its head is driven.
  if (!triggerGiven)
    o.StartOnStream = o.HardwareVersion == 0 && o.Manoeuvre != "rhino";
  if (!leadInGiven && o.StartOnStream)
    o.LeadInS = StreamLeadInS;
  if (o.LeadInS < 0.0)
    return "--lead-in: seconds of 0 or more";
  if (o.InspirationGain <= 0.0 || o.ExpirationGain <= 0.0 || o.GasPathGain <= 0.0)
    return "a sensor gain must be above 0";
  if (o.LineLeakPercent < 0.0 || o.LineLeakPercent >= 100.0)
    return "--line-leak: a loss of 0 to below 100 per cent";
  if (o.Patient.TidalL <= 0.0 || o.Patient.BreathS < 0.1)
    return "--tv must be above 0 L and --breath at least 0.1 s";
  // One Rohrer term of the patient's airways, for the box and the shutter alike.
  p.RohrerKpaS2pL2 = o.Box.Box.RohrerK2;
  const LungModel::TBoxSettings& box = o.Box.Box;
  if (box.CorrectedCabinL() <= 0.0 || box.BreathS <= 0.0 || box.PantingHz <= 0.0 || box.LeakTauS <= 0.0 ||
      p.TgvL <= p.RvL)
    return "the box: a cabin larger than the patient, positive times, and a TGV above RV";
  if (o.Manoeuvre == "fvc") {
    // Every forced manoeuvre of the lists must be one the patient can blow.
    const std::size_t starts = std::max({o.ForcedFvcL.size(), o.ForcedFev1L.size(), std::size_t{1}});
    for (std::size_t start = 0; start < starts; ++start)
      if (const auto problem = LungModel::CheckForced(o.ForcedPatient(start)))
        return *problem;
  }
  return o;
}
