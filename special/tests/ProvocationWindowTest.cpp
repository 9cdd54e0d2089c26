#include "special/provocation/ui/Provocation.h"

#include "special/provocation/MeasureNebulizerLink.h"

#include "common/CommandNumbers.h"
#include "measure/core/MeasureWindow.h"
#include "platform/basekit/CsvWorkbook.h"
#include "platform/basekit/Dde.h"
#include "platform/basekit/Message.h"
#include "platform/framework/Profile.h"
#include "platform/framework/WindowMessages.h"
#include "platform/portkit/MeasureInterrupt.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace {

struct TReceived {
  unsigned Message;
  TParam1 WParam;
  bool operator==(const TReceived&) const = default;
};

// The MDI client and the main window as the window sees them.
class TRecorder final : public TEventHandler {
public:
  std::vector<TReceived> Received;
  bool HelpMode = false;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    Received.push_back({msg, wParam});
    return msg == WM_GET_HELP_MODE ? (HelpMode ? 1 : 0) : 1;
  }
};

// The open measurement window: only its link matters here.
class TLinkedMeasure final : public TMeasureWindow {
public:
  TLinkedMeasure() : Interrupt(0, nullptr) {}
  TMeasureInterrupt& Link() override { return Interrupt; }
  short GetMeasureType() const override { return 0; }
  short GetMeasureMode() const override { return 0; }
  void SetMeasureMode(short) override {}
  bool IsStageView() const override { return false; }
  short GetInstrumentKind() const override { return Spirometer; }
  void SetInstrumentKind(short) override {}
  bool GetCakeStatus() const override { return false; }
  bool GetGridStatus() const override { return true; }
  short GetTrialSelection() const override { return 0; }
  void ClearTrialSelection() override {}
  bool HasUnsavedResults() const override { return false; }
  void SetUnsavedResults(bool) override {}
  void KeepOpen() override {}
  void SetNote(short, std::string_view) override {}
  void SetMeasurementOfParameters() override {}
  void ChangeButtonColor() override {}
  void SetZeroPending() override {}
  void SetProvocationMode(bool) override {}
  void SetBRate(short) override {}
  void ApplySettings(const TMeasureSettings&) override {}
  void SetDisplayFormats(const TDisplayFormats&) override {}
  void Repaint() override {}
  TProvocationResults& ProvocationResults() override { return Results; }
  float GetAktValue(short, short, short) const override { return 0.0f; }
  void ClearAllTrials() override {}
  void SetChanged(short) override {}

  TMeasureInterrupt Interrupt;
  TProvocationResults Results;
};

// The instrument's side of a nebulisation: a sprayed sample for every
// sample while the compressor is on.
struct TFakeLink final : TNebulizerLink {
  void Begin() override {}
  void End() override { EndWord = false; }
  bool TakesControlWords() const override { return false; }
  void SendWord(unsigned short) override {}
  void SetCompressor(bool on) override { Compressor = on; }
  unsigned short DoseCounter() const override { return Counter; }
  bool EndOfRun() const override { return EndWord; }
  void SetEndOfRun() override { EndWord = true; }
  void Wait(int) override {}
  bool Compressor = false;
  unsigned short Counter = 0;
  bool EndWord = false;
};

class ProvocationWindow : public ::testing::Test {
protected:
  ProvocationWindow() {
    Texts.SetSink(&Sink);
    Patient.SetName("Kovacs Anna");
    Patient.Age = 42;
    Patient.Height = 165;
    Patient.Weight = 58;
  }
  ~ProvocationWindow() override { Sink.ExpectAllTaken(); }

  std::unique_ptr<TProvocation> Open(std::string_view ini) {
    Folder.Write("Halvetra.ini", ini);
    auto window = std::make_unique<TProvocation>(1.0f, 1.0f, &Texts, Ini, Patient);
    window->SetClient(&Client);
    window->SetMainWindow(&Main);
    window->WorkbookFolder = Folder.Path().string();
    return window;
  }

  // Baseline FEV1 3.00 L, then 2.70, 2.50 and 2.35 L after typed doses of
  // 0.10, 0.20 and 0.40 ml accumulating (0.10, 0.30, 0.70).
  void TypedSteps(TProvocation& window) {
    window.AddDataToProvListBox({3.00f, 0.20f, 0.0f});
    for (const auto& [dose, fev1] : {std::pair{0.10f, 2.70f}, {0.20f, 2.50f}, {0.40f, 2.35f}}) {
      ASSERT_TRUE(window.CheckProvocationOK());
      window.RunDoseDialog = [dose](float, float, bool, short) { return std::optional<float>(dose); };
      ASSERT_TRUE(window.GetNextDose());
      window.AddDataToProvListBox({fev1, 0.21f, 0.0f});
    }
  }

