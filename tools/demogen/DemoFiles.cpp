#include "tools/demogen/DemoFiles.h"

#include "tools/lungmodel/BoxModel.h"

#include "platform/framework/BinaryStream.h"
#include "platform/portkit/Protocol.h"

#include <algorithm>
#include <cmath>

namespace DemoFiles {

namespace {

using InstrumentProtocol::BoxPaPerCount;
using InstrumentProtocol::Counts;
using InstrumentProtocol::PlethysmographMouthPaPerCount;
using InstrumentProtocol::ShutterMouthPaPerCount;
using InstrumentProtocol::ShutterOpenMark;
using LungModel::FlowMlpsPerCount;

constexpr double StartExpirationLps = -0.060;
constexpr double MvvInspirationLps = 0.600;
constexpr double DefaultAbsorber = 0.95;  // "Co2ExtractionCorrection" 95 %

// Flows as the instrument measures them: on the grid of its counts.
std::vector<double> OnTheGrid(const std::vector<double>& flows) {
  LungModel::TFlowQuantizer quantizer;
  std::vector<double> measured;
  measured.reserve(flows.size());
  for (const double flow : flows)
    measured.push_back(quantizer.Next(flow) * FlowMlpsPerCount / 1000.0);
  return measured;
}

// The trial as the window stores it: from its starting sample, at most
// MaxSamples.
std::vector<double> Trial(const std::vector<double>& flows, bool inspirationFirst) {
  std::size_t start = 0;
  if (inspirationFirst)
    while (start < flows.size() && flows[start] < MvvInspirationLps)
      ++start;
  while (start < flows.size() && flows[start] > StartExpirationLps)
    ++start;
  const std::size_t end = std::min(flows.size(), start + MaxSamples);
  return {flows.begin() + static_cast<std::ptrdiff_t>(start), flows.begin() + static_cast<std::ptrdiff_t>(end)};
}

void WriteFlows(TBinaryWriter& out, const std::vector<double>& flows) {
  out.WriteUInt32(static_cast<std::uint32_t>(flows.size()));
  for (const double flow : flows)
    out.WriteFloat32(static_cast<float>(flow));
}

TFile Spirometric(std::string name, const std::vector<double>& flows, bool inspirationFirst) {
  TBinaryWriter out;
  WriteFlows(out, Trial(OnTheGrid(flows), inspirationFirst));
  return {std::move(name), out.Take()};
}

TFile Diffusion(const LungModel::TPatient& patient) {
  std::vector<double> flows = LungModel::DiffusionInspiration(patient);
  flows.insert(flows.end(), static_cast<std::size_t>(std::lround(patient.BreathHoldS / LungModel::SampleSeconds)), 0.0);
  const std::vector<double> expiration = LungModel::DiffusionExpiration(patient);
  flows.insert(flows.end(), expiration.begin(), expiration.end());
  const auto gas = LungModel::AlveolarGas(patient, LungModel::DiffusionInspiredL(patient),
                                         LungModel::DiffusionUptakeS(patient.BreathHoldS));
  TBinaryWriter out;
  WriteFlows(out, Trial(OnTheGrid(flows), false));
  // What the analysers read: the absorber has taken the expired CO2 out of
  // the sample and so concentrated the rest by the window's default
  // correction.
  out.WriteFloat32(static_cast<float>(gas.CoPercent / DefaultAbsorber));
  out.WriteFloat32(static_cast<float>(gas.HePercent / DefaultAbsorber));
  return {"DfcDemo.bin", out.Take()};
}

TFile Rhino(const LungModel::TPatient& patient) {
  const auto trial = LungModel::RhinoTrial(patient);
  TBinaryWriter out;
  out.WriteUInt32(static_cast<std::uint32_t>(trial.FlowMlps.size()));
  for (const double flow : trial.FlowMlps)
    out.WriteFloat32(static_cast<float>(flow));
  for (const double pressure : trial.PressurePa)
    out.WriteFloat32(static_cast<float>(pressure));
  return {"RinoDemo.bin", out.Take()};
}

TFile Shutter(const LungModel::TPatient& patient) {
  const auto trial = LungModel::ShutterTrial(patient);
  LungModel::TFlowQuantizer quantizer;
  TBinaryWriter out;
  out.WriteUInt32(static_cast<std::uint32_t>(trial.FlowLps.size()));
  for (const double flow : trial.FlowLps)
    out.WriteInt16(static_cast<std::int16_t>(quantizer.Next(flow) - 3));  // the reader adds 3
  for (std::size_t i = 0; i < trial.MouthPa.size(); ++i)
    out.WriteInt16(trial.Closed[i] ? Counts(trial.MouthPa[i], ShutterMouthPaPerCount) : ShutterOpenMark);
  return {"ShDemo.bin", out.Take()};
}

// A box test played by the test sequence's rules in the model's box: the
// marks as the replay reads them (the shutter closed where the resistance
// loops end, so one index serves both).
TFile Plethysmograph(const LungModel::TPatient& patient) {
  LungModel::TBoxSettings box;
  box.Ivc = true;
  const LungModel::TScriptedBoxTrial trial = LungModel::ScriptedBoxTrial(patient, box);
  TBinaryWriter out;
  for (const float value : {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f})  // BTPS factor, constants, zeros
    out.WriteFloat32(value);
  out.WriteUInt32(static_cast<std::uint32_t>(trial.TgvStart));
  out.WriteUInt32(static_cast<std::uint32_t>(trial.End));
  out.WriteUInt32(static_cast<std::uint32_t>(trial.ResistanceStart));
  out.WriteUInt32(static_cast<std::uint32_t>(trial.FlowLps.size()));
  LungModel::TFlowQuantizer quantizer;
  for (const double flow : trial.FlowLps)
    out.WriteInt16(quantizer.Next(flow));
  for (const double box : trial.BoxPa)
    out.WriteInt16(Counts(box, BoxPaPerCount));
  for (const double mouth : trial.MouthPa)
    out.WriteInt16(Counts(mouth, PlethysmographMouthPaPerCount));
  return {"PlDemo.bin", out.Take()};
}

}  // namespace

std::vector<TFile> Make(const LungModel::TPatient& patient) {
  return {Spirometric("FvcDemo.bin", LungModel::ForcedManoeuvre(patient), false),
          Spirometric("VcDemo.bin", LungModel::SlowVcManoeuvre(patient), false),
          Spirometric("MvvDemo.bin", LungModel::MvvManoeuvre(patient), true),
          Diffusion(patient),
          Plethysmograph(patient),
          Shutter(patient),
          Rhino(patient)};
}

}  // namespace DemoFiles
