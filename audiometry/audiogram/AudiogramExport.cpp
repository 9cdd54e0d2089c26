#include "audiometry/audiogram/AudiogramExport.h"

#include "platform/basekit/Message.h"

#include <algorithm>
#include <array>

namespace {

constexpr int Rows = 12;
constexpr int Columns = 12;

}  // namespace

bool SendAudiogramToExcel(const TAudiogramData& data, const TMessage* texts, const std::string& dateFormat,
                          const std::string& timeFormat, const TAudiogramCells& cells) {
  const auto text = [texts](int number) { return texts ? texts->LoadStringA(number) : std::string(); };
  const bool decimalComma = texts && texts->GetLanguageName() == "Magyar";
  std::array<std::array<std::string, Columns>, Rows> grid;

  const PREDICTED_DATA& p = data.Patient;
  grid[0][0] = p.GetName();
  grid[0][1] = std::to_string(p.Age);
  if (p.Unit == 0) {
    grid[0][2] = std::to_string(p.Height) + " cm";
    grid[0][3] = std::to_string(p.Weight) + " kg";
  } else {
    grid[0][2] = std::to_string(p.Height / 12) + " ft " + std::to_string(p.Height % 12) + " in";
    grid[0][3] = std::to_string(p.Weight) + " lb";
  }
  const std::string actual = text(302);
  const std::string previous = text(303);
  const auto stampLabel = [&](const std::string& name, int kind) {
    const TAudiogramStamp& stamp = data.Stamps[static_cast<std::size_t>(kind)];
    return name + " [dB] (" + TAudiogramPainter::DateText(stamp, dateFormat) + " " +
           TAudiogramPainter::TimeText(stamp, timeFormat) + ")";
  };
  for (int ear : {TAudiogramData::Right, TAudiogramData::Left}) {
    const std::size_t base = ear == TAudiogramData::Right ? 2 : 7;
    const auto e = static_cast<std::size_t>(ear);
    grid[base][0] = text(ear == TAudiogramData::Right ? 313 : 312);
    grid[base + 1][0] = "Freq [Hz]";
    grid[base + 2][0] = stampLabel(actual, TAudiogramData::Actual);
    grid[base + 3][0] = stampLabel(previous, TAudiogramData::Previous);
    grid[base + 4][0] = actual + " - " + previous + " [dB]";
    for (std::size_t f = 0; f < AudioFrequencies; ++f) {
      // As on the screen and on paper: a threshold never measured is an
      // empty cell, not 0 dB HL, and the difference is actual minus previous
      // as its label says, where both were measured.
      const bool hasActual = data.Flags[e][TAudiogramData::Actual][f];
      const bool hasPrevious = data.Flags[e][TAudiogramData::Previous][f];
      const int a = data.Thresholds[e][TAudiogramData::Actual][f];
      const int b = data.Thresholds[e][TAudiogramData::Previous][f];
      grid[base + 1][f + 1] = std::to_string(AudioHz[f]);
      grid[base + 2][f + 1] = hasActual ? std::to_string(a) : std::string();
      grid[base + 3][f + 1] = hasPrevious ? std::to_string(b) : std::string();
      grid[base + 4][f + 1] = hasActual && hasPrevious ? std::to_string(a - b) : std::string();
    }
  }

  for (unsigned row = 0; row < Rows; ++row)
    for (unsigned column = 0; column < Columns; ++column) {
      std::string value = grid[row][column];
      if (decimalComma)
        std::replace(value.begin(), value.end(), '.', ',');
      if (!cells.Poke(cells.Address(row, column), value))
        return false;
    }
  return true;
}
