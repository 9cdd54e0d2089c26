// What the program asks of the measurement window (TMeasureWindow) and the
// few hooks of the run that reach the screen.

#include "measure/core/MeasureCore.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"

#include <cmath>

void TMeasureCore::SetMeasurementOfParameters() {
  ReadParameterSettings();
  if (BtpsDevice && BtpsMeasuring && !BtpsTimerActive)
    CreateBTPSTimer();
}

void TMeasureCore::ChangeButtonColor() {
  if (Client && Client->SendToClient(WM_CHANGE_BUTTON_COLOR, 0, 0) == 0)
    Client->SendToClient(WM_CHANGE_BUTTON_COLOR, 0, 0);
}

void TMeasureCore::ApplySettings(const TMeasureSettings& settings) {
  Settings = settings;
  FilterPasses = {settings.FilterCyclesSpiro1, settings.FilterCyclesSpiro2};
  BackExtrapolationRule = settings.Spirometer.BackExtrapolation ? 1 : 0;
  SyringeVolume = settings.Spirometer.PumpVolumeL;
  if (settings.Spirometer.CalibrationCycles != 0)
    CalStrokes = settings.Spirometer.CalibrationCycles;
  BtpsDevice = settings.BtpsDevice;
  InspFactor = settings.Calibration.InspFactor;
  ExpFactor = settings.Calibration.ExpFactor;
  // A constant the settings hold as no number has its default now; the
  // user learns which, so the instrument is calibrated before it is trusted.
  constexpr int ConstantNotFiniteText = 9262;
  if (Messages)
    for (const std::string& key : settings.Calibration.NotFinite)
      Messages->MessageBoxText(Messages->Format(ConstantNotFiniteText, {key, settings.Calibration.Section}), 0,
                               TMessageIcon::Stop);
  // So is a body-box setting brought into the range the test can use.
  constexpr int SettingReplacedText = 9474;
  if (Messages)
    for (const TPlethysmographSettings::TReplaced& r : settings.Plethysmograph.Replaced)
      Messages->MessageBoxText(Messages->Format(SettingReplacedText, {r.Key, r.Read, r.Used}), 0,
                               TMessageIcon::Stop);
  if (settings.Calibration.HasInspGasFactor)
    InspGasFactor = settings.Calibration.InspGasFactor;
  ApplyDiffusionSettings(settings.Diffusion);
  // The box's constants of its last calibration.
  if (settings.Calibration.HasBoxReference) {
    BoxReferencePressure = settings.Calibration.PBOXref;
    BoxConstant = settings.Calibration.PBOX;
    TimeConstant = settings.Calibration.TIMEconst;
  }
}

void TMeasureCore::SetDisplayFormats(const TDisplayFormats& formats) {
  SetDateFormatStr(formats.DateFormat);
  SetTimeFormatStr(formats.TimeFormat);
}

void TMeasureCore::WriteLargeParam() {
  const std::size_t t = static_cast<std::size_t>(TrialIndex);
  const short mode = MeasureMode;
  if (mode < 0 || mode > MEASURE_CALIBRATION || t >= 4)
    return;
  const short count = SampleCount[static_cast<std::size_t>(mode)][t];
  if (count <= 0)
    return;
  const std::size_t i = static_cast<std::size_t>(count - 1);
  const TCurve& volume = mode == MEASURE_CALIBRATION ? CalVolume : Volume[t];
  if (i < volume.size())
    View->WriteLargeParam(std::fabs(volume[i]));
}

