#pragma once

// The patient block that every test window, the predicted-value equations,
// the printout header and the measure-log files receive: 84 bytes, always
// passed by value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct PREDICTED_DATA {
  static constexpr std::size_t ByteSize = 84;
  static constexpr std::size_t NameSize = 31;  // at most 30 characters and the zero
  static constexpr std::size_t IdSize = 17;    // at most 16 characters and the zero

  char Name[NameSize] = {};
  char Id[IdSize] = {};
  std::int32_t Age = 0;        // whole years
  std::int32_t Height = 0;     // cm (metric) or inches (imperial)
  std::int32_t Weight = 0;     // kg (metric) or pounds (imperial)
  std::int32_t Sex = 0;        // 0 female, 1 male
  std::int32_t Reserved = 0;   // always 0
  std::int32_t BirthYear = 0;
  std::int32_t BirthMonth = 0;
  std::int32_t BirthDay = 0;
  std::int32_t Unit = 0;       // 0 metric (cm, kg), 1 imperial (in, lb)

  // Copies a text into a fixed field, cut at a character boundary.
  void SetName(std::string_view name);
  void SetId(std::string_view id);
  std::string GetName() const;
  std::string GetId() const;

  // The block as the files hold it: 84 little-endian bytes, field by field.
  std::string ToBytes() const;
  // Reads a block back; nothing when fewer than 84 bytes are given.
  static std::optional<PREDICTED_DATA> FromBytes(std::string_view bytes);
};
