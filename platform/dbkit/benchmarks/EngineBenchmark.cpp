// The engine on a database of a busy laboratory: 100,000 patients and
// 500,000 examinations, built once in a temporary folder. Measures what
// the staff wait for: the first row of a name search, one patient's
// examinations in date order, and saving an FVC examination to the disk.

#include "platform/dbkit/Engine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Patients = 100'000;
constexpr int Examinations = 500'000;
constexpr std::size_t CurveSamples = 6010;

const char* const Surnames[] = {"Nagy",   "Kovács", "Tóth",    "Szabó",  "Horváth", "Varga",  "Kiss",  "Molnár",
                                "Németh", "Farkas", "Balogh",  "Papp",   "Takács",  "Juhász", "Lakatos", "Mészáros",
                                "Oláh",   "Simon",  "Rácz",    "Fekete", "Müller",  "Schmidt", "Weber", "Fischer",
                                "Meyer",  "Wagner", "Becker",  "Schulz", "Hoffmann", "Koch",  "Richter", "Klein"};
const char* const GivenNames[] = {"Anna", "Béla", "Csaba", "Dóra", "Éva", "Ferenc", "Gábor", "Hanna",
                                  "István", "Judit", "Károly", "Lili", "Márta", "Noémi", "Ödön", "Péter"};

std::vector<float> Curve() {
  std::vector<float> flow(CurveSamples);
  for (std::size_t i = 0; i < flow.size(); ++i) {
    const double t = static_cast<double>(i) / 100.0;
    flow[i] = static_cast<float>(90.0 * t * std::exp(1.0 - t / 0.1) * std::exp(-t));
  }
  return flow;
}

class TLaboratory {
public:
  static TLaboratory& Get() {
    static TLaboratory laboratory;
    return laboratory;
  }
  ~TLaboratory() {
    Names.reset();
    Meets.reset();
    Fvc.reset();
    std::error_code ec;
    std::filesystem::remove_all(Folder, ec);
  }

  std::unique_ptr<TEngine> Names, Meets, Fvc;
  std::string Prefixes[64];
  int SavedExaminations = 0;

private:
  TLaboratory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "halvetra-benchmark-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
      std::abort();
    Folder = pattern;
    Names = Open("names.db", TableKind::Names);
    Meets = Open("meet.db", TableKind::Meet);
    Fvc = Open("fvc.db", TableKind::Fvc);

    std::mt19937 random(2024);
    Names->BeginTransaction();
    for (int i = 0; i < Patients; ++i) {
      PatientRecordType patient;
      const std::string name = std::string(Surnames[random() % std::size(Surnames)]) + " " +
                               GivenNames[random() % std::size(GivenNames)] + " " + std::to_string(random() % 1000);
      SetFieldText(patient.Name, name);
      SetFieldText(patient.Id, std::to_string(10'000'000 + i));
      SetFieldText(patient.Date[0], std::to_string(1930 + random() % 80) + ".0" + std::to_string(1 + random() % 9) +
                                        "." + std::to_string(10 + random() % 18) + ".");
      patient.Height = 150 + static_cast<int>(random() % 50);
      patient.Weight = 50 + static_cast<int>(random() % 50);
      patient.Doctor = 1;
      if (Names->AddPatientRecord(patient, 1) != 0)
        std::abort();
      if (i % 10'000 == 9'999) {
        Names->CommitTransaction();
        Names->BeginTransaction();
      }
    }
    Names->CommitTransaction();

    Meets->BeginTransaction();
    for (int i = 0; i < Examinations; ++i) {
      MeetRecordType meet;
      meet.PatientKey = 1 + static_cast<std::int32_t>(random() % Patients);
      char date[21], time[9];
      std::snprintf(date, sizeof date, "%04d.%02d.%02d.", 2000 + static_cast<int>(random() % 25),
                    1 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 28));
      std::snprintf(time, sizeof time, "%02d:%02d:%02d", static_cast<int>(random() % 24),
                    static_cast<int>(random() % 60), static_cast<int>(random() % 60));
      SetFieldText(meet.Date, date);
      SetFieldText(meet.Time, time);
      meet.Flags = MeetFlag::Fvc;
      SetFieldText(meet.Version, "V1.000");
      const short result = Meets->AddMeetRecord(meet, 1);
      if (result != 0 && result != DbResult::DuplicateKey)
        std::abort();
      if (i % 10'000 == 9'999) {
        Meets->CommitTransaction();
        Meets->BeginTransaction();
      }
    }
    Meets->CommitTransaction();

    for (std::size_t i = 0; i < std::size(Prefixes); ++i)
      Prefixes[i] = std::string(Surnames[i % std::size(Surnames)]).substr(0, 2 + i % 3);
  }

  std::unique_ptr<TEngine> Open(const char* table, short kind) const {
    auto engine = std::make_unique<TEngine>();
    engine->SetFolder(Folder.string());
    engine->SetTableName(table);
    std::uint32_t database = 0, cursor = 0;
    if (engine->OpenDB(database) != 0 || engine->CreateTable(cursor, kind, "") != 0)
      std::abort();
    return engine;
  }

  std::filesystem::path Folder;
};

