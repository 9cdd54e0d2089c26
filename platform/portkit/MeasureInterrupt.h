#pragma once

// The acquisition of the instrument link (docs/instrument-protocol.md): the
// device is watched in the user-interface thread; arriving bytes are queued
// and the window in pThis gets WM_COMMNOTIFY; its handler calls CommNotify,
// which decodes the queue and posts one data-ready message per sample. The
// port checks open the configured device and ask the instrument who it is.

#include "platform/framework/WindowMessages.h"
#include "platform/portkit/LineQuality.h"
#include "platform/portkit/MeasureData.h"
#include "platform/portkit/Protocol.h"

#include <deque>
#include <functional>
#include <memory>

class TLinkCourier;

class TMeasureInterrupt : public TMeasureData {
public:
  // Opens the configured device: the port or USB device of PortConfig.
  // Tests put their own devices in its place.
  using TDeviceOpener = std::function<std::unique_ptr<TTransport>(const PORT_CONFIG&, TPortError&, std::string& name)>;

  TMeasureInterrupt(unsigned short measureType, TMessage* text);
  ~TMeasureInterrupt() override;

  // Starts the acquisition: opens the device if no port check did (the
  // demonstration replay without a live instrument), switches the
  // instrument's stream on and watches it. Clears the stop request and the
  // end flags; InterruptIndex starts at 0.
  void InitHandler();
  // Stops it: the stream off, the nebulizer off, nothing more is delivered.
  void KillHandler();
  // Called by the window's WM_COMMNOTIFY handler: decodes what has arrived
  // and posts the data-ready messages; shows the message of an end flag.
  void CommNotify(TParam1 device);
  // Polled while pThis is null: decodes what has arrived into the zero
  // rings and the sensor words, InterruptIndex counting every sample.
  void ReadDataFromSerialPortToBuffer(TParam1 device);
  // Drops what waits in the port and in the link.
  void ClearQueues(TParam1 device);

  // Port checks. TestSerialPort opens the configured device and asks the
  // instrument for its version and capabilities; the device stays open for
  // the acquisition. LastPortError says why it failed.
  bool TestSerialPort();
  // The same, showing the reason of a failure when `showMessages` is set.
  bool VerifySerialPort(bool showMessages);
  // A device on a port of its own (the nebulizer): port 0 to 5.
  bool TestConfiguration(short delayCycle, short port, bool showMessages);
  // The demonstration replay takes the instrument's place.
  bool TestDemo();
  // Stops the acquisition and closes the device, putting back its settings.
  void RestoreSerialPort();

  // What every creator of a link does first.
  static void ResetStatics();

  void SetClock(std::shared_ptr<TLinkClock> clock);
  // An empty opener puts the configured ports back.
  void SetDeviceOpener(TDeviceOpener opener);

  // How the link fared with the stream.
  std::uint64_t RejectedFrames() const { return Decoder.RejectedFrames(); }
  std::uint64_t NoiseBytes() const { return Decoder.NoiseBytes(); }
  std::uint64_t InterpolatedSamples() const { return Interpolated; }
  // Samples filled in within the last second of the acquisition.
  std::size_t FilledInLastSecond() const { return Line.FilledInLastSecond(); }
  std::uint64_t OverrunBytes() const { return Overrun; }
  bool IsAcquiring() const { return Acquiring; }

  // Statics of the acquisition.
  static short TestMode;      // the sequence step the window serves (TLinkStep); 0 plain acquisition
  static bool FlagBegin;      // the trial has begun; InterruptIndex advances while it is set
  static bool IsBreathIn;
  static std::array<float, 8> ConstansOfBTPS;  // BTPS factors; the first is the current one
  static short CompressorState;                // 1 the nebulizer sprays
  static unsigned short HardwareMode;          // capabilities of the last port check
  static std::array<std::int32_t, 6> pIndicator;  // for the service page: channels 1 to 4, counter, version
  static unsigned short DoseCounter;           // samples the nebulizer sprayed

  static constexpr int SilenceLimitMs = 2000;
  static constexpr int MaxInterpolatedGap = 10;
  static constexpr int IdentifyTimeoutMs = 300;
  static constexpr int IdentifyAttempts = 3;

private:
  friend class TLinkCourier;

  bool OpenConfiguredDevice();
  std::optional<InstrumentProtocol::TIdentity> Identify();
  std::string PortErrorText(const TPortError& error, const std::string& name) const;
  bool Check(bool showMessages);
  void InstallDevice(std::unique_ptr<TTransport> device, bool live);
  void CloseDevice();

  void OnDeviceReady();
  // Moves what has arrived into the input queue; true when something came.
  bool ReadArrived();
  void NotifyWindow();
  void CheckSilence();
  void ProcessInput(bool deliver);
  void Accept(const InstrumentProtocol::TSample& sample, bool deliver);
  // Counts a sample into the line's quality; warns once an acquisition and
  // marks the trial when the line has gone bad.
  void WatchLine(bool filledIn);
  void Store(const InstrumentProtocol::TSample& sample, unsigned short index);
  void Deliver();
  void SendNotify(unsigned generation);
  void ApplyCompressor();
  // The window arms a shutter head's series in the shutter test by setting
  // LastSentData to 1: the series byte goes out once, and ShutterRunning
  // says so until the acquisition ends.
  void ApplyShutterSeries();
  void ShowPendingMessage();
  std::vector<InstrumentProtocol::TSample> DemoSamples() const;

  TDeviceOpener OpenDevice;
  PORT_CONFIG OpenedWith;  // the settings the live device was opened with
  std::unique_ptr<TLinkCourier> Courier;
  InstrumentProtocol::TFrameDecoder Decoder;
  std::deque<InstrumentProtocol::TSample> Pending;  // decoded, not yet delivered
  std::unique_ptr<TLinkClock::TTimer> Watchdog;
  bool Acquiring = false;
  bool NotifyPending = false;
  unsigned Generation = 0;  // deliveries of an earlier acquisition are dropped
  std::int64_t LastArrivalMs = 0;
  bool HaveLastSample = false;
  InstrumentProtocol::TSample LastSample;
  std::uint32_t FrameCounter = 0;
  unsigned SamplesSinceProgress = 0;
  short AppliedCompressor = 0;
  bool VersionAsked = false;
  std::uint64_t Interpolated = 0;
  std::uint64_t Overrun = 0;
  TLineQuality Line;
  bool LineWarned = false;
  std::string PendingWarning;  // shown by the next notification; the run goes on
};
