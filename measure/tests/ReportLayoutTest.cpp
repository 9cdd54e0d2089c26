#include "measure/report/ReportLayout.h"

#include <gtest/gtest.h>

#include <string>

using namespace ReportLayout;

namespace {

// The expectations are worked by hand from the placement rules on a page
// 1000 units high; `graphs` names the printed blocks (F V M D S P).
struct Case {
  const char* graphs;
  bool secondPlethy;
  int y;
  int g1, g2;
  short pages;
  const char* onPage2;  // the printed blocks on page 2
  int endY;
};

TGraphs Graphs(const std::string& names, bool secondPlethy) {
  TGraphs graphs;
  const std::string letters = "FVMDSP";
  for (char c : names)
    graphs.Printed[letters.find(c)] = true;
  graphs.SecondPlethyGraph = secondPlethy;
  graphs.FvcBesideVolume = FvcBesideVolume(graphs.Printed);
  return graphs;
}

TEST(ReportLayout, EveryPlacementRow) {
  const Case cases[] = {
      // Volume graphs alone.
      {"VMD", false, 400, 540, 0, 1, "", 940},
      {"VMD", false, 500, 340, 140, 2, "D", 980},
      {"VMD", false, 700, 140, 340, 2, "MD", 1180},
      {"VMD", false, 900, 0, 540, 2, "VMD", 1440},
      {"VM", false, 500, 340, 0, 1, "", 840},
      {"VM", false, 700, 140, 140, 2, "M", 980},
      {"VD", false, 700, 140, 140, 2, "D", 980},
      {"MD", false, 900, 0, 340, 2, "MD", 1240},
      {"V", false, 700, 140, 0, 1, "", 840},
      {"V", false, 900, 0, 140, 2, "V", 1040},
      // The shutter graph with volume graphs.
      {"SVMD", false, 300, 540, 0, 1, "", 840},
      {"SVMD", false, 500, 340, 140, 2, "D", 980},
      {"SVMD", false, 700, 168, 340, 2, "MD", 1348},
      {"SVM", false, 500, 340, 0, 1, "", 840},
      {"SVM", false, 700, 168, 140, 2, "M", 1008},
      {"SV", false, 700, 168, 0, 1, "", 868},
      {"SVMD", false, 900, 0, 540, 2, "VMDS", 1440},
      {"SVD", false, 900, 0, 340, 2, "VDS", 1240},
      // The shutter graph alone that does not fit: its own height on page 2.
      {"S", false, 900, 0, 168, 2, "S", 1068},
      {"SV", false, 900, 0, 168, 2, "VS", 1068},
      // The 60-unit rule: a one-page report ending at 948 takes two pages.
      {"SV", false, 780, 168, 0, 2, "", 948},
      // FVC.
      {"F", false, 300, 336, 0, 1, "", 636},
      {"FV", false, 300, 336, 0, 1, "", 636},
      {"FVMD", false, 300, 536, 0, 1, "", 836},
      {"FVMD", false, 500, 336, 140, 2, "D", 976},
      {"FS", false, 300, 544, 0, 1, "", 844},
      {"FS", false, 400, 544, 0, 2, "", 944},  // ends within 60 units of the page end
      {"FS", false, 500, 336, 168, 2, "S", 1004},
      {"FSVMD", false, 500, 336, 168, 2, "DS", 1004},
      {"F", false, 700, 0, 336, 2, "F", 1036},
      {"FVMD", false, 700, 0, 536, 2, "FVMD", 1236},
      {"FS", false, 700, 0, 544, 2, "FS", 1244},
      // The plethysmograph block.
      {"P", false, 300, 224, 0, 1, "", 524},
      {"P", true, 300, 404, 0, 1, "", 704},
      {"P", false, 900, 0, 224, 2, "P", 1124},
      {"FP", false, 300, 600, 0, 1, "", 900},
      {"FP", false, 400, 336, 224, 2, "P", 960},
      {"FP", false, 700, 0, 600, 2, "FP", 1300},
      {"FSP", true, 700, 0, 988, 3, "FSP", 1688},
      {"FVP", true, 700, 0, 780, 2, "FVP", 1480},
  };
  const std::string letters = "FVMDSP";
  for (const Case& c : cases) {
    const TGraphs graphs = Graphs(c.graphs, c.secondPlethy);
    const TReportKind kind = CalculateKindOfReport(graphs, 1000, c.y);
    const std::string label = std::string(c.graphs) + (c.secondPlethy ? "+12" : "") + " at " + std::to_string(c.y);
    EXPECT_EQ(kind.GraphHeight1, c.g1) << label;
    EXPECT_EQ(kind.GraphHeight2, c.g2) << label;
    EXPECT_EQ(kind.PageCount, c.pages) << label;
    EXPECT_EQ(kind.Y, c.endY) << label;
    std::string onPage2;
    for (std::size_t b = 0; b < letters.size(); ++b)
      if (graphs.Printed[b] && kind.BlockPage[b] == 2)
        onPage2 += letters[b];
    std::string expected = c.onPage2;
    std::string sortedExpected;
    for (char l : letters)
      if (expected.find(l) != std::string::npos)
        sortedExpected += l;
    EXPECT_EQ(onPage2, sortedExpected) << label;
  }
}

TEST(ReportLayout, FvcBesideOneVolumeGraphOnly) {
  EXPECT_TRUE(FvcBesideVolume(Graphs("F", false).Printed));
  EXPECT_TRUE(FvcBesideVolume(Graphs("FM", false).Printed));
  EXPECT_FALSE(FvcBesideVolume(Graphs("FMD", false).Printed));
  EXPECT_FALSE(FvcBesideVolume(Graphs("V", false).Printed));
}

}  // namespace
