#pragma once

#include <filesystem>

// Where tests leave pictures and printouts for a person to look at:
// <build>/artifacts. One definition for every test file, which unity batches
// compile together.
inline const std::filesystem::path Artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
