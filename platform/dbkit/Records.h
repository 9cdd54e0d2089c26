#pragma once

// The records that the system exchanges with TEngine, and the kinds of
// table that hold them. Records are byte-packed little-endian blocks with
// fixed offsets (ToBytes and FromBytes write and read them field by field);
// text fields are zero-terminated UTF-8 within their width, dates and times
// are texts in the engine's date and time pictures. Callers zero a record
// before they fill or read it: every record here starts zeroed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The kinds of table, as TEngine::CreateTable takes them.
namespace TableKind {
inline constexpr short Names = 0;
inline constexpr short Fvc = 1;
inline constexpr short Vc = 2;
inline constexpr short Mvv = 3;
inline constexpr short Doctor = 4;
inline constexpr short Meet = 5;
inline constexpr short Audio = 6;
inline constexpr short Rhino = 7;
inline constexpr short Dfc = 8;
inline constexpr short Shutter = 9;
inline constexpr short Plethy = 10;
inline constexpr short Count = 11;
}  // namespace TableKind

// The flag word of an examination: the kinds of test stored with it and the
// stage of a provocation.
namespace MeetFlag {
inline constexpr std::int32_t Fvc = 0x001;
inline constexpr std::int32_t Vc = 0x002;
inline constexpr std::int32_t Mvv = 0x004;
inline constexpr std::int32_t Baseline = 0x008;
inline constexpr std::int32_t Provoked = 0x010;
inline constexpr std::int32_t ThirdStage = 0x020;
inline constexpr std::int32_t Audiogram = 0x040;
inline constexpr std::int32_t Rhino = 0x080;
inline constexpr std::int32_t PosteriorRhino = 0x100;
inline constexpr std::int32_t Dfc = 0x200;
inline constexpr std::int32_t Shutter = 0x400;
inline constexpr std::int32_t Plethy = 0x800;
inline constexpr std::int32_t Spirometric = Fvc | Vc | Mvv | Dfc | Shutter | Plethy;  // 0xE07
// The flag of each test kind, by its measure mode (FVC 0 ... shutter 5).
inline constexpr std::array<std::int32_t, 6> OfKind{Fvc, Vc, Mvv, Dfc, Plethy, Shutter};
}  // namespace MeetFlag

// The text of a fixed field up to its zero, and a text put into one; both
// keep at most width - 1 bytes, cut at a character boundary, so that a
// field without its zero is read as one with it.
std::string FieldText(const char* field, std::size_t width);
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return FieldText(field, N);
}
void SetFieldText(char* field, std::size_t width, std::string_view text);
template <std::size_t N>
void SetFieldText(char (&field)[N], std::string_view text) {
  SetFieldText(field, N, text);
}

// A patient of "names.db" (647 bytes).
struct PatientRecordType {
  static constexpr std::size_t ByteSize = 647;
  static constexpr int AddressSets = 3;
  static constexpr int Dates = 3;  // the birth date first

  char Name[31] = {};          // 0: the first key field
  char Id[17] = {};            // 31: first identifier, the second key field
  char Id2[17] = {};           // 48: second identifier
  char MotherName[31] = {};    // 65
  char MaidenName[31] = {};    // 96
  char Postcode[3][11] = {};   // 127
  char County[3][26] = {};     // 160
  char City[3][21] = {};       // 238
  char Street[3][41] = {};     // 301
  char Phone[3][16] = {};      // 424
  char Date[3][21] = {};       // 472: in the engine's date picture
  // 535: 42 bytes that are always written as zero
  std::int32_t Sex = 0;         // 577: index of the sex list
  std::int32_t Unit = 0;        // 581: 0 metric, 1 imperial
  std::int32_t Height = 0;      // 585: cm or in
  std::int32_t Weight = 0;      // 589: kg or lb
  std::int32_t Population = 0;  // 593
  char Occupation[21] = {};     // 597
  std::int32_t Key = 0;         // 618: given by the engine on insert
  std::int32_t HomeDoctor = 0;  // 622: doctor key
  std::int32_t Doctor = 0;      // 626: treating doctor's key
  char EcgId[17] = {};          // 630: the patient's identifier at the external ECG program

  std::string ToBytes() const;
  static std::optional<PatientRecordType> FromBytes(std::string_view bytes);
};

// An examination of "meet.db" (153 bytes).
struct MeetRecordType {
  static constexpr std::size_t ByteSize = 153;

  std::int32_t PatientKey = 0;    // 0
  char Date[21] = {};             // 4: in the engine's date picture
  char Time[9] = {};              // 25: in the engine's time picture
  std::int32_t Flags = 0;         // 34: MeetFlag
  char Agent[31] = {};            // 38: provocation agent, empty when none
  float Concentration = 0.0f;     // 69
  float Dose = 0.0f;              // 73
  char Note[61] = {};             // 77
  char Version[7] = {};           // 138: "V1.000"
  std::int32_t MeetKey = 0;       // 145: given by the engine on insert
  std::int32_t Algorithm = 0;     // 149: predicted-value equation set

  std::string ToBytes() const;
  static std::optional<MeetRecordType> FromBytes(std::string_view bytes);
};

// The summary of one examination (115 bytes).
struct MEET_INFORMATION {
  static constexpr std::size_t ByteSize = 115;

  std::int32_t Flags = 0;       // 0
  char Agent[31] = {};          // 4
  float Concentration = 0.0f;   // 35
  float Dose = 0.0f;            // 39
  char Note[61] = {};           // 43
  char Version[7] = {};         // 104
  std::int32_t Algorithm = 0;   // 111

  // The summary of an examination row.
  static MEET_INFORMATION From(const MeetRecordType& meet);

  std::string ToBytes() const;
  static std::optional<MEET_INFORMATION> FromBytes(std::string_view bytes);
};

// A doctor of "doctor.db" (99 bytes).
struct DoctorRecordType {
  static constexpr std::size_t ByteSize = 99;

  std::int32_t Key = 0;         // 0: given by the engine on insert
  char Code[11] = {};           // 4
  char Name[31] = {};           // 15
  char Address[41] = {};        // 46
  std::int32_t Treating = 0;    // 87: 0 or 1
  std::int32_t Home = 0;        // 91: 0 or 1
  std::int32_t Referring = 0;   // 95: 0 or 1

  std::string ToBytes() const;
  static std::optional<DoctorRecordType> FromBytes(std::string_view bytes);
};

// The test rows: how many values of each kind a row holds, and the sizes
// the callers' buffers have.
namespace TestRow {
inline constexpr short FvcValues = 19;
inline constexpr short VcValues = 5;
inline constexpr short MvvValues = 2;
inline constexpr short DfcValues = 13;
inline constexpr short PlethyValues = 19;
inline constexpr short ShutterValues = 5;
inline constexpr short AudioEntries = 11;
inline constexpr std::size_t CurveBufferFloats = 6011;
inline constexpr std::size_t RhinoBufferFloats = 12022;
}  // namespace TestRow
