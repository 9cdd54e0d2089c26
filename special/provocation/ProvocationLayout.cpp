#include "special/provocation/ProvocationLayout.h"

#include <algorithm>

namespace ProvocationLayout {

short ResolutionIndex(int screenWidth) {
  switch (screenWidth) {
  case 640:
    return 0;
  case 1024:
    return 2;
  case 1152:
    return 3;
  case 1280:
    return 4;
  case 1600:
    return 5;
  default:
    return 1;
  }
}

TRect ListRect(short index) {
  static constexpr std::array<TRect, 6> Rects{{{256, 90, 594, 236},
                                               {320, 102, 742, 284},
                                               {409, 129, 950, 361},
                                               {460, 141, 1068, 403},
                                               {512, 170, 1187, 461},
                                               {640, 212, 1484, 576}}};
  return Rects.at(index >= 0 && index < 6 ? static_cast<std::size_t>(index) : 1);
}

TRect ListRectOnScreen(short index, float yScale) {
  constexpr int HeaderRows = 2;
  constexpr int HeaderRowHeight = 17;  // the rows at 800 x 600: (102 - 67) / 2
  TRect rect = ListRect(index);
  rect.Top = std::max(rect.Top, static_cast<int>((ParameterPanel.Top + HeaderRows * HeaderRowHeight) * yScale));
  // As far as the graph's first row, which the table's lists reach.
  rect.Bottom = std::min(rect.Bottom, static_cast<int>(GraphArea.Top * yScale) + 1);
  return rect;
}

TRect CountdownBox(short index) {
  static constexpr std::array<TRect, 6> Rects{
      {{8, 8, 100, 60}, {8, 8, 99, 59}, {8, 8, 99, 59}, {8, 8, 101, 60}, {8, 8, 101, 61}, {8, 8, 101, 61}}};
  return Rects.at(index >= 0 && index < 6 ? static_cast<std::size_t>(index) : 1);
}

TRect SetupPanel(short index) {
  static constexpr std::array<TRect, 6> Rects{{{8, 67, 313, 278},
                                               {8, 67, 312, 276},
                                               {8, 67, 312, 276},
                                               {8, 67, 314, 277},
                                               {8, 67, 314, 277},
                                               {8, 67, 314, 277}}};
  return Rects.at(index >= 0 && index < 6 ? static_cast<std::size_t>(index) : 1);
}

bool InSetupArea(double x, double y) { return x > 8 && x < 311 && y > 67 && y < 275; }

int HeaderColumn(double x, double y, double listTopDesign, int margin) {
  if (!(y > 68 && y < listTopDesign))
    return -1;
  for (int k = 0; k < 3; ++k)
    if (x > Columns[static_cast<std::size_t>(2 + k)] + margin && x < Columns[static_cast<std::size_t>(3 + k)] - margin)
      return k;
  return -1;
}

}  // namespace ProvocationLayout
