#pragma once

// Where the patient sheet opens: the layout and frame size that the
// start-up page type chooses, the sheet's own screen scale, and the
// frame's caption with the name of the database folder.

#include <string>
#include <string_view>

struct TSheetFrame {
  int ResourceId;  // the layout's dialog resource
  int Width;       // before scaling
  int Height;
};

// Page type 0 is the small layout, 1 the medium one, any other the full one.
TSheetFrame SheetFrameForPageType(int pageType);

struct TSheetScale {
  float X = 1.0f;
  float Y = 1.0f;
};

// The sheet's scale on a screen of the given size: 640 pixels wide gives
// 0.78 and 0.75, 800 gives 1 and 1, any other width width / 800 and
// height / 600.
TSheetScale SheetScale(int screenWidth, int screenHeight);

// "<title> (<last folder of the database path>)", the folder name cut to
// 100 bytes at a character boundary.
std::string SheetCaption(std::string_view title, std::string_view databaseFolder);
