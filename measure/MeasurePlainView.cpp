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

  void DrawVolumeTime(QPainter& painter, const QRect& area, short mode) {
    const float vmax = VolumeMaximum[Zoom];
    const float baseY = static_cast<float>(area.bottom()) - static_cast<float>(area.height()) * 0.15f;
    const float perL = static_cast<float>(area.height()) * 0.8f / vmax;
    const float perS = static_cast<float>(area.width()) / SecondsShown;
    painter.setPen(Qt::gray);
    painter.drawLine(QPointF(area.left(), baseY), QPointF(area.right(), baseY));
    for (const short t : Trials()) {
      if (t < 0)
        continue;
      const short n = Count(mode, t);
      if (n < 2)
        continue;
      const auto& volume = W.Volume[static_cast<std::size_t>(t)];
      // Expirations go down in the link's sign: show them rising.
      QPainterPath path;
      for (short i = 0; i < n; ++i) {
        const QPointF at(area.left() + static_cast<float>(i) * SampleSeconds * perS,
                         baseY + volume[static_cast<std::size_t>(i)] * perL);
        if (i == 0)
          path.moveTo(at);
        else
          path.lineTo(at);
      }
      painter.setClipRect(area);
      painter.setPen(QPen(TrialColours[static_cast<std::size_t>(t)], 1.5));
      painter.drawPath(path);
      painter.setClipping(false);
    }
  }

  void DrawFlowVolume(QPainter& painter, const QRect& area) {
    const float fmax = FlowMaximum[Zoom];
    const float vmax = VolumeMaximum[Zoom];
    const float originX = static_cast<float>(area.left()) + static_cast<float>(area.width()) * 0.1f;
    const float originY = static_cast<float>(area.top()) + static_cast<float>(area.height()) * 0.6f;
    const float perL = static_cast<float>(area.width()) * 0.85f / vmax;
    const float perLps = static_cast<float>(area.height()) * 0.55f / fmax;
    painter.setPen(Qt::gray);
    painter.drawLine(QPointF(area.left(), originY), QPointF(area.right(), originY));
    painter.drawLine(QPointF(originX, area.top()), QPointF(originX, area.bottom()));
    for (const short t : Trials()) {
      if (t < 0)
        continue;
      const short n = Count(MEASURE_FVC, t);
      if (n < 2)
        continue;
      const auto& flow = W.Flow[static_cast<std::size_t>(t)];
      const auto& volume = W.Volume[static_cast<std::size_t>(t)];
      // Expiration up and to the right from the start of the blast.
      QPainterPath path;
      for (short i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const QPointF at(originX - volume[k] * perL, originY + flow[k] * perLps);
        if (i == 0)
          path.moveTo(at);
        else
          path.lineTo(at);
      }
      painter.setClipRect(area);
      painter.setPen(QPen(TrialColours[static_cast<std::size_t>(t)], 1.5));
      painter.drawPath(path);
      painter.setClipping(false);
    }
  }

  TMeasure& W;
  std::size_t Zoom = 1;
  float LargeParam = 0.0f;
};

}  // namespace

std::unique_ptr<TMeasureScreen> MakeMeasureScreen(TMeasure& window) {
  return std::make_unique<TMeasurePlainView>(window);
}
