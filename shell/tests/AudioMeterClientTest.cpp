// The program's own audiometer window in the client: opened by its command
// in demonstration, steered from its bar, asked to store as it closes.

#include "shell/tests/AppFixture.h"
#include "shell/tests/StandIns.h"

#include "audiometry/window/AudioMeter.h"
#include "common/CommandNumbers.h"
#include "shell/app/AudioMeterFactory.h"
#include "shell/app/ComponentBar.h"
#include "shell/app/MdiChild.h"

#include <QAction>
#include <QSlider>

namespace {

class AudioMeterClient : public TAppFixture {
protected:
  void SetUp() override {
    Windows.AudioMeter = MakeAudioMeterWindow;
    Store = &Recorder;
  }
  void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
  }
  TStoreRecorder Recorder;
};

TEST_F(AudioMeterClient, TheWindowOpensInItsFrameAndFollowsItsBar) {
  Folder.Write("Halvetra.ini", "[Audio]\nInstall=1\nAlgorithm=0\nSignalMode=0\n");
  Start();
  Client().CmAudiometer();
  auto* window = dynamic_cast<TAudioMeter*>(Client().GetAudioMeter());
  ASSERT_NE(window, nullptr);
  ASSERT_NE(Client().GetAudioMeterFrame(), nullptr);
  EXPECT_TRUE(window->IsLinkUsable()) << "the demonstration stands in for the audiometer";

  TComponentBar* bar = Client().GetBar(315);
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(bar->Slider(), nullptr);
  bar->Slider()->setValue(70);
  EXPECT_EQ(window->GetMicrophoneVolume(), 70) << "the window reads the bar's slider";
  bar->Button(CM_ALGORITHM2)->trigger();
  EXPECT_EQ(window->GetAlgorithm(), 1);
  EXPECT_EQ(window->GetSignalMode(), 1);
  EXPECT_TRUE(bar->IsButtonDown(CM_SIGNAL_MODE2)) << "the ascending method forces the timed signal";

  // A threshold makes the audiogram unsaved; closing offers to store it.
  bar->Button(CM_ALGORITHM1)->trigger();
  window->GetTable(0, TAudioTest::Actual)[4] = 30;
  window->GetFlagTable(0, TAudioTest::Actual)[4] = true;
  window->SetAudiogramChanged(true);
  Sink.Answer = IDYES;
  Client().GetAudioMeterFrame()->close();
  Settle();
  EXPECT_TRUE(Sink.Take(App->GetMessages().LoadStringA(288)));  // store the results?
  EXPECT_EQ(Recorder.Calls, std::vector<std::string>{"save audiogram"});
  EXPECT_EQ(Client().GetAudioMeter(), nullptr);
}

}  // namespace
