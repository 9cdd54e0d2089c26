#include "measure/results/BtpsRecord.h"

#include "platform/framework/BinaryStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

template <std::size_t Size>
void WriteField(TBinaryWriter& writer, const std::array<char, Size>& field) {
  writer.WriteBytes(std::span<const char>(field.data(), field.size()));
}

template <std::size_t Size>
void ReadField(TBinaryReader& reader, std::array<char, Size>& field, std::string_view name) {
  const std::string_view bytes = reader.ReadBytes(Size, name);
  field.fill('\0');
  bytes.copy(field.data(), std::min(bytes.size(), Size));
}

// The number's text without leading blanks and a leading plus sign, which
// from_chars does not take.
std::string_view NumberStart(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  return text;
}

}  // namespace

void WriteBtpsRecord(TBinaryWriter& writer, const BTPS_RECORD& record) {
  writer.WriteInt32(record.Btps);
  WriteField(writer, record.Temperature);
  WriteField(writer, record.Humidity);
  WriteField(writer, record.Pressure);
}

BTPS_RECORD ReadBtpsRecord(TBinaryReader& reader) {
  BTPS_RECORD record;
  record.Btps = reader.ReadInt32("BTPS switch");
  ReadField(reader, record.Temperature, "BTPS temperature");
  ReadField(reader, record.Humidity, "BTPS humidity");
  ReadField(reader, record.Pressure, "BTPS pressure");
  return record;
}

float TextToFloat(std::string_view text) {
  text = NumberStart(text);
  float value = 0.0f;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  // "nan" and "inf" are no readings: they would slip through every range check.
  return error == std::errc{} && std::isfinite(value) ? value : 0.0f;
}

int TextToInt(std::string_view text) {
  text = NumberStart(text);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} ? value : 0;
}
