#pragma once

// A patient handed to the patient sheet as a new, not yet saved patient
// (from another program's hand-over file): what TPatient::SetNewPatientData
// fills the sheet from. Texts are UTF-8, each bounded to its field's width
// less the terminating zero. The birth date counts only when year, month
// and day are all given (nonzero).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct TTPatientRecord {
  // Field widths, the terminating zero included.
  static constexpr std::size_t NameSize = 31;
  static constexpr std::size_t PostcodeSize = 11;
  static constexpr std::size_t CountySize = 26;
  static constexpr std::size_t CitySize = 21;
  static constexpr std::size_t StreetSize = 41;
  static constexpr std::size_t PhoneSize = 16;
  static constexpr std::size_t IdSize = 17;
  static constexpr std::size_t OccupationSize = 21;
  static constexpr std::size_t AddressSets = 3;  // home, workplace, other

  std::string Name;
  std::string MotherName;
  std::string MaidenName;
  std::array<std::string, AddressSets> Postcode;
  std::array<std::string, AddressSets> County;
  std::array<std::string, AddressSets> City;
  std::array<std::string, AddressSets> Street;
  std::array<std::string, AddressSets> Phone;
  std::string Id;
  std::string Occupation;
  std::int32_t BirthYear = 0;
  std::int32_t BirthMonth = 0;
  std::int32_t BirthDay = 0;
  std::int32_t Sex = 0;  // index of the sex list
  std::int32_t HeightCm = 0;
  std::int32_t WeightKg = 0;
  std::int32_t Population = 0;
  std::string Doctor;  // the treating doctor's name, looked up in the sheet's list

  friend bool operator==(const TTPatientRecord&, const TTPatientRecord&) = default;
};
