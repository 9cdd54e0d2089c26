#include "platform/portkit/plethysmography/Crossings.h"

namespace plethysmography {

double LinInt(double y0, double x0, double y1, double x1, double x) {
  if (x1 == x0)
    return 0.0;
  return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

std::vector<std::size_t> FindCrossings(const TrialSignals& trial, const Marks& marks) {
  std::vector<std::size_t> list;
  if (!marks.FitOn(trial.Size()))
    return list;
  const auto add = [&list](std::size_t i) {
    if (list.size() < CrossingCapacity)
      list.push_back(i);
  };
  for (std::size_t i = marks.resistanceStart + 1; i <= marks.end; ++i) {
    if (i <= marks.resistanceEnd) {
      if (i == marks.resistanceEnd || (trial.flowLps[i - 1] < 0.0f && trial.flowLps[i] >= 0.0f))
        add(i);
    } else if (i >= marks.tgvStart) {
      if (i == marks.end || (trial.mouthKPa[i - 1] > 0.0f && trial.mouthKPa[i] <= 0.0f))
        add(i);
    }
  }
  return list;
}

void RemoveBoxDrift(const TrialSignals& trial, const Marks& marks, std::span<const std::size_t> crossings) {
  if (crossings.size() < 2)
    return;
  const std::span<float> box = trial.boxPa;
  // The box pressure where the signal crosses zero between samples j - 1 and j.
  const auto zeroCrossing = [&](std::span<const float> signal, std::size_t j) {
    return LinInt(box[j - 1], signal[j - 1], box[j], signal[j], 0.0);
  };
  std::vector<double> drift(crossings.size(), 0.0);
  for (std::size_t k = 1; k < crossings.size(); ++k) {
    const std::size_t prev = crossings[k - 1];
    const std::size_t cur = crossings[k];
    const std::span<const float> signal = cur <= marks.resistanceEnd ? trial.flowLps : trial.mouthKPa;
    drift[k] = zeroCrossing(signal, cur) - zeroCrossing(signal, prev);
  }
  for (std::size_t k = 1; k < crossings.size(); ++k) {
    const std::size_t prev = crossings[k - 1];
    const std::size_t cur = crossings[k];
    if (cur <= prev)
      break;
    const double n = static_cast<double>(cur - prev);
    for (std::size_t j = prev; j < cur; ++j)
      box[j] -= static_cast<float>(static_cast<double>(j - prev) * drift[k] / n);
  }
}

std::vector<std::size_t> BoxPressureDriftCompensation(const TrialSignals& trial, const Marks& marks) {
  std::vector<std::size_t> list = FindCrossings(trial, marks);
  RemoveBoxDrift(trial, marks, list);
  return list;
}

}  // namespace plethysmography
