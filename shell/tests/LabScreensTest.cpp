// The windows a technician meets, through the real program on the lab's
// screens (1280×800 and 1920×1080, and a main window smaller than the
// screen): each test window as it opens and after
// a trial on the demonstration data, the audiometer and the trend. Each
// opens whole inside the client area (no scroll bars), no text of it reads
// as a bare text number ("#123"), and a picture of the main window lands in
// the build's artifacts. Several open at once, each frame shows the picture
// of the button that opens it.

#include "shell/tests/MeasureRunFixture.h"

#include "shell/app/MainFrame.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"
#include "shell/app/pictures/DrawnPictures.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>

#include <tuple>

namespace {

class LabScreens : public TMeasureRunFixture {
protected:
  void Walk(QSize screen) {
    Size = std::to_string(screen.width()) + "x" + std::to_string(screen.height());
    Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=5\n[Hardware Diffusion Test]\nInstall=1\n"
                                 "[Hardware Plethysmograph]\nInstall=1\n");
    Dialogs.SelectInstrument = [this](const std::string&, const std::array<std::string, 3>&) { return Choice; };
    Start();
    App->GetFrame()->showNormal();
    App->GetFrame()->setGeometry(QRect(QPoint(0, 0), screen));
    QApplication::processEvents();
    CreateDatabase();
    AddTestPatient();
    ASSERT_TRUE(Route(CM_OPEN_PATIENT));
    ExpectWhole(Client().GetPatientFrame(), "patient");

    for (const auto& [command, name] : {std::pair{CM_MEASURE_FVC, "fvc"}, std::pair{CM_MEASURE_VC, "vc"},
                                        std::pair{CM_MEASURE_MVV, "mvv"}, std::pair{CM_MEASURE_DFC, "dfc"}}) {
      SCOPED_TRACE(name);
      ASSERT_TRUE(Route(command));
      auto* window = dynamic_cast<TMeasure*>(Client().GetMeasure());
      ASSERT_NE(window, nullptr);
      window->TMeasureInterrupt::SetClock(LinkClock);
      window->SeedRandom(Seed);
      ExpectWhole(Client().GetMeasureFrame(), std::string(name) + "-opened");
      if (command == CM_MEASURE_DFC)
        RunDiffusionTrial(*window);
      else
        RunTrial(*window);
      ASSERT_FALSE(HasFailure());
      ExpectWhole(Client().GetMeasureFrame(), std::string(name) + "-after-trial");
      // Closed without storing (the question answered no), so that the
      // next test opens in a new window as from the menu.
      Sink.Answer = IDNO;
      Client().GetMeasureFrame()->close();
      Settle();
      Sink.Messages.clear();
    }

    // The tests of the other instruments, as they open.
    for (const auto& [command, choice, name] :
         {std::tuple{CM_MEASURE_DFC, 5882, "dfc"}, std::tuple{CM_MEASURE_PLETHY, 5883, "plethysmography"},
          std::tuple{CM_MEASURE_SHUTTER, 5883, "shutter"}, std::tuple{CM_MEASURE_RHINO, 5881, "rhinomanometry"}}) {
      SCOPED_TRACE(name);
      Choice = choice;
      ASSERT_TRUE(Route(command));
      ExpectWhole(Client().GetMeasureFrame(), std::string(name) + "-opened");
      Sink.Answer = IDNO;
      if (Client().GetMeasureFrame())
        Client().GetMeasureFrame()->close();
      Settle();
      Sink.Messages.clear();
    }
    Choice = 5881;

    Client().CmAudiometer();
    ASSERT_NE(Client().GetAudioMeterFrame(), nullptr);
    ExpectWhole(Client().GetAudioMeterFrame(), "audiometer");
    Client().GetAudioMeterFrame()->close();
    Settle();

    Client().CmTrend();
    ASSERT_NE(Client().GetTrendFrame(), nullptr);
    ExpectWhole(Client().GetTrendFrame(), "trend");
  }

  // The diffusion replay's steps (wash-out, breath hold, gas analysis)
  // follow its timers, which the link clock drives in 10-ms ticks.
  void RunDiffusionTrial(TMeasure& window) {
    ASSERT_TRUE(Route(CM_START));
    QApplication::processEvents();
    ASSERT_TRUE(window.IsRunning());
    for (int step = 0; step < 40000 && window.IsRunning(); ++step) {
      LinkClock->Advance(10);
      QApplication::processEvents();
    }
    ASSERT_FALSE(window.IsRunning());
  }

