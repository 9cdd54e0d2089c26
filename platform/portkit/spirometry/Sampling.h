#pragma once

// The time base of every spirometric curve: the instrument delivers 100 flow
// samples a second, in litres per second, expiration negative; the volume
// curve is the running sum of flow × 0.01 s in litres.

namespace spirometry {

inline constexpr int SamplesPerSecond = 100;
inline constexpr double SampleIntervalS = 0.01;

// A breath starts when the flow passes 60 mL/s; the acquisition uses the
// same threshold, so the calculations find the onset of a blast with it.
inline constexpr double BreathStartFlowLps = 0.06;

// The smallest volume swing that counts as a turn of the breathing direction.
// It keeps flow noise and small glottic stops from splitting one breath.
inline constexpr float TurnHysteresisL = 0.05f;

// The least vital capacity (forced or slow) and the least breath that make a
// trial usable; anything smaller is noise on the line, not a manoeuvre.
inline constexpr double MinimumManoeuvreL = 0.2;

// A forced expiration must reach this flow, else it is no blast at all.
inline constexpr double MinimumPeakFlowLps = 0.5;

}  // namespace spirometry
