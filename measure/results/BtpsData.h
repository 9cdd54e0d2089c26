#pragma once

// TBTPS_DATA: the ambient conditions of the measurement window (BTPS
// switch, temperature, relative humidity, barometric pressure) and every
// rule on them: the ini section "BTPS", the range checks, the conversion
// between the metric and the imperial display units, and the factor that
// corrects measured volumes to body conditions. The panel TBTPS shows the
// same record in its controls.

#include "measure/results/BtpsRecord.h"
#include "platform/basekit/Convert.h"

#include <string>
#include <string_view>

class TMessage;

class TBTPS_DATA : public TConvert {
public:
  // Language texts of the range messages and the units of the panel.
  static constexpr int TemperatureMetricText = 11;
  static constexpr int TemperatureImperialText = 12;
  static constexpr int HumidityText = 13;
  static constexpr int PressureMetricText = 14;
  static constexpr int PressureImperialText = 15;
  static constexpr int MessageCaption = 0;

  // Inclusive limits by unit (0 metric: degrees Celsius, hPa; 1 imperial:
  // degrees Fahrenheit, psi).
  struct TLimits {
    float Low;
    float High;
  };
  static constexpr TLimits TemperatureLimits[2] = {{15.0f, 40.0f}, {59.0f, 104.0f}};
  static constexpr TLimits HumidityLimits[2] = {{30.0f, 100.0f}, {30.0f, 100.0f}};
  static constexpr TLimits PressureLimits[2] = {{800.0f, 1200.0f}, {12.0f, 17.0f}};

  // `messages` may be null: range failures are then not shown.
  TBTPS_DATA(TMessage* messages, std::string_view iniPath, short unit);

  // Reads the section "BTPS"; the arguments are the defaults (metric
  // values only where the caller gives them). A value that is no number,
  // or whose text does not fit its field, takes the default.
  void ReadBTPSConstans(short btps, short temperature, short humidity, short pressure);
  // Writes the switch and the whole numbers of the three texts.
  bool WriteBTPSConstans() const;

  void SetBTPS(short btps) { Record.Btps = btps; }
  void SetTemperature(short temperature);
  void SetHumidity(short humidity);
  void SetPressure(short pressure);
  void SetUnit(short unit) { Unit = unit; }
  // Off: every range check passes, so stored values are used as they are.
  void EnableCheck(bool check) { Check = check; }

  // The values in metric units (degrees Celsius, hPa) whatever the display unit.
  float GetTemperature() const;
  float GetPressure() const;

  // Stops at the first value outside the limits of the display unit, with its message.
  bool CheckBTPSData(float temperature, float humidity, float pressure) const;
  bool CheckTemperature(float temperature, short unit) const;
  bool CheckHumidity(float humidity, short unit) const;
  bool CheckPressure(float pressure, short unit) const;

  // The BTPS factor for a test of `measureMode`: 1.0 while the switch is
  // off (diffusion and plethysmography always compute it); false, leaving
  // `factor` as it was, when a value is out of range.
  bool CalculatedBTPS(float& factor, short measureMode) const;

  // Converts the temperature and the pressure of the record with TConvert
  // (direction `unit`), each truncated toward zero; the humidity stays.
  void ConvertBTPSData(short unit);
  // Takes values in metric units, converts them to the display unit and
  // stores them with the switch.
  void UpdateBTPSData(short btps, short temperature, short humidity, short pressure);

  BTPS_RECORD& GetRecord() { return Record; }
  const BTPS_RECORD& GetRecord() const { return Record; }
  short GetUnit() const { return Unit; }
  bool GetCheck() const { return Check; }
  const std::string& GetIniPath() const { return IniPath; }

protected:
  BTPS_RECORD Record;
  short Unit = 0;
  std::string IniPath;
  TMessage* Messages = nullptr;
  bool Check = true;

private:
  bool InLimits(float value, const TLimits (&limits)[2], short unit, int metricText, int imperialText) const;
};
