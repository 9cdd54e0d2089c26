#pragma once

// Pictures as images: what the painter surface draws. The program's
// pictures are compiled in under ":/pictures/<NAME>.png".

#include "platform/basekit/DrawSurface.h"

#include <QImage>

#include <memory>
#include <string>

class TImagePicture final : public TPicture {
public:
  // Kept without an alpha channel, so that OR-painting works on the colours alone.
  TImagePicture(std::string name, const QImage& image)
      : PictureName(std::move(name)), Image(image.convertToFormat(QImage::Format_RGB32)) {}
  const std::string& Name() const override { return PictureName; }
  TSize Size() const override { return {Image.width(), Image.height()}; }
  const QImage& GetImage() const { return Image; }

private:
  std::string PictureName;
  QImage Image;
};

// Loads "<prefix><NAME>.png"; nothing when the picture is missing.
class TResourcePictures final : public TPictureSource {
public:
  explicit TResourcePictures(QString prefix = ":/pictures/") : Prefix(std::move(prefix)) {}
  std::shared_ptr<const TPicture> Load(std::string_view name) const override;

private:
  QString Prefix;
};
