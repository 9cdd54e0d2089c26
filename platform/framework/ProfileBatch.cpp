#include "platform/framework/ProfileBatch.h"

#include "platform/framework/ProfileFile.h"

TProfileBatch::TProfileBatch(std::string_view section, std::string_view fileName) : Section(section) {
  FileName = ProfileFile::NativeName(fileName, LastError);
  ProfileFile::Read(FileName, Document, LastError);
}

std::string TProfileBatch::GetString(std::string_view key, std::string_view defaultString) const {
  return Document.Get(Section, key).value_or(std::string(defaultString));
}

int TProfileBatch::GetInt(std::string_view key, int defaultInt) const {
  return ProfileFile::ToInt(GetString(key, ""), defaultInt);
}

void TProfileBatch::WriteString(std::string_view key, std::string_view value) {
  Document.Set(Section, key, ProfileFile::Stored(value));
  Changed = true;
}

void TProfileBatch::WriteInt(std::string_view key, int value) { WriteString(key, std::to_string(value)); }

bool TProfileBatch::Commit() {
  if (!Changed)
    return true;
  if (FileName.empty()) {
    if (LastError.empty())
      LastError = "No ini file is named.";
    return false;
  }
  if (!LastError.empty())
    return false;  // never overwrite a file we could not read
  if (!ProfileFile::Write(FileName, Document, LastError))
    return false;
  Changed = false;
  return true;
}
