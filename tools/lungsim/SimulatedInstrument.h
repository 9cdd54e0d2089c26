#pragma once

// The lung-function instrument of the simulator: it answers the protocol of
// docs/instrument-protocol.md, obeys the control words and bytes, and
// measures a patient of the lung model, one sample every Tick().

#include "platform/portkit/Protocol.h"
#include "tools/lungsim/GasBag.h"
#include "tools/lungsim/PlethysmographHead.h"
#include "tools/lungsim/RhinoHead.h"
#include "tools/lungmodel/LungModel.h"

#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <variant>
#include <vector>

struct TSimulatorOptions {
  std::string Kind = "spirometer";  // spirometer, diffusion, plethysmograph
  std::uint16_t HardwareVersion = 0;
  std::uint8_t Capabilities = 0;
  std::string Manoeuvre = "rest";  // rest, tidal, fvc, vc, mvv, syringe, dfc, plethysmograph, rhino
  bool StartOnStream = false;      // begin when the stream is switched on, not with the start word
  double LeadInS = 1.0;            // at rest before the manoeuvre
  LungModel::TPatient Patient;
  // FVC and FEV1 of each forced manoeuvre blown in turn, the last one
  // staying; empty: the patient's.
  std::vector<double> ForcedFvcL;
  std::vector<double> ForcedFev1L;
  // The patient of the forced manoeuvre numbered `start` (from 0).
  LungModel::TPatient ForcedPatient(std::size_t start) const;
  int NoiseCounts = 1;             // flow noise, counts either way
  int OffsetCounts = 0;            // flow offset until an autozero
  unsigned Seed = 1;
  InstrumentProtocol::TSensorReading Sensors;
  bool DoorOpen = false;
  TBoxHeadOptions Box;             // the body box and its patient
  std::string LogFile;
  std::string LinkPath;            // a symbolic link to the device, made at the start
  long StopAfterSamples = -1;      // hang up after sending this many samples
  int GarbageEvery = 0;            // noise bytes after every n-th frame
  int CorruptEvery = 0;            // every n-th sample frame damaged on the line
  long FaultAfterSamples = -1;     // report a fault after this many samples
  TAnalyserOptions Analyser;       // the diffusion unit's gas analysers
  int Speed = 1;                   // the pseudo-terminal runs its clock this many times faster
  // The flow sensor's errors: what it reads over the true flow, for
  // inspirations, expirations and inspirations through the gas path (while
  // the word 0xEF62 holds), and a gain that grows by this share per L/s.
  double InspirationGain = 1.0;
  double ExpirationGain = 1.0;
  double GasPathGain = 1.0;
  double Nonlinearity = 0.0;
  // The diffusion unit's lines: the share of its pressure a line loses in
  // 15 s, and a pump that runs without moving air.
  double LineLeakPercent = 4.9;
  bool StuckPump = false;
  // BTPS sensors that never answer the box's request.
  bool SensorsSilent = false;
  // A bag whose outlet valve sticks: the low-speed pump never draws it
  // down to the vacuum that ends the wash-out.
  bool BagNeverEmpties = false;
  TRhinoHeadOptions Rhino;         // the rhinomanometer head
};

class TSimulatedInstrument {
public:
  using TLog = std::function<void(const std::string&)>;

  TSimulatedInstrument(TSimulatorOptions options, TLog log);

  // Bytes from the host.
  void Receive(std::span<const std::uint8_t> bytes);
  // One sample period; sends the period's frames while the stream is on.
  void Tick();
  // What the instrument has sent since the last call.
  InstrumentProtocol::TBytes TakeOutput();

  bool Streaming() const { return Stream; }
  // Samples sent while the nebulizer was on, since the stream was switched on.
  long SprayedSamples() const { return Sprayed; }
  long SamplesSent() const { return Sent; }
  std::uint8_t ChannelMask() const;

private:
  void Handle(const InstrumentProtocol::TFrame& frame);
  void ApplyWord(std::uint16_t word);
  void ApplyByte(std::uint8_t value);
  void SwitchNebulizer(bool on);
  void StartManoeuvre();
  double NextFlow();
  double LinePressurePa();
  double GasPercent(bool helium) const;
  int Noise();
  // The model's flow (lung volumes, body conditions) as the gas passing
  // the sensor takes it.
  double AtTheSensor(double flowLps) const;
  double SensorReading(double flowLps) const;

  TSimulatorOptions Options;
  TLog Log;
  InstrumentProtocol::TFrameDecoder Requests;
  InstrumentProtocol::TBytes Output;
  std::mt19937 Random;
  LungModel::TFlowQuantizer Quantizer;

  bool Stream = false;
  std::uint16_t Word = InstrumentProtocol::WordStop;
  std::uint8_t Sequence = 0;
  long Sent = 0;
  long Frames = 0;
  bool Zeroed = false;       // an autozero took the offsets away
  bool Nebulizer = false;    // the nebulizer's compressor sprays
  long Sprayed = 0;
  std::size_t ForcedBlasts = 0;  // forced manoeuvres blown so far
  bool Blowing = false;          // this one's blast has begun
  double LastFlow = 0.0;

  // The patient.
  std::deque<double> Flows;  // L/s, still to come
  enum class THold { None, Waiting, Holding } Hold = THold::None;
  long HoldSamples = 0;
  bool HoldWordSeen = false;
  bool BreathTaken = false;  // a diffusion breath was held: the sample holds alveolar gas
  double HeldS = 0.0;
  std::size_t Trial = 0;     // sample of the scripted rhinomanometry trial
  bool TrialRunning = false;
  bool RhinoWaiting = false;  // a rhinomanometry start resting before its nose breathes
  bool QuietBreathing = false;  // the tidal manoeuvre: a breath follows each breath
  LungModel::TRhinoTrial Rhino;
  std::optional<TPlethysmographHead> Box;  // a plethysmograph's box
  TRhinoHead RhinoHead;

  // The diffusion unit.
  double FleischPa = 0.0;
  double BalloonPa = 0.0;
  double BagPa = 0.0;
  long AnalysisSamples = -1;  // -1 while no analysis runs
  TGasBag Bag;
  bool WashOutSeen = false;  // the patient comes to the mouthpiece once the gas path is washed out

  // The spirometer's outputs.
  bool ShutterSeries = false;
  LungModel::TShutterHead ShutterHead{Options.Patient};
};

// The rest before a blast that begins with the stream: the program's zero
// reads 225 samples, 2.25 s, with the stream on and must see none of it.
constexpr double StreamLeadInS = 3.0;

// The options from the command line; the reason when they are wrong.
std::variant<TSimulatorOptions, std::string> ParseSimulatorOptions(int argc, char** argv);
extern const char* const SimulatorUsage;
