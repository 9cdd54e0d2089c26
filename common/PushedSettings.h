#pragma once

// Settings that the program reads from its settings file and pushes into
// the component windows when they open and after a configuration sheet is
// confirmed. The windows keep them as they are given; the readers in the
// program apply the defaults, scales and bounds.

#include <string>
#include <vector>

// "Diffusion Capacity Parameters": volumes in litres, times in 10-ms ticks.
struct TDiffusionSettings {
  float WashOutVolumeL = 0.0f;
  float DeadSpaceL = 0.33f;
  float Co2ExtractionCorrection = 0.95f;
  float FlowThresholdLps = 0.01f;
  int HeErrorLimit = 95;
  int PreparationTimeTicks = 1500;
  int PreparationNumber = 10;
  int MeasureNumberAfterFirstWarning = 5;
  int BreathHoldTimeTicks = 1000;
  float OriginalHeConcentration = 4.8f;
  float OriginalCoConcentration = 0.3f;
  float GasCollectionVolumeL = 0.8f;
  float HeLsbCorrection = 1.0f;       // 100 / CorrectionOfHeLSB
  float GasSampleCorrection = 1.0f;   // CorrectionOfGasSampleVolume / 100
  int WashOutTimeThreshold = 20;
  int GasSampleTimeThreshold = 20;
  float GasInspirationMinVolumeL = 0.5f;
  int PumpLowSpeedExtraTimeTicks = 1000;
  float MouthPressureFactor = 0.9765625f;
  int VacuumForBag = 1000;
  int ErrorPressure = 1100;
};

// "Plethysmograph Parameters".
struct TPlethysmographSettings {
  float VolumeOfCabinL = 960.0f;
  float CalibrationVolumeL = 0.15f;
  bool EnableAutomaticBTPS = true;
  int NumberOfResistance = 4;
  int NumberOfTGV = 4;
  int EnableFilter = 1;
  int NumberOfFilterCycle = 3;
  int Matthys = 0;
  int ResistanceLoopSelection = 0;
  int DeepExpiration = 1;
  float ResistanceOfSensor = 0.02f;
  int BarometerOffset = 0;
  float VolumeOfSensorL = 0.08f;
  float BTPSCorrectionEffect = 0.45f;
  long BTPSAutoSetStep = 50;
  float InspBTPSFactor = 100.0f / 90.0f;  // 100 / InspBTPSCorrectionEffect
  int EndOfMeasurementWithIVC = 0;
  int NumberOfPart = 3;
  float MinBoxLeakageTimeS = 3.0f;
  float MaxBoxLeakageTimeS = 12.0f;
  // A hand-edited value the test cannot use, brought into range: its key,
  // the text that was read and the value used, for the window to tell.
  struct TReplaced {
    std::string Key;
    std::string Read;
    std::string Used;
    bool operator==(const TReplaced&) const = default;
  };
  std::vector<TReplaced> Replaced;
};

// The calibration section that fits the window's test and instrument.
struct TCalibrationSettings {
  std::string Section = "Calibration";
  float InspFactor = 1.0f;
  float ExpFactor = 1.0f;
  int TimeOut = 6;  // at most MaxTimeOut
  bool CalibrationZoom = true;
  bool HasInspGasFactor = false;  // diffusion only
  float InspGasFactor = 1.0f;
  float CoConstans = 1.0f;
  float HeConstans = 1.0f;
  int WarningCounter = 0;
  bool CalibrationWarning = false;  // WarningCounter reached the diffusion warning limit
  int FleischPressureLoss = 0;
  int BalloonPressureLoss = 0;
  bool HasBoxReference = false;  // plethysmograph only
  float PBOXref = 15.0f;
  float PBOX = 15.0f;
  float TIMEconst = 4.0f;
  // The keys of the conversion constants whose stored value is no finite
  // number (a hand-edited "nan" or "inf"): they keep their defaults, and
  // the window says so.
  std::vector<std::string> NotFinite;

  static constexpr int MaxTimeOut = 168;
};

// The spirometer's keys of [Hardware], taken by every instrument.
struct TSpirometerSettings {
  short PumpVolumeL = 3;
  bool BackExtrapolation = false;
  bool ShowLostVolume = false;
  short CalibrationCycles = 10;  // 6, 8 or 10; 0 leaves the window's count
};

// Everything the measurement window takes besides its link.
struct TMeasureSettings {
  bool HardwareCheckMessages = true;
  TSpirometerSettings Spirometer;
  TDiffusionSettings Diffusion;
  TPlethysmographSettings Plethysmograph;
  short FilterCyclesSpiro1 = 0;
  short FilterCyclesSpiro2 = 3;
  TCalibrationSettings Calibration;
  bool BtpsDevice = false;  // a separate BTPS device is live
};

// "Nebulizer" as the provocation window takes it.
struct TNebulizerSettings {
  float HeadPurple = 0.12f;
  float HeadGreen = 0.3f;
  short MouthPressure = 200;
  short UnitOfDose = 0;
};

// The audiometer's link from [Audio].
struct TAudioLinkSettings {
  short BaudRate = 3;
  long InputBuffer = 32767;
  long OutputBuffer = 128;
  short Port = 1;
  bool Live = false;
  long WaitAnswer = 30;
  std::string USBDescription;  // at most 63 characters
};

// How the windows show dates and times.
struct TDisplayFormats {
  std::string DateFormat = "YYYY.MM.DD.";
  char DateSeparator = '.';
  std::string TimeFormat = "HH:MM:SS";
};
