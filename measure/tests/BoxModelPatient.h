#pragma once

// The simulated body box and its model patient as the box's run and window
// tests play them: the sensors on the wide scale, no noise, an IVC after
// RV; the window told that the model's flow is at BTPS already and that no
// sensor's resistance stands before the airway.

#include "common/PushedSettings.h"
#include "tools/lungsim/SimulatedInstrument.h"

inline TSimulatorOptions BoxModelOptions(double temperatureC) {
  TSimulatorOptions options;
  options.Kind = "plethysmograph";
  options.Manoeuvre = "plethysmograph";
  options.HardwareVersion = 0x11;
  options.NoiseCounts = 0;
  options.Sensors.TemperatureC = temperatureC;
  options.Sensors.PressureHpa = 1013.0;
  options.Sensors.HumidityPercent = 50.0;
  options.Box.Box.Ivc = true;
  return options;
}

inline TMeasureSettings BoxModelSettings() {
  TMeasureSettings settings;
  settings.Plethysmograph.InspBTPSFactor = 1.0f;
  settings.Plethysmograph.ResistanceOfSensor = 0.0f;
  return settings;
}
