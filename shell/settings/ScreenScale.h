#pragma once

// The screen facts the program starts with: the scale factors that every
// component window multiplies its 800 × 600 layout by, whether the display
// has too few colours for the curves, and how the main window is shown.

struct TScreenScale {
  float X = 1.0f;  // horizontal resolution / 800
  float Y = 1.0f;  // vertical resolution / 600
};

namespace Screen {

constexpr TScreenScale ScaleFor(int widthPx, int heightPx) {
  return {static_cast<float>(widthPx) * 0.00125f, static_cast<float>(heightPx) * (1.0f / 600.0f)};
}

// The factors a window whose 800 x 600 layout is `designWidth` x
// `designHeight` is made with so that it shows whole in a room of
// `roomWidth` x `roomHeight` pixels: the screen's, or less on an axis where
// those would make it larger than the room. Never below half the layout: a
// room smaller than that leaves the window scrolling in its frame.
inline constexpr float SmallestFittedScale = 0.5f;

constexpr TScreenScale FitInto(TScreenScale screen, int designWidth, int designHeight, int roomWidth, int roomHeight) {
  const auto fit = [](float factor, int design, int room) {
    if (design <= 0 || static_cast<float>(design) * factor <= static_cast<float>(room))
      return factor;
    const float fitted = static_cast<float>(room) / static_cast<float>(design);
    return fitted < SmallestFittedScale ? (factor < SmallestFittedScale ? factor : SmallestFittedScale) : fitted;
  };
  return {fit(screen.X, designWidth, roomWidth), fit(screen.Y, designHeight, roomHeight)};
}

// Curves and their colour bands need at least 16 bits per pixel.
constexpr bool HasTooFewColours(int bitsPerPixel) { return bitsPerPixel < 16; }

// The show command of the start: 0 keeps the main window hidden, 7 shows it
// minimized without activating it, every other value maximizes it.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINNOACTIVE = 7;

enum class TShowState { Hidden, MinimizedNoActivate, Maximized };

constexpr TShowState ShowStateFor(int showCommand) {
  switch (showCommand) {
  case SW_HIDE:
    return TShowState::Hidden;
  case SW_SHOWMINNOACTIVE:
    return TShowState::MinimizedNoActivate;
  default:
    return TShowState::Maximized;
  }
}

}  // namespace Screen
