#include "records/CurveCompression.h"

#include <vector>

namespace CurveCompression {

void Compress(float* curve, int& count) {
  for (int k = 0; 4 * k < count; ++k)
    curve[k] = curve[4 * k];
  count /= 4;
}

int Lagrange(const float* x, const float* y, int n, float at, float* result) {
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) {
    float product = 1.0f;
    for (int j = 0; j < n; ++j) {
      if (j == i)
        continue;
      if (x[i] == x[j])
        return 1;
      // Single precision after every step, as the stored curves were made.
      product = (at - x[j]) * product / (x[i] - x[j]);
    }
    sum = sum + y[i] * product;
  }
  *result = sum;
  return 0;
}

void Expand(float* curve, int& count) {
  const int n = count;
  if (n <= 0) {
    count = 0;
    return;
  }
  std::vector<float> node(static_cast<std::size_t>(n) + 1);
  node[0] = 0.0f;
  for (int j = 0; j < n; ++j)
    node[static_cast<std::size_t>(j) + 1] = curve[j];
  for (int b = 0; b < n; ++b) {
    const auto at = [&](int k) { return node[static_cast<std::size_t>(b + k)]; };
    curve[4 * b] = at(0);
    for (int i = 4 * b + 1; i <= 4 * b + 3; ++i) {
      if (b + 4 < n) {
        const float x[4] = {float(4 * b), float(4 * b + 4), float(4 * b + 8), float(4 * b + 12)};
        const float y[4] = {at(0), at(1), at(2), at(3)};
        Lagrange(x, y, 4, float(i), &curve[i]);
      } else {
        const float x[2] = {float(4 * b), float(4 * b + 4)};
        const float y[2] = {at(0), at(1)};
        Lagrange(x, y, 2, float(i), &curve[i]);
      }
    }
  }
  count = 4 * n;
}

}  // namespace CurveCompression
