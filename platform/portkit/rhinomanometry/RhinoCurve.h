#pragma once

// The samples of one rhinomanometry curve slot: nasal flow in mL/s
// (inspiration positive) and the pressure that drives it in Pa (inspiration
// negative), one sample every 10 ms, or, once evaluated, the averaged curve
// the slot keeps.

#include <cstddef>
#include <span>

namespace rhinomanometry {

struct RhinoPoint {
  float flowMlps = 0.0f;
  float pressurePa = 0.0f;
};

// The slot's buffers with the number of samples that count. The buffers may
// be longer than `count`; no function reads or writes past their ends.
struct RhinoCurve {
  std::span<float> flowMlps;
  std::span<float> pressurePa;
  std::size_t count = 0;

  // The number of samples both buffers really hold, at most `count`.
  std::size_t Usable() const;
};

}  // namespace rhinomanometry
