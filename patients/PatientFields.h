#pragma once

// One patient as the sheet shows and stores it: the row of the patient
// table in the sheet's terms. The sheet's database maps it field by field
// onto the table's record; the widths are the bytes each text field of
// that record holds (without its terminating zero).

#include <array>
#include <cstdint>
#include <string>

struct TPatientAddress {
  std::string Postcode, County, City, Street, Phone;
};

struct TPatientFields {
  static constexpr std::size_t NameWidth = 30;
  static constexpr std::size_t IdWidth = 16;
  static constexpr std::size_t PostcodeWidth = 10;
  static constexpr std::size_t CountyWidth = 25;
  static constexpr std::size_t CityWidth = 20;
  static constexpr std::size_t StreetWidth = 40;
  static constexpr std::size_t PhoneWidth = 15;
  static constexpr std::size_t DateWidth = 20;
  static constexpr std::size_t OccupationWidth = 20;
  static constexpr std::size_t EcgIdWidth = 16;

  std::string Name;
  std::array<std::string, 2> Ids;  // the first identifier, then the second
  std::string MotherName;
  std::string MaidenName;
  std::array<TPatientAddress, 3> Addresses;
  std::array<std::string, 3> Dates;  // in the date picture; the birth date first
  std::int32_t Sex = 0;              // 0 female, 1 male
  std::int32_t Unit = 0;             // 0 metric (cm, kg), 1 imperial (in, lb)
  std::int32_t Height = 0;
  std::int32_t Weight = 0;
  std::int32_t Population = 0;
  std::string Occupation;
  std::int32_t PatientKey = 0;  // given by the table on insert
  std::int32_t HomeDoctorKey = 0;
  std::int32_t TreatingDoctorKey = 0;
  // Written by the ECG hand-over; the sheet keeps it and writes it back.
  std::string EcgId;
};

// The factor by which predicted values are corrected for a population
// (patient category): 0.8, 1.1 and 0.7 for categories 2, 3 and 4.
float PopulationCorrection(int population);
