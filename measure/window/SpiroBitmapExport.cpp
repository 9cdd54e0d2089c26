#include "measure/window/SpiroBitmapExport.h"

#include "measure/core/MeasureCore.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/report/MeasurePrintout.h"
#include "measure/report/PainterCurves.h"
#include "measure/report/SpiroExport.h"
#include "platform/basekit/ui/PainterSurface.h"

#include <QImage>
#include <QPainter>

namespace SpiroBitmapExport {

namespace {

constexpr int LegendBase = 25;
constexpr short PreviousSlot = 3;

short ActualSlot(const TMeasureCore& core) {
  return core.TrialOrder[0] > 0 ? static_cast<short>(core.TrialOrder[0] - 1) : short{0};
}

// A slot holds a result when its first parameter is set.
bool SlotHasResult(TMeasureCore& core, short kind, short slot) {
  const float* values = core.GetAktBuffer(kind, slot);
  return values != nullptr && values[0] != 0.0f;
}

bool HasResult(TMeasureCore& core, short kind) {
  return SlotHasResult(core, kind, ActualSlot(core)) || SlotHasResult(core, kind, PreviousSlot);
}

// A previous test is drawn when its slot holds a result or a curve.
bool PreviousShown(TMeasureCore& core, short kind) {
  return SlotHasResult(core, kind, PreviousSlot) ||
         core.SampleCount[static_cast<std::size_t>(kind)][static_cast<std::size_t>(PreviousSlot)] > 0;
}

}  // namespace

void DrawGraphs(TDrawSurface& surface, TMeasureCore& core, const TMessage& texts, short kind) {
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  // The previous test's legend line only beside its curve: without one the
  // line would name a test that is not drawn.
  const bool previous = PreviousShown(core, kind);
  canvas.Text("Act. ", 51, 7, 741, 16, TTextAlign::Right);
  canvas.Line(681, 11, 701, 11, 1, ResultCells::LightBlue);
  if (previous) {
    canvas.Text("Pre. ", 51, 16, 741, 25, TTextAlign::Right);
    canvas.Line(681, 20, 701, 20, 1, ResultCells::DarkRed);
  }
  // The printout's graphs at the picture's own scale, in the printer's colours.
  const TUtil colours = TMeasurePrintout::PrintColours();
  TMeasurePainter graphs(core, colours, texts, nullptr);
  TPainterCurves curves(graphs);
  curves.SaveScreenState();
  curves.CalculatePrintZoom(kind, false, false);
  canvas.PrintY = LegendBase;
  const bool beside = kind == MEASURE_FVC;
  curves.DrawAxes(canvas, kind, beside);
  curves.DrawSlot(canvas, kind, ActualSlot(core), 1, false, false, beside);
  curves.DrawSlot(canvas, kind, PreviousSlot, 2, false, false, beside);
  curves.RestoreScreenState();
}

TBitmapShape ShapeOf(int kind) {
  switch (kind) {
  case MEASURE_FVC: return {751, 401, 0, 751};
  case MEASURE_VC:
  case MEASURE_MVV: return {751, 195, 330, 421};
  default: return {751, 195, 0, 751};
  }
}

bool SaveTextAndBmpForSpiro(TMeasureCore& core, const TMessage& texts, int kind, const std::filesystem::path& textFile,
                            const std::filesystem::path& bmpFile, const TNotes& notes,
                            std::span<const short> positions) {
  const auto k = static_cast<short>(kind);
  if (kind < MEASURE_FVC || kind > MEASURE_SHUTTER || textFile.empty() || !HasResult(core, k))
    return false;
  const short mode = core.GetMeasureMode();
  core.SetMeasureMode(k);
  const ResultCells::TResultTable table = SpiroExport::CoreTable(core, k, positions);
  const SpiroExport::TExportDates dates = SpiroExport::CoreDates(core);
  core.SetMeasureMode(mode);
  if (!SpiroExport::WriteTextExport(textFile, texts, table, dates, notes.Current, notes.Actual, notes.ActualSet,
                                    notes.Pre, notes.PreSet))
    return false;
  if (bmpFile.empty())
    return true;
  const TBitmapShape shape = ShapeOf(kind);
  QImage image(shape.Width, shape.Height, QImage::Format_RGB32);
  if (image.isNull())
    return false;
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    TPainterSurface surface(painter);
    DrawGraphs(surface, core, texts, k);
  }
  const QImage saved = shape.SavedLeft == 0 && shape.SavedWidth == shape.Width
                           ? image
                           : image.copy(shape.SavedLeft, 0, shape.SavedWidth, shape.Height);
  return saved.save(QString::fromStdString(bmpFile.string()), "BMP");
}

}  // namespace SpiroBitmapExport
