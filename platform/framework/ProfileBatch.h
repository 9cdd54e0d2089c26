#pragma once

// One section of an ini file read once and written back once, for a caller
// that reads or fills in many keys together (the parameter list's index,
// the choice of parameters). TProfile rewrites and flushes the whole file
// for every key, which for a hundred keys is a hundred syncs to the disk.
// Values read and store by TProfile's rules, and Commit leaves the file
// byte for byte as the same writes made one by one with TProfile would.

#include "platform/framework/IniDocument.h"

#include <string>
#include <string_view>

class TProfileBatch {
public:
  // Reads the file now; `fileName` may be written as the system writes paths.
  TProfileBatch(std::string_view section, std::string_view fileName);

  // As TProfile reads them, from the file as read plus the writes so far.
  int GetInt(std::string_view key, int defaultInt = 0) const;
  std::string GetString(std::string_view key, std::string_view defaultString = "") const;

  // Kept until Commit.
  void WriteInt(std::string_view key, int value);
  void WriteString(std::string_view key, std::string_view value);

  // Writes the file once when anything was written: flushed, never
  // half-written, and never over a file that could not be read. True when
  // there was nothing to write or the file took it.
  bool Commit();

  // Why the file could not be read or written; empty when it could.
  const std::string& GetLastError() const { return LastError; }

private:
  std::string Section;
  std::string FileName;
  std::string LastError;
  TIniDocument Document;
  bool Changed = false;
};
