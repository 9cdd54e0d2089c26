#include "measure/results/ParamsStruct.h"

#include "platform/framework/Profile.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ParamsStruct, KeysAreUniqueWithTheirSuffixes) {
  std::set<std::string> keys;
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    for (short i = 0; i < ParameterCount(kind); ++i)
      keys.insert(ParamsStructKey(kind, i));
  EXPECT_EQ(keys.size(), 63u);
  EXPECT_EQ(ParamsStructKey(0, 2), "FEV*1,0");
  EXPECT_EQ(ParamsStructKey(1, 0), "IVC");
  EXPECT_EQ(ParamsStructKey(3, 1), "IVC (DFC)");
  EXPECT_EQ(ParamsStructKey(3, 4), "TV (DFC)");
  EXPECT_EQ(ParamsStructKey(3, 0), "TLC");
  EXPECT_EQ(ParamsStructKey(3, 5), "RV");
  EXPECT_EQ(ParamsStructKey(4, 0), "TLC (PL)");
  EXPECT_EQ(ParamsStructKey(4, 3), "RV/TLC (PL)");
  EXPECT_EQ(ParamsStructKey(4, 4), "Raw");
  EXPECT_EQ(ParamsStructKey(5, 0), "Raw (SH)");
  EXPECT_EQ(ParamsStructKey(5, 4), "Rfreq (SH)");
  EXPECT_EQ(ParamsStructKey(6, 0), "");
}

TEST(ParamsStruct, FreshFileShowsEverythingAndStoresAllKeys) {
  const TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  TParamFlags flags{};
  ReadParmsStruct(ini, flags);
  for (const unsigned flag : flags)
    EXPECT_EQ(flag, 1u);
  flags[19] = 0;  // IVC hidden
  ASSERT_TRUE(WriteParmsStruct(ini, flags));
  const TProfile section("Params Struct", ini);
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    for (short i = 0; i < ParameterCount(kind); ++i)
      EXPECT_EQ(section.GetInt(ParamsStructKey(kind, i), -5), kind == 1 && i == 0 ? 0 : 1);
  TParamFlags again{};
  ReadParmsStruct(ini, again);
  EXPECT_EQ(again, flags);
}

// The flags go to the file in one write; it must be byte for byte what
// writing each flag on its own left, a changed flag written with them.
TEST(ParamsStruct, TheWrittenFileIsWhatKeyByKeyWritesLeft) {
  const TTemporaryFolder folder;
  const std::string start = "[Params Struct]\nFVC=1\nivc=0\n\n[Hardware]\nPort=1\n";
  const std::string ini = folder.Write("Halvetra.ini", start).string();
  TParamFlags flags{};
  ReadParmsStruct(ini, flags);
  EXPECT_EQ(flags[19], 0u);
  flags[0] = 0;   // FVC hidden now
  flags[19] = 1;  // IVC shown again
  ASSERT_TRUE(WriteParmsStruct(ini, flags));
  const std::string batched = TTemporaryFolder::Read(ini);

  folder.Write("Halvetra.ini", start);
  TProfile section("Params Struct", ini);
  std::size_t flag = 0;
  for (short kind = 0; kind < TEST_KIND_COUNT; ++kind)
    for (short i = 0; i < ParameterCount(kind); ++i)
      ASSERT_TRUE(section.WriteInt(ParamsStructKey(kind, i), static_cast<int>(flags[flag++])));
  EXPECT_EQ(batched, TTemporaryFolder::Read(ini));
  EXPECT_TRUE(batched.starts_with("[Params Struct]\nFVC=0\nivc=1\n")) << batched;
  EXPECT_TRUE(batched.ends_with("\n\n[Hardware]\nPort=1\n")) << batched;
}

TEST(ParamsStruct, StoredValuesAreSixteenBitNumbers) {
  const TTemporaryFolder folder;
  const auto ini = folder.Write("Halvetra.ini", "[Params Struct]\nFVC=abc\nPEF=0\nMVV=-1\nTLC=65536\nRaw (SH)=2\n");
  TParamFlags flags{};
  ReadParmsStruct(ini.string(), flags);
  EXPECT_EQ(flags[0], 1u);            // no number: the default, shown
  EXPECT_EQ(flags[7], 0u);
  EXPECT_EQ(flags[24], 0xFFFFFFFFu);  // sign-extended
  EXPECT_EQ(flags[26], 0u);           // 65536 is 0 in 16 bits
  EXPECT_EQ(flags[58], 2u);
}

TEST(ParamsStruct, UnwritableFileKeepsTheFlags) {
  const TTemporaryFolder folder;
  const auto unwritable = UnwritableFolder(folder);
  if (!unwritable)
    GTEST_SKIP() << "no unwritable folder on this machine";
  TParamFlags flags{};
  flags.fill(7);
  ReadParmsStruct((*unwritable / "Halvetra.ini").string(), flags);
  EXPECT_EQ(flags[0], 1u);
  EXPECT_FALSE(WriteParmsStruct((*unwritable / "Halvetra.ini").string(), flags));
}

}  // namespace
