// The measurement window's screen: a full frame of the FVC curve screen
// with a one-minute trial at 1280 x 1024, and the incremental drawing of
// one sample during a run (the segment, the live number and the update of
// the changed rectangle), and rhinomanometry's four full curves in its
// enlarged diagram. And the opening and closing of the window itself, on a
// fresh ini file that it fills and on the file an earlier opening left.

#include "measure/window/Measure.h"
#include "measure/window/MeasureFrameScreen.h"
#include "measure/screen/RhinoChart.h"

#include "platform/basekit/Message.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "testing/TemporaryFolder.h"
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

void FourFullRhinoCurves(benchmark::State& state) {
  TBenchWindow bench;
  TMeasure& w = bench.Window;
  w.SetMeasureMode(MEASURE_RHINO);
  // Each nostril and stage a minute of breaths of 300 Pa through an
  // orifice of 400 mL/s at 150 Pa: flow = k * sqrt(|P|), inspiration with
  // positive flow and negative pressure.
  const double k = 400.0 / std::sqrt(150.0);
  for (short slot = 0; slot < 4; ++slot) {
    w.AllocateSpiroBuffer(slot, MEASURE_RHINO, false);
    float* flow = w.GetSpiroFlowBuffer(slot);
    float* pressure = w.GetRhinoPressureBuffer(slot);
    for (int i = 0; i < Samples; ++i) {
      const double p = -300.0 * std::sin(i * 0.0157 + slot);
      pressure[i] = static_cast<float>(p);
      flow[i] = static_cast<float>((p < 0.0 ? k : -k) * std::sqrt(std::fabs(p)));
    }
    w.SetBufferSize(MEASURE_RHINO, slot, Samples);
  }
  TMeasurePainter* painter = bench.Screen().GetPainter();
  const TRhinoFrame frame{0, 81.0f, false};
  QImage image(1280, 1024, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter qp(&image);
    TPainterSurface surface(qp);
    RhinoChart::DrawRhinoCurves(*painter, surface, frame, RhinoFactors(w.ZoomLevel), RhinoChart::CurvesOf(w));
  }
}
BENCHMARK(FourFullRhinoCurves)->Unit(benchmark::kMillisecond);

// The window opened for FVC and closed, with its ini file in a folder on
// the disk; range 1 removes the file before each opening.
void OpeningAndClosingTheWindow(benchmark::State& state) {
  const bool fresh = state.range(0) != 0;
  const TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  TMessage texts = TMessage::FromText("English", "44=Parameter\n");
  PREDICTED_DATA patient;
  patient.Age = 40;
  patient.Height = 180;
  patient.Weight = 80;
  patient.Sex = 1;
  for (auto _ : state) {
    if (fresh) {
      state.PauseTiming();
      std::filesystem::remove(ini);
      state.ResumeTiming();
    }
    TMeasure window(1.6f, 800.0f / 600.0f, MEASURE_FVC, &texts, ini, short{0}, patient, nullptr, 1.0f, false, nullptr);
    window.SetupWindow();
    window.SetMeasureMode(MEASURE_FVC);
  }
  state.SetLabel(fresh ? "fresh ini" : "ini of an earlier opening");
}
BENCHMARK(OpeningAndClosingTheWindow)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(5);

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
