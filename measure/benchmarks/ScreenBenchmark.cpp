// The measurement window's screen: a full frame of the FVC curve screen
// with a one-minute trial at 1280 x 1024, and the incremental drawing of
// one sample during a run (the segment, the live number and the update of
// the changed rectangle).

#include "measure/window/Measure.h"
#include "measure/window/MeasureFrameScreen.h"

#include "platform/basekit/Message.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "tools/lungmodel/LungModel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

constexpr int Samples = 6000;  // 60 s

struct TBenchWindow {
  TBenchWindow()
      : Texts(TMessage::FromText("English", "44=Parameter\n50=Patient: %1  Age: %2  Height: %3  Weight: %4\n")),
        Window(1.6f, 1024.0f / 600.0f, MEASURE_FVC, &Texts, "", short{0}, PREDICTED_DATA{}, nullptr, 1.0f, false,
               nullptr) {
    Window.SetupWindow();
    Window.SetMeasureMode(MEASURE_FVC);
    Window.AllocateSpiroBuffer(0, MEASURE_FVC, true);
    float* flow = Window.GetSpiroFlowBuffer(0);
    float* volume = Window.GetSpiroVolumeBuffer(0);
    // A forced manoeuvre, then quiet breathing to the end of the minute.
    const std::vector<double> forced = LungModel::ForcedManoeuvre(LungModel::TPatient{});
    double v = 3.0;
    for (int i = 0; i < Samples; ++i) {
      const double f = static_cast<std::size_t>(i) < forced.size() ? forced[static_cast<std::size_t>(i)]
                                                                  : 0.4 * std::sin(i * 0.0157);
      v += f * 0.01;
      flow[i] = static_cast<float>(f);
      volume[i] = static_cast<float>(v);
    }
    Window.SetBufferSize(MEASURE_FVC, 0, Samples);
    Window.GetAktBuffer(MEASURE_FVC, 0)[0] = 4.5f;
    Window.TrialOrder[0] = 1;
  }
  TMeasureFrameScreen& Screen() { return dynamic_cast<TMeasureFrameScreen&>(Window.GetScreen()); }

  TMessage Texts;
  TMeasure Window;
};

void FullFrameOfTheFvcScreen(benchmark::State& state) {
  TBenchWindow bench;
  TMeasurePainter* painter = bench.Screen().GetPainter();
  QImage frame(1280, 1024, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter qp(&frame);
    TPainterSurface surface(qp);
    painter->MeasurePaint(surface, false);
  }
}
BENCHMARK(FullFrameOfTheFvcScreen)->Unit(benchmark::kMillisecond);

void OneSampleDuringARun(benchmark::State& state) {
  TBenchWindow bench;
  TMeasureFrameScreen& screen = bench.Screen();
  screen.MeasurePaint();
  short i = 1;
  for (auto _ : state) {
    screen.DrawCurve(0, i, false);
    screen.WriteLargeParam(bench.Window.GetSpiroVolumeBuffer(0)[i]);
    if (++i >= Samples)
      i = 1;
  }
}
BENCHMARK(OneSampleDuringARun)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
