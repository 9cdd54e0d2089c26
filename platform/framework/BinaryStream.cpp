#include "platform/framework/BinaryStream.h"

#include "platform/framework/Utf8.h"

#include <bit>
#include <cstring>

static_assert(sizeof(float) == 4 && sizeof(double) == 8, "IEEE 754 floats expected");

void TBinaryWriter::WriteUInt16(std::uint16_t value) {
  WriteUInt8(static_cast<std::uint8_t>(value & 0xFFu));
  WriteUInt8(static_cast<std::uint8_t>(value >> 8));
}

void TBinaryWriter::WriteUInt32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    WriteUInt8(static_cast<std::uint8_t>((value >> shift) & 0xFFu));
}

void TBinaryWriter::WriteFloat32(float value) { WriteUInt32(std::bit_cast<std::uint32_t>(value)); }

void TBinaryWriter::WriteFloat64(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  WriteUInt32(static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
  WriteUInt32(static_cast<std::uint32_t>(bits >> 32));
}

void TBinaryWriter::WriteChars(std::string_view text, std::size_t width) {
  if (width == 0)
    return;
  const std::string_view kept = Utf8::Truncate(text.substr(0, text.find('\0')), width - 1);
  Bytes.append(kept);
  Bytes.append(width - kept.size(), '\0');
}

const unsigned char* TBinaryReader::Take(std::size_t count, std::string_view field) {
  if (!Ok())
    return nullptr;
  if (count > Remaining()) {
    Error = "The data ends at byte " + std::to_string(Bytes.size()) + ": " +
            (field.empty() ? std::string("a field") : "the field \"" + std::string(field) + "\"") +
            " at byte " + std::to_string(Offset) + " needs " + std::to_string(count) + " bytes.";
    Offset = Bytes.size();
    return nullptr;
  }
  const auto* at = reinterpret_cast<const unsigned char*>(Bytes.data() + Offset);
  Offset += count;
  return at;
}

std::uint8_t TBinaryReader::ReadUInt8(std::string_view field) {
  const unsigned char* at = Take(1, field);
  return at ? at[0] : 0;
}

std::uint16_t TBinaryReader::ReadUInt16(std::string_view field) {
  const unsigned char* at = Take(2, field);
  return at ? static_cast<std::uint16_t>(at[0] | (at[1] << 8)) : 0;
}

std::uint32_t TBinaryReader::ReadUInt32(std::string_view field) {
  const unsigned char* at = Take(4, field);
  if (!at)
    return 0;
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

float TBinaryReader::ReadFloat32(std::string_view field) { return std::bit_cast<float>(ReadUInt32(field)); }

double TBinaryReader::ReadFloat64(std::string_view field) {
  const std::uint64_t low = ReadUInt32(field);
  const std::uint64_t high = ReadUInt32(field);
  return std::bit_cast<double>(low | (high << 32));
}

std::string TBinaryReader::ReadChars(std::size_t width, std::string_view field) {
  const std::string_view bytes = ReadBytes(width, field);
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string_view TBinaryReader::ReadBytes(std::size_t count, std::string_view field) {
  const unsigned char* at = Take(count, field);
  return at ? std::string_view(reinterpret_cast<const char*>(at), count) : std::string_view{};
}
