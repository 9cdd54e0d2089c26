#include "platform/dbkit/LogFile.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace LogFile {
namespace {

TDbError SystemError(const std::filesystem::path& file, int error) {
  return {DbResult::OfSystemError(error), file.string() + ": " + std::strerror(error)};
}

}  // namespace

TDbError Append(const std::filesystem::path& file, std::string_view text) {
  char stamp[32] = {};
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0)
    host[0] = '\0';

  std::string line = std::string(stamp) + " " + host + " ";
  for (const char c : text)
    line += (c == '\n' || c == '\r') ? ' ' : c;
  line += '\n';

  const int descriptor = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0)
    return SystemError(file, errno);
  // The line goes in one call (O_APPEND), so lines of other workstations
  // land before or after it, not inside it.
  std::size_t written = 0;
  int failure = 0;
  while (written < line.size()) {
    const ssize_t result = ::write(descriptor, line.data() + written, line.size() - written);
    if (result < 0) {
      if (errno == EINTR)
        continue;
      failure = errno;
      break;
    }
    written += static_cast<std::size_t>(result);
  }
  if (!failure && ::fsync(descriptor) != 0)
    failure = errno;
  ::close(descriptor);
  return failure ? SystemError(file, failure) : TDbError{};
}

}  // namespace LogFile
