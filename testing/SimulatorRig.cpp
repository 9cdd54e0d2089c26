#include "testing/SimulatorRig.h"

#include "platform/portkit/MeasureInterrupt.h"

#include <QCoreApplication>

#include <algorithm>

TSimulatorRig::TSimulatorRig()
    : TSimulatorRig(std::make_shared<TManualLinkClock>(), nullptr) {}

TSimulatorRig::TSimulatorRig(std::shared_ptr<TManualLinkClock> clock, std::shared_ptr<TFakeDevice> device)
    : ClockPtr(std::move(clock)), DevicePtr(std::move(device)) {
  if (!DevicePtr)
    DevicePtr = std::make_shared<TFakeDevice>(ClockPtr.get());
  Pump.setInterval(0);
  QObject::connect(&Pump, &QTimer::timeout, &Pump, [this] { Step(); });
}

void TSimulatorRig::Connect(TMeasureInterrupt& link, std::string portName) {
  link.SetClock(ClockPtr);
  link.SetDeviceOpener([device = DevicePtr, portName = std::move(portName)](
                           const PORT_CONFIG&, TPortError&, std::string& name) -> std::unique_ptr<TTransport> {
    name = portName;
    return std::make_unique<TFakeTransport>(device, name);
  });
}

void TSimulatorRig::Attach(TSimulatorOptions options) {
  options.LogFile.clear();
  Lines.clear();
  const InstrumentProtocol::TIdentity identity{InstrumentProtocol::Version, options.HardwareVersion,
                                               options.Capabilities, 0};
  Simulated = std::make_unique<TSimulatedInstrument>(std::move(options), [this](const std::string& line) {
    Lines.push_back(line);
    for (const auto& listener : Listeners)
      listener(line);
  });
  DevicePtr->Identity = identity;
  DevicePtr->Identity.Channels = Simulated->ChannelMask();
}

void TSimulatorRig::Step() {
  if (!Simulated)
    return;
  Simulated->Receive(DevicePtr->TakeWrittenBytes());
  Simulated->Tick();
  if (const InstrumentProtocol::TBytes out = Simulated->TakeOutput(); !out.empty())
    DevicePtr->Send(out);
  ClockPtr->Advance(SamplePeriodMs);
  ++Played;
  for (const auto& hook : Hooks)
    hook();
}

long TSimulatorRig::PlayWhile(const std::function<bool()>& more, long limit) {
  long n = 0;
  for (; n < limit && more(); ++n)
    Step();
  return n;
}

void TSimulatorRig::Play(long steps) {
  for (long n = 0; n < steps; ++n)
    Step();
}

void TSimulatorRig::StartPump() { Pump.start(); }

void TSimulatorRig::StopPump() { Pump.stop(); }

bool TSimulatorRig::RunEventLoopWhile(const std::function<bool()>& more, long passes) {
  StartPump();
  for (long k = 0; k < passes && more(); ++k)
    QCoreApplication::processEvents();
  StopPump();
  return !more();
}

std::vector<std::string> TSimulatorRig::Words() const {
  std::vector<std::string> words;
  for (const std::string& line : Lines)
    if (line.rfind("word ", 0) == 0 && (words.empty() || words.back() != line.substr(5)))
      words.push_back(line.substr(5));
  return words;
}

bool TSimulatorRig::Logged(std::string_view line) const { return CountLogged(line) > 0; }

long TSimulatorRig::CountLogged(std::string_view line) const {
  return static_cast<long>(std::count(Lines.begin(), Lines.end(), line));
}
