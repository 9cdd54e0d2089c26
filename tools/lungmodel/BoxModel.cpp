#include "tools/lungmodel/BoxModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace LungModel {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double BodyK = 310.15;
constexpr double ManoeuvreS = 3.0;  // out to RV, in to TLC, back to FRC
constexpr double HoldS = 0.5;

}  // namespace

double SaturatedVapourPa(double celsius) { return 610.94 * std::exp(17.625 * celsius / (celsius + 243.04)); }

double ArtefactPa(const TBoxAir& air) {
  const double pb = air.PressureHpa * 100.0;
  const double ambientWater = air.HumidityPercent / 100.0 * SaturatedVapourPa(air.TemperatureC);
  const double expansion =
      BodyK / (air.TemperatureC + 273.15) * (pb - ambientWater) / (pb - SaturatedVapourPa(37.0));
  return pb * (expansion - 1.0);
}

TBoxModel::TBoxModel(const TPatient& patient, const TBoxSettings& settings)
    : Patient(patient), Settings(settings), Vc(settings.CorrectedCabinL()), PbPa(settings.Air.PressureHpa * 100.0),
      DryPa(PbPa - SaturatedVapourPa(37.0)), Artefact(ArtefactPa(settings.Air)), Frc(patient.TgvL), Volume(Frc),
      BreathStartVolume(Frc) {}

double TBoxModel::BoxOfAlveolarPressure(double alveolarPa, double gasL) const {
  // Boyle's law on the dry gas: (Pdry) V = (Pdry + Palv)(V + dV).
  const double expansionL = -alveolarPa * gasL / (DryPa + alveolarPa);
  return PbPa * expansionL / Vc;
}

void TBoxModel::Enter(TPhase phase, double targetL, double seconds) {
  Phase = phase;
  From = Volume;
  To = targetL;
  PhaseS = 0.0;
  Tau = seconds;
}

TBoxModel::TSignals TBoxModel::Next(bool shutterClosed) {
  ++Samples;
  if (shutterClosed && Phase != TPhase::Panting) {
    Phase = TPhase::Panting;
    PantingVolume = Volume;
    PhaseS = 0.0;
  } else if (!shutterClosed && Phase == TPhase::Panting) {
    Enter(TPhase::ToRv, Patient.RvL, ManoeuvreS);
  }

  TSignals s;
  const double before = Volume;
  double drivingFlow = 0.0;  // the flow of this instant, L/s
  if (Phase == TPhase::Breathing) {
    PhaseS += SampleSeconds;
    if (PhaseS >= Settings.BreathS - 1e-9) {
      PhaseS -= Settings.BreathS;
      BreathStartVolume = Frc;
    }
    const double phase = 2.0 * Pi * PhaseS / Settings.BreathS;
    Volume = Frc + Settings.TidalL * 0.5 * (1.0 - std::cos(phase));
    drivingFlow = Pi * Settings.TidalL / Settings.BreathS * std::sin(phase);
  } else if (Phase == TPhase::Panting) {
    PhaseS += SampleSeconds;
    s.MouthPa = Settings.PantingKPa * 1000.0 * std::sin(2.0 * Pi * Settings.PantingHz * PhaseS);
    s.BoxPa = BoxOfAlveolarPressure(s.MouthPa, ThoracicGasL());
  } else {
    PhaseS += SampleSeconds;
    const bool moving = Phase == TPhase::ToRv || Phase == TPhase::ToTlc || Phase == TPhase::ToFrc;
    const double duration = moving ? Tau : HoldS;
    const double done = std::min(PhaseS / duration, 1.0);
    if (moving) {
      Volume = From + (To - From) * 0.5 * (1.0 - std::cos(Pi * done));
      drivingFlow = (To - From) * Pi / (2.0 * duration) * std::sin(Pi * done);
    }
    if (done >= 1.0) {
      switch (Phase) {
      case TPhase::ToRv: Enter(TPhase::AtRv, Volume, HoldS); break;
      case TPhase::AtRv:
        if (Settings.Ivc)
          Enter(TPhase::ToTlc, Patient.RvL + Patient.FivcL, ManoeuvreS);
        else
          Enter(TPhase::ToFrc, Frc, ManoeuvreS);
        break;
      case TPhase::ToTlc: Enter(TPhase::AtTlc, Volume, HoldS); break;
      case TPhase::AtTlc: Enter(TPhase::ToFrc, Frc, ManoeuvreS); break;
      default:
        Phase = TPhase::Breathing;
        Volume = Frc;
        PhaseS = 0.0;
        BreathStartVolume = Frc;
        break;
      }
    }
  }
  s.FlowLps = (Volume - before) / SampleSeconds;
  if (Phase != TPhase::Panting) {
    const double k1 = Patient.RawKpaSpL;
    const double alveolarPa = -(k1 * drivingFlow + Settings.RohrerK2 * drivingFlow * std::fabs(drivingFlow)) * 1000.0;
    s.BoxPa = BoxOfAlveolarPressure(alveolarPa, Volume);
    if (Phase == TPhase::Breathing)
      s.BoxPa += Settings.ArtefactShare * Artefact * (Volume - BreathStartVolume) / Vc;
  }
  s.BoxPa += Settings.DriftPaPerS * static_cast<double>(Samples) * SampleSeconds;
  return s;
}

TScriptedBoxTrial ScriptedBoxTrial(const TPatient& patient, const TBoxSettings& settings) {
  TBoxModel model(patient, settings);
  TScriptedBoxTrial t;
  int inspirations = 0;
  int crossings = 0;
  int nextEvent = 0;
  bool closed = false;
  // After the shutter opens: out to RV, hold, in to TLC and hold when
  // asked, back to FRC, and a second of quiet breathing.
  const double afterS = ManoeuvreS + HoldS + (settings.Ivc ? ManoeuvreS + HoldS : 0.0) + ManoeuvreS + 1.0;
  const int after = static_cast<int>(std::lround(afterS / SampleSeconds));
  for (int i = 0; i < 6000; ++i) {
    const TBoxModel::TSignals s = model.Next(closed);
    t.FlowLps.push_back(s.FlowLps);
    t.BoxPa.push_back(s.BoxPa);
    t.MouthPa.push_back(s.MouthPa);
    if (i == 0)
      continue;
    const bool inspirationStart = t.FlowLps[i - 1] <= 0.0 && s.FlowLps > 0.0 && i > nextEvent;
    if (t.TgvStart == 0 && inspirationStart) {
      nextEvent = i + 10;
      ++inspirations;
      if (inspirations == 3)
        t.ResistanceStart = i - 1;
      if (inspirations == 3 + 4) {  // four loops recorded: the shutter closes
        t.TgvStart = i + 1;
        closed = true;
        t.ThoracicGasL = model.LungVolumeL() + settings.SensorDeadSpaceL;
      }
    } else if (closed && i > t.TgvStart && t.MouthPa[i - 1] > 0.0 && s.MouthPa <= 0.0 && i > nextEvent) {
      nextEvent = i + 10;
      if (++crossings == 5) {
        t.End = i;
        closed = false;
      }
    }
    if (t.End != 0 && i >= t.End + after)
      break;
  }
  return t;
}

}  // namespace LungModel
