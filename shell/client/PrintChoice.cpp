#include "shell/client/PrintChoice.h"

#include "common/MeasureMode.h"

namespace PrintChoice {

namespace {

constexpr short ShutterBit = 4;
constexpr unsigned short Diffusion = 1, Shutter = 2, Plethysmograph = 4;

bool HasShutter(short mode) { return (mode & ShutterBit) != 0; }

}  // namespace

TTestOptions ForMeasurement(const TInstallFlags& install, short kind) {
  if (kind == MEASURE_RHINO)
    return {20137, 0};
  const bool diffusion = install.DiffusionInstalled;
  const bool plethysmograph = install.PlethysmographInstalled;
  const bool hardwareShutter = HasShutter(install.HardwareMode);
  if (diffusion && plethysmograph) {
    const bool shutter =
        HasShutter(install.PlethysmographMode) || hardwareShutter || HasShutter(install.DiffusionMode);
    return shutter ? TTestOptions{20153, Diffusion | Shutter | Plethysmograph}
                   : TTestOptions{20151, Diffusion | Plethysmograph};
  }
  if (plethysmograph)
    return HasShutter(install.PlethysmographMode) || hardwareShutter ? TTestOptions{20152, Shutter | Plethysmograph}
                                                                     : TTestOptions{20150, Plethysmograph};
  if (diffusion)
    return HasShutter(install.DiffusionMode) || hardwareShutter ? TTestOptions{20149, Diffusion | Shutter}
                                                                : TTestOptions{20146, Diffusion};
  return hardwareShutter ? TTestOptions{20148, Shutter} : TTestOptions{20103, 0};
}

TPrintable Printable(const TPrintView& view) {
  if (!view.AnyActive)
    return TPrintable::None;
  // While the provocation is open its filed stages print, from its frame
  // or the note, once the baseline is filed and while no dose is sprayed.
  if (view.ProvocationOpen) {
    const bool ready = (view.ProvocationActive || view.NoteActive) && view.BaselineFiled && !view.NebulizerRunning &&
                       view.MeasurementOpen && !view.MeasurementBusy;
    return ready ? TPrintable::ProvocationStages : TPrintable::None;
  }
  if (view.AudiometerOpen)
    return view.AudiometerPrintable ? TPrintable::Audiogram : TPrintable::None;
  if (view.TrendActive)
    return TPrintable::Trend;
  if (view.MeasurementOpen) {
    // The calibration page needs a stored calibration to show.
    if (view.MeasurementBusy)
      return TPrintable::None;
    if (view.MeasureMode == MEASURE_CALIBRATION)
      return view.Calibrated ? TPrintable::Calibration : TPrintable::None;
    return view.HasResults ? TPrintable::Measurement : TPrintable::None;
  }
  return view.NoteActive ? TPrintable::NoteOnly : TPrintable::None;
}

}  // namespace PrintChoice
