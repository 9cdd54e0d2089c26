#pragma once

// A patient in the body box, sampled 100 times a second. The patient
// breathes quietly through an airway of known resistance (linear, with an
// optional Rohrer term); the alveolar pressure that drives the flow
// compresses the thoracic gas isothermally, its dry share at PB - PH2O
// (Boyle's law), and the box pressure follows the volume the chest takes
// from the box, PB × dV / Vc, plus a chosen share of the warming and
// wetting of the inspired air (the BTPS artefact) and a drift. With the
// shutter closed the patient pants: no flow, the mouth reads the alveolar
// pressure. When it opens again the patient breathes out to RV, in to TLC
// when asked, and back to quiet breathing.

#include "tools/lungmodel/LungModel.h"

namespace LungModel {

// Saturated water-vapour pressure, Pa, by the Magnus formula with the
// coefficients of Alduchov and Eskridge (1996).
double SaturatedVapourPa(double celsius);

struct TBoxAir {
  double PressureHpa = 1013.25;
  double TemperatureC = 25.0;
  double HumidityPercent = 50.0;
};

struct TBoxSettings {
  double CabinL = 960.0;         // "VolumeOfCabin"
  double WeightKg = 75.0;        // the patient, 1.07 kg a litre
  double SensorDeadSpaceL = 0.08;  // gas between the mouth and the shutter, compressed with the chest
  double ArtefactShare = 0.4;    // of the inspired air's expansion to BTPS that the box shows
  double RohrerK2 = 0.0;         // kPa·s²/L², on top of the patient's Raw
  double DriftPaPerS = 0.0;
  double BreathS = 2.0;          // quiet breathing in the box
  double TidalL = 0.6;
  double PantingKPa = 1.0;       // mouth-pressure amplitude against the shutter
  double PantingHz = 1.0;
  bool Ivc = false;              // breathes in to TLC after RV
  TBoxAir Air;
  // The calibration pumps of the empty box.
  double CalibrationVolumeL = 0.15;  // "CalibrationVolume"
  double BoxFactor = 1.0;            // the box's swing over the one Boyle's law gives
  double PumpHz = 1.0;
  double LeakTauS = 5.0;
  double LeakStepPa = 20.0;          // the pressure the leak test's pump puts into the box

  // The box less the patient.
  double CorrectedCabinL() const { return CabinL - WeightKg / 1.07; }
};

// The expansion of inspired box air to BTPS as a pressure: PB × (V_BTPS /
// V_ambient - 1), Pa; the box shows ArtefactShare of it per litre
// inspired, over Vc.
double ArtefactPa(const TBoxAir& air);

class TBoxModel {
public:
  struct TSignals {
    double FlowLps = 0.0;  // mean flow over the sample, inspiration positive
    double BoxPa = 0.0;
    double MouthPa = 0.0;
  };

  TBoxModel(const TPatient& patient, const TBoxSettings& settings);

  // One sample with the shutter as it is now.
  TSignals Next(bool shutterClosed);
  // The lung volume at the sample just given, L.
  double LungVolumeL() const { return Volume; }
  // The gas the box compresses with the shutter closed: lung and dead space.
  double ThoracicGasL() const { return PantingVolume + Settings.SensorDeadSpaceL; }
  bool Panting() const { return Phase == TPhase::Panting; }

private:
  enum class TPhase { Breathing, Panting, ToRv, AtRv, ToTlc, AtTlc, ToFrc };

  double BoxOfAlveolarPressure(double alveolarPa, double gasL) const;
  void Enter(TPhase phase, double targetL, double seconds);

  TPatient Patient;
  TBoxSettings Settings;
  double Vc = 0.0;
  double PbPa = 0.0;
  double DryPa = 0.0;
  double Artefact = 0.0;
  TPhase Phase = TPhase::Breathing;
  double Frc = 0.0;
  double Volume = 0.0;
  double BreathStartVolume = 0.0;  // the end-expiratory level the breath started from
  double Tau = 0.0;                // time into the breath or phase, s
  double PhaseS = 0.0;
  double From = 0.0, To = 0.0;     // volumes of a manoeuvre phase
  double PantingVolume = 0.0;
  long Samples = 0;
};

// A box test played by the rules of the test sequence, for the
// demonstration file: four resistance loops from an inspiration start,
// the shutter closed at one (resistanceEnd = tgvStart), five panting
// crossings, the shutter opened, out to RV and in to TLC. Marks are sample
// indexes.
struct TScriptedBoxTrial {
  std::vector<double> FlowLps, BoxPa, MouthPa;
  int ResistanceStart = 0;
  int TgvStart = 0;
  int End = 0;
  double ThoracicGasL = 0.0;
};
TScriptedBoxTrial ScriptedBoxTrial(const TPatient& patient, const TBoxSettings& settings);

}  // namespace LungModel
