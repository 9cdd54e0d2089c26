// The end of a calibration: the syringe strokes tested over the turning
// points of the calibration curve, the diffusion unit's pressure lines and
// gas analysis, and only when every check passes the constants stored and
// written to the calibration section. The arithmetic is measure/calibration.

#include "measure/core/MeasureCore.h"

#include "measure/calibration/DiffCalibration.h"
#include "measure/calibration/GasAnalysis.h"
#include "measure/calibration/PressureLines.h"
#include "measure/calibration/Syringe.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/Protocol.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using InstrumentProtocol::FamilyDiffusion;
using InstrumentProtocol::FamilyMask;
constexpr unsigned short HighResolutionBit = 0x10;

std::vector<float> TurningVolumes(const spirometry::Extremes& extremes) {
  std::vector<float> volumes;
  volumes.reserve(extremes.points.size());
  for (const spirometry::TurningPoint& point : extremes.points) {
    volumes.push_back(point.volumeL);
  }
  return volumes;
}

std::string Fixed(double value, const char* format) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

short TMeasureCore::CalculatePressureLoss(float startPa, float endPa) {
  return calibration::CalculatePressureLoss(startPa, endPa);
}

namespace {

// What an answer of the calibration arithmetic asks of the window.
void Tell(TMessage* messages, const calibration::CalibrationAnswer& a, short strokes, short syringeL) {
  if (!messages || a.textId == 0) {
    return;
  }
  if (a.textId == calibration::TooFewStrokesText) {
    messages->MessageBoxText(messages->Format(a.textId, {std::to_string(strokes)}), 0, TMessageIcon::Information);
  } else if (a.textId == calibration::CheckStrokeOffText && a.worst) {
    messages->MessageBoxText(messages->Format(a.textId, {std::to_string(a.worst->number), Fixed(a.worst->volumeL, "%.3f"),
                                                         std::to_string(syringeL),
                                                         Fixed(a.worst->deviationPercent, "%+.1f")}),
                             0, TMessageIcon::Information);
  } else {
    messages->MessageBox(a.textId, 0, TMessageIcon::Information);
  }
}

// Does what an answer asks: clears the trial, frees the gas buffers, says
// why (interactive only) and keeps the check series.
void Apply(TMeasureCore& core, const calibration::CalibrationAnswer& a, bool interactive) {
  if (a.clearTrial) {
    core.ClearBuffer(core.TrialIndex);
  }
  if (a.deleteGasBuffers) {
    core.DeleteGasBuffers();
  }
  if (interactive) {
    Tell(core.GetMessages(), a, core.CalStrokes, core.SyringeVolume);
  }
  if (a.checkFilled) {
    core.SyringeStrokeVolumes = {a.checkInspirationL, a.checkExpirationL, a.checkInspirationL, a.checkExpirationL};
  }
}

}  // namespace

bool TMeasureCore::TestCalculateOfSpiroCalibration(float& inspiration, float& expiration, bool interactive) {
  const std::vector<float> volumes = TurningVolumes(Extremes);
  const calibration::CalibrationRun run{volumes, Extremes.count, CalStrokes, static_cast<float>(SyringeVolume),
                                        static_cast<int>(StrokeCount), interactive};
  const calibration::CalibrationAnswer a = calibration::TestSpiroCalibration(run);
  Apply(*this, a, interactive);
  if (!a.valid) {
    return false;
  }
  inspiration += a.inspiration;
  expiration += a.expiration;
  return true;
}

bool TMeasureCore::TestCalculateOfDiffCalibration(float& inspiration, float& inspirationWithGas, float& expiration,
                                                  bool interactive) {
  const std::vector<float> volumes = TurningVolumes(Extremes);
  const calibration::CalibrationRun run{volumes, Extremes.count, CalStrokes, static_cast<float>(SyringeVolume),
                                        static_cast<int>(StrokeCount), interactive};
  const calibration::CalibrationAnswer a = calibration::TestDiffCalibration(run);
  Apply(*this, a, interactive);
  if (a.gasPathL > 0.0f) {
    GasPathStrokeVolumes[0] = a.gasPathL;
  }
  if (a.checkFilled) {
    GasPathStrokeVolumes[1] = GasPathStrokeVolumes[0];
  }
  if (!a.valid) {
    return false;
  }
  inspiration += a.inspiration;
  inspirationWithGas += a.inspirationWithGas;
  expiration += a.expiration;
  return true;
}

