#include "common/PredictedData.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::int32_t Int32At(const std::string& bytes, std::size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24));
}

TEST(PredictedData, EightyFourBytesAtTheFixedOffsets) {
  PREDICTED_DATA data;
  data.SetName("Kovács Éva");
  data.SetId("2500101AB");
  data.Age = 45;
  data.Height = 165;
  data.Weight = 62;
  data.Sex = 0;
  data.BirthYear = 1980;
  data.BirthMonth = 3;
  data.BirthDay = 7;
  data.Unit = 1;
  const std::string bytes = data.ToBytes();
  ASSERT_EQ(bytes.size(), 84u);
  EXPECT_EQ(std::string(bytes.data(), std::strlen("Kovács Éva")), "Kovács Éva");
  EXPECT_EQ(bytes[30], '\0');
  EXPECT_EQ(std::string(bytes.data() + 31, 9), "2500101AB");
  struct Field {
    std::size_t offset;
    std::int32_t value;
  };
  for (const Field f : {Field{48, 45}, Field{52, 165}, Field{56, 62}, Field{60, 0}, Field{64, 0}, Field{68, 1980},
                        Field{72, 3}, Field{76, 7}, Field{80, 1}})
    EXPECT_EQ(Int32At(bytes, f.offset), f.value) << "offset " << f.offset;
  // Little-endian and sign-extended 16-bit values.
  data.Height = -1;
  EXPECT_EQ(data.ToBytes().substr(52, 4), std::string("\xFF\xFF\xFF\xFF", 4));
}

TEST(PredictedData, ReadsBackAndRefusesAShortBlock) {
  PREDICTED_DATA data;
  data.SetName(std::string(40, 'N'));  // cut to 30 characters
  data.SetId("ID");
  data.Age = 7;
  data.BirthDay = 31;
  const auto back = PREDICTED_DATA::FromBytes(data.ToBytes());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetName(), std::string(30, 'N'));
  EXPECT_EQ(back->GetId(), "ID");
  EXPECT_EQ(back->Age, 7);
  EXPECT_EQ(back->BirthDay, 31);
  EXPECT_FALSE(PREDICTED_DATA::FromBytes(data.ToBytes().substr(0, 83)));
}

}  // namespace