  TTemporaryFolder Folder;
  std::string Ini = (Folder / "Halvetra.ini").string();
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  TRecordingSink Sink;
  TRecorder Client;
  TRecorder Main;
  PREDICTED_DATA Patient;
};

constexpr std::string_view TypedSetup =
    "[Provocation]\nMaterial=Histamine\nParam1=FVC02\nLimit1=-20\nParam2=PL04\nLimit2=30\n"
    "[Histamine]\nType=0\nConcentration=2.5\nAccum=1\nMaximum=2.0\n";

TEST_F(ProvocationWindow, TypedDosesFillTheListAndDrawAtEveryZoom) {
  auto window = Open(TypedSetup);
  window->show();
  TypedSteps(*window);
  ASSERT_EQ(window->ListBox()->count(), 4);
  EXPECT_EQ(window->ListBox()->item(3)->text().toStdString(), " 2.5  0.70  2.35  -22  0.21    5  0.00    0");
  EXPECT_TRUE(window->GetModel().LimitHit(0));
  EXPECT_EQ(window->GetNumberOfListBoxItem(), 4);
  EXPECT_TRUE(window->HasProvokedRow());
  double conc = 0.0;
  double dose = 0.0;
  window->GetConcAndDose(conc, dose);
  EXPECT_DOUBLE_EQ(conc, 2.5);
  EXPECT_NEAR(dose, 0.70, 1e-6);
  EXPECT_EQ(window->GetAgent(), "Histamine");

  window->ListBox()->setCurrentRow(2);
  EXPECT_EQ(window->GetModel().SelectedLine, 2);
  for (int zoom = 0; zoom < 3; ++zoom) {
    for (const bool grid : {true, false}) {
      if (window->GetGridStatus() != grid)
        SendMessage(window.get(), WM_COMMAND, CM_GRID, 0);
      ASSERT_EQ(window->GetGridStatus(), grid);
      SavePicture(*window, "provocation-zoom" + std::to_string(zoom) + (grid ? "-grid" : "") + ".png");
    }
    SendMessage(window.get(), WM_COMMAND, CM_ZOOM, 0);
  }
  EXPECT_EQ(window->GetModel().ZoomState, 0);
  // Every grid toggle (five) told the client.
  EXPECT_EQ(std::count(Client.Received.begin(), Client.Received.end(), TReceived{WM_GRID_CHANGED, 0}), 5);
}

TEST_F(ProvocationWindow, TheSetupAndHeaderAreasOpenTheirDialogs) {
  auto window = Open(TypedSetup);
  window->show();
  int setups = 0;
  window->RunSetupDialog = [&] {
    ++setups;
    return true;
  };
  window->MousePressedAt({100, 150});
  EXPECT_EQ(setups, 1);
  EXPECT_EQ(Client.Received.back(), (TReceived{WM_SHOW_CHILD_WINDOW, 4}));

  // A header counts only under the hand cursor.
  int params = 0;
  window->RunParamDialog = [&](short& code, short& limit) {
    ++params;
    EXPECT_EQ(code, 404);
    EXPECT_EQ(limit, 30);
    code = 103;
    limit = -10;
    return true;
  };
  window->MousePressedAt({560, 80});
  EXPECT_EQ(params, 0);
  window->MouseMovedTo({560, 80});
  EXPECT_TRUE(window->IsHandCursor());
  window->MousePressedAt({560, 80});
  EXPECT_EQ(params, 1);
  EXPECT_EQ(window->GetModel().ParamCode(1), 103);
  EXPECT_EQ(TProfile("Provocation", Ini).GetString("Param2"), "VC03");
  EXPECT_EQ(TProfile("Provocation", Ini).GetString("Limit2"), "-10");

  // While a measurement of the test is open, and in help mode, the areas are idle.
  window->Steps().MeasurementLinked = true;
  window->MouseMovedTo({100, 150});
  EXPECT_FALSE(window->IsHandCursor());
  window->MousePressedAt({100, 150});
  EXPECT_EQ(setups, 1);
  window->Steps().MeasurementLinked = false;
  Main.HelpMode = true;
  window->MousePressedAt({100, 150});
  EXPECT_EQ(setups, 1);
}

