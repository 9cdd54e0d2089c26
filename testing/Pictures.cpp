#include "testing/Pictures.h"

#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

bool SavePicture(QWidget& window, std::string_view name) {
  const std::filesystem::path folder = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const bool saved = window.grab().save(QString::fromStdString((folder / std::string(name)).string()));
  EXPECT_TRUE(saved) << name;
  return saved;
}
