#include "platform/portkit/plethysmography/LoopScore.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace plethysmography {

namespace {

constexpr std::size_t GridSlots = 2000;
constexpr std::int32_t Rounding = 1;
using Grid = std::array<std::int32_t, GridSlots>;

// The branch on the grid: its points at their columns, the columns before
// the first point (no more than there are points) at its height, and
// straight lines between the points; -1 elsewhere.
void Spread(const std::vector<PlotPoint>& points, Grid& grid) {
  grid.fill(-1);
  if (points.empty())
    return;
  std::int32_t lastX = -1;
  for (const PlotPoint& p : points) {
    if (p.x < 0 || p.x >= static_cast<std::int32_t>(GridSlots))
      continue;
    const std::size_t x = static_cast<std::size_t>(p.x);
    if (lastX >= 0 && p.x > lastX + 1) {
      const std::int32_t y0 = grid[static_cast<std::size_t>(lastX)];
      for (std::int32_t s = lastX + 1; s < p.x; ++s)
        grid[static_cast<std::size_t>(s)] = y0 + (p.y - y0) * (s - lastX) / (p.x - lastX);
    }
    grid[x] = p.y;
    lastX = p.x;
  }
  const std::int32_t first = std::clamp<std::int32_t>(points.front().x, 0, static_cast<std::int32_t>(GridSlots));
  const std::size_t lead = std::min(static_cast<std::size_t>(first), points.size());
  for (std::size_t s = 0; s < lead; ++s)
    grid[s] = points.front().y;
}

// A plot coordinate, truncated; kept in range however far a point lies off
// the plot (a lung volume near 0 sends the live conversion far out).
std::int32_t Coordinate(double value) {
  if (!(value > -1e6))
    return -1000000;
  return static_cast<std::int32_t>(std::min(value, 1e6));
}

}  // namespace

void LoopBranches::Clear() {
  rising.clear();
  falling.clear();
  lastY = -1;
}

PlotPoint LoopPoint(const TrialSignals& trial, std::size_t i, const LoopPointSource& source) {
  double b = static_cast<double>(trial.boxPa[i]) - source.firstBoxPressure;
  if (source.live)
    b = LiveAlveolarPressureKPa(b, trial.volumeL[i], *source.live);
  return {Coordinate(b / source.pressureDivisor * 25.2 * 2.0 * 2.0),
          Coordinate(-trial.flowLps[i] * 7.5 * 2.0 * 2.0 / source.flowDivisor)};
}

void AddLoopPoint(LoopBranches& branches, const TrialSignals& trial, std::size_t i, const LoopPointSource& source) {
  if (i == 0 || i >= trial.Size())
    return;
  const bool insideLoop = i > source.loop.begin && i < source.loop.end;
  const bool recording = source.resistanceEnd == 0 && source.resistanceStart != 0 && i > source.resistanceStart;
  if (!insideLoop && !recording)
    return;
  const PlotPoint p = LoopPoint(trial, i, source);
  if (branches.lastY == -1)
    branches.lastY = LoopPoint(trial, i - 1, source).y;
  if (branches.lastY < p.y) {
    if (branches.rising.size() < BranchCapacity)
      branches.rising.push_back(p);
  } else if (p.y < branches.lastY) {
    if (branches.falling.size() < BranchCapacity)
      branches.falling.push_back(p);
  }
  branches.lastY = p.y;
}

LoopScore ScoreLoop(const LoopBranches& branches) {
  std::vector<PlotPoint> a = branches.rising;
  std::vector<PlotPoint> b = branches.falling;
  if (a.empty() || b.empty())
    return {};
  const auto byX = [](const PlotPoint& l, const PlotPoint& r) { return l.x < r.x; };
  std::stable_sort(a.begin(), a.end(), byX);
  std::stable_sort(b.begin(), b.end(), byX);

  std::int32_t lowestY = 10000;
  for (const auto* list : {&a, &b})
    for (const PlotPoint& p : *list)
      lowestY = std::min(lowestY, p.y);
  const std::int32_t leftX = std::min(a.front().x, b.front().x);
  for (auto* list : {&a, &b}) {
    for (PlotPoint& p : *list) {
      p.y -= lowestY;
      p.x -= leftX;
    }
  }

  Grid ga{}, gb{};
  Spread(a, ga);
  Spread(b, gb);
  LoopScore score;
  const std::int32_t last = std::min(a.back().x, b.back().x);
  for (std::int32_t i = 5; i < last - 4 && i < static_cast<std::int32_t>(GridSlots); ++i) {
    const std::size_t s = static_cast<std::size_t>(i);
    if (ga[s] < 0 || gb[s] < 0 || ga[s - 1] < 0 || gb[s - 1] < 0)
      continue;
    const std::int32_t before = ga[s - 1] - gb[s - 1];
    const std::int32_t now = ga[s] - gb[s];
    // The branches trade places; a step of one unit either way is the
    // rounding of two branches that lie on each other.
    if ((before < -Rounding && now > Rounding) || (before > Rounding && now < -Rounding))
      ++score.crossings;
    score.area += std::abs(now);
  }
  return score;
}

}  // namespace plethysmography
