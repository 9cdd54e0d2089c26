// What the staff wait for in the test records: saving an FVC test with its
// curve (to the disk), loading it back into its window, listing a
// patient's 1,000 tests, copying 1,000 patients one by one and merging a
// database of 1,000 patients. Each on real tables in a temporary folder.

#include "patients/MeasureIndex.h"
#include "patients/MeasureTables.h"
#include "patients/PatientTransfer.h"
#include "platform/basekit/Message.h"
#include "platform/dbkit/Engine.h"
#include "records/ExaminationLoader.h"
#include "records/ExaminationSaver.h"
#include "records/PatientCopy.h"
#include "records/tests/FakeMeasure.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "testing/TestDatabase.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

TMessage& Texts() {
  static TRecordingSink sink;
  static TMessage texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang");
  texts.SetSink(&sink);
  return texts;
}

struct TDatabaseFixture {
  TDatabaseFixture() {
    CreateTestDatabase(Folder.Path(), Folder.Path(), &Texts());
    for (std::size_t i = 0; i < TMeasureTables::Tables.size(); ++i)
      Tables.Open(i, &Texts(), Folder.Path().string(), [] {});
  }
  ~TDatabaseFixture() { Tables.Close(); }

  void MeasureFvc(float lead) {
    TFakeMeasure& window = Windows.MeasureWindow;
    window.FillTrial(MEASURE_FVC, 0, lead, 0);
    float* flow = window.GetSpiroFlowBuffer(0);
    for (int i = 0; i < 1500; ++i)
      flow[i] = static_cast<float>(9.0 * (i / 100.0) * std::exp(-i / 40.0));
    window.SetBufferSize(MEASURE_FVC, 0, 1500);
    window.State().ActualTrial = {1, 0, 0};
    window.State().NewResult[MEASURE_FVC] = true;
    window.Mode = MEASURE_FVC;
  }

  TTemporaryFolder Folder;
  TMeasureTables Tables;
  std::int32_t PatientKey = 1;
  TMeasureIndex Index{Tables, [this] { return PatientKey; }};
  TMeasureWorkFiles WorkFiles{[this](short kind) { return Folder / ("W" + std::to_string(kind) + ".~IN"); },
                              [this](int stage, short kind) {
                                return Folder / ("S" + std::to_string(stage) + std::to_string(kind));
                              },
                              &Texts()};
  TFakeWindows Windows;
  int Second = 0;
  TExaminationSaver Store{Index, WorkFiles, Windows, &Texts(), [this] {
                            ++Second;
                            return TClockReading{2026, 1, 1 + Second / 86400, Second / 3600 % 24, Second / 60 % 60,
                                                 Second % 60};
                          }};
};

void SaveFvcTest(benchmark::State& state) {
  TDatabaseFixture fixture;
  float lead = 3.0f;
  for (auto _ : state) {
    fixture.MeasureFvc(lead += 0.001f);  // a new result: a new examination
    if (fixture.Store.SaveMeasurement() != 0)
      state.SkipWithError("the save failed");
  }
}
BENCHMARK(SaveFvcTest)->Unit(benchmark::kMillisecond);

void LoadStoredTest(benchmark::State& state) {
  TDatabaseFixture fixture;
  fixture.MeasureFvc(3.5f);
  fixture.Store.SaveMeasurement();
  const std::string date = fixture.Store.GetCurrent().Date, time = fixture.Store.GetCurrent().Time;
  TExaminationLoader loader(fixture.Index, fixture.WorkFiles, fixture.Windows, &Texts());
  for (auto _ : state)
    if (loader.LoadMeasurement(date, time, TExaminationLoader::AsCurrent) != 0)
      state.SkipWithError("the load failed");
}
BENCHMARK(LoadStoredTest)->Unit(benchmark::kMillisecond);

class TCountingList final : public TMeetListSink {
public:
  void AddString(const std::string&) override { ++Lines; }
  void InsertAtTop(const std::string&) override { ++Lines; }
  int Lines = 0;
};

void ListThousandTests(benchmark::State& state) {
  TDatabaseFixture fixture;
  auto meet = OpenTestTable(fixture.Folder.Path(), "meet.db", &Texts());
  meet->BeginTransaction();
  for (int i = 0; i < 1000; ++i) {
    MeetRecordType row;
    row.PatientKey = 1;
    std::array<char, 16> date{}, time{};
    std::snprintf(date.data(), date.size(), "2026.%02d.%02d.", 1 + i / 100, 1 + i / 10 % 10);
    std::snprintf(time.data(), time.size(), "08:%02d:00", i % 10);
    SetFieldText(row.Date, date.data());
    SetFieldText(row.Time, time.data());
    row.Flags = MeetFlag::Fvc;
    meet->AddMeetRecord(row, 1);
  }
  meet->CommitTransaction();
  for (auto _ : state) {
    TCountingList list;
    fixture.Index.GetAllMeasure(list, 1);
    if (list.Lines != 1000)
      state.SkipWithError("not every test was listed");
  }
}
BENCHMARK(ListThousandTests)->Unit(benchmark::kMillisecond);

// 1,000 patients with one FVC examination each.
void FillPatients(TDatabaseFixture& fixture) {
  auto names = OpenTestTable(fixture.Folder.Path(), "names.db", &Texts());
  auto meet = OpenTestTable(fixture.Folder.Path(), "meet.db", &Texts());
  auto fvc = OpenTestTable(fixture.Folder.Path(), "fvc.db", &Texts());
  names->BeginTransaction();
  const std::vector<float> values(19, 2.5f), curve(375, 1.0f);
  for (int i = 0; i < 1000; ++i) {
    PatientRecordType patient;
    SetFieldText(patient.Name, "Patient " + std::to_string(i));
    SetFieldText(patient.Id, std::to_string(100000 + i));
    names->AddPatientRecord(patient, 1);
    MeetRecordType row;
    row.PatientKey = patient.Key;
    SetFieldText(row.Date, "2026.10.01.");
    SetFieldText(row.Time, "08:00:00");
    row.Flags = MeetFlag::Fvc;
    meet->AddMeetRecord(row, 1);
    fvc->AddSpiroRecord(values, values, values, 19, curve, 375, row.MeetKey, 1);
  }
  names->CommitTransaction();
}

void CopyThousandPatients(benchmark::State& state) {
  TDatabaseFixture fixture;
  FillPatients(fixture);
  auto names = OpenTestTable(fixture.Folder.Path(), "names.db", &Texts());
  const TTableSet here = PatientTransfer::TablesOf(names.get(), fixture.Tables);
  for (auto _ : state) {
    TTemporaryFolder target;
    names->GoTop();
    do {
      PatientRecordType patient;
      names->GetData(patient);
      if (PatientCopy::CopyPatient(here, patient, target.Path(), &Texts(), "") != 0)
        state.SkipWithError("a copy failed");
    } while (names->GetNextRec() == 0);
  }
}
BENCHMARK(CopyThousandPatients)->Unit(benchmark::kSecond)->Iterations(1);

void MergeThousandPatients(benchmark::State& state) {
  TDatabaseFixture source;
  FillPatients(source);
  for (auto _ : state) {
    TDatabaseFixture target;
    auto names = OpenTestTable(target.Folder.Path(), "names.db", &Texts());
    if (PatientTransfer::MergeDatabases(source.Folder.Path(), PatientTransfer::TablesOf(names.get(), target.Tables),
                                        &Texts(), {}) != 0)
      state.SkipWithError("the merge failed");
  }
}
BENCHMARK(MergeThousandPatients)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
