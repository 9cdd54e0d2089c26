// A plain screen for the measurement window: the panels, the patient line,
// the live number and the trials' curves (the flow-volume loop beside the
// list and the volume-time curve below it for FVC, the volume-time curve
// otherwise), painted afresh from the window's curves at every paint, so
// that a curve grows as its samples arrive.

#include "measure/Measure.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace {

// Flow and volume axis maxima by zoom level (L/s, L).
constexpr std::array<float, 4> FlowMaximum{16.0f, 16.0f, 8.0f, 4.0f};
constexpr std::array<float, 4> VolumeMaximum{12.0f, 8.0f, 4.0f, 2.0f};
constexpr float SecondsShown = 60.0f;
constexpr float SampleSeconds = 0.01f;

const std::array<QColor, 4> TrialColours{QColor(0, 0, 192), QColor(0, 128, 0), QColor(160, 0, 160),
                                         QColor(192, 0, 0)};
const QColor Panel(255, 255, 224);
const QColor Background(192, 192, 192);

class TMeasurePlainView final : public TMeasureScreen {
public:
  explicit TMeasurePlainView(TMeasure& window) : W(window) {}

  void SetCurrentFactor() override {
    Zoom = static_cast<std::size_t>(std::clamp<short>(W.ZoomLevel, 0, 3));
  }
  void CopyScreen() override {}
  void DeleteScreenBmp() override {}
  void RedrawScreenBmp() override { W.update(); }
  void ClearMeasureScreen() override { W.update(); }
  void ClearVolumeScreen() override { W.update(); }
  void DrawCurve(short, short, bool) override { W.update(); }
  void WriteLargeParam(float value) override {
    LargeParam = value;
    W.update();
  }
  void UpdateTableTitle() override { W.update(); }
  bool RefreshMeasureUnit(short) override {
    W.update();
    return true;
  }
  void RebuildToolTipObjects() override {}
  void MeasurePaint() override { W.update(); }
  void InvalidateScreen() override { W.update(); }
  void DrawMetronome(short) override {}

  void Paint(QPainter& painter, const QRect&) override {
    painter.fillRect(W.rect(), Background);
    painter.fillRect(W.Scaled(106, 8, 635, 19), Panel);
    painter.fillRect(W.Scaled(320, 67, 421, 209), Panel);
    painter.setPen(Qt::black);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(std::max(10, static_cast<int>(13 * W.GetYScale())));
    font.setBold(true);
    painter.setFont(font);
    const PREDICTED_DATA& p = W.PredictedData;
    painter.drawText(W.Scaled(110, 9, 600, 17), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1  %2 y  %3 cm  %4 kg")
                         .arg(QString::fromStdString(p.GetName()))
                         .arg(p.Age)
                         .arg(p.Height)
                         .arg(p.Weight));
    if (W.IsRunning())
      painter.drawText(W.Scaled(11, 18, 88, 30), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::asprintf("%5.2f", static_cast<double>(LargeParam)));
    const short mode = W.MeasureMode;
    if (mode < 0 || mode > MEASURE_MVV)
      return;
    const QRect lower = W.Scaled(8, 283, 733, 173);
    painter.fillRect(lower, Qt::white);
    DrawVolumeTime(painter, lower, mode);
    if (mode == MEASURE_FVC) {
      const QRect box = W.Scaled(8, 67, 304, 209);
      painter.fillRect(box, Qt::white);
      DrawFlowVolume(painter, box);
    }
  }

  QString ToolTipAt(const QPoint&) const override { return {}; }

private:
  std::array<short, 4> Trials() const {
    // The previous result joins a comparison.
    return W.PrePostMode ? std::array<short, 4>{0, 1, 2, 3} : std::array<short, 4>{0, 1, 2, -1};
  }

  short Count(short mode, short trial) const {
    const auto m = static_cast<std::size_t>(mode);
    const auto t = static_cast<std::size_t>(trial);
    const std::size_t held = std::min(W.Flow[t].size(), W.Volume[t].size());
    return static_cast<short>(std::min<std::size_t>(static_cast<std::size_t>(std::max<short>(W.SampleCount[m][t], 0)), held));
  }

  // Each trial of the kind as a line through `at(trial, sample)`, clipped
  // to the area.
  template <class TPoint>
  void DrawTrials(QPainter& painter, const QRect& area, short mode, TPoint at) {
    painter.setClipRect(area);
    for (const short t : Trials()) {
      const short n = t < 0 ? short{0} : Count(mode, t);
      if (n < 2)
        continue;
      QPainterPath path(at(static_cast<std::size_t>(t), 0));
      for (short i = 1; i < n; ++i)
        path.lineTo(at(static_cast<std::size_t>(t), static_cast<std::size_t>(i)));
      painter.setPen(QPen(TrialColours[static_cast<std::size_t>(t)], 1.5));
      painter.drawPath(path);
    }
    painter.setClipping(false);
  }

  void DrawVolumeTime(QPainter& painter, const QRect& area, short mode) {
    const float baseY = static_cast<float>(area.bottom()) - static_cast<float>(area.height()) * 0.2f;
    const float perL = static_cast<float>(area.height()) * 0.75f / VolumeMaximum[Zoom];
    const float perS = static_cast<float>(area.width()) / SecondsShown;
    painter.setPen(Qt::gray);
    painter.drawLine(QPointF(area.left(), baseY), QPointF(area.right(), baseY));
    // Volume up from the base line, 8 L above it and 2 L below.
    DrawTrials(painter, area, mode, [&](std::size_t t, std::size_t i) {
      return QPointF(area.left() + static_cast<float>(i) * SampleSeconds * perS, baseY - W.Volume[t][i] * perL);
    });
  }

  void DrawFlowVolume(QPainter& painter, const QRect& area) {
    const float originX = static_cast<float>(area.left()) + static_cast<float>(area.width()) * 0.1f;
    const float originY = static_cast<float>(area.top()) + static_cast<float>(area.height()) * 0.6f;
    const float perL = static_cast<float>(area.width()) * 0.85f / VolumeMaximum[Zoom];
    const float perLps = static_cast<float>(area.height()) * 0.55f / FlowMaximum[Zoom];
    painter.setPen(Qt::gray);
    painter.drawLine(QPointF(area.left(), originY), QPointF(area.right(), originY));
    painter.drawLine(QPointF(originX, area.top()), QPointF(originX, area.bottom()));
    // Expiration up and to the right, ending on the flow axis: x counts
    // the volume still to be blown out of the trial's FVC.
    DrawTrials(painter, area, MEASURE_FVC, [&](std::size_t t, std::size_t i) {
      const float fvc = W.AktParams[MEASURE_FVC][t][0];
      return QPointF(originX + (fvc - W.Volume[t][i]) * perL, originY + W.Flow[t][i] * perLps);
    });
  }

  TMeasure& W;
  std::size_t Zoom = 1;
  float LargeParam = 0.0f;
};

}  // namespace

std::unique_ptr<TMeasureScreen> MakeMeasureScreen(TMeasure& window) {
  return std::make_unique<TMeasurePlainView>(window);
}
