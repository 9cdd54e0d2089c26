#include "platform/framework/BinaryStream.h"

#include <gtest/gtest.h>

namespace {

TEST(BinaryStream, WritesLittleEndianFieldByField) {
  TBinaryWriter out;
  out.WriteInt16(-2);
  out.WriteUInt16(0xEF7F);
  out.WriteInt32(0x01020304);
  out.WriteFloat32(1.0f);  // 0x3F800000
  out.WriteChars("AB", 4);
  EXPECT_EQ(out.Data(), std::string("\xFE\xFF\x7F\xEF\x04\x03\x02\x01\x00\x00\x80\x3F"
                                    "AB\0\0",
                                    16));
}

TEST(BinaryStream, ReadsBackWhatWasWritten) {
  TBinaryWriter out;
  out.WriteInt8(-5);
  out.WriteInt16(-12345);
  out.WriteUInt32(4000000000u);
  out.WriteFloat32(-8.7890625f);
  out.WriteFloat64(3.141592653589793);
  out.WriteChars("Kovács", 8);
  TBinaryReader in(out.Data());
  EXPECT_EQ(in.ReadInt8(), -5);
  EXPECT_EQ(in.ReadInt16(), -12345);
  EXPECT_EQ(in.ReadUInt32(), 4000000000u);
  EXPECT_EQ(in.ReadFloat32(), -8.7890625f);
  EXPECT_EQ(in.ReadFloat64(), 3.141592653589793);
  EXPECT_EQ(in.ReadChars(8), "Kovács");
  EXPECT_TRUE(in.Ok());
  EXPECT_TRUE(in.AtEnd());
}

TEST(BinaryStream, FixedCharsAreCutAtACharacterBoundary) {
  TBinaryWriter out;
  out.WriteChars("Évá", 4);  // É(2) v(1) á(2): only "Év" fits before the zero
  EXPECT_EQ(out.Data(), std::string("\xC3\x89v\0", 4));
}

TEST(BinaryStream, TruncatedDataGivesAClearErrorAndZeros) {
  const std::string bytes("\x01\x02\x03", 3);
  TBinaryReader in(bytes);
  EXPECT_EQ(in.ReadInt16("count"), 0x0201);
  EXPECT_EQ(in.ReadInt32("samples"), 0);
  EXPECT_FALSE(in.Ok());
  EXPECT_NE(in.GetError().find("\"samples\" at byte 2 needs 4 bytes"), std::string::npos);
  EXPECT_EQ(in.ReadInt16("after"), 0);  // stays failed
  EXPECT_NE(in.GetError().find("samples"), std::string::npos);
}

}  // namespace
