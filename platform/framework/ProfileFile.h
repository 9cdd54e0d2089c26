#pragma once

// What TProfile and TProfileBatch share, so that both find, read, parse
// and write an ini file, and read and store its values, by one set of
// rules.

#include "platform/framework/IniDocument.h"

#include <string>
#include <string_view>

namespace ProfileFile {

// The file's path from a name written as the system writes paths; empty,
// with `error` set, when the name cannot be a path here.
std::string NativeName(std::string_view fileName, std::string& error);

// Parses the file into `doc`. False when there is nothing to read: a
// missing file, which leaves `error` empty (it simply gives the defaults),
// or a file that cannot be read, which sets it.
bool Read(const std::string& fileName, TIniDocument& doc, std::string& error);

// Replaces the file with the document: flushed, never half-written.
bool Write(const std::string& fileName, const TIniDocument& doc, std::string& error);

// The leading integer of a value, as the Windows profile functions read
// it: "12abc" is 12; a value without digits gives the default.
int ToInt(std::string_view value, int defaultInt);

// The leading decimal number of a value; a value without one gives the default.
double ToFloat(std::string_view value, double defaultValue);

// A value as it is stored: a line break would split it into lines of its own.
std::string Stored(std::string_view value);

}  // namespace ProfileFile
