#pragma once

// Little-endian byte layouts, written and read field by field: the work
// files, demonstration and measure-log files and the 84-byte patient block
// keep their exact layouts whatever the compiler does to a struct.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TBinaryWriter {
public:
  void WriteInt8(std::int8_t value) { WriteUInt8(static_cast<std::uint8_t>(value)); }
  void WriteUInt8(std::uint8_t value) { Bytes.push_back(static_cast<char>(value)); }
  void WriteInt16(std::int16_t value) { WriteUInt16(static_cast<std::uint16_t>(value)); }
  void WriteUInt16(std::uint16_t value);
  void WriteInt32(std::int32_t value) { WriteUInt32(static_cast<std::uint32_t>(value)); }
  void WriteUInt32(std::uint32_t value);
  void WriteFloat32(float value);
  void WriteFloat64(double value);
  // A fixed char array of `width` bytes: the text, cut at a character
  // boundary to leave room for the terminating zero, then zeros.
  void WriteChars(std::string_view text, std::size_t width);
  void WriteBytes(std::span<const char> bytes) { Bytes.insert(Bytes.end(), bytes.begin(), bytes.end()); }

  const std::string& Data() const { return Bytes; }
  std::string Take() { return std::move(Bytes); }
  std::size_t Size() const { return Bytes.size(); }

private:
  std::string Bytes;
};

// Reads the same layouts back. A read past the end marks the reader failed
// (and every later read gives 0); the error names the field and offset.
class TBinaryReader {
public:
  explicit TBinaryReader(std::string_view bytes) : Bytes(bytes) {}

  std::int8_t ReadInt8(std::string_view field = {}) { return static_cast<std::int8_t>(ReadUInt8(field)); }
  std::uint8_t ReadUInt8(std::string_view field = {});
  std::int16_t ReadInt16(std::string_view field = {}) { return static_cast<std::int16_t>(ReadUInt16(field)); }
  std::uint16_t ReadUInt16(std::string_view field = {});
  std::int32_t ReadInt32(std::string_view field = {}) { return static_cast<std::int32_t>(ReadUInt32(field)); }
  std::uint32_t ReadUInt32(std::string_view field = {});
  float ReadFloat32(std::string_view field = {});
  double ReadFloat64(std::string_view field = {});
  // The text of a fixed char array, up to its first zero.
  std::string ReadChars(std::size_t width, std::string_view field = {});
  std::string_view ReadBytes(std::size_t count, std::string_view field = {});
  void Skip(std::size_t count, std::string_view field = {}) { ReadBytes(count, field); }

  bool Ok() const { return Error.empty(); }
  const std::string& GetError() const { return Error; }
  std::size_t Position() const { return Offset; }
  std::size_t Remaining() const { return Bytes.size() - Offset; }
  bool AtEnd() const { return Offset == Bytes.size(); }

private:
  // The next `count` bytes, or nothing once the data runs short.
  const unsigned char* Take(std::size_t count, std::string_view field);

  std::string_view Bytes;
  std::size_t Offset = 0;
  std::string Error;
};
