#include "tools/lungsim/SimulatedInstrument.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

using namespace InstrumentProtocol;

namespace {

// Named words of the diffusion unit's sequences.
constexpr std::uint16_t WordGasAnalysis = 0xEE4F;
constexpr std::uint16_t WordWashHighSpeed = 0xE85E;
constexpr std::uint16_t WordWashLowSpeed = 0xEA4F;
constexpr std::uint16_t BitPumpValve = 0x0002;   // clear with the MPX bit: the line pump runs
constexpr std::uint16_t BitBalloonLine = 0x0010;  // clear: the balloon line
constexpr double PumpPaPerSample = 15.0;          // 1500 Pa/s
constexpr double LeakHoldS = 15.0;  // the hold over which a line's loss is given
constexpr std::uint16_t WordSampling = 0xEF6F;
constexpr std::uint16_t WordGasInspiration = 0xEF62;
constexpr std::uint16_t WordSampleWindow = 0xEF7E;
constexpr double MouthpieceKpaSpL = 0.5;  // resistance of the nebulizer's mouthpiece
// The newer helium board (hardware bit 0x10) counts 106 % of the
// concentration at its scale of 0.002441406 % a count; the program's
// default "CorrectionOfHeLSB" of 106 for that board takes it back.
constexpr double NewHeliumBoardReads = 1.06;
// Body conditions: 37 degC, saturated with water vapour at 47 mmHg.
constexpr double BodyTemperatureK = 310.15;
constexpr double ZeroCelsiusK = 273.15;
constexpr double WaterVapourAt37Hpa = 47.0 * 1.333224;

std::string Hex(unsigned value, int digits) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

}  // namespace

TSimulatedInstrument::TSimulatedInstrument(TSimulatorOptions options, TLog log)
    : Options(std::move(options)), Log(std::move(log)), Random(Options.Seed), RhinoHead(Options.Rhino) {
  if (Options.Rhino.FineFlowScale)
    Options.Capabilities |= CapabilityFineFlowScale;
  if (Options.Kind == "plethysmograph") {
    // The box breathes the air its BTPS sensors report.
    Options.Box.Box.Air = {Options.Sensors.PressureHpa, Options.Sensors.TemperatureC, Options.Sensors.HumidityPercent};
    Box.emplace(Options.Patient, Options.Box, Options.StuckPump, Log);
  }
}

std::uint8_t TSimulatedInstrument::ChannelMask() const {
  if (Options.Kind == "diffusion")
    return ChannelFlow | ChannelLinePressure | ChannelHelium | ChannelCarbonMonoxide;
  if (Options.Kind == "plethysmograph")
    return ChannelFlow | ChannelMouthPressure | ChannelBoxPressure;
  std::uint8_t mask = ChannelFlow;
  if (Options.Capabilities & (CapabilityShutter | CapabilityNebulizer))
    mask |= ChannelMouthPressure;
  if (Options.Capabilities & CapabilityRhinomanometer)
    mask |= ChannelNasalPressure;
  return mask;
}

void TSimulatedInstrument::Receive(std::span<const std::uint8_t> bytes) {
  Requests.Feed(bytes);
  while (const auto frame = Requests.Next())
    Handle(*frame);
}

void TSimulatedInstrument::Handle(const TFrame& frame) {
  if (frame.Type == TFrameType::Identify) {
    Log("identify");
    AppendIdentity(Output, {Version, Options.HardwareVersion, Options.Capabilities, ChannelMask()});
  } else if (const auto on = ReadStream(frame)) {
    Log(*on ? "stream on" : "stream off");
    if (!*on)
      SwitchNebulizer(false);
    Stream = *on;
    if (Stream) {
      Sequence = 0;
      Sprayed = 0;
      if (Options.StartOnStream)
        StartManoeuvre();
    }
  } else if (const auto word = ReadControlWord(frame)) {
    Log("word " + Hex(*word, 4));
    ApplyWord(*word);
  } else if (const auto byte = ReadControlByte(frame)) {
    Log("byte " + Hex(*byte, 2));
    ApplyByte(*byte);
  }
}

