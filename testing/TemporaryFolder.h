#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TTemporaryFolder {
public:
  TTemporaryFolder();
  ~TTemporaryFolder();
  TTemporaryFolder(const TTemporaryFolder&) = delete;
  TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;

  const std::filesystem::path& Path() const { return Folder; }
  std::filesystem::path operator/(std::string_view name) const { return Folder / std::string(name); }

  // Writes a file in the folder and gives its path.
  std::filesystem::path Write(std::string_view name, std::string_view content) const;
  // The content of a file, empty when missing.
  static std::string Read(const std::filesystem::path& path);

private:
  std::filesystem::path Folder;
};

// An existing folder into which this process cannot write: a read-only
// folder in `folder`, or, for the superuser whom permissions do not stop,
// a folder of the kernel's read-only file system. Nothing when the machine
// has neither.
std::optional<std::filesystem::path> UnwritableFolder(const TTemporaryFolder& folder);
