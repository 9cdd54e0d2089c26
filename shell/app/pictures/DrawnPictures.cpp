#include "shell/app/pictures/DrawnPictures.h"

namespace {

Pictures::TDraw DrawingOf(std::string_view bitmap) {
  for (const auto list : {Pictures::TestKinds(), Pictures::Commands()})
    for (const Pictures::TNamedDrawing& drawing : list)
      if (drawing.Name == bitmap)
        return drawing.Draw;
  return nullptr;
}

}  // namespace

QIcon DrawnPicture(std::string_view bitmap) {
  const Pictures::TDraw draw = DrawingOf(bitmap);
  return draw ? Pictures::Render(draw) : QIcon();
}

std::vector<std::string_view> DrawnPictureNames() {
  std::vector<std::string_view> names;
  for (const auto list : {Pictures::TestKinds(), Pictures::Commands()})
    for (const Pictures::TNamedDrawing& drawing : list)
      names.push_back(drawing.Name);
  return names;
}
