#pragma once

// TBTPS: the BTPS panel of the measurement window. It places the switch and
// the three value fields on the window, keeps them equal to the record of
// TBTPS_DATA in both directions, and draws the panel's labels. Every rule
// on the values lives in TBTPS_DATA; the members here take the fields into
// the record before they act and put the record back after a change.

#include "measure/results/BtpsData.h"

#include <QColor>
#include <QPointer>

#include <algorithm>

class QCheckBox;
class QPainter;
class QWidget;
class TBtpsEdit;

class TBTPS : public TBTPS_DATA {
public:
  static constexpr int SwitchId = 5053;
  static constexpr int TemperatureId = 5052;
  static constexpr int HumidityId = 5051;
  static constexpr int PressureId = 5050;

  // The controls go on `parent` at the reference positions times the scales.
  TBTPS(float xScale, float yScale, QWidget* parent, TMessage* messages, std::string_view iniPath, short unit);
  ~TBTPS();
  TBTPS(const TBTPS&) = delete;
  TBTPS& operator=(const TBTPS&) = delete;

  // "BTPS:", the temperature unit, "%" and the pressure unit beside the fields.
  void PutBTPSText(QPainter& painter, short unit) const;

  bool CalculatedBTPS(float& factor, short measureMode);
  bool WriteBTPSConstans();
  void ConvertBTPSData(short unit);
  // Shows the record in the fields, after someone changed it.
  void SetBTPSData();
  void UpdateBTPSData(short btps, short temperature, short humidity, short pressure);
  // The switch always stays disabled; the fields and the range checks follow `enable`.
  void EnableBTPSWindow(bool enable);

  QCheckBox* GetSwitch() const { return Switch; }
  TBtpsEdit* GetTemperatureField() const { return Temperature; }
  TBtpsEdit* GetHumidityField() const { return Humidity; }
  TBtpsEdit* GetPressureField() const { return Pressure; }

  // The language text numbers of the units (metric, imperial).
  static constexpr int TemperatureUnitText[2] = {16, 17};
  static constexpr int PressureUnitText[2] = {18, 19};

private:
  void TransferFromControls();
  void TransferToControls();

  float XScale;
  float YScale;
  // The texts' size follows the smaller factor: the fields and the gaps
  // between them grow with the width, so a window narrower than it is high
  // would cut its numbers ("1070" shown as "070").
  float FontScale() const { return std::min(XScale, YScale); }
  QColor TextColor{0, 0, 128};
  QColor BackColor;
  QPointer<QCheckBox> Switch;
  QPointer<TBtpsEdit> Temperature;
  QPointer<TBtpsEdit> Humidity;
  QPointer<TBtpsEdit> Pressure;
  bool Transferring = false;
};
