#include "measure/results/BtpsData.h"

#include "common/MeasureMode.h"
#include "platform/basekit/Message.h"
#include "platform/framework/ProfileBatch.h"

#include <cmath>
#include <string>

namespace {

constexpr std::string_view Section = "BTPS";
constexpr std::size_t IniPathLimit = 253;

// "%d" of a value into a field; false when its text does not fit.
template <std::size_t Size>
bool SetWhole(std::array<char, Size>& field, long value) {
  return SetFieldText(field, std::to_string(value));
}

// The field's value after a conversion, truncated toward zero as the panel stores it.
long Truncated(float value) { return static_cast<long>(std::trunc(value)); }

}  // namespace

TBTPS_DATA::TBTPS_DATA(TMessage* messages, std::string_view iniPath, short unit)
    : Unit(unit), IniPath(iniPath.substr(0, IniPathLimit)), Messages(messages) {}

void TBTPS_DATA::ReadBTPSConstans(short btps, short temperature, short humidity, short pressure) {
  const TProfileBatch profile(Section, IniPath);
  Record.Btps = profile.GetInt("BTPS", btps);
  if (!SetWhole(Record.Temperature, profile.GetInt("TEMPERATURE", temperature)))
    SetWhole(Record.Temperature, temperature);
  if (!SetWhole(Record.Humidity, profile.GetInt("HUMIDITY", humidity)))
    SetWhole(Record.Humidity, humidity);
  if (!SetWhole(Record.Pressure, profile.GetInt("PRESSURE", pressure)))
    SetWhole(Record.Pressure, pressure);
}

bool TBTPS_DATA::WriteBTPSConstans() const {
  TProfileBatch profile(Section, IniPath);
  profile.WriteInt("BTPS", Record.Btps);
  profile.WriteInt("TEMPERATURE", TextToInt(FieldText(Record.Temperature)));
  profile.WriteInt("HUMIDITY", TextToInt(FieldText(Record.Humidity)));
  profile.WriteInt("PRESSURE", TextToInt(FieldText(Record.Pressure)));
  return profile.Commit();
}

void TBTPS_DATA::SetTemperature(short temperature) { SetWhole(Record.Temperature, temperature); }
void TBTPS_DATA::SetHumidity(short humidity) { SetWhole(Record.Humidity, humidity); }
void TBTPS_DATA::SetPressure(short pressure) { SetWhole(Record.Pressure, pressure); }

float TBTPS_DATA::GetTemperature() const {
  const float value = TextToFloat(FieldText(Record.Temperature));
  return Unit ? TemperatureConvert(value, 0) : value;
}

float TBTPS_DATA::GetPressure() const {
  const float value = TextToFloat(FieldText(Record.Pressure));
  return Unit ? PressureConvert(value, 0) : value;
}

bool TBTPS_DATA::InLimits(float value, const TLimits (&limits)[2], short unit, int metricText,
                          int imperialText) const {
  if (!Check)
    return true;
  const TLimits& row = limits[unit ? 1 : 0];
  if (value >= row.Low && value <= row.High)
    return true;
  if (Messages)
    Messages->MessageBox(unit ? imperialText : metricText, MessageCaption, TMessageIcon::Stop);
  return false;
}

bool TBTPS_DATA::CheckTemperature(float temperature, short unit) const {
  return InLimits(temperature, TemperatureLimits, unit, TemperatureMetricText, TemperatureImperialText);
}

bool TBTPS_DATA::CheckHumidity(float humidity, short unit) const {
  return InLimits(humidity, HumidityLimits, unit, HumidityText, HumidityText);
}

bool TBTPS_DATA::CheckPressure(float pressure, short unit) const {
  return InLimits(pressure, PressureLimits, unit, PressureMetricText, PressureImperialText);
}

bool TBTPS_DATA::CheckBTPSData(float temperature, float humidity, float pressure) const {
  return CheckTemperature(temperature, Unit) && CheckHumidity(humidity, Unit) && CheckPressure(pressure, Unit);
}

bool TBTPS_DATA::CalculatedBTPS(float& factor, short measureMode) const {
  if (Record.Btps == 0 && measureMode != MEASURE_DFC && measureMode != MEASURE_PLETHY) {
    factor = 1.0f;
    return true;
  }
  float temperature = TextToFloat(FieldText(Record.Temperature));
  const float humidity = TextToFloat(FieldText(Record.Humidity));
  float pressure = TextToFloat(FieldText(Record.Pressure));
  if (!CheckBTPSData(temperature, humidity, pressure))
    return false;
  if (Unit) {
    temperature = TemperatureConvert(temperature, 0);
    pressure = PressureConvert(pressure, 0);
  }
  // The differences are taken in single precision, the products and the
  // sum in double, the result kept as float: stored factors depend on it.
  factor = static_cast<float>(0.8973 + 0.00391 * (temperature - 20.0f) + 0.000197 * (humidity - 70.0f) -
                              0.0000405 * (pressure - 1050.0f));
  return true;
}

void TBTPS_DATA::ConvertBTPSData(short unit) {
  const float temperature = TextToFloat(FieldText(Record.Temperature));
  const float pressure = TextToFloat(FieldText(Record.Pressure));
  SetWhole(Record.Temperature, Truncated(TemperatureConvert(temperature, unit)));
  SetWhole(Record.Pressure, Truncated(PressureConvert(pressure, unit)));
}

void TBTPS_DATA::UpdateBTPSData(short btps, short temperature, short humidity, short pressure) {
  Record.Btps = btps;
  if (Unit) {
    SetWhole(Record.Temperature, Truncated(TemperatureConvert(temperature, Unit)));
    SetWhole(Record.Pressure, Truncated(PressureConvert(pressure, Unit)));
  } else {
    SetWhole(Record.Temperature, temperature);
    SetWhole(Record.Pressure, pressure);
  }
  SetWhole(Record.Humidity, humidity);
}
