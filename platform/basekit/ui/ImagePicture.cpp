#include "platform/basekit/ui/ImagePicture.h"

std::shared_ptr<const TPicture> TResourcePictures::Load(std::string_view name) const {
  QImage image(Prefix + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + ".png");
  if (image.isNull())
    return nullptr;
  return std::make_shared<TImagePicture>(std::string(name), image);
}
