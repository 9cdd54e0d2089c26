#include "audiometry/tests/support/FakeAudioPort.h"

#include <algorithm>
#include <utility>

void TFakeAudioPort::Send(std::initializer_list<std::uint8_t> bytes) {
  Incoming.insert(Incoming.end(), bytes.begin(), bytes.end());
  if (const auto ready = Ready)
    ready();
}

void TFakeAudioPort::HangUp(std::string why) {
  Gone = true;
  Error = std::move(why);
  if (const auto ready = Ready)
    ready();
}

std::vector<TFakeAudioPort::TCommand> TFakeAudioPort::Commands() const {
  std::vector<TCommand> commands;
  for (std::size_t i = 0; i + 4 <= Written.size(); i += 4)
    commands.push_back({Written[i], Written[i + 1], Written[i + 2], Written[i + 3]});
  return commands;
}

TFakeAudioTransport::TFakeAudioTransport(std::shared_ptr<TFakeAudioPort> port) : Port(std::move(port)) {
  Port->Open = true;
}

TFakeAudioTransport::~TFakeAudioTransport() {
  Port->Open = false;
  Port->Ready = nullptr;
}

std::optional<std::size_t> TFakeAudioTransport::Read(std::span<std::uint8_t> buffer) {
  if (Port->Gone)
    return std::nullopt;
  const std::size_t count = std::min(buffer.size(), Port->Incoming.size());
  std::copy_n(Port->Incoming.begin(), count, buffer.begin());
  Port->Incoming.erase(Port->Incoming.begin(), Port->Incoming.begin() + static_cast<std::ptrdiff_t>(count));
  return count;
}

bool TFakeAudioTransport::Write(std::span<const std::uint8_t> bytes) {
  if (Port->Gone)
    return false;
  Port->Written.insert(Port->Written.end(), bytes.begin(), bytes.end());
  return true;
}

bool TFakeAudioTransport::SetDtr(bool on) {
  Port->Dtr = on;
  Port->ModemLog.push_back(on ? "DTR+" : "DTR-");
  return true;
}

bool TFakeAudioTransport::SetRts(bool on) {
  Port->Rts = on;
  Port->ModemLog.push_back(on ? "RTS+" : "RTS-");
  return true;
}

TTransport::TLineErrors TFakeAudioTransport::TakeLineErrors() {
  return std::exchange(Port->PendingErrors, {});
}
