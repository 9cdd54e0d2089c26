#include "measure/window/RhinoBitmapExport.h"

#include "measure/core/MeasureCore.h"
#include "measure/report/MeasurePrintout.h"
#include "measure/screen/MeasurePainter.h"
#include "measure/screen/RhinoChart.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "platform/portkit/rhinomanometry/TextExport.h"

#include <QImage>
#include <QPainter>

#include <fstream>

namespace RhinoBitmapExport {

namespace {

constexpr int CannotCreateText = 28;
constexpr float DiagramTop = 10.0f;

void DrawDiagram(QImage& image, TMeasureCore& core, const TMessage& texts) {
  QPainter qp(&image);
  TPainterSurface surface(qp);
  const TUtil colours = TMeasurePrintout::PrintColours();
  TMeasurePainter painter(core, colours, texts, nullptr);
  painter.Display.Printing = true;
  const TRhinoFrame frame{0, DiagramTop, false};
  const TRhinoFactors factors = RhinoFactors(core.ZoomLevel);
  RhinoChart::DrawRhinoKoordinata(painter, surface, frame, factors);
  const RhinoChart::TRhinoCurves curves = RhinoChart::CurvesOf(core);
  RhinoChart::DrawRhinoLegend(painter, surface, static_cast<int>(DiagramTop), core.Rhino.Provoked, false,
                              RhinoChart::HasSecondPair(curves));
  RhinoChart::DrawRhinoCurvesBySlot(painter, surface, frame, factors, curves, false);
}

}  // namespace

bool SaveTextAndBmpForRhino(TMeasureCore& core, const TMessage& texts, const std::filesystem::path& textFile,
                            const std::filesystem::path& bmpFile, const std::string& notes) {
  if (textFile.empty())
    return false;
  rhinomanometry::TextExportInput input;
  core.SetRhinoDateTimeStr(input.firstDate, input.secondDate, input.firstTime, input.secondTime);
  input.first = core.Rhino.ParamsAkt;
  input.second = core.Rhino.ParamsPre;
  input.rowFlags = core.Rhino.ShownRows();
  if (core.Rhino.Provoked)
    input.provocation = rhinomanometry::ProvocationLines{texts.LoadStringA(296), texts.LoadStringA(297),
                                                         texts.LoadStringA(298), core.Rhino.ProvocationMaterial,
                                                         core.Rhino.ProvocationConcentration, core.Rhino.ProvocationDose};
  input.notes = notes;
  {
    std::ofstream out(textFile, std::ios::binary | std::ios::trunc);
    const std::string text = rhinomanometry::RhinoExportText(input);
    if (!out || !(out << text) || !out.flush()) {
      texts.MessageBox(CannotCreateText, 0, TMessageIcon::Stop);
      return false;
    }
  }
  if (bmpFile.empty())
    return true;
  QImage image(Width, Height, QImage::Format_RGB32);
  if (image.isNull())
    return false;
  image.fill(Qt::white);
  DrawDiagram(image, core, texts);
  return image.save(QString::fromStdString(bmpFile.string()), "BMP");
}

}  // namespace RhinoBitmapExport
