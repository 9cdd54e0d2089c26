// What the instrument link costs: one sample from the arrival of its bytes
// to the data-ready message in the window, and a whole trial at 100 samples
// a second as a share of one core.

#include "common/CommandNumbers.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "platform/portkit/SerialPort.h"
#include "platform/portkit/tests/support/FakeDevice.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace InstrumentProtocol;

namespace {

void NeedApplication() {
  static int argc = 1;
  static char name[] = "portkit_benchmark";
  static char* argv[] = {name, nullptr};
  static QCoreApplication application(argc, argv);
}

// Processor time of this process: in the program itself, and in the kernel
// on its behalf.
struct TCpu {
  double User;
  double System;
  double Total() const { return User + System; }
};

TCpu CpuNow() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return {usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6, usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6};
}

double CpuSeconds() { return CpuNow().Total(); }

// The window's side: hands notifications to the link and counts samples.
class TCountingWindow final : public TEventHandler {
public:
  explicit TCountingWindow(TMeasureInterrupt& link) : Link(link) {}
  static const TResponseTable& ResponseTable() {
    static constexpr TResponseEntry entries[] = {
        Response::Message<&TCountingWindow::EvCommNotify>(WM_COMMNOTIFY),
        Response::Message<&TCountingWindow::EvDataReady>(WM_DATA_READY),
    };
    static const TResponseTable table{entries, &TEventHandler::ResponseTable()};
    return table;
  }
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  long Samples = 0;

private:
  TResult EvCommNotify(TParam1 device, TParam2) {
    Link.CommNotify(device);
    return 0;
  }
  TResult EvDataReady(TParam1, TParam2) {
    ++Samples;
    return 1;
  }
  TMeasureInterrupt& Link;
};

// Points COM1 of an ini file in `folder` at `device` and the link at COM1.
void UseCom1(TMeasureInterrupt& link, const QTemporaryDir& folder, const std::string& device) {
  const std::string ini = folder.filePath("Halvetra.ini").toStdString();
  std::ofstream(ini) << "[Serial Ports]\nCOM1=" << device << "\n";
  link.SerialPortsIniFile = ini;
  link.PortConfig.Port = 0;
  link.HasInstrument = true;
}

TBytes SampleFrame(std::uint8_t sequence) {
  TSample sample;
  sample.Sequence = sequence;
  sample.Set(ChannelFlow, -420);
  TBytes frame;
  AppendSample(frame, sample);
  return frame;
}

// Bytes handed to the link as the watch reports them, through decoding and
// the two posted events, to the window's handler.
void BM_SampleFromByteArrivalToWindow(benchmark::State& state) {
  NeedApplication();
  auto clock = std::make_shared<TManualLinkClock>();
  auto device = std::make_shared<TFakeDevice>(clock.get());
  TMeasureInterrupt link(MEASURE_FVC, nullptr);
  link.SetClock(clock);
  link.SetDeviceOpener([&](const PORT_CONFIG&, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
    name = "COM1";
    return std::make_unique<TFakeTransport>(device, name);
  });
  link.HasInstrument = true;
  TCountingWindow window(link);
  link.TestSerialPort();
  TMeasureData::pThis = &window;
  link.InitHandler();
  std::uint8_t sequence = 0;
  for (auto _ : state) {
    const long before = window.Samples;
    device->Send(SampleFrame(sequence++));
    while (window.Samples == before)
      QCoreApplication::sendPostedEvents();
  }
  link.KillHandler();
  TMeasureData::pThis = nullptr;
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SampleFromByteArrivalToWindow)->Unit(benchmark::kMicrosecond);

