// Audiograms through the real program on real table files: stored from the
// audiometer window by its save command, read back from the table, and
// loaded into the window as the actual and as the previous test.

#include "shell/tests/AppFixture.h"

#include "audiometry/window/AudioMeter.h"
#include "common/CommandNumbers.h"
#include "platform/dbkit/Records.h"
#include "records/ExaminationLoader.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "shell/app/ProgramWindows.h"
#include "shell/tests/ManOfForty.h"
#include "shell/tests/ProgramPrint.h"
#include "testing/Pictures.h"

#include <algorithm>
#include <array>
#include <sstream>


namespace {

constexpr std::size_t Frequencies = 11;
using TEar = std::array<int, Frequencies>;
using TEarFlags = std::array<bool, Frequencies>;

// A hand-made audiogram: the right ear hears better than normal at 125 Hz
// (-10 dB) and was not measured at 6000 Hz; the left ear was not measured
// at 750 Hz and falls off towards the high frequencies.
constexpr TEar Right{-10, 0, 5, 10, 10, 15, 20, 25, 35, 0, 50};
constexpr TEarFlags RightMeasured{true, true, true, true, true, true, true, true, true, false, true};
constexpr TEar Left{15, 10, 10, 0, 20, 25, 30, 40, 55, 65, 70};
constexpr TEarFlags LeftMeasured{true, true, true, false, true, true, true, true, true, true, true};

class AudiogramRecords : public TAppFixture {
protected:
  void SetUp() override { Windows = ProgramWindows(); }

  void StartAudiometer() {
    Folder.Write("Halvetra.ini", "[Audio]\nInstall=1\nAlgorithm=0\nSignalMode=0\n");
    Start();
  }

  TAudioMeter* OpenWindow() {
    Client().CmAudiometer();
    return dynamic_cast<TAudioMeter*>(Client().GetAudioMeter());
  }

  // The audiometer opened on the sheet of the man of forty; null when the
  // road there failed.
  TAudioMeter* OpenForTheManOfForty() {
    StartAudiometer();
    CreateDatabase();
    PatientRecordType man = ManOfForty();
    EXPECT_EQ(Names()->AddPatientRecord(man, 1), 0);
    EXPECT_TRUE(Route(CM_OPEN_PATIENT));
    return HasFailure() ? nullptr : OpenWindow();
  }

  // The thresholds as an operator's test leaves them in the window.
  static void Measure(TAudioMeter& window) {
    Fill(window, TAudioTest::Actual, 0, Right, RightMeasured);
    Fill(window, TAudioTest::Actual, 1, Left, LeftMeasured);
    window.SetAudiogramChanged(true);
  }

  static void Fill(TAudioMeter& window, int kind, int ear, const TEar& values, const TEarFlags& flags) {
    std::copy(values.begin(), values.end(), window.GetTable(ear, kind));
    std::copy(flags.begin(), flags.end(), window.GetFlagTable(ear, kind));
  }

  static void ExpectAudiogram(TAudioMeter& window, int kind, const char* what) {
    const int* right = window.GetTable(0, kind);
    const int* left = window.GetTable(1, kind);
    EXPECT_EQ((TEar{right[0], right[1], right[2], right[3], right[4], right[5], right[6], right[7], right[8],
                    right[9], right[10]}),
              Right)
        << what;
    EXPECT_EQ((TEar{left[0], left[1], left[2], left[3], left[4], left[5], left[6], left[7], left[8], left[9],
                    left[10]}),
              Left)
        << what;
    const bool* rightFlags = window.GetFlagTable(0, kind);
    const bool* leftFlags = window.GetFlagTable(1, kind);
    for (std::size_t f = 0; f < Frequencies; ++f) {
      EXPECT_EQ(rightFlags[f], RightMeasured[f]) << what << ", right ear, frequency " << f;
      EXPECT_EQ(leftFlags[f], LeftMeasured[f]) << what << ", left ear, frequency " << f;
    }
  }

  void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }
};