// Help mode is the client's answer, or the main window's where the client
// says no; in help mode the grid command changes nothing.
TEST_F(ProvocationWindow, HelpModeIsAskedOfTheClientThenOfTheMainWindow) {
  auto window = Open(TypedSetup);
  struct TCase {
    bool client, main, help;
  };
  for (const TCase c : {TCase{false, false, false}, {true, false, true}, {false, true, true}, {true, true, true}}) {
    Client.HelpMode = c.client;
    Main.HelpMode = c.main;
    Main.Received.clear();
    EXPECT_EQ(window->GetHelpContext(), c.help) << c.client << c.main;
    EXPECT_EQ(std::count(Main.Received.begin(), Main.Received.end(), TReceived{WM_GET_HELP_MODE, 0}), c.client ? 0 : 1)
        << "the main window is asked only when the client says no";
    const bool grid = window->GetGridStatus();
    EXPECT_EQ(window->CmGrid(0, 0), c.help ? 0 : 1);
    EXPECT_EQ(window->GetGridStatus(), c.help ? grid : !grid);
  }
}

TEST_F(ProvocationWindow, ClosingAsksTheProgramToStoreOnce) {
  auto window = Open(TypedSetup);
  EXPECT_TRUE(window->CanClose());
  EXPECT_TRUE(window->CanClose());
  EXPECT_EQ(std::count(Client.Received.begin(), Client.Received.end(), TReceived{WM_COMMAND, CM_PROVOCATION_CLOSED}),
            1);
  SendMessage(window.get(), WM_COMMAND, CM_CANCEL_PROV, 0);
  EXPECT_EQ(Client.Received.back(), (TReceived{WM_CLOSE_CHILD_WINDOWS, 1}));
  SendMessage(window.get(), WM_COMMAND, 9, 0);
  EXPECT_EQ(Main.Received.back(), (TReceived{WM_SHOW_HELP, 2134}));
}

TEST_F(ProvocationWindow, ANebulisedRunCountsDownStepsOnAndKeepsTheUsersStop) {
  auto window = Open(
      "[Provocation]\nMaterial=Metacholine\nParam1=FVC02\nLimit1=-20\n"
      "[Metacholine]\nMode=1\nType=2\nQueue=1,2\nAccum=1\n");
  TLinkedMeasure measure;
  TFakeLink* link = nullptr;
  window->MakeLink = [&link](TMeasureWindow&) {
    auto made = std::make_unique<TFakeLink>();
    link = made.get();
    return made;
  };
  window->SetNebulizerReady(true);
  window->AddDataToProvListBox({3.0f, 0, 0});
  window->Steps().LinkedMeasure = &measure;
  window->Steps().MeasurementLinked = true;

  // 0.06 ml of the purple head's 0.12 ml a minute.
  window->RunDoseDialog = [](float, float, bool, short) { return std::optional<float>(0.06f); };
  ASSERT_TRUE(window->GetNextDose());
  ASSERT_TRUE(window->IsNebulizerRunning());
  EXPECT_EQ(SendMessage(window.get(), WM_DATA_READY, 1, static_cast<TParam2>(-300)), 1);
  EXPECT_EQ(window->CountdownText(), "0.060");
  EXPECT_TRUE(link->Compressor);
  unsigned t = 2;
  while (!link->EndWord && t < 5000) {
    ++link->Counter;
    SendMessage(window.get(), WM_DATA_READY, t++, static_cast<TParam2>(-300));
  }
  ASSERT_TRUE(link->EndWord);
  SendMessage(window.get(), WM_DATA_READY, t, static_cast<TParam2>(-300));
  EXPECT_EQ(Client.Received.back(), (TReceived{WM_COMMAND, CM_PROVOCATION_STEP}));
  EXPECT_NEAR(window->GetModel().AccumulatedDose(), 0.06f, 1e-6f);
  EXPECT_EQ(window->CountdownText(), "");

  // The driver clears the running flag and the next run is stopped early.
  window->Steps().NebulizerRunning = false;
  window->AddDataToProvListBox({2.9f, 0, 0});
  ASSERT_TRUE(window->GetNextDose());
  link->Counter = 1500;  // 0.03 ml
  SendMessage(window.get(), WM_DATA_READY, 1, static_cast<TParam2>(-300));
  const std::size_t before = Client.Received.size();
  SendMessage(window.get(), WM_COMMAND, CM_STOP, 0);
  EXPECT_FALSE(window->IsNebulizerRunning());
  EXPECT_EQ(Client.Received.size(), before);  // no step taken
  EXPECT_NEAR(window->GetModel().AccumulatedDose(), 0.09f, 1e-6f);
}

