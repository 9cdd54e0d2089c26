#pragma once

// One section of an ini file, read and written key by key. Every read names
// its default; numbers are read and written in the C locale whatever the
// user's locale; a missing file or section gives the defaults; every write
// reaches the disk at once and never leaves a half-written file.

#include <string>
#include <string_view>

class TProfile {
public:
  // `fileName` may be written as the system writes paths (".\Halvetra.ini").
  TProfile(std::string_view section, std::string_view fileName);

  // The leading integer of the value, as the Windows profile functions read
  // it: "12abc" is 12; a value without digits gives the default.
  int GetInt(std::string_view key, int defaultInt = 0) const;

  // Copies at most buffSize - 1 bytes and the terminating zero, cut at a
  // character boundary. False when the key was missing and the default was
  // taken.
  bool GetString(std::string_view key, char* buff, std::size_t buffSize, std::string_view defaultString = "") const;
  std::string GetString(std::string_view key, std::string_view defaultString = "") const;

  // The leading decimal number of the value; a value without one gives the default.
  double GetFloat(std::string_view key, double defaultValue = 0.0) const;

  bool WriteInt(std::string_view key, int value);
  bool WriteString(std::string_view key, std::string_view value);
  bool WriteFloat(std::string_view key, double value);
  bool RemoveKey(std::string_view key);

  // Writes are flushed as they are made; kept for the callers that flush.
  bool Flush() { return LastError.empty(); }

  // Why the last read or write could not use the file; empty when it could.
  const std::string& GetLastError() const { return LastError; }
  const std::string& GetFileName() const { return FileName; }
  const std::string& GetSection() const { return Section; }

private:
  bool Read(class TIniDocument& doc) const;
  bool Update(std::string_view key, const std::string* value);

  std::string Section;
  std::string FileName;
  mutable std::string LastError;
};
