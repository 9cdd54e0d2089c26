#include "special/rhinomanometry/RhinoSettings.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(RhinoSettings, DefaultsOfAMissingFile) {
  TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  std::vector<TRhinoSettingProblem> problems;
  EXPECT_EQ(ReadRhinoAlgorithm(ini, problems), 1);
  TRhinoRows anterior{}, posterior{};
  ReadRhinoRows(ini, anterior, posterior, problems);
  // Anterior 75, 100, 150 Pa; posterior 50, 75, 100 Pa.
  EXPECT_EQ(anterior, (TRhinoRows{0, 1, 1, 1, 0}));
  EXPECT_EQ(posterior, (TRhinoRows{1, 1, 1, 0, 0}));
  EXPECT_TRUE(problems.empty());
}

TEST(RhinoSettings, WrittenUnderTheirKeysAndReadBack) {
  TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  ASSERT_TRUE(WriteRhinoAlgorithm(ini, 2));
  ASSERT_TRUE(WriteRhinoRows(ini, {1, 0, 0, 1, 1}, {0, 0, 1, 1, 1}));
  const std::string text = TTemporaryFolder::Read(ini);
  EXPECT_NE(text.find("[Rhino Algorithm]"), std::string::npos);
  EXPECT_NE(text.find("Algorithm=2"), std::string::npos);
  EXPECT_NE(text.find("[Params Struct of Rhinomanometer]"), std::string::npos);
  EXPECT_NE(text.find("Anterior300=1"), std::string::npos);
  EXPECT_NE(text.find("Posterior50=0"), std::string::npos);

  std::vector<TRhinoSettingProblem> problems;
  EXPECT_EQ(ReadRhinoAlgorithm(ini, problems), 2);
  TRhinoRows anterior{}, posterior{};
  ReadRhinoRows(ini, anterior, posterior, problems);
  EXPECT_EQ(anterior, (TRhinoRows{1, 0, 0, 1, 1}));
  EXPECT_EQ(posterior, (TRhinoRows{0, 0, 1, 1, 1}));
  EXPECT_TRUE(problems.empty());
}

TEST(RhinoSettings, HandEditedValuesOutOfRangeAreReported) {
  TTemporaryFolder folder;
  const auto ini = folder.Write("Halvetra.ini",
                                "[Rhino Algorithm]\nAlgorithm=7\n"
                                "[Params Struct of Rhinomanometer]\nAnterior50=5\nPosterior150=-1\nPosterior300=0\n");
  std::vector<TRhinoSettingProblem> problems;
  EXPECT_EQ(ReadRhinoAlgorithm(ini.string(), problems), 1);
  TRhinoRows anterior{}, posterior{};
  ReadRhinoRows(ini.string(), anterior, posterior, problems);
  EXPECT_EQ(anterior, (TRhinoRows{1, 1, 1, 1, 0}));
  EXPECT_EQ(posterior, (TRhinoRows{1, 1, 1, 1, 0}));
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0].Key, "Algorithm");
  EXPECT_EQ(problems[0].Value, "7");
  EXPECT_EQ(problems[1].Key, "Anterior50");
  EXPECT_EQ(problems[2].Key, "Posterior150");
  EXPECT_EQ(problems[2].Value, "-1");
  EXPECT_EQ(problems[2].Taken, 1);
}

}  // namespace
