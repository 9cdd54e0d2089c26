#include "platform/portkit/plethysmography/ControlWords.h"

namespace plethysmography::words {

std::vector<std::uint16_t> PumpWords(short position, std::uint16_t mask) {
  const auto inverse = static_cast<std::uint16_t>(~mask);
  if (position == 1)
    return {static_cast<std::uint16_t>(inverse & 0xED7D)};
  return {mask, static_cast<std::uint16_t>(inverse & 0xEE7D)};
}

}  // namespace plethysmography::words
