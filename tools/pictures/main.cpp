// Draws the windows' pictures into a folder as PNG files:
//   halvetra-pictures resources/bitmaps

#include "tools/pictures/Pictures.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  for (const auto& picture : DrawPictures()) {
    const auto file = folder / (picture.Name + ".png");
    if (!picture.Image.save(QString::fromStdString(file.string()), "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