// The same through a real pseudo-terminal: the write of the frame is the
// arrival; the kernel, the socket notifier and the event loop are inside.
void BM_SampleThroughPseudoTerminal(benchmark::State& state) {
  NeedApplication();
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ::grantpt(master);
  ::unlockpt(master);
  const QTemporaryDir folder;
  TMeasureInterrupt link(MEASURE_FVC, nullptr);
  UseCom1(link, folder, ::ptsname(master));
  TCountingWindow window(link);
  TMeasureData::pThis = &window;
  link.InitHandler();  // opens the port
  std::uint8_t sequence = 0;
  const TCpu before = CpuNow();
  for (auto _ : state) {
    const long before = window.Samples;
    const TBytes frame = SampleFrame(sequence++);
    if (::write(master, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size()))
      state.SkipWithError("write to the pseudo-terminal failed");
    while (window.Samples == before)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  const TCpu after = CpuNow();
  link.KillHandler();
  link.RestoreSerialPort();
  TMeasureData::pThis = nullptr;
  ::close(master);
  state.SetItemsProcessed(state.iterations());
  const auto perSample = [&](double seconds) { return seconds / static_cast<double>(state.iterations()) * 1e6; };
  state.counters["user_us"] = perSample(after.User - before.User);
  state.counters["kernel_us"] = perSample(after.System - before.System);
}
BENCHMARK(BM_SampleThroughPseudoTerminal)->Unit(benchmark::kMicrosecond);

// A 60-second demonstration trial replayed through the link with the clock
// advanced by hand: the link's own work for a trial, as a share of 60 s.
void BM_DemonstrationTrialReplay(benchmark::State& state) {
  NeedApplication();
  auto clock = std::make_shared<TManualLinkClock>();
  TMeasureInterrupt link(MEASURE_FVC, nullptr);
  link.SetClock(clock);
  link.Flow[0].assign(TMeasureData::CurveBufferSamples, -0.5f);
  link.SampleCount[MEASURE_FVC][0] = 6000;
  TMeasureData::MeasureMode = MEASURE_FVC;
  link.TestDemo();
  TCountingWindow window(link);
  TMeasureData::pThis = &window;
  double seconds = 0.0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    link.InitHandler();
    for (int tick = 0; tick < 6000; ++tick) {
      clock->Advance(SamplePeriodMs);
      QCoreApplication::sendPostedEvents();
      QCoreApplication::sendPostedEvents();
    }
    link.KillHandler();
    seconds += CpuSeconds() - start;
  }
  TMeasureData::pThis = nullptr;
  state.counters["cpu_percent_of_60s"] = seconds / static_cast<double>(state.iterations()) / 60.0 * 100.0;
}
BENCHMARK(BM_DemonstrationTrialReplay)->Unit(benchmark::kMillisecond);

// A real minute: the simulator streams a forced manoeuvre and rest through a
// pseudo-terminal; what the link and the window's side take of this process.
void BM_MinuteFromTheSimulator(benchmark::State& state) {
  NeedApplication();
  for (auto _ : state) {
    const QTemporaryDir folder;
    QProcess simulator;
    simulator.start(QString(HALVETRA_BINARY_DIR) + "/bin/halvetra-lungsim",
                    {"--manoeuvre", "fvc", "--trigger", "stream", "--lead-in", "5"});
    const QDeadlineTimer started(10000);
    while (!simulator.canReadLine() && !started.hasExpired())
      simulator.waitForReadyRead(100);
    TMeasureInterrupt link(MEASURE_FVC, nullptr);
    UseCom1(link, folder, simulator.readLine().trimmed().toStdString());
    TCountingWindow window(link);
    if (!link.TestSerialPort()) {
      state.SkipWithError(link.LastPortError.c_str());
      break;
    }
    TMeasureData::pThis = &window;
    const TCpu start = CpuNow();
    link.InitHandler();
    QEventLoop minute;
    QTimer::singleShot(60000, &minute, &QEventLoop::quit);
    minute.exec();
    link.KillHandler();
    const TCpu end = CpuNow();
    TMeasureData::pThis = nullptr;
    state.counters["samples"] = static_cast<double>(window.Samples);
    state.counters["cpu_percent_of_one_core"] = (end.Total() - start.Total()) / 60.0 * 100.0;
    state.counters["user_percent"] = (end.User - start.User) / 60.0 * 100.0;
    simulator.terminate();
    simulator.waitForFinished(5000);
  }
}
BENCHMARK(BM_MinuteFromTheSimulator)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
