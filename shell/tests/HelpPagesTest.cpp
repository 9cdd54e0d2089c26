// The help pages shipped beside the program: one for every command of every
// menu and bar and for every dialog's help id, each link resolving, and the
// contents reaching them all.

#include "shell/tests/AppFixture.h"
#include "shell/tests/StandIns.h"

#include "shell/bars/BarLayouts.h"
#include "shell/bars/ChildMenus.h"
#include "shell/client/DialogHelpIds.h"
#include "shell/client/HelpContext.h"
#include "shell/bars/MainMenuLayout.h"
#include "shell/bars/TestToolBox.h"

#include "measure/results/ParamChoice.h"
#include "patients/DatabaseCreateAndSelect.h"
#include "patients/DoctorDialog.h"
#include "patients/DoctorInput.h"
#include "patients/Institute.h"
#include "patients/LocationDatabase.h"
#include "patients/PatientSearch.h"
#include "patients/StartUp.h"
#include "platform/basekit/ui/DdeDialog.h"
#include "records/window/PatientBrowseMeet.h"
#include "special/provocation/ui/ProvDialogs.h"

#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QString>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Every dialog with a Help button is in the one list.
constexpr bool Listed(int id) {
  return std::find(Help::DialogHelpIds.begin(), Help::DialogHelpIds.end(), id) != Help::DialogHelpIds.end();
}
static_assert(Listed(TParamChoice::HelpId) && Listed(TDatabaseCreateAndSelect::HelpId) && Listed(TDoctor::HelpId) &&
              Listed(TDoctorInput::HelpId) && Listed(TInstitute::HelpId) && Listed(TLocationDatabase::HelpId) &&
              Listed(TPatientSearch::HelpId) && Listed(TStartUp::HelpId) && Listed(TDdeDialog::HelpId) &&
              Listed(TPatientBrowseMeet::HelpId) && Listed(TProvSetup::ResourceId) && Listed(TProvParam::ResourceId));

fs::path HelpFolder() { return fs::path(HALVETRA_BIN_DIR) / "help" / "English"; }

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void AddMenu(const std::vector<TMenuEntry>& entries, std::set<unsigned>& ids) {
  for (const TMenuEntry& entry : entries) {
    if (entry.Kind == TMenuEntry::TKind::Command)
      ids.insert(entry.Id);
    AddMenu(entry.Items, ids);
  }
}

void AddBar(const TBarLayout& bar, std::set<unsigned>& ids) {
  for (unsigned id : bar.ButtonIds())
    ids.insert(id);
}

// The commands of the main menu, of every window's menu and bar, in every
// variant the program builds.
std::set<unsigned> EveryCommand() {
  std::set<unsigned> ids;
  TInstallFlags all;
  all.HardwareInstalled = all.DiffusionInstalled = all.PlethysmographInstalled = all.AudioInstalled = true;
  all.HardwareMode = 0x5;
  const TBreathingRates rates{40, 60};
  AddMenu(MainMenu::Layout(true, true), ids);
  for (bool withMeasure : {false, true})
    for (bool stageView : {false, true})
      AddMenu(ChildMenus::PatientMeasure(all, withMeasure, stageView, rates), ids);
  AddMenu(ChildMenus::ShortMeasure(), ids);
  AddMenu(ChildMenus::Note(), ids);
  AddMenu(ChildMenus::Trend(), ids);
  AddMenu(ChildMenus::Provocation(), ids);
  AddMenu(ChildMenus::Audiometer(), ids);
  AddBar(BarLayouts::PatientBar1(), ids);
  AddBar(BarLayouts::PatientBar2(true), ids);
  for (short type = 0; type <= 6; ++type)
    for (bool stageView : {false, true})
      for (bool provocation : {false, true}) {
        BarLayouts::TMeasureBarView view;
        view.MeasureType = type;
        view.StageView = stageView;
        view.ProvocationOpen = provocation;
        view.Rates = rates;
        AddBar(BarLayouts::Measurement(view), ids);
      }
  AddBar(BarLayouts::Trend(false), ids);
  AddBar(BarLayouts::Provocation(false), ids);
  for (int algorithm = 1; algorithm <= 4; ++algorithm)
    AddBar(BarLayouts::Audiometer(algorithm, 1, 40), ids);
  for (const TBarGadget& button : BarLayouts::MainBarTestButtons(all))
    ids.insert(button.Id);
  for (unsigned id : TestToolBox::Buttons(all))
    ids.insert(id);
  return ids;
}

// The pages a help request can show: the context of every command with
// every open test or none, of every dialog, and the tests' own.
std::set<int> EveryContext() {
  std::set<int> contexts;
  const std::optional<int> types[] = {std::nullopt, 0, 1, 2, 3, 4, 5, 6};
  for (unsigned id : EveryCommand())
    for (const auto& type : types)
      contexts.insert(Help::ContextFor(id, type));
  for (int id : Help::DialogHelpIds)
    contexts.insert(Help::ContextFor(static_cast<unsigned>(id), std::nullopt));
  contexts.erase(0);  // the contents
  return contexts;
}

std::vector<std::string> LinksOf(const std::string& html) {
  std::vector<std::string> links;
  static const QRegularExpression href(QStringLiteral("href=\"([^\"#]*)[^\"]*\""));
  auto matches = href.globalMatch(QString::fromStdString(html));
  while (matches.hasNext())
    links.push_back(matches.next().captured(1).toStdString());
  return links;
}

