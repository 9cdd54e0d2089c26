#pragma once

// Text rules of the patient sheet's fields: blanks tidied, numbers read the
// way the sheet reads them, and the byte widths of the table's fields.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace PatientText {

// Removes the leading and trailing blanks and reduces every inner run of
// blanks to one. Only the blank (0x20) counts; other white space stays. An
// empty text and the new-record placeholder come back unchanged.
std::string CorrectingString(std::string_view text, std::string_view placeholder);

// Keeps the decimal digits of a text, at most the first 8 of them.
std::string FilterOnlyDigits(std::string_view text);

// The whole number at the start of a text, as "%d" reads it: blanks
// skipped, an optional sign, then at least one digit. Nothing when there is
// no such number; a number too large for 32 bits is nothing as well.
std::optional<std::int32_t> LeadingInteger(std::string_view text);

// How many characters of a UTF-8 text fit a field of `width` bytes.
std::size_t CharactersThatFit(std::string_view text, std::size_t width);

// Whether a UTF-8 text holds a control character, which no field stores:
// C0 (below the blank, the tab included), DEL, or C1 (U+0080 to U+009F).
bool HasControlCharacter(std::string_view text);

}  // namespace PatientText