TEST_F(AudiogramRecords, SavedFromTheWindowReadBackAndLoadedAsActualAndPreviousTest) {
  TAudioMeter* window = OpenForTheManOfForty();
  ASSERT_NE(window, nullptr);
  Measure(*window);

  ASSERT_TRUE(Enabled(CM_SAVE_AUDIOGRAM));
  ASSERT_TRUE(Route(CM_SAVE_AUDIOGRAM));
  EXPECT_FALSE(window->HasUnsavedAudiogram()) << "a stored audiogram is no longer new";
  EXPECT_FALSE(Enabled(CM_SAVE_AUDIOGRAM));

  // The examination row marks an audiogram; its table row holds the left
  // ear first.
  std::unique_ptr<TEngine> meet = OpenTestTable(Folder / "Database/Data", "meet.db", &App->GetMessages());
  long rows = 0;
  meet->GetNumberOfRecords(rows);
  ASSERT_EQ(rows, 1);
  ASSERT_EQ(meet->GoTop(), 0);
  MeetRecordType stored;
  ASSERT_EQ(meet->GetData(stored), 0);
  EXPECT_TRUE(stored.Flags & MeetFlag::Audiogram);
  std::unique_ptr<TEngine> audio = OpenTestTable(Folder / "Database/Data", "audio.db", &App->GetMessages());
  audio->GetNumberOfRecords(rows);
  ASSERT_EQ(rows, 1);
  ASSERT_EQ(audio->GoTop(), 0);
  TEar first{}, second{};
  TEarFlags firstFlags{}, secondFlags{};
  ASSERT_EQ(audio->GetAudioRec(first, second, firstFlags, secondFlags, static_cast<short>(Frequencies)), 0);
  EXPECT_EQ(first, Left);
  EXPECT_EQ(firstFlags, LeftMeasured);
  EXPECT_EQ(second, Right);
  EXPECT_EQ(secondFlags, RightMeasured);
  audio.reset();
  meet.reset();

  // Loaded as the browser asks for it, into a window the load opens itself.
  Client().GetAudioMeterFrame()->close();
  Settle();
  ASSERT_EQ(Client().GetAudioMeter(), nullptr);
  const std::string key = FieldText(stored.Date) + "@" + FieldText(stored.Time);
  SendMessage(&Client(), WM_LOAD_AUDIOGRAM, 1, reinterpret_cast<TParam2>(key.c_str()));
  window = dynamic_cast<TAudioMeter*>(Client().GetAudioMeter());
  ASSERT_NE(window, nullptr) << "loading opens the audiometer";
  ExpectAudiogram(*window, TAudioTest::Actual, "actual test");
  EXPECT_TRUE(window->Stamp(TAudioTest::Actual).Valid);
  EXPECT_FALSE(window->HasUnsavedAudiogram()) << "a loaded audiogram is not offered for storing again";

  // And as the previous test, the curve drawn beside a new one.
  SendMessage(&Client(), WM_LOAD_AUDIOGRAM, TExaminationLoader::AsComparison, reinterpret_cast<TParam2>(key.c_str()));
  ExpectAudiogram(*window, TAudioTest::Previous, "previous test");
  EXPECT_EQ(window->Stamp(TAudioTest::Previous).Year, window->Stamp(TAudioTest::Actual).Year);
  EXPECT_TRUE(window->AudiogramData().AnyMeasured());
  SavePicture(*window->window(), "audiogram-loaded-as-actual-and-previous.png");
}

// The audiometer's menu offers "Save measurement" with the measurement
// window's command; with only the audiometer open it stores the audiogram
// (it used to stay greyed, so a test could only be stored on closing).
TEST_F(AudiogramRecords, TheMenusSaveStoresTheAudiogram) {
  TAudioMeter* window = OpenForTheManOfForty();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(Enabled(CM_SAVE_MEASUREMENT)) << "nothing to store yet";
  Measure(*window);

  ASSERT_TRUE(Enabled(CM_SAVE_MEASUREMENT));
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  EXPECT_FALSE(window->HasUnsavedAudiogram());
  std::unique_ptr<TEngine> audio = OpenTestTable(Folder / "Database/Data", "audio.db", &App->GetMessages());
  long rows = 0;
  audio->GetNumberOfRecords(rows);
  EXPECT_EQ(rows, 1);
}

