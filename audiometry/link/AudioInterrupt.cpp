#include "audiometry/link/AudioInterrupt.h"

#include "audiometry/link/AudioTexts.h"
#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Utf8.h"
#include "platform/portkit/FtdiTransport.h"
#include "platform/portkit/LinkTexts.h"
#include "platform/portkit/SerialPort.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

int TAudioInterrupt::LastMask = 0;
TEventHandlerPtr TAudioInterrupt::pThis;
int TAudioInterrupt::HwVersion = 0;
int TAudioInterrupt::StaticComPort = 0;

namespace {

// The step of the open that failed, by what the device said.
std::string_view StepOf(TPortFailure failure) {
  switch (failure) {
  case TPortFailure::NotSerial: return "GetCommState";
  case TPortFailure::BadBaudRate: return "SetCommState";
  default: return "OpenComm";
  }
}

std::string Words(const std::string& name, const TPortError& error) {
  return error.Detail.empty() ? name : name + ": " + error.Detail;
}

}  // namespace

std::recursive_mutex& TAudioInterrupt::PortLock() {
  static std::recursive_mutex lock;
  return lock;
}

TAudioInterrupt::TAudioInterrupt(unsigned mode, TMessage* texts)
    : TAudioData(mode, texts), WaitMs([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }) {
  SetDeviceOpener(nullptr);
}

TAudioInterrupt::~TAudioInterrupt() {
  if (PortOpen) {
    std::lock_guard lock(PortLock());
    RS232Restore();
  }
}

void TAudioInterrupt::SetDeviceOpener(TOpener opener) {
  if (opener) {
    Opener = std::move(opener);
    return;
  }
  Opener = [this](const TAudioInterrupt& link, TPortError& error, std::string& name) -> std::unique_ptr<TTransport> {
    const int rate = BaudRates[static_cast<std::size_t>(link.BaudRate)];
    if (link.Port == PortUsb) {
      name = "USB \"" + link.USBDescription + "\"";
      return TFtdiTransport::Open(link.USBDescription, rate, TimerClock(), error);
    }
    const std::string path = ComPortPath(link.SerialPortsIniFile, link.Port);
    name = "COM" + std::to_string(link.Port + 1) + " (" + path + ")";
    return TSerialPort::Open(path, name, rate, error);
  };
}

TLinkClock& TAudioInterrupt::TimerClock() {
  if (Clock)
    return *Clock;
  if (!OwnClock)
    OwnClock = std::make_unique<TQtLinkClock>();
  return *OwnClock;
}

void TAudioInterrupt::InitHandler() {
  LinkWord = 500;
  PortOpen = false;
  LastMask = 0;
  if (Mode == ModePortTest || Mode == ModeService || Install)
    OpenSerialPort();
}

void TAudioInterrupt::KillHandler() {
  if (Mode == ModePortTest || Mode == ModeService || Install)
    CloseSerialPort();
}

