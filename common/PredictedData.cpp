#include "common/PredictedData.h"

#include "platform/framework/BinaryStream.h"
#include "platform/framework/Utf8.h"

#include <cstring>

namespace {

template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text) {
  const std::string_view kept = Utf8::Truncate(text.substr(0, text.find('\0')), N - 1);
  std::memset(field, 0, N);
  std::memcpy(field, kept.data(), kept.size());
}

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

}  // namespace

void PREDICTED_DATA::SetName(std::string_view name) { CopyField(Name, name); }
void PREDICTED_DATA::SetId(std::string_view id) { CopyField(Id, id); }
std::string PREDICTED_DATA::GetName() const { return FieldText(Name); }
std::string PREDICTED_DATA::GetId() const { return FieldText(Id); }

std::string PREDICTED_DATA::ToBytes() const {
  TBinaryWriter out;
  out.WriteChars(GetName(), NameSize);
  out.WriteChars(GetId(), IdSize);
  for (const std::int32_t value : {Age, Height, Weight, Sex, Reserved, BirthYear, BirthMonth, BirthDay, Unit})
    out.WriteInt32(value);
  return out.Take();
}

std::optional<PREDICTED_DATA> PREDICTED_DATA::FromBytes(std::string_view bytes) {
  TBinaryReader in(bytes);
  PREDICTED_DATA data;
  data.SetName(in.ReadChars(NameSize, "name"));
  data.SetId(in.ReadChars(IdSize, "identifier"));
  data.Age = in.ReadInt32("age");
  data.Height = in.ReadInt32("height");
  data.Weight = in.ReadInt32("weight");
  data.Sex = in.ReadInt32("sex");
  data.Reserved = in.ReadInt32("reserved");
  data.BirthYear = in.ReadInt32("birth year");
  data.BirthMonth = in.ReadInt32("birth month");
  data.BirthDay = in.ReadInt32("birth day");
  data.Unit = in.ReadInt32("unit system");
  if (!in.Ok())
    return std::nullopt;
  return data;
}
