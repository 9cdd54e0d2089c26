#pragma once

// Straight-line fits of ten two-coefficient models y(x) = f(x; A, B), for
// the shutter test's three pressures of a closure. Standard library only:
// the window's TUtil base offers the same calls under the same names.
//
//   1 A + Bx        2 A e^(Bx)        3 A x^B          4 A e^(-B/x)
//   5 1/(A + Bx)    6 Ax/(1 + Bx)     7 x(A + Bx)      8 sqrt(A + Bx^2)
//   9 A + B/x      10 A ln(Bx)

#include <span>

namespace CurveModels {

inline constexpr int ModelCount = 10;

// Turns the pairs into the straight-line form of `model`: `out` receives
// the n transformed abscissae followed by the n transformed ordinates
// (2n values). False, with `out` filled with NaN, when the model cannot
// take the data (a logarithm or reciprocal of a value it is not defined
// for) or the sizes do not match.
bool Sgen(int model, std::span<const double> x, std::span<const double> y, std::span<double> out);
// The least-squares line Y = a0 + a1 X through the pairs Sgen made.
void Alfa(std::span<const double> data, double& a0, double& a1);
// How well the line of slope a1 fits the pairs: the coefficient of
// determination, 1 for a perfect fit, NaN when it cannot be told.
double Korrelacio(double a1, std::span<const double> data);
// The model's A and B from the line's coefficients; false for an unknown
// model or a line that gives none.
bool Abgen(int model, double a0, double a1, double& A, double& B);

}  // namespace CurveModels
