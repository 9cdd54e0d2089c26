#pragma once

// The version block of the program: product name, version, legal notice and
// special build, filled from the build. A value the block lacks is answered
// with false, and the dialogs then show their fixed texts only.

#include <optional>
#include <string>

struct TVersionBlock {
  std::optional<std::string> ProductName;
  std::optional<std::string> ProductVersion;
  std::optional<std::string> LegalCopyright;
  std::optional<std::string> SpecialBuild;
};

class TProjectRCVersion {
public:
  // The block of this program, as the build made it.
  TProjectRCVersion();
  explicit TProjectRCVersion(TVersionBlock block) : Block(std::move(block)) {}

  bool GetProductName(std::string& text) const { return Get(Block.ProductName, text); }
  bool GetProductVersion(std::string& text) const { return Get(Block.ProductVersion, text); }
  bool GetLegalNotice(std::string& text) const { return Get(Block.LegalCopyright, text); }
  bool GetSpecialBuild(std::string& text) const { return Get(Block.SpecialBuild, text); }

private:
  static bool Get(const std::optional<std::string>& value, std::string& text);

  TVersionBlock Block;
};
