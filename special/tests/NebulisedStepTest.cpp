// A provocation series on the simulated instrument: the baseline FVC, one
// nebulised dose while the patient breathes quietly at the mouthpiece, and
// the FVC after it. The patient is one simulator instrument for the forced
// manoeuvres (FEV1 3.0 L, then 2.25 L) and one for the quiet breathing at
// the nebulizer, each played on the same line and clock as the patient
// moves between them.

#include "measure/tests/SimulatedCoreFixture.h"

#include "special/provocation/MeasureNebulizerLink.h"
#include "special/provocation/ui/Provocation.h"

#include "common/CommandNumbers.h"
#include "platform/portkit/Protocol.h"

#include <algorithm>

namespace {

// The MDI client as the provocation window sees it: the steps it is sent.
class TStepCounter final : public TEventHandler {
public:
  int Steps = 0;

protected:
  TResult DefaultProcessing(unsigned msg, TParam1 wParam, TParam2) override {
    if (msg == WM_COMMAND && wParam == CM_PROVOCATION_STEP)
      ++Steps;
    return msg == WM_GET_HELP_MODE ? 0 : 1;
  }
};

class NebulisedSeries : public SimulatedCoreTest {
protected:
  static constexpr float HeadPurpleMlPerMin = 0.12f;

  NebulisedSeries() {
    Folder.Write("Halvetra.ini", "[Provocation]\nMaterial=Metacholine\nParam1=FVC02\nLimit1=-20\n"
                                 "[Metacholine]\nMode=1\nType=2\nQueue=1\nAccum=1\nHead=0\n");
    // Both instruments are the plain spirometer with the nebulizer's
    // output, so the line identifies the same whichever plays.
    TSimulatorOptions forced;
    forced.Manoeuvre = "fvc";
    forced.StartOnStream = true;
    forced.LeadInS = 4.0;  // the blast comes well after the zero
    forced.NoiseCounts = 0;
    forced.Capabilities = InstrumentProtocol::CapabilityNebulizer;
    forced.ForcedFvcL = {4.0};
    forced.ForcedFev1L = {3.0, 2.25};
    TSimulatorOptions quiet = forced;
    quiet.Manoeuvre = "tidal";
    quiet.LeadInS = 0.0;
    quiet.Patient.TidalL = 0.5;
    quiet.Patient.BreathS = 4.0;
    Nebulizing.Attach(quiet);
    Nebulizing.OnStep([] { ProcessPosted(); });
    Attach(forced);

    Core.DeviceKind = 2;  // the nebulizer is installed on this link
    Window = std::make_unique<TProvocation>(1.0f, 1.0f, &Texts, (Folder / "Halvetra.ini").string(), PREDICTED_DATA{});
    Window->SetClient(&Client2);
    Window->SetMainWindow(&Client2);
    TNebulizerSettings nebulizer;
    nebulizer.HeadPurple = HeadPurpleMlPerMin;
    nebulizer.MouthPressure = 50;  // quiet inspiration reaches about 250 Pa at the mouthpiece
    Window->ApplyNebulizerSettings(nebulizer);
    Window->SetNebulizerReady(true);
    // The instrument's short waits are not slept through here.
    Window->MakeLink = [this](TMeasureWindow& measure) -> std::unique_ptr<TNebulizerLink> {
      return std::make_unique<TMeasureNebulizerLink>(measure, Window.get(), [](int) {});
    };
  }

  // A zero, then one forced manoeuvre to its end; the FEV1 the window
  // computed from it.
  float MeasureFev1() {
    Core.DispatchCommand(CM_ZERO);
    EXPECT_EQ(TakeMessage(), Texts.LoadStringA(4));
    Core.CalibrationInterval = 0;
    Core.DispatchCommand(CM_START);
    EXPECT_EQ(Core.StartId, CM_START);
    Rig.Play(1500);
    Core.DispatchCommand(CM_STOP);
    const float fev1 = Core.GetAktValue(0, Core.TrialIndex, 2);
    Core.ClearAllTrials();
    return fev1;
  }

