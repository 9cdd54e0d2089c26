// The client's set-up at start: the first installation's configuration
// sheets and the start-up picture with its count-down.

#include "shell/tests/AppFixture.h"

#include "platform/framework/Profile.h"
#include "shell/app/InitWindow.h"

#include <QImage>
#include <QPushButton>

namespace fs = std::filesystem;

namespace {

class StartUp : public TAppFixture {
protected:
  // The configuration sheets, recorded as they run.
  void GiveSheets() {
    const char* names[] = {"Hardware", "Hardware Diffusion Test", "Hardware Plethysmograph", "Audio"};
    for (std::size_t i = 0; i < Dialogs.ConfigurationSheets.size(); ++i)
      Dialogs.ConfigurationSheets[i] = [this, name = names[i]] { Sheets.push_back(name); };
  }
  int FirstInstallKey() { return TProfile("Program", (Folder / "Halvetra.ini").string()).GetInt("FirstInstall", -1); }
  // The one-second steps the count-down waited for, after the greeting's.
  std::vector<TClock::TTime> CountDownWaits(TClock::TTime after) {
    std::vector<TClock::TTime> waits;
    for (const TClock::TTime t : Clock.Waits)
      if (t > after)
        waits.push_back(t - after);
    return waits;
  }
  std::string Picture(const std::string& name) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    EXPECT_TRUE(image.save(QString::fromStdString((Folder / name).string())));
    return name;
  }

  std::vector<std::string> Sheets;
};

TEST_F(StartUp, AFirstInstallationRunsTheFourSheetsThenWritesItsKey) {
  GiveSheets();
  Folder.Write("Halvetra.ini", "[Program]\nFirstInstall=1\n");
  Start("");
  EXPECT_EQ(Sheets, (std::vector<std::string>{"Hardware", "Hardware Diffusion Test", "Hardware Plethysmograph", "Audio"}));
  EXPECT_EQ(FirstInstallKey(), 0);
}

TEST_F(StartUp, InDemonstrationNothingRunsAndTheKeyStays) {
  GiveSheets();
  Folder.Write("Halvetra.ini", "[Program]\nFirstInstall=1\n");
  Start("-d");
  EXPECT_TRUE(Sheets.empty());
  EXPECT_EQ(FirstInstallKey(), 1);
}

TEST_F(StartUp, WithoutTheAudiometersPagesTheFirstInstallationRunsTheThreeInstrumentSheets) {
  GiveSheets();
  Dialogs.ConfigurationSheets[3] = nullptr;  // the client's own "Audio" sheet, whose pages are not given
  Folder.Write("Halvetra.ini", "[Program]\nFirstInstall=1\n");
  Start("");
  EXPECT_EQ(Sheets, (std::vector<std::string>{"Hardware", "Hardware Diffusion Test", "Hardware Plethysmograph"}));
  EXPECT_EQ(FirstInstallKey(), 0);
}

TEST_F(StartUp, ThePictureCountsDownOnTheClockWhileTheClientWaits) {
  struct Case {
    const char* what;
    std::string picture;
    int delay;
    std::vector<TClock::TTime> waits;
    bool unreadable;
  };
  using T = TClock::TTime;
  Folder.Write("broken.png", "not a picture");
  const std::vector<Case> cases{
      {"three seconds", Picture("start.png"), 3, {T{1000}, T{2000}, T{3000}}, false},
      {"no delay", "start.png", 0, {}, false},
      {"a negative delay counts as none", "start.png", -5, {}, false},
      {"a corrupt picture still counts down", "broken.png", 2, {T{1000}, T{2000}}, true},
      {"a missing picture shows nothing", "missing.png", 3, {}, false},
  };
  for (const Case& c : cases) {
    Folder.Write("Halvetra.ini", "[InitWindow]\nEnable=1\nPicture=" + c.picture + "\nDelay=" + std::to_string(c.delay) +
                                     "\nLine1=Lung-function laboratory\n");
    Sink.Messages.clear();
    Construct("-d");
    const TClock::TTime before = Clock.Now();
    App->InitMainWindow();
    EXPECT_EQ(CountDownWaits(before + TGreetingDeadline::MinimumShown), c.waits) << c.what;
    if (c.unreadable) {
      ASSERT_EQ(Sink.Messages.size(), 1u) << c.what;
      EXPECT_EQ(Sink.Messages[0].Text, App->GetMessages().Format(78, {c.picture}));
    } else {
      EXPECT_TRUE(Sink.Messages.empty()) << c.what;
    }
    EXPECT_TRUE(Client().isEnabled()) << c.what;
    App.reset();
    Clock.Waits.clear();
  }
}

TEST_F(StartUp, ThePictureWindowHasItsPlaceAndItsPicture) {
  Start();
  EXPECT_EQ(TInitWindow::PlaceOn(QSize(1024, 768)), QPoint(336, 182));  // (337 + 4) down to a multiple of 8
  EXPECT_EQ(TInitWindow::PlaceOn(QSize(800, 600)), QPoint(224, 98));
  auto* window = new TInitWindow(App->GetMessages(), nullptr, Picture("start.png"),
                                 {"Lung-function laboratory", "Second line", "", "Version 1"});
  window->SetupWindow();
  window->ShowCountDown(3);
  EXPECT_TRUE(window->HasPicture());
  EXPECT_EQ(window->size(), QSize(350, 403));
  EXPECT_EQ(window->OkButton()->geometry(), QRect(145, 370, 60, 20));
  EXPECT_EQ(window->CountDownText().toStdString(), App->GetMessages().Format(400, {"3"}));
  const fs::path artifacts = fs::path(HALVETRA_BINARY_DIR) / "artifacts";
  fs::create_directories(artifacts);
  EXPECT_TRUE(window->grab().save(QString::fromStdString((artifacts / "start-up-picture.png").string())));
  window->close();
}

}  // namespace
