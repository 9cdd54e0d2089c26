#pragma once

// Replaces a file's content so that a crash, a full disk or a power cut
// leaves either the old or the new content, never a half-written file.

#include <filesystem>
#include <string>
#include <string_view>

namespace AtomicFile {

// Writes `content` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`. On failure the old file is untouched and `error`
// says why.
bool Write(const std::filesystem::path& path, std::string_view content, std::string* error = nullptr);

}  // namespace AtomicFile