  // The set-up of a material whose dose step is `type`, nebulised.
  void Nebulised(int type) {
    Folder.Write("Halvetra.ini", "[Provocation]\nMaterial=Metacholine\nParam1=FVC02\nLimit1=-20\n"
                                 "[Metacholine]\nMode=1\nType=" + std::to_string(type) +
                                     "\nQueue=1,2\nAccum=1\nHead=0\n");
    Window->GetModel().ReloadSetup();
    Window->AddDataToProvListBox({3.0f, 0.0f, 0.0f});
    Window->Steps().LinkedMeasure = &Core;
    Window->Steps().MeasurementLinked = true;
  }
  // The dose by hand of what the nebulizer sprayed: samples x 0.12 / 6000 ml.
  float SprayedDose() {
    return static_cast<float>(Nebulizing.Instrument()->SprayedSamples()) * HeadPurpleMlPerMin / 6000.0f;
  }

  TSimulatorRig Nebulizing{Clock, Device};
  TStepCounter Client2;
  std::unique_ptr<TProvocation> Window;
};

TEST_F(NebulisedSeries, TheCountedDoseIsWhatWasSprayedAndTheFallIsThePatients) {
  // FEV1 as the program measures it: within a few per cent of the 3.0 L
  // the patient blows.
  const float baseline = MeasureFev1();
  EXPECT_NEAR(baseline, 3.0f, 0.1f);
  Window->AddDataToProvListBox({baseline, 0.0f, 0.0f});
  Window->Steps().LinkedMeasure = &Core;
  Window->Steps().MeasurementLinked = true;
  ASSERT_TRUE(Window->CheckProvocationOK());

  // 0.02 ml of the purple head's 0.12 ml a minute: 0.02 x 6000 / 0.12 = 1000
  // sprayed samples; the run ends once less than 0.001 ml is left to give,
  // so after 950 samples or a few more.
  Window->RunDoseDialog = [](float, float, bool, short) { return std::optional<float>(0.02f); };
  ASSERT_TRUE(Window->GetNextDose());
  ASSERT_TRUE(Window->IsNebulizerRunning());
  EXPECT_FALSE(Core.IsIdle());
  EXPECT_NE(SendMessage(&Core, WM_GET_IS_START), 0) << "the measurement window answers busy";
  Core.DispatchCommand(CM_START);
  EXPECT_EQ(Core.StartId, 0u) << "nothing of its own starts on the borrowed link";

  const long played = Nebulizing.PlayWhile([this] { return Client2.Steps == 0; }, 30000);
  ASSERT_EQ(Client2.Steps, 1) << "the dose was not given in " << played << " samples";
  Nebulizing.Play(2);  // the instrument hears the nebulizer and the stream off
  EXPECT_TRUE(Core.IsIdle());
  EXPECT_TRUE(Nebulizing.Logged("nebulizer on"));

  const long sprayed = Nebulizing.Instrument()->SprayedSamples();
  const auto lastCount = std::find_if(Nebulizing.Log().rbegin(), Nebulizing.Log().rend(),
                                      [](const std::string& line) { return line.starts_with("sprayed "); });
  ASSERT_NE(lastCount, Nebulizing.Log().rend());
  EXPECT_EQ(*lastCount, "sprayed " + std::to_string(sprayed) + " samples");
  EXPECT_EQ(TMeasureInterrupt::DoseCounter, sprayed) << "the program counted what the nebulizer sprayed";
  EXPECT_GE(sprayed, 950);
  EXPECT_LE(sprayed, 1000);
  // The dose the window counted, by hand: samples x 0.12 / 6000 ml.
  const float counted = Window->GetModel().CountedDose(static_cast<unsigned short>(sprayed));
  EXPECT_NEAR(counted, static_cast<float>(sprayed) * 0.12f / 6000.0f, 1e-7f);
  // Within 0.001 ml of the target the step takes the target itself.
  EXPECT_NEAR(Window->GetModel().AccumulatedDose(), 0.02f, 1e-6f);

  // The driver ends the run and the FVC after the dose: 2.25 / 3.00 = 0.75,
  // a fall of 25 %, past the limit of -20 %.
  Window->Steps().NebulizerRunning = false;
  // The program's FEV1 is timed from its back-extrapolated time zero, not
  // from the model's start of the blast: each lies within 2 % of the
  // patient's, and so does the fall.
  const float after = MeasureFev1();
  EXPECT_NEAR(after / baseline, 0.75f, 0.02f);
  Window->AddDataToProvListBox({after, 0.0f, 0.0f});
  ASSERT_EQ(Window->GetModel().StepList().size(), 2u);
  EXPECT_NEAR(Window->GetModel().StepList().back().Changes[0], -25.0f, 2.0f);
  EXPECT_TRUE(Window->GetModel().LimitHit(0));
  EXPECT_FALSE(Window->LimitCrossedText().empty());
}

// A queue nebulised 120 s a step ends at 120 s whatever was sprayed, the
// countdown starting at "120 s"; the step's dose is what was sprayed.
TEST_F(NebulisedSeries, ATimedStepEndsAfterTwoMinutes) {
  Nebulised(1);
  Window->StartNebulizer();
  ASSERT_TRUE(Window->IsNebulizerRunning());
  Nebulizing.Play(3);
  EXPECT_EQ(Window->CountdownText(), "120 s");
  const long played = Nebulizing.PlayWhile([this] { return Client2.Steps == 0; }, 13000);
  ASSERT_EQ(Client2.Steps, 1);
  // 120 s of samples, the one that ends it and the one that stops it.
  EXPECT_NEAR(played + 3, 12000, 5);
  Nebulizing.Play(2);
  EXPECT_GT(Nebulizing.Instrument()->SprayedSamples(), 0);
  EXPECT_NEAR(Window->GetModel().AccumulatedDose(), SprayedDose(), 1e-6f);
}

// The user's stop keeps what was sprayed as the step's dose and takes no
// step; a line that hangs up during the run stops it the same way and says
// why.
TEST_F(NebulisedSeries, AStopByTheUserOrTheLineKeepsTheSprayedDose) {
  Nebulised(2);
  Window->RunDoseDialog = [](float, float, bool, short) { return std::optional<float>(0.5f); };
  ASSERT_TRUE(Window->GetNextDose());
  Nebulizing.Play(1500);
  SendMessage(Window.get(), WM_COMMAND, CM_STOP, 0);
  Nebulizing.Play(2);
  EXPECT_FALSE(Window->IsNebulizerRunning());
  EXPECT_EQ(Client2.Steps, 0);
  EXPECT_TRUE(Core.IsIdle());
  const float first = SprayedDose();
  EXPECT_GT(first, 0.0f);
  EXPECT_NEAR(Window->GetModel().AccumulatedDose(), first, 1e-6f);

  Window->AddDataToProvListBox({2.9f, 0.0f, 0.0f});
  ASSERT_TRUE(Window->GetNextDose());
  Nebulizing.Play(1500);
  Device->HangUp("the cable was pulled");
  Nebulizing.Play(3);
  EXPECT_FALSE(Window->IsNebulizerRunning());
  EXPECT_EQ(Client2.Steps, 0);
  EXPECT_TRUE(Core.IsIdle());
  EXPECT_NEAR(Window->GetModel().AccumulatedDose(), first + SprayedDose(), 1e-6f);
  EXPECT_EQ(TakeMessage(), "The connection to the instrument on COM1 was lost (the cable was pulled).\n"
                          "The test was stopped; the samples measured so far are kept.");
}

}  // namespace
