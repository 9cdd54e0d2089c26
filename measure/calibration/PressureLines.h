#pragma once

// The pressure lines of a diffusion unit: the pump-up of the Fleisch line
// and the balloon line in 10-ms ticks, the word the pump gets at each tick,
// and the line's pressure loss after the hold.

namespace calibration {

enum class PressureLine { Fleisch, Balloon };

struct PumpWords {
  unsigned short pump;     // pump running
  unsigned short hold;     // pump off, line closed
  unsigned short release;  // line settles
  float reachedPa;         // the pressure the pump-up must reach
};

inline constexpr PumpWords FleischWords{0xEB78, 0xEB7A, 0xEB5A, 1100.0f};
inline constexpr PumpWords BalloonWords{0xEB69, 0xEB6B, 0xEB4B, 1000.0f};

constexpr const PumpWords& WordsOf(PressureLine line) {
  return line == PressureLine::Fleisch ? FleischWords : BalloonWords;
}

inline constexpr int PumpUpTimeoutTicks = 6001;  // 60 s
inline constexpr int PumpUpNotReachedText = 451;
inline constexpr int FleischLossText = 447;
inline constexpr int BalloonLossText = 448;
inline constexpr short LossLimitPercent = 20;

// The ticks of each second the pump runs: 3 once the line holds more than
// 200 Pa, else 12.
constexpr short PumpTicks(float linePa) { return linePa > 200.0f ? 3 : 12; }

// The word for tick m of a second (m = tick mod 100, 1 to 99); 0 at m = 0,
// where the pressure is looked at instead.
constexpr unsigned short PumpWordAt(PressureLine line, short m, short pumpTicks) {
  const PumpWords& w = WordsOf(line);
  if (m <= 0 || m > 99) {
    return 0;
  }
  if (m <= pumpTicks) {
    return w.pump;
  }
  return m < 50 ? w.hold : w.release;
}

// (start - end) × 100 / start, truncated; 100 when the line held no
// pressure at the start or none at the end; at least -100 when it gained.
short CalculatePressureLoss(float startPa, float endPa);

}  // namespace calibration