bool TMeasureCore::CalculateCalibrationConstans() {
  if ((InstrumentType & FamilyMask) == FamilyDiffusion) {
    return CalculateDiffCalibrationConstans();
  }
  if (InstrumentType != 0)
    return IsPlethysmographInstrument() && CalculatePlethyCalibrationConstans();
  if (SyringeVolume <= 0) {
    if (Messages) {
      Messages->MessageBoxText(Messages->Format(calibration::BadSettingText, {"Pump"}), 0, TMessageIcon::Stop);
    }
    return false;
  }
  float inspiration = 0.0f;
  float expiration = 0.0f;
  if (!TestCalculateOfSpiroCalibration(inspiration, expiration, true)) {
    return false;
  }
  InspFactor = inspiration;
  ExpFactor = expiration;
  WriteLastCalibrateDateAndTime();
  return true;
}

bool TMeasureCore::CalculateDiffCalibrationConstans() {
  const std::string_view bad =
      calibration::BadDiffusionSetting(static_cast<float>(SyringeVolume), Diffusion.OriginalCoConcentration,
                                       Diffusion.OriginalHeConcentration, Diffusion.HeLsbCorrection);
  const auto refuse = [this](int text) {
    if (Messages && text != 0) {
      Messages->MessageBox(text, 0, TMessageIcon::Information);
    }
    DeleteGasBuffers();
    return false;
  };
  if (!bad.empty()) {
    if (Messages) {
      Messages->MessageBoxText(Messages->Format(calibration::BadSettingText, {std::string(bad)}), 0,
                               TMessageIcon::Stop);
    }
    return refuse(0);
  }
  const int lineFault = calibration::PressureLineFault(
      {Lines.PressureReached, FleischPressureLoss, Gas.BagOpenTimeout, BalloonPressureLoss, Gas.BagCloseTimeout});
  if (lineFault != 0) {
    return refuse(lineFault);
  }
  float inspiration = 0.0f;
  float withGas = 0.0f;
  float expiration = 0.0f;
  if (SkipFlow) {
    // The flow part was skipped: the stored flow constants stay, with the
    // check series they were measured with.
    inspiration = InspFactor;
    expiration = ExpFactor;
    SyringeStrokeVolumes[0] = SyringeStrokeVolumes[2];
    SyringeStrokeVolumes[1] = SyringeStrokeVolumes[3];
    GasPathStrokeVolumes[0] = GasPathStrokeVolumes[1];
  } else if (!TestCalculateOfDiffCalibration(inspiration, withGas, expiration, true)) {
    return refuse(0);
  }
  if (!MakeGasAnalysis()) {
    return false;
  }
  const calibration::GasConstants gas = calibration::GasRatios(
      MeasuredCo, MeasuredHe, Diffusion.OriginalCoConcentration, Diffusion.OriginalHeConcentration);
  if (gas.textId != 0) {
    return refuse(gas.textId);
  }
  CoConstans = gas.co;
  HeConstans = gas.he;
  InspFactor = inspiration;
  ExpFactor = expiration;
  InspGasFactor = withGas;
  WriteLastCalibrateDateAndTime();
  return true;
}

bool TMeasureCore::MakeGasAnalysis() {
  if (Gas.HeliumGasBuffer.empty() || Gas.CoGasBuffer.empty()) {
    return false;
  }
  if (!HasInstrument) {
    DeleteGasBuffers();
    return true;
  }
  calibration::GasAnalysisSettings settings;
  settings.highResolution = (InstrumentType & HighResolutionBit) != 0;
  settings.heliumCorrection = Diffusion.HeLsbCorrection;
  settings.endLimitPercent = Diffusion.HeErrorLimit;
  settings.warningLimit = Diffusion.MeasureNumberAfterFirstWarning;
  settings.dfcMode = MeasureMode == MEASURE_DFC;
  const calibration::GasAnalysisResult r =
      calibration::MakeGasAnalysis(Gas.CoGasBuffer, Gas.HeliumGasBuffer, settings, WarningCounter);
  MeasuredCo = r.coPercent;
  MeasuredHe = r.heliumPercent;
  WarningCounter = static_cast<short>(r.warningCounter);
  Gas.GasAnalysisFailure = r.failed;
  if (Messages && r.textId == calibration::HeliumLowWarningText) {
    Messages->MessageBox(r.textId, 1, TMessageIcon::Information);
  } else if (Messages && r.textId == calibration::HeliumLowFailureText) {
    Messages->MessageBox(r.textId, 0, TMessageIcon::Stop);
  }
  DeleteGasBuffers();
  return !r.failed;
}

void TMeasureCore::DeleteGasBuffers() {
  Gas.HeliumGasBuffer = {};
  Gas.CoGasBuffer = {};
}
