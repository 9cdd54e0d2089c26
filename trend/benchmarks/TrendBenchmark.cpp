// Opening a trend of 500 examinations as the browser does (one request per
// examination, each answered by adding its line) until the first drawing is
// done, and a full reload (the predicted toggle). The examinations come from
// memory here: this measures the window's own share.

#include "trend/Trend.h"

#include "common/CommandNumbers.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

struct TExam {
  std::array<float, 5> Values, Predicted;
};

class TMemoryClient : public TEventHandler {
public:
  TTrend* Window = nullptr;
  std::map<std::string, TExam> Exams;

  static const TResponseTable& ResponseTable() {
    static constexpr TResponseEntry entries[] = {Response::Message<&TMemoryClient::EvRead>(WM_READ_TREND_DATA)};
    static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
    return table;
  }
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  TResult EvRead(TParam1 w, TParam2 l) {
    const std::string key = reinterpret_cast<const char*>(l);
    const auto found = Exams.find(key);
    if (found == Exams.end())
      return 1;
    const std::size_t at = key.find('@');
    Window->AddDataToTrendListBox(key.substr(0, at).c_str(), key.substr(at + 1).c_str(), found->second.Values.data(),
                                  found->second.Predicted.data(), ' ', static_cast<short>(w));
    return 1;
  }
};

std::vector<std::string> MakeKeys(TMemoryClient& client) {
  std::vector<std::string> keys;
  for (int i = 0; i < 500; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "%04d.%02d.%02d.@%02d:00:00", 2000 + i / 36, 1 + (i / 3) % 12, 1 + i % 28, 8 + i % 3);
    const float f = 1.0f + 0.001f * static_cast<float>(i % 50);
    client.Exams[key] = {{3.4f * f, 2.8f / f, 4.1f, 3.9f * f, 0.25f}, {3.9f, 3.1f, 4.3f, 4.0f, 0.3f}};
    keys.push_back(key);
  }
  return keys;
}

PREDICTED_DATA Patient() {
  PREDICTED_DATA patient;
  patient.SetName("Benchmark Patient");
  patient.Age = 60;
  patient.Height = 170;
  patient.Weight = 70;
  return patient;
}

void OpenTrend(benchmark::State& state) {
  TMemoryClient client;
  const std::vector<std::string> keys = MakeKeys(client);
  for (auto _ : state) {
    TTrend window(1.0f, 1.0f, nullptr, "/nonexistent/Halvetra.ini", Patient(), "YYYY.MM.DD.");
    window.Model().Params = {0, 2, 100, 300, 404};
    client.Window = &window;
    window.SetClient(&client);
    for (const std::string& key : keys)
      SendMessage(&client, WM_READ_TREND_DATA, 0, reinterpret_cast<TParam2>(key.c_str()));
    window.RedrawScreenBmp();
    benchmark::DoNotOptimize(window.ScreenBmp().constBits());
  }
}
BENCHMARK(OpenTrend)->Unit(benchmark::kMillisecond);

void PredictedReload(benchmark::State& state) {
  TMemoryClient client;
  const std::vector<std::string> keys = MakeKeys(client);
  TTrend window(1.0f, 1.0f, nullptr, "/nonexistent/Halvetra.ini", Patient(), "YYYY.MM.DD.");
  client.Window = &window;
  window.SetClient(&client);
  for (const std::string& key : keys)
    SendMessage(&client, WM_READ_TREND_DATA, 0, reinterpret_cast<TParam2>(key.c_str()));
  window.Model().Params = {0, 2, 100, 300, 404};
  for (auto _ : state)
    window.DispatchCommand(CM_PREDICTED);
}
BENCHMARK(PredictedReload)->Unit(benchmark::kMillisecond);

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
