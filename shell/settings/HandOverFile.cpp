#include "shell/settings/HandOverFile.h"

#include "patients/PatientAge.h"
#include "patients/PatientText.h"
#include "platform/basekit/Message.h"
#include "platform/framework/IniDocument.h"
#include "platform/framework/Paths.h"
#include "platform/framework/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace HandOver {
namespace {

// A hand-over file holds one patient; anything larger is not one.
constexpr std::uintmax_t MaximumBytes = 1 << 20;

constexpr int ErrorCaption = 0;
constexpr int UnreadableText = 6110;
constexpr int NotIniText = 6111;
constexpr int NoPatientText = 6112;

// A key or a value without the blanks and tabs around it.
std::string_view Trimmed(std::string_view part) {
  const std::size_t first = part.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return part.substr(first, part.find_last_not_of(" \t") - first + 1);
}

// The first line that holds a control character no text file has (the
// line ends aside), nor any field stores. A tab may stand as blank space
// around a key or its value; inside a text the sheet would refuse it on
// Save, so it is refused here, as the other control characters are.
std::optional<std::size_t> LineWithControlCharacter(std::string_view text) {
  std::size_t line = 1;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
      end = text.size();
    std::string raw(text.substr(start, end - start));
    std::erase(raw, '\r');
    const std::size_t equals = raw.find('=');
    const std::string content =
        equals == std::string::npos
            ? std::string(Trimmed(raw))
            : std::string(Trimmed(std::string_view(raw).substr(0, equals))) + "=" +
                  std::string(Trimmed(std::string_view(raw).substr(equals + 1)));
    if (PatientText::HasControlCharacter(content))
      return line;
    ++line;
    start = end + 1;
  }
  return std::nullopt;
}

// Each line as UTF-8: a line that is not valid UTF-8 is taken as
// Windows-1252, so one stray byte garbles no other line's letters.
std::string DecodeLines(std::string_view bytes) {
  std::string text;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    end = end == std::string_view::npos ? bytes.size() : end + 1;
    const std::string_view line = bytes.substr(start, end - start);
    text += Utf8::IsValid(line) ? std::string(line) : Utf8::FromWindows1252(line);
    start = end;
  }
  return text;
}

// One number as "%d" reads it: blanks, a sign, digits. The scan position
// moves past it.
std::optional<int> ScanNumber(std::string_view text, std::size_t& at) {
  std::size_t i = at;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    ++i;
  const std::size_t digits = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digits < 9)
    ++i;
  if (i == digits)
    return std::nullopt;
  const auto value = PatientText::LeadingInteger(text.substr(start, i - start));
  if (value)
    at = i;
  return value;
}

// "1950.3.7", "1950-03-07", "1950/3/7": year, any one separator, month,
// separator, day. A date that is not a real one leaves the birth date
// empty, so the sheet asks for it rather than computing an age from it.
TCalendarDate BirthDate(std::string_view text) {
  std::size_t at = 0;
  TCalendarDate date;
  const auto year = ScanNumber(text, at);
  if (!year || ++at > text.size())
    return {};
  const auto month = ScanNumber(text, at);
  if (!month || ++at > text.size())
    return {};
  const auto day = ScanNumber(text, at);
  if (!day)
    return {};
  date = {*year, *month, *day};
  return PatientAge::IsRealDate(date) ? date : TCalendarDate{};
}

class TFields {
public:
  explicit TFields(const TIniDocument& doc) : Doc(doc) {}

  std::string Text(std::string_view section, std::string_view key, std::size_t width) const {
    const auto value = Doc.Get(section, key);
    return value ? std::string(Utf8::Truncate(*value, width - 1)) : std::string();
  }
  std::optional<std::int32_t> Number(std::string_view key) const {
    const auto value = Doc.Get("Patient", key);
    return value ? PatientText::LeadingInteger(*value) : std::nullopt;
  }

private:
  const TIniDocument& Doc;
};

