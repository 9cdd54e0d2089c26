#include "platform/portkit/MeasureInterrupt.h"

#include "platform/basekit/Message.h"
#include "platform/portkit/DemoReplay.h"
#include "platform/portkit/FtdiTransport.h"
#include "platform/portkit/LinkTexts.h"
#include "platform/portkit/SerialPort.h"

#include <algorithm>
#include <cstring>

using namespace InstrumentProtocol;

namespace {

std::string UsbDescription(const PORT_CONFIG& config) {
  return {config.USBDescription.data(), ::strnlen(config.USBDescription.data(), config.USBDescription.size())};
}

}  // namespace

void TMeasureInterrupt::SetDeviceOpener(TDeviceOpener opener) {
  if (opener) {
    OpenDevice = std::move(opener);
    return;
  }
  OpenDevice = [this](const PORT_CONFIG& config, TPortError& error, std::string& name) -> std::unique_ptr<TTransport> {
    const int rate = BaudRateOf(config.BaudRate);
    if (config.Port >= 0 && config.Port < PORT_USB) {
      const std::string path = ComPortPath(SerialPortsIniFile, config.Port);
      name = "COM" + std::to_string(config.Port + 1) + " (" + path + ")";
      if (path.empty()) {
        name = "COM" + std::to_string(config.Port + 1);
        error = {TPortFailure::NotConfigured, {}};
        return nullptr;
      }
      if (!rate) {
        error = {TPortFailure::BadBaudRate, std::to_string(config.BaudRate)};
        return nullptr;
      }
      return TSerialPort::Open(path, name, rate, error);
    }
    if (config.Port == PORT_USB) {
      name = "USB \"" + UsbDescription(config) + "\"";
      if (!rate) {
        error = {TPortFailure::BadBaudRate, std::to_string(config.BaudRate)};
        return nullptr;
      }
      return TFtdiTransport::Open(UsbDescription(config), rate, *Clock, error);
    }
    name = std::to_string(config.Port);
    error = {TPortFailure::UnknownPort, {}};
    return nullptr;
  };
}

std::string TMeasureInterrupt::PortErrorText(const TPortError& error, const std::string& name) const {
  const bool usb = PortConfig.Port == PORT_USB;
  switch (error.Kind) {
  case TPortFailure::NotConfigured:
    return usb ? Text(TEXT_USB_NO_DESCRIPTION, {}) : Text(TEXT_PORT_NOT_CONFIGURED, {name});
  case TPortFailure::UnknownPort: return Text(TEXT_PORT_UNKNOWN, {name});
  case TPortFailure::Missing:
    return usb ? Text(TEXT_USB_MISSING, {UsbDescription(PortConfig)}) : Text(TEXT_PORT_MISSING, {name});
  case TPortFailure::Busy: return Text(TEXT_PORT_BUSY, {name});
  case TPortFailure::Denied: return Text(TEXT_PORT_DENIED, {name, error.Detail});
  case TPortFailure::NotSerial: return Text(TEXT_PORT_NOT_SERIAL, {name});
  case TPortFailure::BadBaudRate: return Text(TEXT_PORT_BAD_BAUD_RATE, {error.Detail});
  case TPortFailure::None:
  case TPortFailure::Other: break;
  }
  return Text(TEXT_PORT_CANNOT_OPEN, {name, error.Detail});
}

bool TMeasureInterrupt::OpenConfiguredDevice() {
  CloseDevice();
  TPortError error;
  std::string name;
  auto device = OpenDevice(PortConfig, error, name);
  if (!device) {
    LastPortError = PortErrorText(error, name);
    return false;
  }
  InstallDevice(std::move(device), true);
  OpenedWith = PortConfig;
  return true;
}

void TMeasureInterrupt::InstallDevice(std::unique_ptr<TTransport> device, bool live) {
  Device = std::move(device);
  DeviceId = IdCommDev % 30000 + 1;  // a new id: notifications of an earlier device no longer count
  IdCommDev = DeviceId;
  PortInUse = live;
  Decoder.Clear();
}

void TMeasureInterrupt::CloseDevice() {
  KillHandler();
  if (Device)
    Device->Watch({});
  Device.reset();
  PortInUse = false;
}

std::optional<TIdentity> TMeasureInterrupt::Identify() {
  Device->Purge();
  TFrameDecoder replies;
  std::array<std::uint8_t, 512> chunk{};
  for (int attempt = 0; attempt < IdentifyAttempts; ++attempt) {
    TBytes request;
    AppendIdentify(request);
    if (!Device->Write(request)) {
      LastPortError = Text(TEXT_PORT_CANNOT_OPEN, {Device->Name(), Device->Error()});
      return std::nullopt;
    }
    const std::int64_t deadline = Clock->NowMs() + IdentifyTimeoutMs;
    for (std::int64_t left = IdentifyTimeoutMs; left > 0; left = deadline - Clock->NowMs()) {
      if (!Device->WaitForData(static_cast<int>(left)))
        continue;
      const auto got = Device->Read(chunk);
      if (!got) {
        LastPortError = Text(TEXT_PORT_CANNOT_OPEN, {Device->Name(), Device->Error()});
        return std::nullopt;
      }
      replies.Feed({chunk.data(), *got});
      while (const auto frame = replies.Next())  // samples of a streaming instrument are passed over
        if (const auto identity = ReadIdentity(*frame))
          return identity;
    }
  }
  LastPortError = Text(TEXT_PORT_NO_ANSWER, {Device->Name()});
  return std::nullopt;
}