void TSimulatedInstrument::ApplyWord(std::uint16_t word) {
  const std::uint16_t before = Word;
  Word = word;
  if (Box)
    Box->ApplyWord(word);
  if (!(word & BitAutoZero) && !Zeroed) {
    Zeroed = true;
    Log("autozero");
  }
  // A diffusion patient comes to the mouthpiece after the gas path's
  // wash-out (below), not at the first running word: the program's zero
  // sends one, and the patient rests through the zero.
  const bool afterWashOut = Options.Manoeuvre == "dfc";
  if ((word & BitStartStop) && !(before & BitStartStop) && !Options.StartOnStream && !afterWashOut)
    StartManoeuvre();
  else if (!(word & BitStartStop) && (before & BitStartStop) && !Flows.empty()) {
    Flows.clear();
    TrialRunning = false;
    RhinoWaiting = false;
    Log("manoeuvre stopped");
  }
  // The breath hold lasts while the shutter bit is clear.
  if (Hold != THold::None) {
    if (!(word & BitShutter))
      HoldWordSeen = true;
    else if (HoldWordSeen && Hold == THold::Holding)
      Hold = THold::None;
  }
  if (Options.Manoeuvre == "dfc" && !Options.StartOnStream) {
    // While the gas path is washed out the patient waits; the delay after
    // it brings the patient to the mouthpiece.
    if ((word == WordWashHighSpeed || word == WordWashLowSpeed) && !WashOutSeen) {
      WashOutSeen = true;
      Flows.clear();
      Hold = THold::None;
      HoldSamples = 0;
      Log("patient waits for the wash-out");
    } else if (word == WordSampling && WashOutSeen && before != WordSampling && Hold == THold::None &&
               HoldSamples == 0 && !BreathTaken) {
      StartManoeuvre();
    }
  }
  if (word == WordGasAnalysis && AnalysisSamples < 0) {
    AnalysisSamples = 0;
    Log("gas analysis started");
  }
  if ((word & BitNebulizer) != (before & BitNebulizer)) {
    Log(word & BitNebulizer ? "nebulizer on" : "nebulizer off");
    SwitchNebulizer((word & BitNebulizer) != 0);
  }
}

void TSimulatedInstrument::ApplyByte(std::uint8_t value) {
  if (value == ByteShutterSeriesOn || value == ByteShutterSeriesOff) {
    ShutterSeries = value == ByteShutterSeriesOn;
    ShutterHead.Restart();
    Log(ShutterSeries ? "shutter series on" : "shutter series off");
  } else if (value == ByteOutputOn + OutputNebulizer || value == OutputNebulizer) {
    Log(value == OutputNebulizer ? "nebulizer off" : "nebulizer on");
    SwitchNebulizer(value != OutputNebulizer);
  }
}

void TSimulatedInstrument::SwitchNebulizer(bool on) {
  const bool was = std::exchange(Nebulizer, on);
  // What the compressor gave so far, for comparison with the dose the
  // program counted.
  if (was && !on)
    Log("sprayed " + std::to_string(Sprayed) + " samples");
}

LungModel::TPatient TSimulatorOptions::ForcedPatient(std::size_t start) const {
  LungModel::TPatient p = Patient;
  if (!ForcedFvcL.empty())
    p.FvcL = ForcedFvcL[std::min(start, ForcedFvcL.size() - 1)];
  if (!ForcedFev1L.empty())
    p.Fev1L = ForcedFev1L[std::min(start, ForcedFev1L.size() - 1)];
  return p;
}

