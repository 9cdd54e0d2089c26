#include "measure/screen/PatientLineFit.h"

#include "measure/screen/MeasureTexts.h"

namespace PatientLineFit {

namespace {

// Runs of blanks longer than `longest` shortened to it.
std::string NarrowGaps(std::string line, std::size_t longest) {
  const std::string run(longest + 1, ' ');
  for (std::size_t gap = line.find(run); gap != std::string::npos; gap = line.find(run, gap))
    line.erase(gap, 1);
  return line;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

std::size_t CharacterCount(const std::string& text) {
  std::size_t count = 0;
  for (const char c : text)
    count += IsContinuationByte(c) ? 0 : 1;
  return count;
}

}  // namespace

std::string DropLastCharacters(const std::string& name, std::size_t count) {
  std::string kept = name;
  for (std::size_t i = 0; i < count && !kept.empty(); ++i) {
    while (!kept.empty() && IsContinuationByte(kept.back()))
      kept.pop_back();
    if (!kept.empty())
      kept.pop_back();
  }
  return kept;
}

TFitted Fit(const TDrawSurface& surface, const PREDICTED_DATA& patient, const TMessage& messages,
            const TFontSpec& full, int smallestPx, int widthPx) {
  const auto fits = [&](const TFitted& line) { return surface.MeasureText(line.Text, line.Font).Width <= widthPx; };
  // A line that fits at a smaller font takes back the sizes it still fits at.
  const auto grown = [&](TFitted line) {
    for (TFitted larger = line; larger.Font.PixelHeight < full.PixelHeight;) {
      ++larger.Font.PixelHeight;
      if (!fits(larger))
        break;
      line = larger;
    }
    return line;
  };
  TFitted line{MeasureTexts::PatientLine(patient, messages), full};
  if (fits(line))
    return line;
  line.Text = NarrowGaps(line.Text, 2);
  while (line.Font.PixelHeight > smallestPx && !fits(line))
    --line.Font.PixelHeight;
  if (fits(line))
    return line;
  line.Text = NarrowGaps(line.Text, 1);
  if (fits(line))
    return grown(line);

  const std::string name = patient.GetName();
  const std::size_t characters = CharacterCount(name);
  for (std::size_t dropped = 1; dropped < characters; ++dropped) {
    line.Text = NarrowGaps(
        MeasureTexts::PatientLine(patient, messages, DropLastCharacters(name, dropped) + "..."), 1);
    if (fits(line))
      return grown(line);
  }
  // The numbers are worth a font smaller still.
  const int least = std::max(1, smallestPx * 2 / 3);
  while (line.Font.PixelHeight > least && !fits(line))
    --line.Font.PixelHeight;
  return line;
}

}  // namespace PatientLineFit
