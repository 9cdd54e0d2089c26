// The "Hardware" sheet from the command to the sheet on screen, its port
// page having tested the instrument simulator on a pseudo-terminal: what
// the user waits for after choosing the command.

#include "common/CommandNumbers.h"
#include "platform/framework/ui/CommandActions.h"
#include "shell/app/HalvetraApp.h"
#include "shell/app/sheets/OwnPropertySheet.h"
#include "shell/tests/FakeClock.h"
#include "shell/tests/WorkingFolder.h"
#include "testing/RecordingSink.h"
#include "testing/SimulatorProcess.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

THalvetraApp* Program = nullptr;
std::string Answer;  // the port page's status line, the last time

void BM_HardwareSheetWithPortTest(benchmark::State& state) {
  for (auto _ : state) {
    QTimer::singleShot(0, [] {
      if (auto* sheet = dynamic_cast<TOwnPropertySheet*>(QApplication::activeModalWidget())) {
        if (auto* status = sheet->findChild<QLabel*>("5280"))
          Answer = status->text().toStdString();
        sheet->reject();
      }
    });
    Program->GetActions()->Chain().Route(CM_HARDWARE_SETUP);
  }
  state.SetLabel(Answer);
}
BENCHMARK(BM_HardwareSheetWithPortTest)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  TWorkingFolder folder;
  TSimulatorProcess simulator("halvetra-lungsim", {}, folder / "simulator.log");
  folder.Write("Halvetra.ini", "[Program]\nFirstInstall=0\n[Serial Ports]\nCOM2=" + simulator.Path +
                                   "\n[Hardware]\nInstall=1\nDemo=0\nPort=1\n");
  TFakeClock clock;
  TRecordingSink sink;
  TAppOptions options;
  options.CommandLine = "";
  options.Clock = &clock;
  options.Sink = &sink;
  options.ProgramFolder = folder.Path();
  THalvetraApp program(std::move(options));
  Program = &program;
  program.InitMainWindow();
  QApplication::processEvents();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
