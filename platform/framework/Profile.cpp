#include "platform/framework/Profile.h"

#include "platform/framework/AtomicFile.h"
#include "platform/framework/IniDocument.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <fstream>
#include <sstream>

namespace {

std::string_view SkipBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

}  // namespace

TProfile::TProfile(std::string_view section, std::string_view fileName) : Section(section) {
  std::string error;
  if (auto native = Paths::ToNative(fileName, &error))
    FileName = std::move(*native);
  else
    LastError = error;
}

bool TProfile::Read(TIniDocument& doc) const {
  if (FileName.empty())
    return false;
  LastError.clear();
  std::ifstream in(FileName, std::ios::binary);
  if (!in) {
    // A missing file simply gives the defaults.
    if (errno != ENOENT)
      LastError = "Cannot read \"" + FileName + "\": " + std::strerror(errno);
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  doc = TIniDocument::Parse(text.str());
  return true;
}

std::string TProfile::GetString(std::string_view key, std::string_view defaultString) const {
  TIniDocument doc;
  std::optional<std::string> value;
  if (Read(doc))
    value = doc.Get(Section, key);
  return value ? std::move(*value) : std::string(defaultString);
}

bool TProfile::GetString(std::string_view key, char* buff, std::size_t buffSize, std::string_view defaultString) const {
  if (!buff || buffSize == 0)
    return false;
  TIniDocument doc;
  std::optional<std::string> value;
  if (Read(doc))
    value = doc.Get(Section, key);
  const std::string_view text = Utf8::Truncate(value ? std::string_view(*value) : defaultString, buffSize - 1);
  std::memcpy(buff, text.data(), text.size());
  buff[text.size()] = '\0';
  return value.has_value();
}

int TProfile::GetInt(std::string_view key, int defaultInt) const {
  const std::string value = GetString(key, "");
  std::string_view text = SkipBlanks(value);
  if (text.starts_with('+'))
    text.remove_prefix(1);
  long long number = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (end == text.data())
    return defaultInt;
  if (ec == std::errc::result_out_of_range)
    return text.starts_with('-') ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp<long long>(number, std::numeric_limits<int>::min(),
                                                 std::numeric_limits<int>::max()));
}

double TProfile::GetFloat(std::string_view key, double defaultValue) const {
  const std::string value = GetString(key, "");
  std::string_view text = SkipBlanks(value);
  if (text.starts_with('+'))
    text.remove_prefix(1);
  double number = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number, std::chars_format::general);
  if (end == text.data() || ec != std::errc())
    return defaultValue;
  return number;
}

bool TProfile::Update(std::string_view key, const std::string* value) {
  if (FileName.empty()) {
    if (LastError.empty())
      LastError = "No ini file is named.";
    return false;
  }
  LastError.clear();
  TIniDocument doc;
  Read(doc);
  if (!LastError.empty())
    return false;  // never overwrite a file we could not read
  if (value)
    doc.Set(Section, key, *value);
  else if (!doc.Remove(Section, key))
    return true;
  std::string error;
  if (!AtomicFile::Write(FileName, doc.Serialize(), &error)) {
    LastError = error;
    return false;
  }
  return true;
}

bool TProfile::WriteString(std::string_view key, std::string_view value) {
  // A line break would split the value into lines of its own.
  std::string text(value);
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  return Update(key, &text);
}

bool TProfile::WriteInt(std::string_view key, int value) { return WriteString(key, std::to_string(value)); }

bool TProfile::WriteFloat(std::string_view key, double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() && WriteString(key, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

bool TProfile::RemoveKey(std::string_view key) { return Update(key, nullptr); }
