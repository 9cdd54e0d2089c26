#include "platform/framework/ProfileFile.h"

#include "platform/framework/AtomicFile.h"
#include "platform/framework/Paths.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace ProfileFile {
namespace {

// The text a number is read from: leading blanks and one plus sign go.
std::string_view NumberText(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  text = first == std::string_view::npos ? std::string_view{} : text.substr(first);
  if (text.starts_with('+'))
    text.remove_prefix(1);
  return text;
}

}  // namespace

std::string NativeName(std::string_view fileName, std::string& error) {
  if (auto native = Paths::ToNative(fileName, &error))
    return std::move(*native);
  return {};
}

bool Read(const std::string& fileName, TIniDocument& doc, std::string& error) {
  if (fileName.empty())
    return false;
  error.clear();
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    if (errno != ENOENT)
      error = "Cannot read \"" + fileName + "\": " + std::strerror(errno);
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  doc = TIniDocument::Parse(text.str());
  return true;
}

bool Write(const std::string& fileName, const TIniDocument& doc, std::string& error) {
  error.clear();
  return AtomicFile::Write(fileName, doc.Serialize(), &error);
}

int ToInt(std::string_view value, int defaultInt) {
  const std::string_view text = NumberText(value);
  long long number = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (end == text.data())
    return defaultInt;
  if (ec == std::errc::result_out_of_range)
    return text.starts_with('-') ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp<long long>(number, std::numeric_limits<int>::min(),
                                                 std::numeric_limits<int>::max()));
}

double ToFloat(std::string_view value, double defaultValue) {
  const std::string_view text = NumberText(value);
  double number = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number, std::chars_format::general);
  if (end == text.data() || ec != std::errc())
    return defaultValue;
  return number;
}

std::string Stored(std::string_view value) {
  std::string text(value);
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

}  // namespace ProfileFile
