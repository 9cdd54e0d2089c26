#include "measure/PainterCurves.h"

#include "common/MeasureMode.h"
#include "measure/MeasureCore.h"
#include "platform/basekit/PrintCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

// Restores the measure mode the painter reads when a block is done.
class TModeScope {
public:
  explicit TModeScope(short mode) : Saved(TMeasureData::MeasureMode) { TMeasureData::MeasureMode = mode; }
  ~TModeScope() { TMeasureData::MeasureMode = Saved; }
  TModeScope(const TModeScope&) = delete;
  TModeScope& operator=(const TModeScope&) = delete;

private:
  short Saved;
};

}  // namespace

void TPainterCurves::CalculatePrintZoom(short kind, bool provocation, bool upperLimit) {
  TMeasureCore& core = Painter.Core();
  // The largest flow and volume of the printed slots, and with the upper
  // limit of normal the predicted values widened by their normal range.
  float flow = 0.0f;
  float volume = 0.0f;
  const std::vector<short> slots = provocation ? std::vector<short>{0, 1, 2} : std::vector<short>{0, 3};
  const auto k = static_cast<std::size_t>(std::clamp<short>(kind, 0, 7));
  for (const short slot : slots) {
    const auto s = static_cast<std::size_t>(slot);
    const auto count = static_cast<std::size_t>(std::max<short>(0, core.SampleCount[k][s]));
    for (std::size_t i = 0; i < std::min({count, core.Flow[s].size(), core.Volume[s].size()}); ++i) {
      if (std::isfinite(core.Flow[s][i]))
        flow = std::max(flow, std::fabs(core.Flow[s][i]));
      if (std::isfinite(core.Volume[s][i]))
        volume = std::max(volume, std::fabs(core.Volume[s][i]));
    }
  }
  if (upperLimit && kind >= MEASURE_FVC && kind <= MEASURE_SHUTTER) {
    const float* ref = core.GetRefBuffer(kind, 0);
    const float* rsd = core.GetRsdBuffer(kind);
    if (ref && rsd) {
      volume = std::max(volume, ref[0] + MeasureTexts::NormalRangeZ * rsd[0]);
      if (kind == MEASURE_FVC)
        flow = std::max(flow, ref[7] + MeasureTexts::NormalRangeZ * rsd[7]);
    }
  }
  core.ZoomLevel = MeasureLayout::FitZoom(flow, volume);
  Painter.SetCurrentFactor();
}

void TPainterCurves::Prepare(const TPrintCanvas& canvas, short, bool fvcBesideVolume) {
  TMeasureDisplay& d = Painter.Display;
  d.Printing = true;
  d.PrintLine = canvas.PrintY;
  d.XScale = canvas.ScaleX;
  d.YScale = canvas.ScaleY;
  d.ScreenMode = 1;
  d.VolumeTimeOnFullScreen = fvcBesideVolume;
  d.Grid = 0;
}

void TPainterCurves::DrawAxes(TPrintCanvas& canvas, short kind, bool fvcBesideVolume) {
  const TModeScope mode(kind);
  Prepare(canvas, kind, fvcBesideVolume);
  Painter.DrawKoordinata(canvas.Surface);
}

void TPainterCurves::DrawSlot(TPrintCanvas& canvas, short kind, short slot, int, bool dotted, bool,
                              bool fvcBesideVolume) {
  const TModeScope mode(kind);
  Prepare(canvas, kind, fvcBesideVolume);
  TMeasureCore& core = Painter.Core();
  const auto s = static_cast<std::size_t>(std::clamp<short>(slot, 0, 3));
  const auto k = static_cast<std::size_t>(std::clamp<short>(kind, 0, 7));
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(std::max<short>(0, core.SampleCount[k][s])),
                                           std::min(core.Flow[s].size(), core.Volume[s].size()));
  Painter.ResetDashes();
  for (std::size_t i = 1; i < count; ++i)
    Painter.DrawCurve(canvas.Surface, static_cast<short>(s), static_cast<int>(i), dotted);
}

void TPainterCurves::SaveScreenState() {
  SavedZoom = Painter.Core().ZoomLevel;
  SavedDisplay = Painter.Display;
}

void TPainterCurves::RestoreScreenState() {
  Painter.Core().ZoomLevel = SavedZoom;
  Painter.Display = SavedDisplay;
  Painter.SetCurrentFactor();
}
