// The trend through the program on a real database of one patient with 500
// examinations (FVC and VC rows): opening it as the browser does (500
// requests WM_READ_TREND_DATA to the client, the window's first drawing)
// and a full reload (the predicted toggle, every line read again).

#include "common/CommandNumbers.h"
#include "platform/dbkit/Engine.h"
#include "platform/dbkit/Records.h"
#include "platform/framework/ui/CommandActions.h"
#include "shell/app/HalvetraApp.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "shell/app/TrendWindowAccess.h"
#include "shell/tests/FakeClock.h"
#include "shell/tests/WorkingFolder.h"
#include "testing/RecordingSink.h"
#include "testing/TestDatabase.h"
#include "trend/Trend.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int Examinations = 500;
THalvetraApp* Program = nullptr;
std::vector<std::string> Keys;

TTrend* OpenTrendAsTheBrowserDoes() {
  THalvetraMDIClient& client = *Program->GetClient();
  for (const std::string& key : Keys)
    SendMessage(&client, WM_READ_TREND_DATA, 0, reinterpret_cast<TParam2>(key.c_str()));
  auto* trend = dynamic_cast<TTrend*>(client.GetTrend());
  if (trend)
    trend->RedrawScreenBmp();
  return trend;
}

void CloseTrend() {
  if (THalvetraMDIChild* frame = Program->GetClient()->GetTrendFrame())
    frame->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenTrendOf500Examinations(benchmark::State& state) {
  for (auto _ : state) {
    TTrend* trend = OpenTrendAsTheBrowserDoes();
    if (!trend || trend->Model().Count() != Examinations)
      state.SkipWithError("the trend did not take every examination");
    state.PauseTiming();
    CloseTrend();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenTrendOf500Examinations)->Unit(benchmark::kMillisecond);

void BM_ReloadTrendOf500Examinations(benchmark::State& state) {
  TTrend* trend = OpenTrendAsTheBrowserDoes();
  if (!trend) {
    state.SkipWithError("no trend window");
    return;
  }
  for (auto _ : state) {
    trend->DispatchCommand(CM_PREDICTED);
    if (trend->Model().Count() != Examinations)
      state.SkipWithError("the reload lost examinations");
  }
  CloseTrend();
}
BENCHMARK(BM_ReloadTrendOf500Examinations)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  TWorkingFolder folder;
  folder.Write("Halvetra.ini", "[Trendanalysis]\nParam1=FVC00\nParam2=FVC02\nParam3=VC00\n");
  TFakeClock clock;
  TRecordingSink sink;
  TAppOptions options;
  options.CommandLine = "-d";
  options.Clock = &clock;
  options.Sink = &sink;
  options.ProgramFolder = folder.Path();
  options.Windows.Trend = TrendWindows::Factory();
  THalvetraApp program(std::move(options));
  Program = &program;
  program.InitMainWindow();
  const std::filesystem::path data = folder / "Database/Data";
  CreateTestDatabase(folder / "Database", data, &program.GetMessages());
  {
    auto names = OpenTestTable(data, "names.db", &program.GetMessages());
    PatientRecordType patient;
    SetFieldText(patient.Name, "Anna Kovacs");
    SetFieldText(patient.Id, "A-1");
    names->AddPatientRecord(patient, 1);
    auto meet = OpenTestTable(data, "meet.db", &program.GetMessages());
    auto fvc = OpenTestTable(data, "fvc.db", &program.GetMessages());
    auto vc = OpenTestTable(data, "vc.db", &program.GetMessages());
    const std::vector<float> curve(400, 1.0f), fvcValues(19, 3.5f), vcValues(5, 4.0f);
    meet->BeginTransaction();
    for (int i = 0; i < Examinations; ++i) {
      MeetRecordType record;
      record.PatientKey = patient.Key;
      std::array<char, 16> date{}, time{};
      std::snprintf(date.data(), date.size(), "%04d.%02d.%02d.", 2000 + i / 28, 1 + i % 12, 1 + i % 28);
      std::snprintf(time.data(), time.size(), "09:%02d:00", i % 60);
      SetFieldText(record.Date, date.data());
      SetFieldText(record.Time, time.data());
      record.Flags = MeetFlag::Fvc | MeetFlag::Vc;
      meet->AddMeetRecord(record, 1);
      fvc->AddSpiroRecord(fvcValues, fvcValues, fvcValues, 19, curve, 400, record.MeetKey, 1);
      vc->AddSpiroRecord(vcValues, vcValues, vcValues, 5, curve, 400, record.MeetKey, 1);
    }
    meet->CommitTransaction();
    // The browser's order: every examination of the patient as listed.
    if (meet->GoTop() == 0) {
      do {
        MeetRecordType record;
        if (meet->GetData(record) == 0)
          Keys.push_back(FieldText(record.Date) + "@" + FieldText(record.Time));
      } while (meet->GetNextRec() == 0);
    }
  }
  program.GetActions()->Chain().Route(CM_OPEN_PATIENT);
  QApplication::processEvents();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
