#include "platform/dbkit/Records.h"

#include "platform/framework/BinaryStream.h"
#include "platform/framework/Utf8.h"

#include <cstring>

namespace {

constexpr std::size_t PatientReservedBytes = 42;

template <std::size_t N>
void WriteText(TBinaryWriter& out, const char (&field)[N]) {
  out.WriteChars(FieldText(field), N);
}

template <std::size_t N>
void ReadText(TBinaryReader& in, char (&field)[N], std::string_view name) {
  SetFieldText(field, in.ReadChars(N, name));
}

// The provocation and note fields that an examination row and its summary
// both hold, in the same order.
template <typename TRecord>
void WriteProvocationAndNote(TBinaryWriter& out, const TRecord& record) {
  WriteText(out, record.Agent);
  out.WriteFloat32(record.Concentration);
  out.WriteFloat32(record.Dose);
  WriteText(out, record.Note);
  WriteText(out, record.Version);
}

template <typename TRecord>
void ReadProvocationAndNote(TBinaryReader& in, TRecord& record) {
  ReadText(in, record.Agent, "agent");
  record.Concentration = in.ReadFloat32("concentration");
  record.Dose = in.ReadFloat32("dose");
  ReadText(in, record.Note, "note");
  ReadText(in, record.Version, "version");
}

}  // namespace

std::string FieldText(const char* field, std::size_t width) {
  if (width == 0)
    return {};
  const std::string_view text(field, width);
  return std::string(Utf8::Truncate(text.substr(0, text.find('\0')), width - 1));
}

void SetFieldText(char* field, std::size_t width, std::string_view text) {
  if (width == 0)
    return;
  const std::string_view kept = Utf8::Truncate(text.substr(0, text.find('\0')), width - 1);
  std::memset(field, 0, width);
  std::memcpy(field, kept.data(), kept.size());
}

std::string PatientRecordType::ToBytes() const {
  TBinaryWriter out;
  WriteText(out, Name);
  WriteText(out, Id);
  WriteText(out, Id2);
  WriteText(out, MotherName);
  WriteText(out, MaidenName);
  for (const auto& field : Postcode)
    WriteText(out, field);
  for (const auto& field : County)
    WriteText(out, field);
  for (const auto& field : City)
    WriteText(out, field);
  for (const auto& field : Street)
    WriteText(out, field);
  for (const auto& field : Phone)
    WriteText(out, field);
  for (const auto& field : Date)
    WriteText(out, field);
  out.WriteBytes(std::string(PatientReservedBytes, '\0'));
  for (const std::int32_t value : {Sex, Unit, Height, Weight, Population})
    out.WriteInt32(value);
  WriteText(out, Occupation);
  for (const std::int32_t value : {Key, HomeDoctor, Doctor})
    out.WriteInt32(value);
  WriteText(out, EcgId);
  return out.Take();
}

std::optional<PatientRecordType> PatientRecordType::FromBytes(std::string_view bytes) {
  TBinaryReader in(bytes);
  PatientRecordType record;
  ReadText(in, record.Name, "name");
  ReadText(in, record.Id, "identifier");
  ReadText(in, record.Id2, "second identifier");
  ReadText(in, record.MotherName, "mother's name");
  ReadText(in, record.MaidenName, "maiden name");
  for (auto& field : record.Postcode)
    ReadText(in, field, "postcode");
  for (auto& field : record.County)
    ReadText(in, field, "county");
  for (auto& field : record.City)
    ReadText(in, field, "city");
  for (auto& field : record.Street)
    ReadText(in, field, "street address");
  for (auto& field : record.Phone)
    ReadText(in, field, "telephone");
  for (auto& field : record.Date)
    ReadText(in, field, "date");
  in.Skip(PatientReservedBytes, "reserved");
  record.Sex = in.ReadInt32("sex");
  record.Unit = in.ReadInt32("unit system");
  record.Height = in.ReadInt32("height");
  record.Weight = in.ReadInt32("weight");
  record.Population = in.ReadInt32("population");
  ReadText(in, record.Occupation, "occupation");
  record.Key = in.ReadInt32("patient key");
  record.HomeDoctor = in.ReadInt32("home doctor");
  record.Doctor = in.ReadInt32("treating doctor");
  ReadText(in, record.EcgId, "ECG identifier");
  if (!in.Ok())
    return std::nullopt;
  return record;
}

std::string MeetRecordType::ToBytes() const {
  TBinaryWriter out;
  out.WriteInt32(PatientKey);
  WriteText(out, Date);
  WriteText(out, Time);
  out.WriteInt32(Flags);
  WriteProvocationAndNote(out, *this);
  out.WriteInt32(MeetKey);
  out.WriteInt32(Algorithm);
  return out.Take();
}

std::optional<MeetRecordType> MeetRecordType::FromBytes(std::string_view bytes) {
  TBinaryReader in(bytes);
  MeetRecordType record;
  record.PatientKey = in.ReadInt32("patient key");
  ReadText(in, record.Date, "date");
  ReadText(in, record.Time, "time");
  record.Flags = in.ReadInt32("test flags");
  ReadProvocationAndNote(in, record);
  record.MeetKey = in.ReadInt32("meet key");
  record.Algorithm = in.ReadInt32("predicted algorithm");
  if (!in.Ok())
    return std::nullopt;
  return record;
}

MEET_INFORMATION MEET_INFORMATION::From(const MeetRecordType& meet) {
  MEET_INFORMATION information;
  information.Flags = meet.Flags;
  SetFieldText(information.Agent, FieldText(meet.Agent));
  information.Concentration = meet.Concentration;
  information.Dose = meet.Dose;
  SetFieldText(information.Note, FieldText(meet.Note));
  SetFieldText(information.Version, FieldText(meet.Version));
  information.Algorithm = meet.Algorithm;
  return information;
}

std::string MEET_INFORMATION::ToBytes() const {
  TBinaryWriter out;
  out.WriteInt32(Flags);
  WriteProvocationAndNote(out, *this);
  out.WriteInt32(Algorithm);
  return out.Take();
}

std::optional<MEET_INFORMATION> MEET_INFORMATION::FromBytes(std::string_view bytes) {
  TBinaryReader in(bytes);
  MEET_INFORMATION information;
  information.Flags = in.ReadInt32("test flags");
  ReadProvocationAndNote(in, information);
  information.Algorithm = in.ReadInt32("predicted algorithm");
  if (!in.Ok())
    return std::nullopt;
  return information;
}

std::string DoctorRecordType::ToBytes() const {
  TBinaryWriter out;
  out.WriteInt32(Key);
  WriteText(out, Code);
  WriteText(out, Name);
  WriteText(out, Address);
  for (const std::int32_t value : {Treating, Home, Referring})
    out.WriteInt32(value);
  return out.Take();
}

std::optional<DoctorRecordType> DoctorRecordType::FromBytes(std::string_view bytes) {
  TBinaryReader in(bytes);
  DoctorRecordType record;
  record.Key = in.ReadInt32("doctor key");
  ReadText(in, record.Code, "code");
  ReadText(in, record.Name, "name");
  ReadText(in, record.Address, "address");
  record.Treating = in.ReadInt32("treating doctor");
  record.Home = in.ReadInt32("home doctor");
  record.Referring = in.ReadInt32("referring doctor");
  if (!in.Ok())
    return std::nullopt;
  return record;
}
