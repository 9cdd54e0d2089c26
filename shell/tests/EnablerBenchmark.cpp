// One enabler pass over every bound menu item and button, with the patient
// sheet and a measurement window (a stand-in) open: what the program pays
// after each key and click.

#include "platform/framework/ui/CommandActions.h"
#include "platform/dbkit/Engine.h"
#include "platform/dbkit/Records.h"
#include "shell/app/HalvetraApp.h"
#include "shell/app/MdiClient.h"
#include "shell/tests/FakeClock.h"
#include "shell/tests/StandIns.h"
#include "shell/tests/WorkingFolder.h"
#include "testing/RecordingSink.h"
#include "testing/TestDatabase.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

THalvetraApp* Program = nullptr;

void BM_EnablerPass(benchmark::State& state) {
  for (auto _ : state)
    Program->GetActions()->UpdateAll();
}
BENCHMARK(BM_EnablerPass)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  TWorkingFolder folder;
  folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=5\n[Audio]\nInstall=1\n");
  TFakeClock clock;
  TRecordingSink sink;
  TStandInWindows standIns;
  TAppOptions options;
  options.CommandLine = "-d";
  options.Clock = &clock;
  options.Sink = &sink;
  options.ProgramFolder = folder.Path();
  THalvetraApp* app = nullptr;
  options.Windows = standIns.Factories([&app] { return app ? static_cast<TEventHandler*>(app->GetClient()) : nullptr; });
  options.Dialogs.SelectInstrument = [](const std::string&, const std::array<std::string, 3>&) { return 5881; };
  THalvetraApp program(std::move(options));
  app = &program;
  Program = &program;
  program.InitMainWindow();
  CreateTestDatabase(folder / "Database", folder / "Database/Data", &program.GetMessages());
  {
    auto names = OpenTestTable(folder / "Database/Data", "names.db", &program.GetMessages());
    PatientRecordType patient;
    SetFieldText(patient.Name, "Anna Kovacs");
    SetFieldText(patient.Id, "A-1");
    names->AddPatientRecord(patient, 1);
  }
  program.GetActions()->Chain().Route(CM_OPEN_PATIENT);
  program.GetClient()->CmMeasure(CM_MEASURE_FVC);
  QApplication::processEvents();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