TEST(HelpPages, EveryCommandDialogAndTestHasItsPage) {
  const Help::TPages pages(HelpFolder());
  ASSERT_TRUE(pages.Exists()) << HelpFolder();
  EXPECT_TRUE(fs::is_regular_file(pages.HelpOnHelp()));
  std::set<int> contexts = EveryContext();
  // The tests of the measurement window and their pre/post comparisons.
  for (int test : {2147, 2148, 2149, 2150, 2151, 2139, 31, 32, 33, 97, 91})
    EXPECT_TRUE(contexts.count(test)) << test;
  std::string missing;
  for (int context : contexts)
    if (pages.ForContext(context) == pages.Index())
      missing += " " + std::to_string(context);
  EXPECT_EQ(missing, "");
}

// A page describes what its command does in this version: the audiometer's
// calibration and settings once said they were "not available yet" after
// both had been built.
TEST(HelpPages, NoPageSaysItsCommandIsNotThere) {
  std::string stale;
  for (const auto& entry : fs::directory_iterator(HelpFolder()))
    if (entry.path().extension() == ".html" &&
        TTemporaryFolder::Read(entry.path()).find("not available yet") != std::string::npos)
      stale += " " + entry.path().filename().string();
  EXPECT_EQ(stale, "");
}

TEST(HelpPages, EveryLinkResolvesAndTheContentsReachEveryPage) {
  const fs::path folder = HelpFolder();
  std::set<std::string> pages;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".html")
      pages.insert(entry.path().filename().string());
  ASSERT_FALSE(pages.empty());

  std::set<std::string> reached{"index.html"};
  std::vector<std::string> open{"index.html"};
  std::string broken;
  for (const std::string& page : pages) {
    const std::string html = Read(folder / page);
    EXPECT_NE(html.find("<title>"), std::string::npos) << page;
    for (const std::string& link : LinksOf(html))
      if (!link.empty() && !pages.count(link))
        broken += " " + page + "->" + link;
  }
  EXPECT_EQ(broken, "");
  while (!open.empty()) {
    const std::string page = open.back();
    open.pop_back();
    for (const std::string& link : LinksOf(Read(folder / page)))
      if (pages.count(link) && reached.insert(link).second)
        open.push_back(link);
  }
  std::string unreached;
  for (const std::string& page : pages)
    if (!reached.count(page))
      unreached += " " + page;
  EXPECT_EQ(unreached, "");
}

// The program with the pages installed beside it and a patient's sheet open.
class HelpWindow : public TAppFixture {
protected:
  void SetUp() override {
    Windows = StandIns.Factories([this] { return App ? static_cast<TEventHandler*>(App->GetClient()) : nullptr; });
    Store = &Recorder;
    fs::create_directories(Folder / "help");
    fs::copy(HelpFolder(), Folder / "help" / "English", fs::copy_options::recursive);
    Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=5\n[Hardware Diffusion Test]\nInstall=1\n");
    Start();
    CreateDatabase();
    AddPatient("Anna Kovacs", "A-1");
    ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  }

  // The title of the page that help on `id` shows.
  std::string HelpOn(unsigned id) {
    EXPECT_EQ(SendMessage(App.get(), WM_SHOW_HELP, id), 1);
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* browser = qobject_cast<QTextBrowser*>(window); browser && window->objectName() == "HelpWindow")
        return browser->documentTitle().toStdString();
    return "no help window";
  }

  TStandInWindows StandIns;
  TStoreRecorder Recorder;
};

TEST_F(HelpWindow, TheHelpCommandsAreOnAndTheTestButtonsShowTheOpenTest) {
  EXPECT_TRUE(App->IsHelpFileExists());
  for (unsigned id : {CM_HELP_INDEX, CM_HELP_MODE, CM_HELP_ON_HELP})
    EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_EQ(HelpOn(CM_START), "Halvetra Help");  // no test open: the contents
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == "HelpWindow")
      SavePicture(*window, "help-contents.png");

  // A shutter test has no topic of its own: its start shows the contents.
  SendMessage(&Client(), WM_COMMAND, CM_MEASURE_SHUTTER, 0);
  ASSERT_NE(Client().GetMeasure(), nullptr);
  EXPECT_EQ(HelpOn(CM_START), "Halvetra Help");
  EXPECT_EQ(HelpOn(CM_PREPOST), "Halvetra Help");
  EXPECT_EQ(HelpOn(CM_PATIENT_SEARCH), "Search patient");
}

TEST_F(HelpWindow, PrePostInADiffusionTestShowsItsComparison) {
  SendMessage(&Client(), WM_COMMAND, CM_MEASURE_DFC, 0);
  ASSERT_NE(Client().GetMeasure(), nullptr);
  ASSERT_EQ(Client().GetMeasure()->GetMeasureType(), 3);
  EXPECT_EQ(HelpOn(CM_PREPOST), "Pre/post comparison of the diffusion capacity test");  // page 97
  EXPECT_EQ(HelpOn(CM_STOP), "Diffusion capacity test");
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == "HelpWindow")
      SavePicture(*window, "help-window.png");
}

}  // namespace