double Max(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

// The slowest single call of a run, besides the mean that the library reports.
class TSlowest {
public:
  void Start() { Begin = std::chrono::steady_clock::now(); }
  void Stop() {
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - Begin;
    Worst = std::max(Worst, took.count());
  }
  void Report(benchmark::State& state) const { state.counters["slowest_ms"] = Worst; }

private:
  std::chrono::steady_clock::time_point Begin;
  double Worst = 0.0;
};

// The search dialog: the first patient whose name begins with the letters typed.
void NamePrefixSearchFirstRow(benchmark::State& state) {
  TLaboratory& lab = TLaboratory::Get();
  std::size_t next = 0;
  PatientRecordType patient;
  TSlowest slowest;
  for (auto _ : state) {
    const std::string& prefix = lab.Prefixes[next++ % std::size(lab.Prefixes)];
    slowest.Start();
    if (lab.Names->Search(SearchGreaterOrEqual, 1, prefix) != 0 || lab.Names->GetData(patient) != 0)
      state.SkipWithError("no row found");
    slowest.Stop();
    benchmark::DoNotOptimize(patient);
  }
  slowest.Report(state);
}

// The index of a patient's examinations, in date and time order.
void PatientExaminationsInDateOrder(benchmark::State& state) {
  TLaboratory& lab = TLaboratory::Get();
  std::mt19937 random(7);
  std::int64_t listed = 0;
  TSlowest slowest;
  for (auto _ : state) {
    const long patientKey = 1 + static_cast<long>(random() % Patients);
    MeetRecordType meet;
    slowest.Start();
    if (lab.Meets->Search(SearchGreaterOrEqual, 1, patientKey) == 0) {
      do {
        if (lab.Meets->GetData(meet, dbiWRITELOCK) != 0 || meet.PatientKey != patientKey)
          break;
        ++listed;
      } while (lab.Meets->GetNextRec() == 0);
    }
    slowest.Stop();
  }
  slowest.Report(state);
  state.counters["examinations per patient"] =
      benchmark::Counter(static_cast<double>(listed), benchmark::Counter::kAvgIterations);
}

// Saving an FVC test: its examination row and its FVC row with the curve,
// committed together and on the disk when the call returns.
void SaveFvcExamination(benchmark::State& state) {
  TLaboratory& lab = TLaboratory::Get();
  const std::vector<float> curve = Curve();
  const std::vector<float> values(19, 3.5f);
  TSlowest slowest;
  for (auto _ : state) {
    MeetRecordType meet;
    meet.PatientKey = Patients + 1;  // a patient of its own: never a duplicate of the fixture
    const int second = lab.SavedExaminations++;
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", second / 3600 % 24, second / 60 % 60, second % 60);
    SetFieldText(meet.Date, "2025.06.30.");
    SetFieldText(meet.Time, time);
    meet.Flags = MeetFlag::Fvc;
    SetFieldText(meet.Version, "V1.000");
    slowest.Start();
    if (lab.Meets->BeginTransaction() != 0 || lab.Meets->AddMeetRecord(meet, 1) != 0 ||
        lab.Fvc->AddSpiroRecord(values, values, values, 19, curve, static_cast<long>(curve.size()), meet.MeetKey, 1) !=
            0 ||
        lab.Meets->CommitTransaction() != 0) {
      lab.Meets->RollbackTransaction();
      state.SkipWithError("the save failed");
    }
    slowest.Stop();
  }
  slowest.Report(state);
}

}  // namespace

BENCHMARK(NamePrefixSearchFirstRow)->Unit(benchmark::kMillisecond)->Iterations(2000)->Repetitions(5)->ComputeStatistics("max", Max);
BENCHMARK(PatientExaminationsInDateOrder)->Unit(benchmark::kMillisecond)->Iterations(2000)->Repetitions(5)->ComputeStatistics("max", Max);
BENCHMARK(SaveFvcExamination)->Unit(benchmark::kMillisecond)->Iterations(50)->Repetitions(5)->ComputeStatistics("max", Max);
