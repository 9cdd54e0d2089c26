#pragma once

// Reading a file whole into memory. A name in a settings file may point at
// a folder, a device that never ends (/dev/zero) or a file far larger than
// any the program writes: each is refused with a reason a person can read,
// before a byte is read.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace WholeFile {

// The bytes of a regular file of at most `maximumBytes`; without them, the
// reason in `error` ("it is a folder", "it is larger than ...", the
// system's own words when it cannot be opened or read).
std::optional<std::string> Read(const std::filesystem::path& path, std::size_t maximumBytes, std::string& error);

}  // namespace WholeFile
