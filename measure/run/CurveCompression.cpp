// Curves are stored at a quarter of their sampling rate and restored by
// Lagrange interpolation. The sample positions are a stored format: curves
// already in the database expand only as they did when they were written.
// This file is compiled without contraction of multiplications and
// additions, so that every step rounds to single precision as written.

#include "measure/core/MeasureCore.h"

#include <algorithm>
#include <new>
#include <vector>

void TMeasureCore::CompressGrafikon(float* curve, int& count) {
  for (int k = 0; 4 * k < count; ++k)
    curve[k] = curve[4 * k];
  count = std::max(count, 0) / 4;
}

bool TMeasureCore::DeCompressGrafikon(float* curve, int& count, int capacity) {
  // A record from another installation may claim more samples than the
  // buffer holds: expand only what fits.
  const int fits = std::max(capacity, 0) / 4;
  const bool whole = count <= fits;
  count = std::clamp(count, 0, fits);
  LagrangeExtrapolation(curve, count);
  return whole;
}

int TMeasureCore::Lagrange(const float* x, const float* y, int n, float at, float* result) {
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) {
    float product = 1.0f;
    for (int j = 0; j < n; ++j) {
      if (j == i)
        continue;
      if (x[i] == x[j])
        return 1;
      product = (at - x[j]) * product / (x[i] - x[j]);
    }
    sum = sum + y[i] * product;
  }
  *result = sum;
  return 0;
}

void TMeasureCore::LagrangeExtrapolation(float* curve, int& count) {
  const int n = count;
  if (n <= 0) {
    count = 0;
    return;
  }
  std::vector<float> node;
  try {
    node.resize(static_cast<std::size_t>(n) + 1);
  } catch (const std::bad_alloc&) {
    return;
  }
  node[0] = 0.0f;
  std::copy(curve, curve + n, node.begin() + 1);

  for (int b = 0; b < n; ++b) {
    const int base = 4 * b;
    curve[base] = node[static_cast<std::size_t>(b)];
    const bool cubic = b + 4 < n;
    const int points = cubic ? 4 : 2;
    float x[4];
    float y[4];
    for (int p = 0; p < points; ++p) {
      x[p] = static_cast<float>(base + 4 * p);
      y[p] = node[static_cast<std::size_t>(b + p)];
    }
    for (int i = base + 1; i < base + 4; ++i)
      Lagrange(x, y, points, static_cast<float>(i), &curve[i]);
  }
  count = 4 * n;
}