void TSimulatedInstrument::StartManoeuvre() {
  const LungModel::TPatient& p = Options.Patient;
  const std::string& m = Options.Manoeuvre;
  if (m == "rest")
    return;
  Flows.assign(static_cast<std::size_t>(std::lround(Options.LeadInS / LungModel::SampleSeconds)), 0.0);
  std::vector<double> script;
  Blowing = false;
  if (m == "fvc")
    script = LungModel::ForcedManoeuvre(Options.ForcedPatient(ForcedBlasts));
  else if (m == "vc")
    script = LungModel::SlowVcManoeuvre(p);
  else if (m == "mvv")
    script = LungModel::MvvManoeuvre(p);
  else if (m == "syringe")
    script = LungModel::SyringeStrokes(p);
  else if (m == "dfc")
    script = LungModel::DiffusionInspiration(p);
  else if (m == "tidal")
    script = LungModel::TidalBreathing(p, 1);
  Flows.insert(Flows.end(), script.begin(), script.end());
  Hold = m == "dfc" ? THold::Waiting : THold::None;
  Bag.Empty();
  HoldWordSeen = false;
  HoldSamples = 0;
  BreathTaken = false;
  AnalysisSamples = -1;
  if (m == "plethysmograph" && Box)
    Box->StartPatient();
  // The nose breathes once the rest before it is over: a stream that ends
  // during the rest (the program's zero) takes no nose of the list.
  RhinoWaiting = m == "rhino";
  Trial = 0;
  TrialRunning = false;
  QuietBreathing = m == "tidal";
  Log("manoeuvre " + m + " started");
}

double TSimulatedInstrument::NextFlow() {
  // Quiet breathing goes on, a breath at a time, until the stream ends.
  if (Flows.empty() && QuietBreathing) {
    const auto breath = LungModel::TidalBreathing(Options.Patient, 1);
    Flows.assign(breath.begin(), breath.end());
  }
  if (!Flows.empty()) {
    const double flow = Flows.front();
    Flows.pop_front();
    // A forced manoeuvre takes the next values of the lists once it is
    // blown; one the stream ended at rest (the program's zero) takes none.
    if (flow < 0.0 && !Blowing && Options.Manoeuvre == "fvc") {
      Blowing = true;
      ++ForcedBlasts;
    }
    if (Hold == THold::Waiting && Flows.size() == static_cast<std::size_t>(std::lround(
                                                       LungModel::DiffusionInspirationS / LungModel::SampleSeconds)))
      Bag.InspirationBegins(Sent + 1);
    if (Flows.empty() && Hold == THold::Waiting) {
      Hold = THold::Holding;
      HoldSamples = 0;
    }
    return flow;
  }
  if (Hold == THold::Holding) {
    ++HoldSamples;
    const bool scripted = !HoldWordSeen && HoldSamples * LungModel::SampleSeconds >= Options.Patient.BreathHoldS;
    if (scripted)
      Hold = THold::None;
    return 0.0;
  }
  if (Hold == THold::None && HoldSamples > 0 && !BreathTaken) {
    // The hold has ended: breathe out the gas sample.
    BreathTaken = true;
    HeldS = HoldSamples * LungModel::SampleSeconds;
    Log("breath hold ended after " + std::to_string(HeldS) + " s");
    const auto expiration = LungModel::DiffusionExpiration(Options.Patient);
    Flows.assign(expiration.begin(), expiration.end());
    return NextFlow();
  }
  return 0.0;
}

double TSimulatedInstrument::LinePressurePa() {
  // The share kept per sample that leaves 100 - loss per cent after the hold.
  const double kept = std::clamp(1.0 - Options.LineLeakPercent / 100.0, 1e-9, 1.0);
  const double leak = std::pow(kept, LungModel::SampleSeconds / LeakHoldS);
  const bool pump = (Word & 0xFF00) == 0xEB00 && !(Word & BitPumpValve) && !Options.StuckPump;
  double& line = (Word & BitBalloonLine) ? FleischPa : BalloonPa;
  FleischPa *= leak;
  BalloonPa *= leak;
  if (pump)
    line = std::min(line + PumpPaPerSample, 1400.0);
  // The bag fills in the high-speed washing out and is emptied to a vacuum
  // in the low-speed one; the pressure port then reads the bag.
  const double vacuumPa = Options.BagNeverEmpties ? 800.0 : 1200.0;
  const double bagTarget = Word == WordWashHighSpeed ? 600.0 : Word == WordWashLowSpeed ? vacuumPa : 0.0;
  BagPa += (bagTarget - BagPa) * (1.0 - std::exp(-LungModel::SampleSeconds / 1.5));
  if (Word == WordWashHighSpeed || Word == WordWashLowSpeed)
    return BagPa;
  return line;
}

