#include "testing/TemporaryFolder.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>
#include <cstdlib>
#include <unistd.h>

TTemporaryFolder::TTemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "halvetra-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data()))
    throw std::runtime_error("cannot make a temporary folder");
  Folder = buffer.data();
}

TTemporaryFolder::~TTemporaryFolder() {
  std::error_code ec;
  // Folders a test made read-only must be writable again to be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(Folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::permissions(Folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(Folder, ec);
}

std::filesystem::path TTemporaryFolder::Write(std::string_view name, std::string_view content) const {
  const std::filesystem::path path = Folder / std::string(name);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

std::string TTemporaryFolder::Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

namespace {

bool CanWriteInto(const std::filesystem::path& folder) {
  std::string probe = (folder / "probe-XXXXXX").string();
  const int fd = ::mkstemp(probe.data());
  if (fd < 0)
    return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

}  // namespace

std::optional<std::filesystem::path> UnwritableFolder(const TTemporaryFolder& folder) {
  const std::filesystem::path readOnly = folder / "read-only";
  std::error_code ec;
  std::filesystem::create_directory(readOnly, ec);
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::replace, ec);
  if (!CanWriteInto(readOnly))
    return readOnly;
  const std::filesystem::path kernel = "/sys/kernel";
  if (std::filesystem::is_directory(kernel, ec) && !CanWriteInto(kernel))
    return kernel;
  return std::nullopt;
}
