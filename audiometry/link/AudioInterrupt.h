#pragma once

// The audiometer link: one serial port (COM1 to COM6) or FTDI USB device,
// 4-byte commands out, single answer bytes in through a ring buffer, each
// handed to the link's owner. One link per process: the open port, the
// window to notify and the audiometer's version are statics, shared by the
// audiometer window, the port test and the service page, which use the
// port one at a time. The step timer of the threshold tests writes from
// its own thread, so every port use holds PortLock().

#include "audiometry/link/AudioData.h"
#include "platform/framework/EventHandler.h"
#include "platform/portkit/LinkClock.h"
#include "platform/portkit/Transport.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class TAudioInterrupt : public TAudioData {
public:
  static constexpr int PortUsb = 6;
  static constexpr std::array<int, 5> BaudRates{9600, 19200, 38400, 56000, 128000};

  // Opens the configured device; nothing with the reason in `error` when it
  // cannot. `name` says how messages name the device.
  using TOpener = std::function<std::unique_ptr<TTransport>(const TAudioInterrupt& link, TPortError& error,
                                                            std::string& name)>;

  TAudioInterrupt(unsigned mode, TMessage* texts);
  ~TAudioInterrupt() override;

  // The settings the program pushes from the "Audio" section.
  bool Install = false;  // a device is installed and demonstration mode is off
  int Port = 1;          // 0 to 5 COM1 to COM6, 6 the USB device
  int BaudRate = 3;      // index into BaudRates
  int InputBuffer = 32767;
  int OutputBuffer = 128;
  int WaitAnswer = 30;  // ms for the identification answer
  std::string USBDescription;
  // The ini file whose section "Serial Ports" maps COM1 to COM6 to devices.
  std::string SerialPortsIniFile = "Halvetra.ini";

  // What the link found.
  bool DevicePresent = false;
  bool PortOpen = false;
  int FramingErrors = 0;
  int Overruns = 0;
  int ReceiveOverflows = 0;
  int LastAnswer = 0;  // the last answer byte, in port-test mode
  int ReceivedCount = 0;  // answer bytes received, in service mode
  bool AnyLineError() const { return FramingErrors || Overruns || ReceiveOverflows || !LostReason.empty(); }

  // The service page's display of each answer byte: its bits and the count
  // received so far.
  std::function<void(std::uint8_t answer, int count)> ServiceDisplay;

  // The open device (null when closed), and the lock around every use of it.
  static TTransport* IdCommDev() { return CommDev.get(); }
  static std::recursive_mutex& PortLock();
  static int LastMask;             // the mode bits of the last level command
  static TEventHandlerPtr pThis;   // receives WM_DATA_READY and WM_COMMNOTIFY
  static int HwVersion;            // from the identification answer
  static int StaticComPort;        // Port, taken when the port opens

  void InitHandler();
  void KillHandler();
  void TestDemo() { DevicePresent = true; }
  bool OpenSerialPort();
  void CloseSerialPort();
  // One command; nothing while no port is open. Arguments are cut to their
  // low 8 bits.
  static void SendDataToSerialPort(unsigned command, unsigned code, unsigned value);
  // Reads what has arrived and counts the line errors; `handle` must be the
  // open device.
  void CommNotify(const TTransport* handle);
  bool TestSerialPort();
  bool VerifySerialPort(bool show);
  // A failure of the step `step` ("OpenComm" ...): a negative code names a
  // driver failure, any other is the system's, told in `words`.
  void ShowError(int code, std::string_view step, std::string_view words = {}) const;

  // Test seams: how devices open, how the link waits, its timer clock.
  void SetDeviceOpener(TOpener opener);
  void SetWait(std::function<void(int ms)> wait) { WaitMs = std::move(wait); }
  void SetClock(TLinkClock* clock) { Clock = clock; }
  void Wait(int ms) const { WaitMs(ms); }

protected:
  TMessage* GetTexts() const { return Texts; }

private:
  void RS232Restore();
  void ReadDataFromSerialPortToBuffer();
  void ReadDataFromSerialBuffer();
  void Deliver(std::uint8_t answer);
  void ReportLineErrors();
  static void MarkLost(const std::string& why);
  TLinkClock& TimerClock();

  inline static std::unique_ptr<TTransport> CommDev;
  inline static std::string CommName;
  inline static std::string LostReason;  // why the open device stopped answering
  inline static bool NotifyPending = false;

  std::vector<std::uint8_t> Ring;  // InputBuffer + 1 bytes while open
  std::size_t WritePos = 0;
  std::size_t ReadPos = 0;
  std::size_t RingSize = 0;
  std::unique_ptr<TLinkClock::TTimer> UsbPoll;
  TOpener Opener;
  std::function<void(int)> WaitMs;
  TLinkClock* Clock = nullptr;
  std::unique_ptr<TLinkClock> OwnClock;
};