double TSimulatedInstrument::GasPercent(bool helium) const {
  if (AnalysisSamples < 0)
    return 0.0;  // room air
  const LungModel::TPatient& p = Options.Patient;
  const TAnalyserOptions& a = Options.Analyser;
  double target = helium ? p.InspiredHePercent : p.InspiredCoPercent;  // the calibration gas itself
  if (BreathTaken) {
    // The bag the window filled; without a sample window, alveolar gas from
    // half way through the expiration.
    const auto gas = Bag.Filled() ? Bag.Mixed()
                                  : LungModel::AlveolarGas(p, LungModel::DiffusionInspiredL(p),
                                                           LungModel::DiffusionUptakeS(HeldS));
    // The absorber takes the expired CO2 out and so concentrates the rest.
    target = (helium ? gas.HePercent : gas.CoPercent) / a.Absorber;
  }
  target *= helium ? a.HeliumGain : a.CoGain;
  return target * (1.0 - std::exp(-AnalysisSamples * LungModel::SampleSeconds / a.TimeConstantS));
}

int TSimulatedInstrument::Noise() {
  if (Options.NoiseCounts <= 0)
    return 0;
  return std::uniform_int_distribution<int>(-Options.NoiseCounts, Options.NoiseCounts)(Random);
}

void TSimulatedInstrument::Tick() {
  if (!Stream)
    return;
  const LungModel::TPatient& p = Options.Patient;
  if (RhinoWaiting && Flows.empty()) {
    RhinoWaiting = false;
    Rhino = RhinoHead.NextTrial(p.NasalFlowAt150Pa);
    TrialRunning = true;
    Log("nose of " + std::to_string(RhinoHead.LastFlowAt150PaMlps()) + " mL/s at 150 Pa");
  }
  TSample sample;
  sample.Sequence = Sequence++;
  sample.Status = Options.DoorOpen ? StatusDoorOpen : 0;

  double flow = NextFlow();
  double mouthPa = 0.0;
  double boxPa = 0.0;
  double nasalPa = 0.0;
  if (Box) {
    const TPlethysmographHead::TSample box = Box->Tick(static_cast<double>(Sent) * LungModel::SampleSeconds,
                                                        Options.DoorOpen);
    flow += box.FlowLps;  // the patient in the box, or the syringe of a calibration
    mouthPa = box.MouthPa;
    boxPa = box.BoxPa;
    sample.Status = box.Status;
  } else if (TrialRunning && Options.Manoeuvre == "rhino") {
    flow = Rhino.FlowMlps[Trial] / 1000.0;
    nasalPa = Rhino.PressurePa[Trial];
  } else {
    boxPa = p.RawKpaSpL * 1000.0 * flow * p.TgvL / p.BoxVolumeL;
    mouthPa = -MouthpieceKpaSpL * 1000.0 * flow;
  }
  if (TrialRunning && ++Trial >= Rhino.FlowMlps.size())
    TrialRunning = false;

  std::optional<double> shutterPa;  // none while the shutter is open
  if (ShutterSeries) {
    const LungModel::TShutterHead::TReading reading = ShutterHead.Next(flow);
    flow = reading.FlowLps;
    shutterPa = reading.MouthPa;
  }
  if (BreathTaken && flow < 0.0)
    Bag.Expire(p, -flow * LungModel::SampleSeconds, Sent, Word == WordSampleWindow);
  flow = AtTheSensor(flow);
  LastFlow = flow;

  const int offset = Zeroed ? 0 : Options.OffsetCounts;
  sample.Set(ChannelFlow, Quantizer.Next(SensorReading(flow) * RhinoHead.FlowScale()) + offset + Noise());
  const std::uint8_t mask = ChannelMask();
  if (mask & ChannelMouthPressure) {
    if (Options.Kind == "plethysmograph")
      sample.Set(ChannelMouthPressure, Counts(mouthPa, PlethysmographMouthPaPerCount));
    else if (Options.Capabilities & CapabilityShutter)
      sample.Set(ChannelMouthPressure, shutterPa ? Counts(*shutterPa, ShutterMouthPaPerCount) : ShutterOpenMark);
    else
      sample.Set(ChannelMouthPressure, Counts(mouthPa, ShutterMouthPaPerCount));
  }
  if (mask & ChannelBoxPressure)
    sample.Set(ChannelBoxPressure, Counts(boxPa, BoxPaPerCount));
  if (mask & ChannelNasalPressure)
    sample.Set(ChannelNasalPressure, RhinoHead.NasalCounts(nasalPa, Random));
  if (mask & ChannelLinePressure)
    sample.Set(ChannelLinePressure, Counts(LinePressurePa(), LinePaPerCount));
  if (mask & ChannelHelium) {
    const bool newScale = Options.HardwareVersion & NewSensorScale;
    const int zero = Zeroed ? 0 : 1;
    sample.Set(ChannelHelium, Counts(GasPercent(true) * (newScale ? NewHeliumBoardReads : 1.0),
                                     newScale ? 0.002441406 : 0.001525785) +
                                  zero * Options.Analyser.HeliumOffsetCounts);
    sample.Set(ChannelCarbonMonoxide, Counts(GasPercent(false), newScale ? 0.00024414 : 0.00012207) +
                                          zero * Options.Analyser.CoOffsetCounts);
    if (AnalysisSamples >= 0)
      ++AnalysisSamples;
  }

  TBytes frame;
  AppendSample(frame, sample);
  ++Frames;
  if (Options.CorruptEvery > 0 && Frames % Options.CorruptEvery == 0)
    frame[6] ^= 0x20;  // a bit flipped on the line
  Output.insert(Output.end(), frame.begin(), frame.end());
  if (!(Word & BitAnalogMpx) && !Options.SensorsSilent)
    AppendSensors(Output, SensorWords(Options.Sensors, Options.HardwareVersion));
  if (Options.GarbageEvery > 0 && Frames % Options.GarbageEvery == 0)
    for (const std::uint8_t noise : {0x00, 0xA5, 0xFF, 0x5A, 0x13, 0xA5, 0x5A})
      Output.push_back(noise);
  ++Sent;
  if (Nebulizer)
    ++Sprayed;
  if (Sent == Options.FaultAfterSamples) {
    AppendFault(Output, 1);
    Log("fault 1 reported");
  }
}

double TSimulatedInstrument::AtTheSensor(double flowLps) const {
  // The diffusion patient's lungs take in the test gas at body conditions;
  // the sensor measures it as it comes from the cylinder, dry at the
  // room's temperature and pressure (ATPD), where the same gas takes less
  // room: V_ATPD = V_BTPS x (PB - 47 mmHg) / PB x (273.15 + T) / 310.15.
  if (Options.Manoeuvre != "dfc" || flowLps <= 0.0 || Word != WordGasInspiration)
    return flowLps;
  const double pressureHpa = Options.Sensors.PressureHpa;
  const double roomK = ZeroCelsiusK + Options.Sensors.TemperatureC;
  return flowLps * (pressureHpa - WaterVapourAt37Hpa) / pressureHpa * roomK / BodyTemperatureK;
}

double TSimulatedInstrument::SensorReading(double flowLps) const {
  const double gain = flowLps <= 0.0                 ? Options.ExpirationGain
                      : Word == WordGasInspiration ? Options.GasPathGain
                                                     : Options.InspirationGain;
  return flowLps * gain * (1.0 + Options.Nonlinearity * std::abs(flowLps));
}

TBytes TSimulatedInstrument::TakeOutput() { return std::exchange(Output, {}); }
