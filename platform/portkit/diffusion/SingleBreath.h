#pragma once

// The single-breath transfer factor for carbon monoxide from the inspired
// volume, the breath-hold time and the analysed alveolar sample, with helium
// as the tracer gas (docs/diffusion.md).

#include <cstdint>

namespace diffusion {

// Body temperature and saturated water vapour: the gas volumes of a
// breath arrive here at BTPS.
inline constexpr double WaterVapourMmHg = 47.0;
inline constexpr double BodyTemperatureK = 310.15;
inline constexpr double StandardTemperatureK = 273.15;
inline constexpr double StandardPressureMmHg = 760.0;
inline constexpr double MmHgPerHpa = 0.750061683;
// mL/min/mmHg in one mmol/min/kPa.
inline constexpr double DlcoPerTlco = 2.987;

// Why a breath gives no result. Every refusal leaves the record zero.
enum class Refusal : std::uint8_t {
  None,
  NoManoeuvre,       // the turn, the breath hold or the sample is missing on the curve
  BadSetting,        // a calibration-gas concentration, gas constant or correction is 0 or less
  BadPressure,       // the barometric pressure is not above the water-vapour pressure
  TooLittleInspired, // the inspired volume does not exceed the dead space
  NoGasReading,      // a gas reading is 0 or less
  NoCoUptake,        // the alveolar CO is not below its initial concentration
  NoBreathHold,      // the breath-hold time is 0 or less
};

// The analyser's readings of the alveolar sample, per cent.
struct GasReadings {
  double heliumPercent = 0.0;
  double coPercent = 0.0;
};

// What turns readings into alveolar fractions: the gas constants of the
// diffusion calibration (measured over true concentration), the correction
// for the CO2 the analyser's absorber takes out of the sample, and the
// concentrations of the inspired test gas, per cent.
struct GasCalibration {
  double heConstant = 1.0;
  double coConstant = 1.0;
  double co2ExtractionCorrection = 0.95;
  double inspiredHePercent = 4.8;
  double inspiredCoPercent = 0.3;
};

struct SingleBreathInput {
  double inspiredL = 0.0;   // VI, BTPS
  double deadSpaceL = 0.0;  // VD, instrument and anatomic
  double breathHoldS = 0.0;
  double pressureHpa = 1013.25;
  GasReadings readings;
  GasCalibration calibration;
};

struct SingleBreathResult {
  double alveolarHePercent = 0.0;   // FA,He
  double alveolarCoPercent = 0.0;   // FA,CO
  double initialCoPercent = 0.0;    // FACO,0
  double alveolarVolumeL = 0.0;     // VA, BTPS
  double dlcoMlMinMmHg = 0.0;
  double tlcoMmolMinKPa = 0.0;
  double kcoMmolMinKPaL = 0.0;      // Tlco / VA
};

// A reading as an alveolar concentration: reading / constant × correction.
double AlveolarPercent(double readingPercent, double constant, double co2ExtractionCorrection);

// VA = (VI - VD) × FI,He / FA,He.
double AlveolarVolumeL(double inspiredL, double deadSpaceL, double inspiredHePercent, double alveolarHePercent);

// FACO,0 = FI,CO × FA,He / FI,He: the CO the alveoli held before uptake.
double InitialCoPercent(double inspiredCoPercent, double inspiredHePercent, double alveolarHePercent);

// DLCO = VA,STPD × 60000 / (BHT × (PB - 47)) × ln(FACO,0 / FA,CO) in
// mL/min/mmHg, VA in litres at BTPS.
double DlcoMlMinMmHg(double alveolarVolumeL, double breathHoldS, double pressureMmHg, double initialCoPercent,
                     double alveolarCoPercent);

// The whole calculation; `result` is left at zero on a refusal.
Refusal CalculateSingleBreath(const SingleBreathInput& input, SingleBreathResult& result);

}  // namespace diffusion
