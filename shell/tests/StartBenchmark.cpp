// How long the program takes from its process start to the main window on
// screen, without the greeting's two-second minimum. Each run starts this
// program again as a child in a fresh working folder; the child builds the
// application with a clock that does not wait, and writes one byte as soon
// as the main window is exposed.
//
//   shell_start_benchmark            runs the measurement (offscreen)
//   shell_start_benchmark --child F  one start in the working folder F

#include "shell/app/HalvetraApp.h"
#include "shell/app/MainFrame.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

extern char** environ;

namespace {

std::string SelfPath;

class TNoWaitClock final : public TClock {
public:
  TTime Now() const override { return TTime::zero(); }
  void WaitUntil(TTime) override {}
};

int RunChild(int argc, char** argv) {
  std::filesystem::current_path(argv[2]);
  QApplication qt(argc, argv);
  TNoWaitClock clock;
  TRecordingSink sink;
  TAppOptions options;
  options.CommandLine = "-d";
  options.Clock = &clock;
  options.Sink = &sink;
  THalvetraApp app(std::move(options));
  app.InitMainWindow();
  QElapsedTimer patience;
  patience.start();
  while (!(app.GetFrame()->windowHandle() && app.GetFrame()->windowHandle()->isExposed()) && patience.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  const char shown = '1';
  if (::write(STDOUT_FILENO, &shown, 1) != 1)
    return 1;
  return 0;
}

// Seconds from spawning the child to its byte; negative when it failed.
double StartOnce() {
  TTemporaryFolder folder;
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0)
    return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  const std::string folderText = folder.Path().string();
  char* childArgv[] = {SelfPath.data(), const_cast<char*>("--child"), const_cast<char*>(folderText.c_str()), nullptr};

  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, SelfPath.c_str(), &actions, nullptr, childArgv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  char byte = 0;
  const bool shown = spawned == 0 && ::read(pipeEnds[0], &byte, 1) == 1;
  const auto end = std::chrono::steady_clock::now();
  ::close(pipeEnds[0]);
  int status = 0;
  if (spawned == 0)
    ::waitpid(child, &status, 0);
  if (!shown || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return std::chrono::duration<double>(end - start).count();
}

void StartToMainWindow(benchmark::State& state) {
  StartOnce();  // the first start warms the file cache
  for (auto _ : state) {
    const double seconds = StartOnce();
    if (seconds < 0) {
      state.SkipWithError("the child did not show its main window");
      break;
    }
    state.SetIterationTime(seconds);
  }
}
BENCHMARK(StartToMainWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
    return RunChild(argc, argv);
  SelfPath = std::filesystem::canonical("/proc/self/exe").string();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