THandOverPatient PatientOf(const TIniDocument& doc) {
  using R = TTPatientRecord;
  const TFields in(doc);
  THandOverPatient patient;
  R& r = patient.Record;
  r.Name = in.Text("Patient", "Name", R::NameSize);
  r.Id = in.Text("Patient", "ID", R::IdSize);
  const TCalendarDate born = BirthDate(doc.Get("Patient", "Born").value_or(""));
  r.BirthYear = born.Year;
  r.BirthMonth = born.Month;
  r.BirthDay = born.Day;
  patient.HeightCm = in.Number("Height");
  patient.WeightKg = in.Number("Weight");
  r.HeightCm = patient.HeightCm.value_or(0);
  r.WeightKg = patient.WeightKg.value_or(0);
  r.Sex = in.Number("Sex").value_or(0);
  r.MotherName = in.Text("Patient", "Mother", R::NameSize);
  r.MaidenName = in.Text("Patient", "Girl", R::NameSize);
  // Address set 1 is the home address, set 2 the workplace.
  r.Postcode[0] = in.Text("Patient", "Ppcode", R::PostcodeSize);
  r.City[0] = in.Text("Patient", "Pcity", R::CitySize);
  r.Street[0] = in.Text("Patient", "Padress", R::StreetSize);
  r.Occupation = in.Text("Patient", "Job", R::OccupationSize);
  r.Postcode[1] = in.Text("Patient", "Wpcode", R::PostcodeSize);
  r.City[1] = in.Text("Patient", "Wpcity", R::CitySize);
  r.County[1] = in.Text("Patient", "Wpregion", R::CountySize);
  r.Street[1] = in.Text("Patient", "Wpadress", R::StreetSize);
  r.Phone[1] = in.Text("Patient", "Wptel", R::PhoneSize);
  r.Doctor = in.Text("Institute", "Doctor", R::NameSize);
  return patient;
}

}  // namespace

TReadResult Parse(std::string_view bytes) {
  TReadResult result;
  const std::string text = DecodeLines(bytes);
  const TIniDocument doc = TIniDocument::Parse(text);
  const auto control = LineWithControlCharacter(text);
  const auto foreign = doc.FirstForeignLine();
  if (control || foreign) {
    result.Problem = TProblem::NotIniText;
    result.Line = std::min(control.value_or(SIZE_MAX), foreign.value_or(SIZE_MAX));
    return result;
  }
  // A [Patient] section without keys hands over nobody.
  if (doc.Keys("Patient").empty()) {
    result.Problem = TProblem::NoPatient;
    return result;
  }
  result.Patient = PatientOf(doc);
  return result;
}

bool Exists(const std::string& systemPath) {
  const auto native = Paths::ToNative(systemPath);
  std::error_code ec;
  return native && std::filesystem::is_regular_file(*native, ec);
}

TReadResult Read(const std::string& systemPath) {
  TReadResult result;
  result.Problem = TProblem::Unreadable;
  const auto native = Paths::ToNative(systemPath, &result.Detail);
  if (!native)
    return result;
  std::error_code ec;
  const auto status = std::filesystem::status(*native, ec);
  if (ec || !std::filesystem::is_regular_file(status)) {
    result.Detail = ec ? ec.message() : "it is not an ordinary file";
    return result;
  }
  if (const auto size = std::filesystem::file_size(*native, ec); !ec && size > MaximumBytes) {
    result.Detail = "it is larger than a hand-over file can be";
    return result;
  }
  errno = 0;
  std::ifstream in(*native, std::ios::binary);
  std::ostringstream bytes;
  if (in)
    bytes << in.rdbuf();
  if (!in || in.bad()) {
    result.Detail = errno ? std::strerror(errno) : "it cannot be read";
    return result;
  }
  return Parse(bytes.str());
}

std::optional<THandOverPatient> ReadAndReport(const std::string& systemPath, const TMessage& messages) {
  TReadResult result = Read(systemPath);
  switch (result.Problem) {
  case TProblem::None:
    return std::move(result.Patient);
  case TProblem::Unreadable:
    messages.MessageBoxText(messages.Format(UnreadableText, {Paths::Shown(systemPath), result.Detail}), ErrorCaption,
                            TMessageIcon::Stop);
    break;
  case TProblem::NotIniText:
    messages.MessageBoxText(messages.Format(NotIniText, {Paths::Shown(systemPath), std::to_string(result.Line)}), ErrorCaption,
                            TMessageIcon::Stop);
    break;
  case TProblem::NoPatient:
    messages.MessageBoxText(messages.Format(NoPatientText, {Paths::Shown(systemPath)}), ErrorCaption, TMessageIcon::Stop);
    break;
  }
  return std::nullopt;
}

bool Remove(const std::string& systemPath, std::string* error) {
  const auto native = Paths::ToNative(systemPath, error);
  if (!native)
    return false;
  std::error_code ec;
  std::filesystem::remove(*native, ec);
  if (ec && error)
    *error = ec.message();
  return !ec;
}

}  // namespace HandOver
