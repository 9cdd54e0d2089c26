// The audiometer window offscreen, in demonstration, on the manual clock:
// its gadgets, keys, level field and notices, and the audiogram it shows,
// writes to a bitmap file and prints.

#include "audiometry/tests/support/AudioWorld.h"
#include "audiometry/window/AudioCalib.h"
#include "audiometry/window/AudioMeter.h"
#include "audiometry/window/AutomaticSetup.h"
#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/basekit/ui/PainterSurface.h"
#include "platform/framework/Profile.h"
#include "platform/framework/WindowMessages.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The client as the window sees it: it records what it is told.
class TRecordingClient final : public TEventHandler {
public:
  std::vector<std::pair<unsigned, TParam1>> Heard;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    Heard.emplace_back(msg, wParam);
    return 1;
  }
};

void Deliver() {
  for (int round = 0; round < 8; ++round) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

class AudioMeterWindow : public ::testing::Test {
protected:
  AudioMeterWindow() : Texts("English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang") {
    Texts.SetSink(&Sink);
  }
  ~AudioMeterWindow() override { Sink.ExpectAllTaken(); }

  TAudioMeter& Open(const std::string& ini = "") {
    auto host = std::make_unique<TManualAudioHost>();
    Host = host.get();
    PREDICTED_DATA patient;
    patient.SetName("Test Patient");
    patient.Age = 40;
    patient.Height = 170;
    patient.Weight = 70;
    Window = std::make_unique<TAudioMeter>(1.0f, 1.0f, &Texts, Folder.Write("Halvetra.ini", ini).string(), patient,
                                           false, nullptr, std::move(host));
    Window->SetClient(&Client);
    TAudioLinkSettings demo;
    Window->ApplyLinkSettings(demo, true, true);
    Window->show();
    Deliver();
    return *Window;
  }
  QToolButton* Gadget(unsigned id) { return Window->findChild<QToolButton*>(QString::number(id)); }
  QLineEdit* Level() { return Window->findChild<QLineEdit*>(QString::number(TAudioMeter::IdLevelField)); }
  void Key(Qt::Key key) {
    QTest::keyClick(Window.get(), key);
    Deliver();
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts;
  TRecordingClient Client;
  TManualAudioHost* Host = nullptr;
  std::unique_ptr<TAudioMeter> Window;
};

TEST_F(AudioMeterWindow, AManualTestInDemonstrationIsAnsweredWithSpace) {
  TAudioMeter& window = Open("[Audio]\nAlgorithm=0\nSignalMode=0\n");
  ASSERT_TRUE(window.IsLinkUsable());
  SavePicture(window, "audiometer-idle.png");

  Gadget(TAudioTest::IdFrequency0 + 4)->click();  // 1000 Hz
  Deliver();
  ASSERT_TRUE(window.GetIsStart());
  Key(Qt::Key_Up);  // +45
  EXPECT_EQ(Level()->text().toStdString(), "+45");
  Key(Qt::Key_Space);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(window.GetIsStart());
  EXPECT_TRUE(window.GetFlagTable(0, TAudioTest::Actual)[4]);
  EXPECT_EQ(window.GetTable(0, TAudioTest::Actual)[4], 45);
  EXPECT_TRUE(window.HasUnsavedAudiogram());
  EXPECT_TRUE(window.GetPrintEnable());
  window.RedrawScreenBmp();
  SavePicture(window, "audiometer-after-test.png");

  // The left ear by its key, then a test there.
  Key(Qt::Key_PageDown);
  EXPECT_EQ(TAudioTest::Statics().ActualEar, 1);
}

TEST_F(AudioMeterWindow, LevelFieldAndGadgetsKeepToTheLimits) {
  TAudioMeter& window = Open();
  QToolButton* g125 = Gadget(TAudioTest::IdFrequency0);
  EXPECT_TRUE(g125->isEnabled());
  // With the defaults, 125 Hz goes up to 60 dB.
  Level()->setText("+65");
  SendMessage(&window, WM_COMMAND, CM_AUDIO_LEVEL_UP);
  Deliver();
  EXPECT_EQ(Level()->text().toStdString(), "+70");
  EXPECT_FALSE(g125->isEnabled());
  EXPECT_TRUE(Gadget(TAudioTest::IdFrequency0 + 4)->isEnabled());
  window.GetTest().UpDownVolumeChange(115);
  EXPECT_EQ(Level()->text().toStdString(), "+110");
  window.GetTest().UpDownVolumeChange(-25);
  EXPECT_EQ(Level()->text().toStdString(), "-10");
}

TEST_F(AudioMeterWindow, ModesTellTheClientAndCloseReportsAndKeepsTheSettings) {
  TAudioMeter& window = Open("[Audio]\nAlgorithm=3\nSignalMode=1\n");
  SendMessage(&window, WM_COMMAND, CM_SIGNAL_MODE3);
  EXPECT_EQ(window.GetAlgorithm(), 0);
  ASSERT_FALSE(Client.Heard.empty());
  EXPECT_EQ(Client.Heard.back(), (std::pair<unsigned, TParam1>{WM_ALGORITHM_CHANGED, 0}));

  TCommandEnabler pulsed(CM_SIGNAL_MODE3);
  window.DispatchEnable(pulsed);
  EXPECT_TRUE(pulsed.GetEnabled());
  EXPECT_EQ(pulsed.GetCheck(), 1);

  EXPECT_TRUE(window.CanClose());
  EXPECT_EQ(Client.Heard.back(), (std::pair<unsigned, TParam1>{WM_COMMAND, CM_AUDIOMETER_CLOSED}));
  // The method and the signal mode are kept for the next time.
  const TProfile audio("Audio", (Folder.Path() / "Halvetra.ini").string());
  EXPECT_EQ(audio.GetInt("Algorithm", -1), 0);
  EXPECT_EQ(audio.GetInt("SignalMode", -1), 2);
}

TEST_F(AudioMeterWindow, KeptOpenWhenTheClientCouldNotStore) {
  TAudioMeter& window = Open();
  window.KeepOpen();
  EXPECT_FALSE(window.CanClose());
  EXPECT_TRUE(window.CanClose());
}

TEST_F(AudioMeterWindow, TheAudiogramGoesToABitmapFileAndToPaper) {
  TAudioMeter& window = Open();
  for (int f = 0; f < AudioFrequencies; ++f) {
    window.GetTable(0, TAudioTest::Actual)[f] = 10 + 5 * f;
    window.GetFlagTable(0, TAudioTest::Actual)[f] = true;
    window.GetTable(1, TAudioTest::Actual)[f] = 20 + 3 * f;
    window.GetFlagTable(1, TAudioTest::Actual)[f] = true;
    window.GetTable(1, TAudioTest::Previous)[f] = 15 + 2 * f;
    window.GetFlagTable(1, TAudioTest::Previous)[f] = true;
  }
  window.SetMeasureDate(TAudioTest::Actual, 2026, 12, 10);
  window.SetMeasureTime(TAudioTest::Actual, 9, 30, 0);
  window.Notes()[0] = "after noise exposure";
  window.NoteFlags()[0] = true;
  window.RedrawScreenBmp();
  SavePicture(window, "audiometer-audiogram.png");

  const std::filesystem::path artifacts = std::filesystem::path(HALVETRA_BINARY_DIR) / "artifacts";
  std::filesystem::create_directories(artifacts);
  const std::string bmp = (artifacts / "audiogram-paint-to-bmp.bmp").string();
  ASSERT_TRUE(window.PaintToBMP(bmp));
  const QImage image(QString::fromStdString(bmp));
  EXPECT_EQ(image.size(), QSize(796, 380));
  // Right ear at 1000 Hz (column 6, 30 dB): red on white paper at x 59 + 138, y 50 + 15 + 45.
  EXPECT_EQ(image.pixelColor(197, 110), QColor(255, 0, 0));

  EXPECT_EQ(window.CalculateAudioHeight(), 398 + 18);
  QPdfWriter pdf(QString::fromStdString((artifacts / "audiogram-print.pdf").string()));
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setResolution(96);
  QPainter painter(&pdf);
  TPainterSurface surface(painter);
  int offset = 40;
  window.AudioPrint(surface, offset);
  painter.end();
  EXPECT_EQ(offset, 40 + 398 + 18);
  EXPECT_GT(std::filesystem::file_size(artifacts / "audiogram-print.pdf"), 1000u);

  // A page twice the layout's size: the legend takes 60 units, the chart
  // follows, 1000 Hz at 30 dB is layout (59 + 138, 40 + 60 + 15 + 45).
  QImage page(1600, 1200, QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    QPainter pagePainter(&page);
    TPainterSurface pageSurface(pagePainter);
    int pageOffset = 40;
    window.AudioPrint(pageSurface, 2.0f, 2.0f, pageOffset);
    EXPECT_EQ(pageOffset, 40 + 398 + 18);
  }
  EXPECT_EQ(page.pixelColor(394, 320), QColor(255, 0, 0));
}

TEST_F(AudioMeterWindow, CalibrationRefusesAMeasuredLevelThatIsNotANumber) {
  const std::string ini = Folder.Write("Halvetra.ini", "").string();
  TAudioCalib dialog(&Texts, ini, nullptr);
  dialog.findChild<QLineEdit*>("5745")->setText("abc");  // 750 Hz
  dialog.accept();
  EXPECT_TRUE(Sink.Take(Texts.Format(9221, {"750"})));
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(TProfile("SPL", ini).GetString("750", "unwritten"), "unwritten");

  dialog.findChild<QLineEdit*>("5745")->setText("80.0");
  Sink.Answer = IDYES;
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_FALSE(Sink.Messages.empty());
  EXPECT_TRUE(Sink.Take(Texts.LoadStringA(533)));
  EXPECT_EQ(TProfile("SPL", ini).GetString("750"), "5.0");  // 2 x 7.5 - 80.0 + 70
}

TEST_F(AudioMeterWindow, SequenceDialogWantsAControlTest) {
  const std::string ini = Folder.Write("Halvetra.ini", "").string();
  TAutomaticSetup dialog(&Texts, ini, nullptr);
  auto* sequence = dialog.findChild<QListWidget*>("5931");
  sequence->setCurrentRow(7);  // 1000 (control)
  dialog.CmDeleteItem();
  dialog.accept();
  EXPECT_TRUE(Sink.Take(Texts.LoadStringA(527)));
  EXPECT_NE(dialog.result(), QDialog::Accepted);

  auto* offered = dialog.findChild<QListWidget*>("5930");
  offered->setCurrentRow(2);  // 500, already in the sequence
  dialog.CmAdd();
  EXPECT_TRUE(Sink.Take(Texts.LoadStringA(526)));
  offered->setCurrentRow(4);  // 1000 again
  dialog.CmAdd();
  EXPECT_EQ(sequence->item(sequence->count() - 1)->text().toStdString(), "1000 " + Texts.LoadStringA(529));
  dialog.show();
  SavePicture(dialog, "audiometer-sequence-dialog.png");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(TProfile("Audiometer Automatic Sequence", ini).GetInt("Test10", 0), 1000);
}

// The window's clock is the manual one: the sequence of minutes runs at once
// against the simulated audiometer and its listener, in process.
TEST_F(AudioMeterWindow, AnAutomaticSequenceEndsOnTheListenersThresholds) {
  auto host = std::make_unique<TManualAudioHost>();
  TManualAudioHost& clock = *host;
  const std::string ini = Folder.Write("Halvetra.ini",
                                       "[Audio]\nAlgorithm=3\nSignalMode=1\n[Audiometer Automatic Sequence]\n"
                                       "FirstEar=0\nTest0=1000\nTest1=4000\nTest2=1000\nTest3=\nTest4=\nTest5=\n"
                                       "Test6=\nTest7=\nTest8=\nTest9=\nTest10=\nTest11=\n")
                              .string();
  Window = std::make_unique<TAudioMeter>(1.0f, 1.0f, &Texts, ini, PREDICTED_DATA{}, false, nullptr, std::move(host));
  Window->SetClient(&Client);
  TAudioSimOptions options;
  options.Version = 2;
  options.Right[4] = 30.0;
  options.Right[8] = 45.0;
  options.Left[4] = 20.0;
  options.Left[8] = 50.0;
  TAudioWorld world(Window->GetTest(), clock, options);
  TAudioLinkSettings live;
  live.Live = true;
  Window->ApplyLinkSettings(live, false, true);
  ASSERT_TRUE(Window->IsLinkUsable());
  Window->show();

  Gadget(TAudioTest::IdAutomatic)->click();
  ASSERT_TRUE(world.RunUntil([&] { return Window->GetIsStart(); }, 5000));
  ASSERT_TRUE(world.RunUntil([&] { return !Window->GetIsStart(); }, 3600 * 1000)) << "the sequence ends";
  const std::array<std::pair<int, int>, 4> expected{{{0, 30}, {0, 45}, {1, 20}, {1, 50}}};
  const std::array<int, 4> frequencies{4, 8, 4, 8};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto [ear, db] = expected[i];
    ASSERT_TRUE(Window->GetFlagTable(ear, TAudioTest::Actual)[frequencies[i]]) << i;
    EXPECT_EQ(Window->GetTable(ear, TAudioTest::Actual)[frequencies[i]], db) << i;
  }
  EXPECT_FALSE(Window->GetFlagTable(0, TAudioTest::Actual)[0]) << "125 Hz is not in the sequence";
  EXPECT_TRUE(Window->HasUnsavedAudiogram()) << "the thresholds of the sequence are offered for storing";
  Window->RedrawScreenBmp();
  SavePicture(*Window, "audiometer-after-automatic-sequence.png");
}

}  // namespace