bool TAudioInterrupt::OpenSerialPort() {
  std::lock_guard lock(PortLock());
  PortOpen = false;
  FramingErrors = Overruns = ReceiveOverflows = 0;
  ReadPos = WritePos = 0;
  ReceivedCount = 0;
  LastAnswer = 0;
  LostReason.clear();
  StaticComPort = Port;
  if (CommDev)
    RS232Restore();
  if (InputBuffer < 1)
    InputBuffer = 32767;
  RingSize = static_cast<std::size_t>(InputBuffer);
  Ring.assign(RingSize + 1, 0);

  const auto fail = [this](int code, std::string_view step, const std::string& words) {
    ShowError(code, step, words);
    Ring.clear();
    Ring.shrink_to_fit();
    return false;
  };
  // A hand-edited setting out of range must not pick some other device.
  if (BaudRate < 0 || BaudRate >= static_cast<int>(BaudRates.size()))
    return fail(EINVAL, "OpenComm", Texts->Format(TEXT_PORT_BAD_BAUD_RATE, {std::to_string(BaudRate)}));
  if (Port < 0 || Port > PortUsb)
    return fail(EINVAL, "OpenComm", Texts->Format(TEXT_PORT_UNKNOWN, {std::to_string(Port)}));

  TPortError error;
  std::string name;
  auto device = Opener(*this, error, name);
  if (!device) {
    // A USB device that is not attached is no failure to report.
    if (Port == PortUsb && (error.Kind == TPortFailure::Missing || error.Kind == TPortFailure::NotConfigured)) {
      Ring.clear();
      return false;
    }
    return fail(EIO, StepOf(error.Kind), Words(name, error));
  }
  CommDev = std::move(device);
  CommName = name;
  if (!CommDev->SetDtr(true) || !CommDev->SetRts(true)) {
    const std::string why = Words(name, {TPortFailure::Other, CommDev->Error()});
    RS232Restore();
    return fail(EIO, "EscapeCommFunction", why);
  }
  NotifyPending = false;
  if (Port == PortUsb) {
    CommDev->Purge();
    if (Mode == ModePortTest || Mode == ModeService || Install) {
      // The USB device has no descriptor to watch: the window is told to
      // look every 250 ms.
      UsbPoll = TimerClock().Every(250, [] {
        if (pThis && CommDev)
          pThis->Post(WM_COMMNOTIFY, reinterpret_cast<TParam1>(CommDev.get()), 0);
      });
    }
  } else {
    CommDev->Watch([this] {
      if (!pThis) {
        CommNotify(CommDev.get());
        return;
      }
      // One notice at a time: the port stays readable until it is read.
      if (!NotifyPending) {
        NotifyPending = true;
        pThis->Post(WM_COMMNOTIFY, reinterpret_cast<TParam1>(CommDev.get()), 0);
      }
    });
  }
  PortOpen = true;
  return true;
}

void TAudioInterrupt::RS232Restore() {
  if (!CommDev)
    return;
  CommDev->Watch(nullptr);
  CommDev->Purge();
  CommDev->SetDtr(false);
  CommDev->SetRts(false);
  CommDev.reset();
  WritePos = ReadPos = 0;
}

void TAudioInterrupt::CloseSerialPort() {
  if (!PortOpen)
    return;
  {
    std::lock_guard lock(PortLock());
    RS232Restore();
    UsbPoll.reset();
    PortOpen = false;
    Ring.clear();
    Ring.shrink_to_fit();
  }
  ReportLineErrors();
}

void TAudioInterrupt::ReportLineErrors() {
  const auto text = [this](int number) { return Texts->LoadStringA(number); };
  std::string message;
  if (!LostReason.empty())
    message = Texts->Format(TEXT_AUDIO_LINK_LOST, {CommName, LostReason});
  else if (FramingErrors)
    message = text(TEXT_AUDIO_FRAMING) + " " + text(TEXT_AUDIO_FRAMING_WHY);
  else if (Overruns)
    message = text(TEXT_AUDIO_OVERRUN) + " " + text(TEXT_AUDIO_OVERRUN_WHY);
  else if (ReceiveOverflows)
    message = text(TEXT_AUDIO_OVERFLOW) + " " + text(TEXT_AUDIO_PLEASE_CHECK) + "\n\t" +
              text(TEXT_AUDIO_OVERFLOW_BUFFER) + "\n\t" + text(TEXT_AUDIO_CHECK_SETTINGS) + "\n\t" +
              text(TEXT_AUDIO_OVERFLOW_OTHER) + "\n\t" + text(TEXT_AUDIO_OVERFLOW_BUSY) + "\n\t  " +
              text(TEXT_AUDIO_OVERFLOW_LOST);
  if (!message.empty())
    Texts->MessageBoxText(message, TEXT_AUDIO_CAPTION, TMessageIcon::Stop);
}

void TAudioInterrupt::MarkLost(const std::string& why) {
  if (LostReason.empty())
    LostReason = why.empty() ? std::string("no answer") : why;
}

void TAudioInterrupt::SendDataToSerialPort(unsigned command, unsigned code, unsigned value) {
  std::lock_guard lock(PortLock());
  if (!CommDev)
    return;
  const std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(command & 0xFF),
                                          static_cast<std::uint8_t>(code & 0xFF),
                                          static_cast<std::uint8_t>(value & 0xFF), 0};
  if (!CommDev->Write(bytes))
    MarkLost(CommDev->Error());
}