  void ExpectWhole(THalvetraMDIChild* frame, const std::string& name) {
    ASSERT_NE(frame, nullptr) << name;
    QApplication::processEvents();
    EXPECT_TRUE(Client().viewport()->rect().contains(frame->geometry()))
        << name << ": " << frame->geometry().width() << "x" << frame->geometry().height() << " in "
        << Client().viewport()->width() << "x" << Client().viewport()->height();
    const auto* scroller = frame->findChild<QScrollArea*>("ComponentScroller");
    ASSERT_NE(scroller, nullptr) << name;
    EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible()) << name;
    EXPECT_FALSE(scroller->verticalScrollBar()->isVisible()) << name;
    ExpectNoBareTextNumbers(*App->GetFrame(), name);
    SavePicture(*App->GetFrame(), "lab-" + Size + "-" + name + ".png");
  }

  // A text the language file lacks shows as "#" and its number.
  static void ExpectNoBareTextNumbers(QWidget& top, const std::string& name) {
    static const QRegularExpression bare("(^|\\s)#\\d+");
    const auto check = [&](const QString& text, const char* what) {
      EXPECT_FALSE(bare.match(text).hasMatch()) << name << ", " << what << ": " << text.toStdString();
    };
    for (QWidget* widget : top.findChildren<QWidget*>()) {
      if (!widget->isVisible())
        continue;
      if (const auto* label = qobject_cast<QLabel*>(widget))
        check(label->text(), "label");
      if (const auto* button = qobject_cast<QAbstractButton*>(widget))
        check(button->text(), "button");
      if (const auto* group = qobject_cast<QGroupBox*>(widget))
        check(group->title(), "group");
      check(widget->windowTitle(), "title");
      for (const QAction* action : widget->actions()) {
        check(action->text(), "action");
        check(action->toolTip(), "tip");
      }
    }
  }

  void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }

  // A frame's picture as its title bar shows it, and the one drawn for a command.
  static QImage Picture(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
  }
  static QIcon Drawn(unsigned command) { return DrawnPicture(std::to_string(command)); }

  std::string Size;
  int Choice = 5881;  // the instrument chosen when several could run the test
};

// Several windows open at once on the laptop screen, stacked so that each
// frame's title bar shows: each carries the picture of the button that
// opens it (a trial shown in the FVC window), and a picture of the main
// window lands in the artifacts.
TEST_F(LabScreens, SeveralWindowsOpenEachWithItsButtonsPicture) {
  Folder.Write("Halvetra.ini", "[Hardware]\nInstall=1\nMode=5\n[Audio]\nInstall=1\n");
  Start();
  App->GetFrame()->showNormal();
  App->GetFrame()->setGeometry(QRect(0, 0, 1280, 800));
  QApplication::processEvents();
  CreateDatabase();
  AddTestPatient();
  ASSERT_TRUE(Route(CM_OPEN_PATIENT));
  ASSERT_TRUE(Route(CM_MEASURE_FVC));
  auto* fvc = dynamic_cast<TMeasure*>(Client().GetMeasure());
  ASSERT_NE(fvc, nullptr);
  fvc->TMeasureInterrupt::SetClock(LinkClock);
  fvc->SeedRandom(Seed);
  RunTrial(*fvc);
  ASSERT_FALSE(HasFailure());
  Client().CmAudiometer();
  Client().CmTrend();
  Client().CmPatientNote();

  const std::pair<THalvetraMDIChild*, QIcon> frames[] = {
      {Client().GetPatientFrame(), QIcon(":/bitmaps/2107.png")}, {Client().GetMeasureFrame(), Drawn(CM_MEASURE_FVC)},
      {Client().GetAudioMeterFrame(), Drawn(CM_AUDIOMETER)},     {Client().GetTrendFrame(), Drawn(CM_TREND)},
      {Client().GetNoteFrame(), Drawn(CM_PATIENT_NOTE)}};
  EXPECT_EQ(Client().subWindowList().size(), std::size(frames));
  for (const auto& [frame, expected] : frames) {
    ASSERT_NE(frame, nullptr);
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(Picture(frame->windowIcon()), Picture(expected)) << frame->windowTitle().toStdString();
  }
  EXPECT_EQ(Picture(App->GetFrame()->windowIcon()), Picture(QIcon(":/icons/1001-32.png")));

  // Stacked at the sizes they opened at, each a title bar lower, the FVC
  // window on top with its bar.
  int step = 0;
  for (THalvetraMDIChild* frame : {Client().GetPatientFrame(), Client().GetTrendFrame(), Client().GetAudioMeterFrame(),
                                   Client().GetNoteFrame(), Client().GetMeasureFrame()}) {
    frame->move(step * 40, step * 28);
    frame->raise();
    ++step;
  }
  Client().setActiveSubWindow(Client().GetMeasureFrame());
  QApplication::processEvents();
  SavePicture(*App->GetFrame(), "window-icons-1280x800.png");
  Sink.Answer = IDNO;
}

// A stored FVC test loaded into the window while it shows VC turns the
// window to FVC: its frame's title and picture follow.
TEST_F(LabScreens, AStoredTestLoadedIntoAnOpenWindowBringsItsPicture) {
  TMeasure& window = OpenTest(CM_MEASURE_FVC);
  ASSERT_FALSE(HasFailure());
  RunTrial(window);
  ASSERT_FALSE(HasFailure());
  ASSERT_TRUE(Route(CM_SAVE_MEASUREMENT));
  ASSERT_TRUE(Route(CM_MEASURE_VC));
  ASSERT_EQ(window.GetMeasureMode(), MEASURE_VC);
  THalvetraMDIChild* frame = Client().GetMeasureFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(Picture(frame->windowIcon()), Picture(Drawn(CM_MEASURE_VC)));

  LoadFirstStoredExamination();
  EXPECT_EQ(window.GetMeasureMode(), MEASURE_FVC);
  EXPECT_EQ(frame->windowTitle(), QString::fromStdString(App->GetMessages().LoadStringA(79)).remove('&'));
  EXPECT_EQ(Picture(frame->windowIcon()), Picture(Drawn(CM_MEASURE_FVC)));
}

TEST_F(LabScreens, OnALaptopScreen) { Walk(QSize(1280, 800)); }

TEST_F(LabScreens, OnAWideScreen) { Walk(QSize(1920, 1080)); }

// A main window smaller than the screen: the client area is lower than the
// windows the screen's factors make, so each opens smaller, still whole.
TEST_F(LabScreens, InASmallClientArea) { Walk(QSize(1024, 600)); }

}  // namespace
