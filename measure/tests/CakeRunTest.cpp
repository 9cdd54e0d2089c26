// The incentive animation through a real run of the window: a child's FVC
// from the lung model, replayed as demonstration data on a manual link
// clock, blows the candles out one after another while the list hides
// under the cake; older children and babies get no cake.

#include "measure/window/Measure.h"
#include "measure/window/MeasureFrameScreen.h"

#include "common/CommandNumbers.h"
#include "platform/basekit/Message.h"
#include "platform/portkit/tests/support/ManualLinkClock.h"
#include "testing/Pictures.h"
#include "testing/RecordingSink.h"
#include "testing/TemporaryFolder.h"
#include "tools/lungmodel/LungModel.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

// The client: it answers the request for demonstration data with the
// lung model's forced manoeuvre in the trial's slot.
class TDemoClient final : public TEventHandler {
public:
  TMeasure* Window = nullptr;
  LungModel::TPatient Patient;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 kind, TParam2 trial) override {
    if (msg == WM_GET_HELP_MODE)
      return 0;
    if (msg != WM_LOAD_DEMO_DATA || !Window)
      return 1;
    const auto slot = static_cast<short>(trial);
    if (!Window->AllocateSpiroBuffer(slot, static_cast<short>(kind), true))
      return 0;
    const std::vector<double> flows = LungModel::ForcedManoeuvre(Patient);
    const std::size_t n = std::min<std::size_t>(flows.size(), 6000);
    float* flow = Window->GetSpiroFlowBuffer(slot);
    for (std::size_t i = 0; i < n; ++i)
      flow[i] = static_cast<float>(flows[i]);
    Window->SetBufferSize(static_cast<short>(kind), slot, static_cast<short>(n));
    return 1;
  }
};

PREDICTED_DATA Child(int age, int heightCm) {
  PREDICTED_DATA p;
  p.SetName("Test Child");
  p.Age = age;
  p.Height = heightCm;
  p.Weight = 25;
  p.Sex = 1;
  return p;
}

class CakeRun : public ::testing::Test {
protected:
  CakeRun() {
    Texts.SetSink(&Sink);
    Folder.Write("Halvetra.ini", "[Cake]\nPercentOfPredicted=100\n");
  }
  ~CakeRun() override {
    Window.reset();
    Sink.ExpectAllTaken();
  }

  TMeasure& Open(const PREDICTED_DATA& patient) {
    Window.reset();
    Window = std::make_unique<TMeasure>(1280.0f / 800.0f, 1024.0f / 600.0f, MEASURE_FVC, &Texts,
                                        (Folder / "Halvetra.ini").string(), short{0}, patient, nullptr, 1.0f, false,
                                        &Client);
    Client.Window = Window.get();
    Window->TMeasureInterrupt::SetClock(Clock);
    Window->HasInstrument = false;
    Window->SetupWindow();
    Window->SetMeasureMode(MEASURE_FVC);
    Window->show();
    // A child outside the equations' limits is told so, and nothing else.
    for (const std::string& text : Sink.Texts()) {
      EXPECT_EQ(text.rfind(Texts.LoadStringA(24), 0), 0u) << text;
      Sink.Take(text);
    }
    return *Window;
  }

  TMeasureFrameScreen& Screen() { return dynamic_cast<TMeasureFrameScreen&>(Window->GetScreen()); }

  // The start as the tool button sends it, then the replay 10 ms at a
  // time; `step` sees the window after every sample.
  template <typename TStep>
  void Run(TStep&& step) {
    ASSERT_TRUE(Window->DispatchCommand(CM_START));
    QApplication::processEvents();
    ASSERT_TRUE(Window->IsRunning());
    for (int sample = 0; sample < 8000 && Window->IsRunning(); ++sample) {
      Clock->Advance(10);
      QApplication::processEvents();
      if (Window->IsRunning())
        step();
    }
    ASSERT_FALSE(Window->IsRunning());
  }

  TTemporaryFolder Folder;
  TRecordingSink Sink;
  TMessage Texts{"English", std::filesystem::path(HALVETRA_SOURCE_DIR) / "resources/lang"};
  std::shared_ptr<TManualLinkClock> Clock = std::make_shared<TManualLinkClock>();
  TDemoClient Client;
  std::unique_ptr<TMeasure> Window;
};

TEST_F(CakeRun, ASixYearOldsBlastPutsTheCandlesOutInOrder) {
  Open(Child(6, 118));
  const float predicted = Window->CakePredicted(MEASURE_FVC);
  ASSERT_GT(predicted, 0.0f);
  // A blast a quarter above the predicted FVC reaches every candle.
  Client.Patient.FvcL = 1.25 * predicted;
  Client.Patient.Fev1L = 0.9 * Client.Patient.FvcL;
  Client.Patient.PefLps = 3.0 * Client.Patient.FvcL;
  Client.Patient.FivcL = Client.Patient.FvcL;
  Client.Patient.RvL = 0.4;
  Client.Patient.ErvL = 0.4;
  Client.Patient.TidalL = 0.1;
  ASSERT_FALSE(LungModel::CheckForced(Client.Patient).has_value());

  std::vector<short> order;  // candles in the order they went out
  bool listHidden = true;
  bool pictured = false;
  Run([&] {
    const TCakeAnimation& cake = Screen().GetCake();
    listHidden = listHidden && cake.IsShown() && !Window->GetParamListView()->isVisible();
    for (short k = 1; k <= 6; ++k)
      if (cake.Candles()[static_cast<std::size_t>(k - 1)] == 0 &&
          std::find(order.begin(), order.end(), k) == order.end())
        order.push_back(k);
    if (order.size() == 3 && !pictured)
      pictured = SavePicture(*Window, "measure-cake-run.png");
  });
  EXPECT_TRUE(listHidden) << "the cake stands over the list for the whole run";
  EXPECT_EQ(order, (std::vector<short>{1, 2, 3, 4, 5, 6}));
  // The stop closes the cake and brings the list back.
  EXPECT_FALSE(Screen().GetCake().IsShown());
  EXPECT_TRUE(Window->GetParamListView()->isVisible());
  EXPECT_GT(Window->GetAktBuffer(MEASURE_FVC, 0)[0], 0.0f);
}

TEST_F(CakeRun, NoCakeForAThirteenYearOldOrABaby) {
  for (const PREDICTED_DATA& patient : {Child(13, 155), Child(0, 60)}) {
    SCOPED_TRACE(patient.Age);
    Open(patient);
    Client.Patient.FvcL = 1.5;
    Client.Patient.Fev1L = 1.3;
    Client.Patient.PefLps = 3.5;
    Client.Patient.FivcL = 1.4;
    Client.Patient.RvL = 0.5;
    Client.Patient.ErvL = 0.5;
    bool cakeSeen = false;
    bool listSeen = true;
    Run([&] {
      cakeSeen = cakeSeen || Screen().GetCake().IsShown();
      listSeen = listSeen && Window->GetParamListView()->isVisible();
    });
    EXPECT_FALSE(cakeSeen);
    EXPECT_TRUE(listSeen);
  }
}

}  // namespace
