#include "special/provocation/ProvocationSetup.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

// Its own namespace: the headless tests compile in batches, and this
// file's names meet the others' there.
namespace provocation_setup_tests {

using namespace ProvocationSetup;

namespace {

struct ProvocationSetupTest : ::testing::Test {
  TTemporaryFolder Folder;
  std::string Ini = (Folder / "Halvetra.ini").string();
  void Write(std::string_view content) { Folder.Write("Halvetra.ini", content); }
};

}  // namespace

TEST(ProvocationQueue, SplitsAndJoinsAtCommas) {
  const auto boxes = SplitQueue("0.5,1,2");
  EXPECT_EQ(boxes[0], "0.5");
  EXPECT_EQ(boxes[1], "1");
  EXPECT_EQ(boxes[2], "2");
  for (std::size_t k = 3; k < boxes.size(); ++k)
    EXPECT_EQ(boxes[k], "") << k;
  EXPECT_EQ(JoinQueue(boxes), "0.5,1,2");

  // A gap ends the queue: what follows it is not written.
  auto gap = boxes;
  gap[1] = "";
  EXPECT_EQ(JoinQueue(gap), "0.5");
  EXPECT_EQ(QueueItem("0.5,1,2", 3), "");
  EXPECT_EQ(QueueCount(""), 0u);
  EXPECT_EQ(QueueCount("0.5,1,2"), 3u);
}

TEST(ProvocationQueue, ChecksWhatTheSixteenBoxesHold) {
  // 16 entries of 4 characters and 15 commas: 79 characters, the most.
  std::string full;
  for (int k = 0; k < 16; ++k)
    full += (k ? "," : "") + std::string("12.5");
  EXPECT_EQ(full.size(), 79u);
  EXPECT_FALSE(CheckQueue(full).has_value());
  EXPECT_EQ(CheckQueue(full + ",1"), TSetupIssue::TKind::QueueTooLong);                 // 17 entries
  EXPECT_EQ(CheckQueue(std::string(90, '1')), TSetupIssue::TKind::QueueTooLong);        // 90 characters
  EXPECT_EQ(CheckQueue("0.5,0.125"), TSetupIssue::TKind::QueueEntry);                   // 5 characters
  EXPECT_EQ(CheckQueue("0.5,abc"), TSetupIssue::TKind::QueueEntry);
  EXPECT_FALSE(CheckQueue("").has_value());
  EXPECT_TRUE(IsNumeric(""));
  EXPECT_FALSE(IsNumeric("1,5"));
}

TEST(ProvocationSetupNames, ANameThatCannotNameASectionIsRefused) {
  for (std::string_view bad : {"", "a]b", "[x", "a\nb"})
    EXPECT_FALSE(IsSectionName(bad)) << bad;
  EXPECT_TRUE(IsSectionName("Metacholine 2 %"));
}

TEST_F(ProvocationSetupTest, AMaterialWithoutSectionGivesTheDialogsDefaults) {
  Write("[Provocation]\nMaterial=Histamine\n");
  const TSetupRead read = ReadForDialog(Ini, "Histamine");
  TProvSetupRecord expected;
  expected.Material = "Histamine";
  expected.Maximum = "1.0";
  EXPECT_EQ(read.Record, expected);
  EXPECT_TRUE(read.Issues.empty());
}

TEST_F(ProvocationSetupTest, WrittenSetupReadsBackForDialogAndWindow) {
  TProvSetupRecord record;
  record.Material = "Metacholine";
  record.Mode = 1;
  record.Type = 2;
  record.Queue = "0.5,1,2";
  record.Concentration = "2.5";
  record.Head = 1;
  record.Maximum = "4.0";
  record.Accum = 1;
  record.MaterialOfSolution = "Salbutamol";
  ASSERT_TRUE(WriteSetup(Ini, record));
  WriteCurrentMaterial(Ini, "Metacholine");
  EXPECT_EQ(ReadForDialog(Ini, "Metacholine").Record, record);

  // The window reads the concentration only for type 0.
  TProvSetupRecord window = record;
  window.Concentration.clear();
  EXPECT_EQ(ReadForWindow(Ini).Record, window);
  EXPECT_TRUE(ReadForWindow(Ini).Issues.empty());
}

TEST_F(ProvocationSetupTest, TheWindowsDefaultsAndWhatItSkips) {
  Write("[Provocation]\nMaterial=Histamine\n[Histamine]\nQueue=1,2\nHead=1\nConcentration=3.5\n");
  const TProvSetupRecord r = ReadForWindow(Ini).Record;
  EXPECT_EQ(r.Maximum, "0.0");       // no maximum
  EXPECT_EQ(r.Queue, "");            // type 0 reads no queue
  EXPECT_EQ(r.Concentration, "3.5");
  EXPECT_EQ(r.Head, 0);              // typed doses read no head
}

TEST_F(ProvocationSetupTest, HandEditedValuesThatDoNotFitAreReportedNotCut) {
  std::string queue17;
  for (int k = 0; k < 17; ++k)
    queue17 += (k ? "," : "") + std::to_string(k + 1);
  Write("[Provocation]\nMaterial=Histamine\n[Histamine]\nType=1\nQueue=" + queue17 +
        "\nMaximum=1234567\n");
  const TSetupRead read = ReadForWindow(Ini);
  EXPECT_EQ(read.Record.Queue, queue17);  // kept whole
  EXPECT_EQ(read.Record.Maximum, "1234567");
  const std::vector<TSetupIssue> expected{{TSetupIssue::TKind::TooLong, "Maximum", "1234567"},
                                          {TSetupIssue::TKind::QueueTooLong, "Queue", queue17}};
  EXPECT_EQ(read.Issues, expected);

  Write("[Provocation]\nMaterial=a]b\n");
  const TSetupRead bad = ReadForWindow(Ini);
  EXPECT_EQ(bad.Record.Material, "a]b");
  ASSERT_EQ(bad.Issues.size(), 1u);
  EXPECT_EQ(bad.Issues[0].Kind, TSetupIssue::TKind::MaterialName);
}

TEST_F(ProvocationSetupTest, MaterialListsEndAtTheFirstEmptyKeyAndTakeNoTwin) {
  Write("[Material of Provocation]\nMaterial1=Histamine\nMaterial2=Metacholine\nMaterial3=\nMaterial4=Lost\n");
  EXPECT_EQ(ReadList(Ini, MaterialListSection), (std::vector<std::string>{"Histamine", "Metacholine"}));
  AddToList(Ini, MaterialListSection, {"Metacholine", "Adenosine", "histamine"});
  // Compared case-sensitively: "histamine" is another name.
  EXPECT_EQ(ReadList(Ini, MaterialListSection),
            (std::vector<std::string>{"Histamine", "Metacholine", "Adenosine", "histamine"}));
}

}  // namespace provocation_setup_tests
