#pragma once

// The stored form of a curve: every fourth sample. Expanding it again fills
// the three samples between two stored ones on a cubic through four stored
// samples (a straight line over the last four), with a zero sample in front,
// so the stored positions are part of the database's format.

namespace CurveCompression {

// In place: curve[k] = curve[4k] while 4k < count; then count /= 4.
void Compress(float* curve, int& count);
// In place; the array must hold 4 x count floats. count becomes 4 x count.
void Expand(float* curve, int& count);
// The Lagrange polynomial through (x[i], y[i]) at `at`; 1 (result untouched)
// when two abscissae are equal, else 0.
int Lagrange(const float* x, const float* y, int n, float at, float* result);

}  // namespace CurveCompression
