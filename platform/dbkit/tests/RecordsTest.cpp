#include "platform/dbkit/Records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::int32_t Int32At(const std::string& bytes, std::size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24));
}

float FloatAt(const std::string& bytes, std::size_t offset) {
  const std::int32_t bits = Int32At(bytes, offset);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The zero-terminated text of a field, and that it ends within its width.
std::string TextAt(const std::string& bytes, std::size_t offset, std::size_t width) {
  const std::string field = bytes.substr(offset, width);
  EXPECT_NE(field.find('\0'), std::string::npos) << "field at " << offset << " is not terminated";
  return field.substr(0, field.find('\0'));
}

struct TextField {
  std::size_t Offset;
  std::size_t Width;
  const char* Text;
};
struct IntField {
  std::size_t Offset;
  std::int32_t Value;
};

// Every field of the patient record at the offset the system addresses it
// by, with a value of its own.
TEST(Records, PatientRecordIs647BytesAtTheFixedOffsets) {
  PatientRecordType record;
  SetFieldText(record.Name, "Kovács Éva");
  SetFieldText(record.Id, "2500101AB");
  SetFieldText(record.Id2, "second-id");
  SetFieldText(record.MotherName, "Mother");
  SetFieldText(record.MaidenName, "Maiden");
  const char* postcodes[] = {"P1", "P2", "P3"};
  const char* counties[] = {"C1", "C2", "C3"};
  const char* cities[] = {"T1", "T2", "T3"};
  const char* streets[] = {"S1", "S2", "S3"};
  const char* phones[] = {"F1", "F2", "F3"};
  const char* dates[] = {"1950.03.07.", "2001.02.31.", ""};
  for (int i = 0; i < 3; ++i) {
    SetFieldText(record.Postcode[i], postcodes[i]);
    SetFieldText(record.County[i], counties[i]);
    SetFieldText(record.City[i], cities[i]);
    SetFieldText(record.Street[i], streets[i]);
    SetFieldText(record.Phone[i], phones[i]);
    SetFieldText(record.Date[i], dates[i]);
  }
  record.Sex = 1;
  record.Unit = 1;
  record.Height = 70;
  record.Weight = 160;
  record.Population = 3;
  SetFieldText(record.Occupation, "Baker");
  record.Key = 0x01020304;
  record.HomeDoctor = 7;
  record.Doctor = -2;
  SetFieldText(record.EcgId, "A1234567.");

  const std::string bytes = record.ToBytes();
  ASSERT_EQ(bytes.size(), 647u);
  ASSERT_EQ(PatientRecordType::ByteSize, 647u);
  const TextField texts[] = {
      {0, 31, "Kovács Éva"}, {31, 17, "2500101AB"}, {48, 17, "second-id"}, {65, 31, "Mother"}, {96, 31, "Maiden"},
      {127, 11, "P1"},       {138, 11, "P2"},       {149, 11, "P3"},        {160, 26, "C1"},     {186, 26, "C2"},
      {212, 26, "C3"},       {238, 21, "T1"},       {259, 21, "T2"},        {280, 21, "T3"},     {301, 41, "S1"},
      {342, 41, "S2"},       {383, 41, "S3"},       {424, 16, "F1"},        {440, 16, "F2"},     {456, 16, "F3"},
      {472, 21, "1950.03.07."}, {493, 21, "2001.02.31."}, {514, 21, ""},    {597, 21, "Baker"},  {630, 17, "A1234567."},
  };
  for (const TextField& field : texts)
    EXPECT_EQ(TextAt(bytes, field.Offset, field.Width), field.Text) << "offset " << field.Offset;
  EXPECT_EQ(bytes.substr(535, 42), std::string(42, '\0'));
  const IntField ints[] = {{577, 1}, {581, 1}, {585, 70}, {589, 160}, {593, 3}, {618, 0x01020304}, {622, 7}, {626, -2}};
  for (const IntField& field : ints)
    EXPECT_EQ(Int32At(bytes, field.Offset), field.Value) << "offset " << field.Offset;
  EXPECT_EQ(bytes.substr(618, 4), std::string("\x04\x03\x02\x01", 4));  // little-endian

  const auto back = PatientRecordType::FromBytes(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->ToBytes(), bytes);
  EXPECT_FALSE(PatientRecordType::FromBytes(bytes.substr(0, 646)));
}

TEST(Records, MeetRecordIs153BytesAndItsSummary115) {
  MeetRecordType meet;
  meet.PatientKey = 42;
  SetFieldText(meet.Date, "2024.02.29.");
  SetFieldText(meet.Time, "09:15:00");
  meet.Flags = MeetFlag::Fvc | MeetFlag::Provoked;
  SetFieldText(meet.Agent, "Methacholine");
  meet.Concentration = 2.5f;
  meet.Dose = -0.125f;
  SetFieldText(meet.Note, "after 2 puffs");
  SetFieldText(meet.Version, "V1.000");
  meet.MeetKey = 1001;
  meet.Algorithm = 5;

  const std::string bytes = meet.ToBytes();
  ASSERT_EQ(bytes.size(), 153u);
  EXPECT_EQ(Int32At(bytes, 0), 42);
  EXPECT_EQ(TextAt(bytes, 4, 21), "2024.02.29.");
  EXPECT_EQ(TextAt(bytes, 25, 9), "09:15:00");
  EXPECT_EQ(Int32At(bytes, 34), 0x011);
  EXPECT_EQ(TextAt(bytes, 38, 31), "Methacholine");
  EXPECT_EQ(FloatAt(bytes, 69), 2.5f);
  EXPECT_EQ(FloatAt(bytes, 73), -0.125f);
  EXPECT_EQ(TextAt(bytes, 77, 61), "after 2 puffs");
  EXPECT_EQ(TextAt(bytes, 138, 7), "V1.000");
  EXPECT_EQ(Int32At(bytes, 145), 1001);
  EXPECT_EQ(Int32At(bytes, 149), 5);
  const auto back = MeetRecordType::FromBytes(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->ToBytes(), bytes);

  const std::string summary = MEET_INFORMATION::From(meet).ToBytes();
  ASSERT_EQ(summary.size(), 115u);
  EXPECT_EQ(Int32At(summary, 0), 0x011);
  EXPECT_EQ(TextAt(summary, 4, 31), "Methacholine");
  EXPECT_EQ(FloatAt(summary, 35), 2.5f);
  EXPECT_EQ(FloatAt(summary, 39), -0.125f);
  EXPECT_EQ(TextAt(summary, 43, 61), "after 2 puffs");
  EXPECT_EQ(TextAt(summary, 104, 7), "V1.000");
  EXPECT_EQ(Int32At(summary, 111), 5);
  const auto information = MEET_INFORMATION::FromBytes(summary);
  ASSERT_TRUE(information);
  EXPECT_EQ(information->ToBytes(), summary);
  EXPECT_FALSE(MEET_INFORMATION::FromBytes(summary.substr(1)));
}

TEST(Records, DoctorRecordIs99Bytes) {
  DoctorRecordType doctor;
  doctor.Key = 3;
  SetFieldText(doctor.Code, "D-017");
  SetFieldText(doctor.Name, "Dr. Hargitai");
  SetFieldText(doctor.Address, "Main Street 1");
  doctor.Treating = 1;
  doctor.Home = 0;
  doctor.Referring = 1;
  const std::string bytes = doctor.ToBytes();
  ASSERT_EQ(bytes.size(), 99u);
  EXPECT_EQ(Int32At(bytes, 0), 3);
  EXPECT_EQ(TextAt(bytes, 4, 11), "D-017");
  EXPECT_EQ(TextAt(bytes, 15, 31), "Dr. Hargitai");
  EXPECT_EQ(TextAt(bytes, 46, 41), "Main Street 1");
  EXPECT_EQ(Int32At(bytes, 87), 1);
  EXPECT_EQ(Int32At(bytes, 91), 0);
  EXPECT_EQ(Int32At(bytes, 95), 1);
  const auto back = DoctorRecordType::FromBytes(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->ToBytes(), bytes);
}

TEST(Records, TextsAreCutAtACharacterBoundaryToLeaveTheZero) {
  PatientRecordType record;
  // 29 ASCII letters and a two-byte letter: 31 bytes do not fit in 30.
  SetFieldText(record.Name, std::string(29, 'a') + "é");
  EXPECT_EQ(FieldText(record.Name), std::string(29, 'a'));
  SetFieldText(record.Name, std::string(30, 'b'));
  EXPECT_EQ(FieldText(record.Name), std::string(30, 'b'));
  EXPECT_EQ(record.Name[30], '\0');
  // A field filled to its last byte by a careless writer reads as if it had its zero.
  std::memset(record.Id, 'c', sizeof record.Id);
  EXPECT_EQ(FieldText(record.Id), std::string(16, 'c'));
}

}  // namespace
