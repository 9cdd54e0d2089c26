#pragma once

// An audiometer port inside the test: the test feeds answer bytes and line
// errors, the link's writes are kept as 4-byte commands, and the port can
// hang up. The link owns a TFakeAudioTransport; the test keeps the
// TFakeAudioPort behind it.

#include "platform/portkit/Transport.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TFakeAudioPort {
public:
  using TCommand = std::array<std::uint8_t, 4>;

  // The audiometer sends; the watch fires as a notifier would.
  void Send(std::initializer_list<std::uint8_t> bytes);
  void HangUp(std::string why);
  std::vector<TCommand> Commands() const;

  TTransport::TLineErrors PendingErrors;
  bool Dtr = false;
  bool Rts = false;
  bool Open = false;
  std::vector<std::string> ModemLog;  // "DTR+", "RTS+", "DTR-", "RTS-"
  std::function<void()> Ready;

private:
  friend class TFakeAudioTransport;
  std::deque<std::uint8_t> Incoming;
  std::vector<std::uint8_t> Written;
  bool Gone = false;
  std::string Error;
};

class TFakeAudioTransport final : public TTransport {
public:
  explicit TFakeAudioTransport(std::shared_ptr<TFakeAudioPort> port);
  ~TFakeAudioTransport() override;

  std::string Name() const override { return "fake audiometer"; }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WaitForData(int) override { return !Port->Incoming.empty(); }
  void Purge() override { Port->Incoming.clear(); }
  void Watch(std::function<void()> ready) override { Port->Ready = std::move(ready); }
  const std::string& Error() const override { return Port->Error; }
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  TLineErrors TakeLineErrors() override;

private:
  std::shared_ptr<TFakeAudioPort> Port;
};
