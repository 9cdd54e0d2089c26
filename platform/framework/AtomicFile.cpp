#include "platform/framework/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace AtomicFile {
namespace {

class TFileDescriptor {
public:
  explicit TFileDescriptor(int fd) : Fd(fd) {}
  ~TFileDescriptor() {
    if (Fd >= 0)
      ::close(Fd);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return Fd; }
  int Release() { return std::exchange(Fd, -1); }

private:
  int Fd;
};

bool Fail(std::string* error, const std::string& what, const std::filesystem::path& path, int code) {
  if (error)
    *error = what + " \"" + path.string() + "\": " + std::strerror(code);
  return false;
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool Write(const std::filesystem::path& path, std::string_view content, std::string* error) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  TFileDescriptor temp(::mkstemp(pattern.data()));
  if (temp.Get() < 0)
    return Fail(error, "Cannot write beside", path, errno);
  const std::filesystem::path tempPath = pattern;

  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;

  const auto discard = [&](const char* what) {
    const int code = errno;
    ::unlink(tempPath.c_str());
    return Fail(error, what, path, code);
  };
  if (::fchmod(temp.Get(), mode) != 0)
    return discard("Cannot set the permissions of");
  if (!WriteAll(temp.Get(), content))
    return discard("Cannot write");
  if (::fsync(temp.Get()) != 0)
    return discard("Cannot flush");
  if (::close(temp.Release()) != 0)
    return discard("Cannot close");
  if (::rename(tempPath.c_str(), path.c_str()) != 0)
    return discard("Cannot replace");

  // Make the rename itself durable.
  TFileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (dir.Get() >= 0)
    ::fsync(dir.Get());
  return true;
}

}  // namespace AtomicFile