void TAudioInterrupt::CommNotify(const TTransport* handle) {
  std::lock_guard lock(PortLock());
  NotifyPending = false;
  if (!CommDev || handle != CommDev.get() || Ring.empty())
    return;
  ReadDataFromSerialPortToBuffer();
  const TTransport::TLineErrors errors = CommDev->TakeLineErrors();
  FramingErrors += errors.Framing;
  Overruns += errors.Overrun;
  ReceiveOverflows += errors.ReceiveOverflow;
}

void TAudioInterrupt::ReadDataFromSerialPortToBuffer() {
  for (;;) {
    const std::size_t room = RingSize - WritePos;
    const auto got = CommDev->Read(std::span<std::uint8_t>(Ring.data() + WritePos, room));
    if (!got) {
      MarkLost(CommDev->Error());
      return;
    }
    if (*got == 0)
      return;
    WritePos += *got;
    ReadDataFromSerialBuffer();
    WritePos %= RingSize;
    if (*got < room)
      return;  // all that waited has been read; else go on from the ring's start
  }
}

void TAudioInterrupt::ReadDataFromSerialBuffer() {
  // Every byte of the last read, also when it filled the ring from its
  // start to its end.
  while (ReadPos < WritePos)
    Deliver(Ring[ReadPos++]);
  ReadPos %= RingSize;
}

void TAudioInterrupt::Deliver(std::uint8_t answer) {
  switch (Mode) {
  case ModeService:
    ++ReceivedCount;
    if (ServiceDisplay)
      ServiceDisplay(answer, ReceivedCount);
    break;
  case ModePortTest: LastAnswer = answer; break;
  default:
    if (pThis)
      pThis->Post(WM_DATA_READY, answer, 0);
    break;
  }
}

bool TAudioInterrupt::TestSerialPort() {
  const unsigned savedMode = Mode;
  const TEventHandlerPtr savedWindow = pThis;
  Mode = ModePortTest;
  pThis = nullptr;
  InitHandler();
  bool found = false;
  if (PortOpen) {
    for (int attempt = 0; attempt < 10; ++attempt) {
      LastAnswer = 0;
      SendDataToSerialPort(0xC0, 0, 0);
      Wait(WaitAnswer);
      CommNotify(IdCommDev());
      if ((LastAnswer & 0xC0) == 0x80) {
        found = true;
        HwVersion = LastAnswer & 0x7F;
      }
    }
  }
  KillHandler();
  Mode = savedMode;
  pThis = savedWindow;
  return found;
}

bool TAudioInterrupt::VerifySerialPort(bool show) {
  if (!Install)
    return false;
  DevicePresent = TestSerialPort();
  if (!DevicePresent && show) {
    const auto text = [this](int number) { return Texts->LoadStringA(number); };
    Texts->MessageBoxText(text(TEXT_AUDIO_NO_ANSWER) + " " + text(TEXT_AUDIO_PLEASE_CHECK) + "\n\t" +
                              text(TEXT_AUDIO_CHECK_POWER) + "\n\t" + text(TEXT_AUDIO_CHECK_CABLE) + "\n\t" +
                              text(TEXT_AUDIO_CHECK_SETTINGS),
                          TEXT_AUDIO_CAPTION, TMessageIcon::Stop);
  }
  return DevicePresent;
}

void TAudioInterrupt::ShowError(int code, std::string_view step, std::string_view words) const {
  int number = TEXT_AUDIO_SYSTEM_ERROR;
  switch (code) {
  case -1: number = 175; break;
  case -2: number = 182; break;
  case -3: number = 181; break;
  case -4: number = 180; break;
  case -5: number = 178; break;
  case -10: number = 179; break;
  case -11: number = 177; break;
  case -12: number = 176; break;
  default: break;
  }
  std::string text = number == TEXT_AUDIO_SYSTEM_ERROR
                         ? Texts->Format(number, {words.empty() ? std::strerror(code) : std::string(words)})
                         : Texts->LoadStringA(number);
  text = std::string(Utf8::Truncate(text, 254));
  Texts->GetSink().Show({std::string(step), text, TMessageIcon::Stop, TMessageButtons::Ok});
}
