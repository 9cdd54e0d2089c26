#pragma once

// An instrument inside the test: the bytes it sends are fed by the test,
// what the link writes is recorded as frames, and it can hang up, refuse
// writes or stay silent. The link owns a TFakeTransport; the test keeps the
// TFakeDevice behind it.

#include "platform/portkit/Protocol.h"
#include "platform/portkit/Transport.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TFakeDevice {
public:
  explicit TFakeDevice(TManualLinkClock* clock = nullptr) : Clock(clock) {}

  // The instrument sends bytes; the watch fires as a notifier would.
  void Send(const InstrumentProtocol::TBytes& bytes);
  void SendSample(const InstrumentProtocol::TSample& sample);
  // Flow samples with consecutive sequence numbers.
  void SendFlow(std::initializer_list<int> counts);
  void HangUp(std::string why);

  // Frames the link wrote, in order.
  std::vector<InstrumentProtocol::TFrame> Written() const;
  std::vector<std::uint16_t> WrittenWords() const;
  // The bytes the link wrote since the last call, for an instrument
  // played in the test.
  InstrumentProtocol::TBytes TakeWrittenBytes();

  bool AnswerIdentify = true;
  InstrumentProtocol::TIdentity Identity{};
  bool FailWrites = false;
  int Purges = 0;
  bool Watched() const { return static_cast<bool>(Ready); }

private:
  friend class TFakeTransport;

  TManualLinkClock* Clock;
  InstrumentProtocol::TBytes Incoming;  // to the link
  InstrumentProtocol::TBytes Outgoing;  // from the link
  std::size_t OutgoingTaken = 0;
  InstrumentProtocol::TFrameDecoder Requests;
  std::function<void()> Ready;
  bool Gone = false;
  std::string Error;
  std::uint8_t Sequence = 0;
};

class TFakeTransport final : public TTransport {
public:
  TFakeTransport(std::shared_ptr<TFakeDevice> device, std::string name)
      : Device(std::move(device)), PortName(std::move(name)) {}
  ~TFakeTransport() override { Device->Ready = nullptr; }

  std::string Name() const override { return PortName; }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WaitForData(int timeoutMs) override;
  void Purge() override;
  void Watch(std::function<void()> ready) override { Device->Ready = std::move(ready); }
  const std::string& Error() const override { return Device->Error; }

private:
  std::shared_ptr<TFakeDevice> Device;
  std::string PortName;
};