// The print command prints the audiometer's audiogram through the print
// manager after its options dialog.
TEST_F(AudiogramRecords, PrintedToAPdf) {
  TAudioMeter* window = OpenForTheManOfForty();
  ASSERT_NE(window, nullptr);
  App->GetActions()->UpdateAll();
  EXPECT_FALSE(Enabled(CM_FILEPRINT)) << "no audiogram yet";
  Measure(*window);
  App->GetActions()->UpdateAll();
  ASSERT_TRUE(Enabled(CM_FILEPRINT));
  const std::string printed = PrintThroughTheProgram(Client(), [this](unsigned id) { return Route(id); }, "program-audiogram-printout.pdf");
  for (const std::string& expected : {std::string("Test Man"), App->GetMessages().LoadStringA(468)})
    EXPECT_NE(printed.find(expected), std::string::npos) << expected << "\n" << printed;
  EXPECT_TRUE(PdfPageToPng(std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts/program-audiogram-printout.pdf"));
}

TEST_F(AudiogramRecords, WithoutAPatientsTablesTheSaveSaysSoAndKeepsTheAudiogram) {
  StartAudiometer();
  TAudioMeter* window = OpenWindow();
  ASSERT_NE(window, nullptr);
  Measure(*window);

  ASSERT_TRUE(Route(CM_SAVE_AUDIOGRAM));
  EXPECT_TRUE(Shown(9230));
  EXPECT_TRUE(window->HasUnsavedAudiogram());
  ExpectAudiogram(*window, TAudioTest::Actual, "after the failed save");

  // Closing offers to store; the failed store keeps the window open.
  Sink.Answer = IDYES;
  Client().GetAudioMeterFrame()->close();
  Settle();
  EXPECT_TRUE(Shown(288));
  EXPECT_TRUE(Shown(9230));
  ASSERT_EQ(Client().GetAudioMeter(), window) << "the audiogram was not stored, so the window stays";
  ExpectAudiogram(*window, TAudioTest::Actual, "after the close was refused");
}

// The printed audiogram names a previous test only when it draws one: no
// legend line of its own for it without one (the legend's lines stand
// alone, right-aligned above the charts; the table's "Actual - Pre." row
// label is no legend) and, with or without one, no predicted-values line,
// for an audiogram has no equations to name.
TEST_F(AudiogramRecords, ThePrintoutNamesAPreviousTestOnlyWhenItDrawsOne) {
  TAudioMeter* window = OpenForTheManOfForty();
  ASSERT_NE(window, nullptr);
  Measure(*window);
  App->GetActions()->UpdateAll();
  ASSERT_TRUE(Enabled(CM_FILEPRINT));
  const auto legendLine = [](const std::string& text) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      const std::size_t first = line.find_first_not_of(' ');
      const std::size_t last = line.find_last_not_of(" \r");
      if (first != std::string::npos && line.substr(first, last + 1 - first) == "Pre.")
        return true;
    }
    return false;
  };
  const auto print = [this](const char* name) {
    return PrintThroughTheProgram(Client(), [this](unsigned id) { return Route(id); }, name);
  };
  const std::string alone = print("program-audiogram-printout-alone.pdf");
  EXPECT_FALSE(legendLine(alone)) << alone;
  for (const std::string& placeholder : {std::string("Predicted values"), std::string("(previous)")})
    EXPECT_EQ(alone.find(placeholder), std::string::npos) << placeholder << "\n" << alone;

  Fill(*window, TAudioTest::Previous, 0, Right, RightMeasured);
  const std::string compared = print("program-audiogram-printout-with-previous.pdf");
  EXPECT_TRUE(legendLine(compared)) << compared;
  EXPECT_EQ(compared.find("Predicted values"), std::string::npos) << compared;
}

}  // namespace
