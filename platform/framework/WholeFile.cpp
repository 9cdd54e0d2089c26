#include "platform/framework/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace WholeFile {

std::optional<std::string> Read(const std::filesystem::path& path, std::size_t maximumBytes, std::string& error) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (ec) {
    error = ec.message();
    return std::nullopt;
  }
  if (std::filesystem::is_directory(status)) {
    error = "it is a folder, not a file";
    return std::nullopt;
  }
  if (!std::filesystem::is_regular_file(status)) {
    error = "it is not a regular file";
    return std::nullopt;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) {
    error = ec.message();
    return std::nullopt;
  }
  if (size > maximumBytes) {
    error = "it holds " + std::to_string(size) + " bytes, more than the " + std::to_string(maximumBytes) +
            " such a file can hold";
    return std::nullopt;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = errno ? std::strerror(errno) : "it cannot be opened";
    return std::nullopt;
  }
  // Read no more than the limit, even when the file grows meanwhile.
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad() || static_cast<std::size_t>(in.gcount()) != bytes.size()) {
    error = in.bad() ? "reading it failed" : "it became shorter while it was read";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace WholeFile