TEST_F(ProvocationWindow, ALinkThatFailsDuringTheRunStopsIt) {
  auto window = Open("[Provocation]\nMaterial=Metacholine\nParam1=FVC02\nLimit1=-20\n"
                     "[Metacholine]\nMode=1\nType=1\nQueue=1,2\n");
  TLinkedMeasure measure;
  window->MakeLink = [](TMeasureWindow&) { return std::make_unique<TFakeLink>(); };
  window->AddDataToProvListBox({3.0f, 0, 0});
  window->Steps().LinkedMeasure = &measure;
  window->Steps().MeasurementLinked = true;
  window->StartNebulizer();
  ASSERT_TRUE(window->IsNebulizerRunning());
  // Another device's notification is not the run's.
  EXPECT_EQ(SendMessage(window.get(), WM_COMMNOTIFY, static_cast<TParam1>(TMeasureData::IdCommDev + 1), 0), 1);
  measure.Interrupt.EndPortLost = 1;
  EXPECT_EQ(SendMessage(window.get(), WM_COMMNOTIFY, static_cast<TParam1>(TMeasureData::IdCommDev), 0), 0);
  QApplication::processEvents();  // the posted CM_STOP
  EXPECT_FALSE(window->IsNebulizerRunning());
}

TEST_F(ProvocationWindow, TheSheetGoesIntoTheWorkbook) {
  auto window = Open(TypedSetup);
  TypedSteps(*window);
  window->RunDdeDialog = [](TTDdeDialogStruct&) { return true; };
  SendMessage(window.get(), WM_COMMAND, CM_DDE, 0);
  const auto book = TCsvWorkbook::Parse(TTemporaryFolder::Read(Folder / "Halvetra.csv"));
  ASSERT_TRUE(book.has_value());
  EXPECT_EQ(book->RowCount(), 10u);
  EXPECT_EQ(book->Get(1, 1), "Kovacs Anna");
  EXPECT_EQ(book->Get(10, 2), " 0.70");
  std::filesystem::create_directories(std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts");
  std::filesystem::copy_file(Folder / "Halvetra.csv",
                             std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts" / "provocation-sheet.csv",
                             std::filesystem::copy_options::overwrite_existing);
}

TEST_F(ProvocationWindow, HandEditedSettingsAreNamedAndBlockTheSteps) {
  auto window = Open("[Provocation]\nMaterial=a]b\nParam1=FVC02\nLimit1=abc\n");
  window->show();
  window->grab();                 // painted: the set-up is read
  QApplication::processEvents();  // and what it holds unusable named
  const std::vector<std::string> texts = Sink.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[0].find("Limit1=abc"), std::string::npos) << texts[0];
  EXPECT_NE(texts[1].find("Material=a]b"), std::string::npos) << texts[1];
  for (const std::string& text : texts)
    Sink.Take(text);
  EXPECT_FALSE(window->CheckProvocationOK());
  window->grab();
  QApplication::processEvents();  // named once only
  EXPECT_TRUE(Sink.Texts().empty());
}

// The link over the measurement window: its words, the end-of-run word on
// the link, and nothing touched once the measurement window has gone.
TEST_F(ProvocationWindow, TheMeasurementLinkOutlivesItsWindowSafely) {
  auto measure = std::make_unique<TLinkedMeasure>();
  TRecorder window;
  TMeasureNebulizerLink link(*measure, &window, nullptr);
  EXPECT_FALSE(link.TakesControlWords());  // the demonstration: no instrument
  link.SetCompressor(true);
  EXPECT_EQ(TMeasureInterrupt::CompressorState, 1);
  link.SetEndOfRun();
  EXPECT_TRUE(link.EndOfRun());
  EXPECT_EQ(measure->Interrupt.StopRequest, 1);
  measure.reset();
  EXPECT_FALSE(link.EndOfRun());
  link.End();
  EXPECT_EQ(TMeasureInterrupt::CompressorState, 0);
}

// A full paint of 30 steps, as the window paints itself; the figure is
// printed for the notes.
TEST_F(ProvocationWindow, APaintOfThirtyStepsIsQuick) {
  auto window = Open(TypedSetup);
  window->AddDataToProvListBox({3.0f, 0.2f, 0});
  for (int i = 1; i < 30; ++i) {
    window->GetModel().SetAccumulatedDose(0.05f * static_cast<float>(i));
    window->AddDataToProvListBox({3.0f - 0.03f * static_cast<float>(i), 0.2f + 0.004f * static_cast<float>(i), 0});
  }
  QImage image(window->size(), QImage::Format_RGB32);
  constexpr int Rounds = 20;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < Rounds; ++i) {
    QPainter painter(&image);
    window->PaintOn(painter);
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / Rounds;
  std::printf("provocation paint of 30 steps: %.2f ms\n", ms);
  RecordProperty("paint_ms", std::to_string(ms));
  EXPECT_LT(ms, 100.0);  // the goal is 20 ms; sanitizer builds get room
}

}  // namespace
