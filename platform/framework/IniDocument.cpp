#include "platform/framework/IniDocument.h"

#include "platform/framework/Paths.h"

namespace {

constexpr std::string_view Blanks = " \t";
constexpr std::string_view Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos)
    return {};
  const auto last = text.find_last_not_of(Blanks);
  return text.substr(first, last - first + 1);
}

}  // namespace

TIniDocument TIniDocument::Parse(std::string_view text) {
  TIniDocument doc;
  if (text.starts_with(Bom)) {
    doc.ByteOrderMark = true;
    text.remove_prefix(Bom.size());
  }
  if (text.find("\r\n") != std::string_view::npos)
    doc.LineEnd = "\r\n";

  while (!text.empty()) {
    const auto newline = text.find('\n');
    std::string_view raw = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    if (raw.ends_with('\r'))
      raw.remove_suffix(1);

    TLine line;
    line.Text = std::string(raw);
    const std::string_view trimmed = Trim(raw);
    if (trimmed.starts_with('[') && trimmed.find(']') != std::string_view::npos) {
      line.Kind = TLine::TKind::Section;
      line.Name = std::string(Trim(trimmed.substr(1, trimmed.find(']') - 1)));
    } else if (!trimmed.starts_with(';') && trimmed.find('=') != std::string_view::npos) {
      const auto eq = trimmed.find('=');
      line.Kind = TLine::TKind::Key;
      line.Name = std::string(Trim(trimmed.substr(0, eq)));
      line.Value = std::string(Trim(trimmed.substr(eq + 1)));
    }
    doc.Lines.push_back(std::move(line));
  }
  return doc;
}

std::string TIniDocument::Serialize() const {
  std::string out;
  if (ByteOrderMark)
    out += Bom;
  for (const TLine& line : Lines) {
    out += line.Text;
    out += LineEnd;
  }
  return out;
}

std::size_t TIniDocument::FindSection(std::string_view section) const {
  const std::string_view wanted = Trim(section);
  for (std::size_t i = 0; i < Lines.size(); ++i)
    if (Lines[i].Kind == TLine::TKind::Section && Paths::EqualNoCase(Lines[i].Name, wanted))
      return i;
  return std::string::npos;
}

std::size_t TIniDocument::SectionEnd(std::size_t header) const {
  std::size_t end = header + 1;
  while (end < Lines.size() && Lines[end].Kind != TLine::TKind::Section)
    ++end;
  return end;
}

std::size_t TIniDocument::FindKey(std::size_t header, std::string_view key) const {
  const std::string_view wanted = Trim(key);
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (Lines[i].Kind == TLine::TKind::Key && Paths::EqualNoCase(Lines[i].Name, wanted))
      return i;
  return std::string::npos;
}

std::optional<std::string> TIniDocument::Get(std::string_view section, std::string_view key) const {
  const std::size_t header = FindSection(section);
  if (header == std::string::npos)
    return std::nullopt;
  const std::size_t at = FindKey(header, key);
  if (at == std::string::npos)
    return std::nullopt;
  std::string_view value = Lines[at].Value;
  if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                            (value.front() == '\'' && value.back() == '\'')))
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

void TIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    if (!Lines.empty() && !Trim(Lines.back().Text).empty())
      Lines.push_back({});
    TLine head;
    head.Kind = TLine::TKind::Section;
    head.Name = std::string(Trim(section));
    head.Text = "[" + head.Name + "]";
    Lines.push_back(std::move(head));
    header = Lines.size() - 1;
  }

  const std::size_t at = FindKey(header, key);
  TLine line;
  line.Kind = TLine::TKind::Key;
  line.Name = at == std::string::npos ? std::string(Trim(key)) : Lines[at].Name;
  line.Value = std::string(value);
  line.Text = line.Name + "=" + line.Value;
  if (at != std::string::npos) {
    Lines[at] = std::move(line);
    return;
  }
  // After the section's last non-blank line, so the blank line that
  // separates it from the next section stays where it is.
  std::size_t insert = SectionEnd(header);
  while (insert > header + 1 && Trim(Lines[insert - 1].Text).empty())
    --insert;
  Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(insert), std::move(line));
}

bool TIniDocument::Remove(std::string_view section, std::string_view key) {
  const std::size_t header = FindSection(section);
  if (header == std::string::npos)
    return false;
  const std::size_t at = FindKey(header, key);
  if (at == std::string::npos)
    return false;
  Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(at));
  return true;
}

std::vector<std::string> TIniDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const std::size_t header = FindSection(section);
  if (header == std::string::npos)
    return keys;
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (Lines[i].Kind == TLine::TKind::Key)
      keys.push_back(Lines[i].Name);
  return keys;
}

std::optional<std::size_t> TIniDocument::FirstForeignLine() const {
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    if (Lines[i].Kind != TLine::TKind::Other)
      continue;
    const std::string_view trimmed = Trim(Lines[i].Text);
    if (!trimmed.empty() && !trimmed.starts_with(';') && !trimmed.starts_with('#'))
      return i + 1;
  }
  return std::nullopt;
}
