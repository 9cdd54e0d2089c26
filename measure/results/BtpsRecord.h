#pragma once

// The BTPS values as the measure-log files store them after the patient
// block: 17 bytes, little-endian, written and read field by field.
//
//   offset 0   4 bytes  BTPS switch (32-bit, nonzero: correct volumes to BTPS)
//   offset 4   4 bytes  temperature, decimal text with terminator, display unit
//   offset 8   4 bytes  relative humidity in %, decimal text with terminator
//   offset 12  5 bytes  barometric pressure, decimal text with terminator, display unit

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

class TBinaryReader;
class TBinaryWriter;

inline constexpr std::size_t BTPS_RECORD_SIZE = 17;

struct BTPS_RECORD {
  std::int32_t Btps = 0;
  std::array<char, 4> Temperature{};
  std::array<char, 4> Humidity{};
  std::array<char, 5> Pressure{};
};

// The text of a field: up to its first zero, or the whole field when a
// foreign record left no terminator.
template <std::size_t Size>
std::string_view FieldText(const std::array<char, Size>& field) {
  std::size_t length = 0;
  while (length < Size && field[length] != '\0')
    ++length;
  return {field.data(), length};
}

// Puts a text into a field with its terminator; false, leaving the field
// as it was, when the text does not fit.
template <std::size_t Size>
bool SetFieldText(std::array<char, Size>& field, std::string_view text) {
  if (text.size() >= Size)
    return false;
  field.fill('\0');
  text.copy(field.data(), text.size());
  return true;
}

void WriteBtpsRecord(TBinaryWriter& writer, const BTPS_RECORD& record);
// The bytes as they stand, terminators or not; a short input fails the reader.
BTPS_RECORD ReadBtpsRecord(TBinaryReader& reader);

// The leading decimal number of a text as the system reads typed values
// ("36.6", " 37", "37abc" is 37); 0 when it has none. Always the C locale.
float TextToFloat(std::string_view text);
// The leading whole number of a text ("36.6" is 36); 0 when it has none.
int TextToInt(std::string_view text);