bool TMeasureInterrupt::Check(bool showMessages) {
  CheckPassed = false;
  LastPortError.clear();
  bool found = OpenConfiguredDevice();
  if (found) {
    const auto identity = Identify();
    if (identity && identity->ProtocolVersion != Version) {
      LastPortError = Text(TEXT_PORT_OTHER_PROTOCOL, {Device->Name(), std::to_string(identity->ProtocolVersion)});
    } else if (identity) {
      PortConfig.VersionOfHardware = static_cast<short>(identity->HardwareVersion);
      InstrumentType = identity->HardwareVersion;
      HasRhinomanometer = identity->Capabilities & CapabilityRhinomanometer;
      HasNebulizer = identity->Capabilities & CapabilityNebulizer;
      HasShutter = identity->Capabilities & CapabilityShutter;
      FlowScaleVariant = (identity->Capabilities & CapabilityFineFlowScale) ? 1 : 0;
      HardwareMode = identity->Capabilities;
      CheckPassed = true;
    }
    found = CheckPassed;
  }
  if (!found) {
    CloseDevice();
    if (showMessages && MessageText)
      MessageText->MessageBoxText(LastPortError, 0, TMessageIcon::Stop);
  }
  return found;
}

bool TMeasureInterrupt::TestSerialPort() { return Check(false); }

bool TMeasureInterrupt::VerifySerialPort(bool showMessages) { return Check(showMessages); }

bool TMeasureInterrupt::TestConfiguration(short delayCycle, short port, bool showMessages) {
  PortConfig.DelayCycle = delayCycle;
  PortConfig.Port = port;
  PortConfig.Type = 2;
  return Check(showMessages);
}

bool TMeasureInterrupt::TestDemo() {
  CloseDevice();
  const auto version = static_cast<std::uint16_t>(PortConfig.VersionOfHardware);
  InstallDevice(std::make_unique<TDemoReplay>(*Clock, version, [this] { return DemoSamples(); }), false);
  InstrumentType = version;
  HasRhinomanometer = HasNebulizer = HasShutter = false;
  FlowScaleVariant = 0;
  HardwareMode = 0;
  CheckPassed = Identify().has_value();
  return CheckPassed;
}

void TMeasureInterrupt::RestoreSerialPort() { CloseDevice(); }

std::vector<TSample> TMeasureInterrupt::DemoSamples() const {
  std::vector<TSample> samples;
  if (MeasureMode < 0 || MeasureMode > MEASURE_CALIBRATION || TrialIndex < 0 || TrialIndex > 3)
    return samples;
  const auto mode = static_cast<std::size_t>(MeasureMode);
  const auto slot = static_cast<std::size_t>(TrialIndex);
  const TCurve& flow = MeasureMode == MEASURE_CALIBRATION ? CalFlow : Flow[slot];
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(std::max<short>(SampleCount[mode][slot], 0)), flow.size());
  const auto at = [](const TCurve& curve, std::size_t i) { return i < curve.size() ? curve[i] : 0.0f; };
  samples.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    TSample& s = samples[i];
    switch (MeasureMode) {
    case MEASURE_RHINO:  // mL/s and Pa
      s.Set(ChannelFlow, Counts(flow[i], FlowMlpsPerCount));
      s.Set(ChannelNasalPressure, Counts(at(Third[slot], i), NasalPaPerCount));
      break;
    case MEASURE_SHUTTER:  // the replayed shutter data are raw counts
      s.Set(ChannelFlow, Counts(flow[i], 1.0));
      s.Set(ChannelMouthPressure, Counts(at(Third[slot], i), 1.0));
      break;
    case MEASURE_PLETHY:  // L/s, Pa and kPa
      s.Set(ChannelFlow, Counts(flow[i] * 1000.0, FlowMlpsPerCount));
      s.Set(ChannelBoxPressure, Counts(at(BoxPressure[slot], i), BoxPaPerCount));
      s.Set(ChannelMouthPressure, Counts(at(MouthPressure[slot], i) * 1000.0, PlethysmographMouthPaPerCount));
      break;
    default:  // L/s
      s.Set(ChannelFlow, Counts(flow[i] * 1000.0, FlowMlpsPerCount));
      break;
    }
  }
  return samples;
}
