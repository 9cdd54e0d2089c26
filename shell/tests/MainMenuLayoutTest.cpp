#include "shell/bars/MainMenuLayout.h"
#include "shell/tests/ExpectedMainMenu.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

void Flatten(const std::vector<TMenuEntry>& entries, int depth, std::vector<TExpectedItem>& out) {
  for (const TMenuEntry& e : entries) {
    switch (e.Kind) {
    case TMenuEntry::TKind::Separator:
      out.push_back({depth, '-', 0, 0, false});
      break;
    case TMenuEntry::TKind::Command:
      out.push_back({depth, 'C', e.Id, e.TextNumber, e.Ellipsis});
      if (e.TextNumber < 0) {
        EXPECT_EQ(e.FixedText, "EKG");
      }
      break;
    case TMenuEntry::TKind::Popup:
      out.push_back({depth, 'P', 0, e.TextNumber, false});
      Flatten(e.Items, depth + 1, out);
      break;
    }
  }
}

TEST(MainMenuLayout, ItemsFollowTheMenuForEveryOptionalItem) {
  for (const bool ecg : {false, true})
    for (const bool usb : {false, true}) {
      std::vector<TExpectedItem> actual;
      Flatten(MainMenu::Layout(ecg, usb), 0, actual);
      EXPECT_EQ(actual, ExpectedMainMenu(ecg, usb)) << "ecg " << ecg << " usb " << usb;
    }
}

TEST(MainMenuLayout, TheEcgProgramIsFoundInTheFolderOfItsSettings) {
  TTemporaryFolder folder;
  const std::string ini = (folder / "Halvetra.ini").string();
  EXPECT_FALSE(MainMenu::EcgProgramPresent(ini));  // no [Korvane] Path

  folder.Write("Halvetra.ini", "[Korvane]\nPath=" + (folder / "ecg").string() + "\n");
  std::filesystem::create_directory(folder / "ecg");
  EXPECT_FALSE(MainMenu::EcgProgramPresent(ini));
  folder.Write("ecg/korvan32.exe", "program");
  EXPECT_TRUE(MainMenu::EcgProgramPresent(ini));
  std::filesystem::remove(folder / "ecg/korvan32.exe");
  folder.Write("ecg/KORVAN.EXE", "program");  // file names match without regard to case
  EXPECT_TRUE(MainMenu::EcgProgramPresent(ini));

  folder.Write("Halvetra.ini", "[Korvane]\nPath=c:\\korvan\n");
  EXPECT_FALSE(MainMenu::EcgProgramPresent(ini));
}

}  // namespace
