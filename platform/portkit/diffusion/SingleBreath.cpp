#include "platform/portkit/diffusion/SingleBreath.h"

#include <cmath>

namespace diffusion {

double AlveolarPercent(double readingPercent, double constant, double co2ExtractionCorrection) {
  return readingPercent / constant * co2ExtractionCorrection;
}

double AlveolarVolumeL(double inspiredL, double deadSpaceL, double inspiredHePercent, double alveolarHePercent) {
  return (inspiredL - deadSpaceL) * inspiredHePercent / alveolarHePercent;
}

double InitialCoPercent(double inspiredCoPercent, double inspiredHePercent, double alveolarHePercent) {
  return inspiredCoPercent * alveolarHePercent / inspiredHePercent;
}

double DlcoMlMinMmHg(double alveolarVolumeL, double breathHoldS, double pressureMmHg, double initialCoPercent,
                     double alveolarCoPercent) {
  const double dryPressure = pressureMmHg - WaterVapourMmHg;
  const double stpdL = alveolarVolumeL * dryPressure / StandardPressureMmHg * StandardTemperatureK / BodyTemperatureK;
  // 1000 mL a litre, 60 s a minute.
  return stpdL * 60000.0 / (breathHoldS * dryPressure) * std::log(initialCoPercent / alveolarCoPercent);
}

Refusal CalculateSingleBreath(const SingleBreathInput& in, SingleBreathResult& result) {
  result = {};
  const GasCalibration& cal = in.calibration;
  if (!(cal.heConstant > 0.0 && cal.coConstant > 0.0 && cal.co2ExtractionCorrection > 0.0 &&
        cal.inspiredHePercent > 0.0 && cal.inspiredCoPercent > 0.0)) {
    return Refusal::BadSetting;
  }
  const double pressureMmHg = in.pressureHpa * MmHgPerHpa;
  if (!(pressureMmHg > WaterVapourMmHg)) {
    return Refusal::BadPressure;
  }
  if (!(in.inspiredL > in.deadSpaceL)) {
    return Refusal::TooLittleInspired;
  }
  if (!(in.readings.heliumPercent > 0.0 && in.readings.coPercent > 0.0)) {
    return Refusal::NoGasReading;
  }
  SingleBreathResult r;
  r.alveolarHePercent = AlveolarPercent(in.readings.heliumPercent, cal.heConstant, cal.co2ExtractionCorrection);
  r.alveolarCoPercent = AlveolarPercent(in.readings.coPercent, cal.coConstant, cal.co2ExtractionCorrection);
  r.initialCoPercent = InitialCoPercent(cal.inspiredCoPercent, cal.inspiredHePercent, r.alveolarHePercent);
  if (!(r.initialCoPercent > r.alveolarCoPercent)) {
    return Refusal::NoCoUptake;
  }
  if (!(in.breathHoldS > 0.0)) {
    return Refusal::NoBreathHold;
  }
  r.alveolarVolumeL = AlveolarVolumeL(in.inspiredL, in.deadSpaceL, cal.inspiredHePercent, r.alveolarHePercent);
  r.dlcoMlMinMmHg =
      DlcoMlMinMmHg(r.alveolarVolumeL, in.breathHoldS, pressureMmHg, r.initialCoPercent, r.alveolarCoPercent);
  r.tlcoMmolMinKPa = r.dlcoMlMinMmHg / DlcoPerTlco;
  r.kcoMmolMinKPaL = r.tlcoMmolMinKPa / r.alveolarVolumeL;
  result = r;
  return Refusal::None;
}

}  // namespace diffusion
