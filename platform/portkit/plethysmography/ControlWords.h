#pragma once

// The control words of the body plethysmograph. A word is 16 bits; most
// bits act when they are cleared, and a new word is the last one sent with
// a bit set or cleared.

#include <cstdint>
#include <vector>

namespace plethysmography::words {

inline constexpr std::uint16_t Idle = 0xEF7F;
inline constexpr std::uint16_t Breathing = 0xEF7D;       // bit 0x0002 clear
inline constexpr std::uint16_t BtpsDuringTest = 0xEB7D;  // Breathing with 0x0400 clear
inline constexpr std::uint16_t BtpsRequest = 0xEB7F;
inline constexpr std::uint16_t Stop = 0xAF7F;            // bit 0x4000 clear
inline constexpr std::uint16_t LeakTest = 0xEF6D;

inline constexpr std::uint16_t StopBit = 0x4000;
inline constexpr std::uint16_t ShutterBit = 0x1000;  // with OpenBit: both clear close the shutter
inline constexpr std::uint16_t BtpsBit = 0x0400;
inline constexpr std::uint16_t Pump1Bit = 0x0200;
inline constexpr std::uint16_t Pump0Bit = 0x0100;
inline constexpr std::uint16_t PulseBit = 0x0040;
inline constexpr std::uint16_t BreathEventBit = 0x0010;
inline constexpr std::uint16_t ZeroBit = 0x0004;
inline constexpr std::uint16_t RateBit = 0x0002;
inline constexpr std::uint16_t OpenBit = 0x0001;

inline constexpr std::uint16_t Set(std::uint16_t word, std::uint16_t bit) { return word | bit; }
inline constexpr std::uint16_t Clear(std::uint16_t word, std::uint16_t bit) {
  return static_cast<std::uint16_t>(word & ~bit);
}

// The words that move the pump: position 1 sends (NOT mask) AND 0xED7D;
// any other position sends the mask alone, then (NOT mask) AND 0xEE7D.
std::vector<std::uint16_t> PumpWords(short position, std::uint16_t mask);

// The word of the leak test: 0xEF6D, with bit 0x0002 set again at a
// breathing rate of 65 or more.
inline constexpr std::uint16_t LeakTestWord(int breathingRate) {
  return breathingRate >= 65 ? Set(LeakTest, RateBit) : LeakTest;
}

}  // namespace plethysmography::words
