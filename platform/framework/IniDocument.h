#pragma once

// The text of an ini file, kept line by line so that a change to one key
// leaves every other section, key, comment and the order of the file as
// they were. Section and key names compare without regard to case.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TIniDocument {
public:
  static TIniDocument Parse(std::string_view text);
  std::string Serialize() const;

  // The value of the first matching key, blanks around it and one pair of
  // enclosing quotes removed; nothing when the section or key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Changes the key in place, or adds it at the end of its section, or adds
  // the section at the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // Removes the key; false when there was none.
  bool Remove(std::string_view section, std::string_view key);

  // The key names of a section, in file order.
  std::vector<std::string> Keys(std::string_view section) const;

  // The number (counted from 1) of the first line that is neither blank, a
  // comment (";" or "#"), a section header nor a key: a text that has one
  // is no ini text. Nothing when every line is one of these.
  std::optional<std::size_t> FirstForeignLine() const;

private:
  struct TLine {
    enum class TKind { Other, Section, Key };
    TKind Kind = TKind::Other;
    std::string Text;  // the line as it stands in the file
    std::string Name;  // section or key name, trimmed
    std::string Value; // raw value text of a key line, trimmed
  };

  // Index of the section header, or npos.
  std::size_t FindSection(std::string_view section) const;
  std::size_t SectionEnd(std::size_t header) const;
  std::size_t FindKey(std::size_t header, std::string_view key) const;

  std::vector<TLine> Lines;
  std::string LineEnd = "\n";
  bool ByteOrderMark = false;
};
