#include "platform/framework/Profile.h"

#include "platform/framework/IniDocument.h"
#include "platform/framework/ProfileFile.h"
#include "platform/framework/Utf8.h"

#include <charconv>
#include <cstring>
#include <optional>

TProfile::TProfile(std::string_view section, std::string_view fileName)
    : Section(section) {
  FileName = ProfileFile::NativeName(fileName, LastError);
}

bool TProfile::Read(TIniDocument& doc) const { return ProfileFile::Read(FileName, doc, LastError); }

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
  return ProfileFile::ToInt(GetString(key, ""), defaultInt);
}

double TProfile::GetFloat(std::string_view key, double defaultValue) const {
  return ProfileFile::ToFloat(GetString(key, ""), defaultValue);
}

bool TProfile::Update(std::string_view key, const std::string* value) {
  if (FileName.empty()) {
    if (LastError.empty())
      LastError = "No ini file is named.";
    return false;
  }
  TIniDocument doc;
  Read(doc);
  if (!LastError.empty())
    return false;  // never overwrite a file we could not read
  if (value)
    doc.Set(Section, key, *value);
  else if (!doc.Remove(Section, key))
    return true;
  return ProfileFile::Write(FileName, doc, LastError);
}

bool TProfile::WriteString(std::string_view key, std::string_view value) {
  const std::string text = ProfileFile::Stored(value);
  return Update(key, &text);
}

bool TProfile::WriteInt(std::string_view key, int value) { return WriteString(key, std::to_string(value)); }

bool TProfile::WriteFloat(std::string_view key, double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() && WriteString(key, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

bool TProfile::RemoveKey(std::string_view key) { return Update(key, nullptr); }
