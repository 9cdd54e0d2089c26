// The link against the simulator's instrument in process, on the link's
// manual clock, over a line that damages every n-th sample frame
// (--corrupt-every).

#include "platform/portkit/LinkTexts.h"
#include "platform/portkit/tests/LinkTestFixture.h"
#include "tools/lungsim/SimulatedInstrument.h"

#include <string>

using namespace InstrumentProtocol;

namespace {

class NoisyLine : public LinkTest {
protected:
  // Plays `samples` sample periods of the instrument into the link.
  void Play(TSimulatedInstrument& instrument, int samples) {
    for (int i = 0; i < samples; ++i) {
      instrument.Tick();
      Device->Send(instrument.TakeOutput());
      Clock->Advance(10);
      ProcessPosted();
    }
  }
};

TEST_F(NoisyLine, MoreThanFivePercentDamagedInASecondIsReportedOnceAndMarksTheTrial) {
  struct Case {
    int corruptEvery;
    bool bad;
  };
  // One frame in 20 is 5 of every 100 samples: still within what the link
  // may fill in. One in 16 puts 6 or 7 into some second; one in 2 is the
  // line that was once healed for seconds without a word.
  const Case cases[] = {{40, false}, {20, false}, {16, true}, {2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE("--corrupt-every " + std::to_string(c.corruptEvery));
    Sink.Messages.clear();
    Window.Samples.clear();
    Link.ClearBuffer(1);
    Link.TrialIndex = 1;
    Start();
    TMeasureInterrupt::FlagBegin = true;

    TSimulatorOptions options;
    options.CorruptEvery = c.corruptEvery;
    TSimulatedInstrument instrument(options, [](const std::string&) {});
    TBytes on;
    AppendStream(on, true);
    instrument.Receive(on);
    Play(instrument, 401);  // the last frame whole, so that every gap is closed
    Link.KillHandler();

    EXPECT_GT(Link.InterpolatedSamples(), 0u);
    EXPECT_EQ(Window.Samples.size(), 401u) << "every sample there, filled in or not";
    EXPECT_FALSE(Link.AnyEndFlag()) << "a bad line does not stop the trial";
    EXPECT_EQ(Link.BadLine[1], c.bad);
    if (c.bad) {
      ASSERT_EQ(Sink.Messages.size(), 1u) << "one warning, however long the line stays bad";
      EXPECT_EQ(Sink.Messages[0].Icon, TMessageIcon::Warning);
      EXPECT_EQ(Sink.Messages[0].Text, Texts.Format(TEXT_LINK_NOISY, {"COM1 (fake)", "5"}));
    } else {
      EXPECT_TRUE(Sink.Messages.empty());
    }
  }
}

}  // namespace
