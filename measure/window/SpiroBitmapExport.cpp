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

bool HasResult(TMeasureCore& core, short kind) {
  const short actual = core.TrialOrder[0] > 0 ? static_cast<short>(core.TrialOrder[0] - 1) : short{0};
  const float* first = core.GetAktBuffer(kind, actual);
  const float* pre = core.GetAktBuffer(kind, 3);
  return (first != nullptr && first[0] != 0.0f) || (pre != nullptr && pre[0] != 0.0f);
}

void DrawGraphs(QImage& image, TMeasureCore& core, const TMessage& texts, short kind) {
  QPainter painter(&image);
  TPainterSurface surface(painter);
  TPrintCanvas canvas(surface, 1.0f, 1.0f);
  canvas.Text("Act. ", 51, 7, 741, 16, TTextAlign::Right);
  canvas.Line(681, 11, 701, 11, 1, ResultCells::LightBlue);
  canvas.Text("Pre. ", 51, 16, 741, 25, TTextAlign::Right);
  canvas.Line(681, 20, 701, 20, 1, ResultCells::DarkRed);
  // The printout's graphs at the picture's own scale, in the printer's colours.
  const TUtil colours = TMeasurePrintout::PrintColours();
  TMeasurePainter graphs(core, colours, texts, nullptr);
  TPainterCurves curves(graphs);
  curves.SaveScreenState();
  curves.CalculatePrintZoom(kind, false, false);
  canvas.PrintY = LegendBase;
  const bool beside = kind == MEASURE_FVC;
  curves.DrawAxes(canvas, kind, beside);
  const short actual = core.TrialOrder[0] > 0 ? static_cast<short>(core.TrialOrder[0] - 1) : short{0};
  curves.DrawSlot(canvas, kind, actual, 1, false, false, beside);
  curves.DrawSlot(canvas, kind, 3, 2, false, false, beside);
  curves.RestoreScreenState();
}

}  // namespace

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
  DrawGraphs(image, core, texts, k);
  const QImage saved = shape.SavedLeft == 0 && shape.SavedWidth == shape.Width
                           ? image
                           : image.copy(shape.SavedLeft, 0, shape.SavedWidth, shape.Height);
  return saved.save(QString::fromStdString(bmpFile.string()), "BMP");
}

}  // namespace SpiroBitmapExport
