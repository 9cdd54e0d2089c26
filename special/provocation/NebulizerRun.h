#pragma once

// A nebulised dose: the provocation window borrows the open measurement
// window's instrument link, the compressor sprays while the patient
// breathes in beyond the mouth-pressure threshold, the sprayed samples are
// counted into a dose, and the run ends after 120 s (dose step 1) or when
// the counted dose reaches the step's target (other steps), or when the
// user stops it. The link is behind TNebulizerLink so that the run's rules
// are tested without an instrument.

#include <optional>
#include <string>

class TProvocationModel;

class TNebulizerLink {
public:
  virtual ~TNebulizerLink() = default;
  // The measurement window's acquisition starts for this run and notifies
  // the provocation window of each sample; End stops it again. Both do to
  // the measurement window's idle state what its own start and stop do.
  virtual void Begin() = 0;
  virtual void End() = 0;
  // Whether the instrument takes control words (its version word is not 0).
  virtual bool TakesControlWords() const = 0;
  virtual void SendWord(unsigned short word) = 0;
  virtual void SetCompressor(bool on) = 0;
  // Samples sprayed since the run began.
  virtual unsigned short DoseCounter() const = 0;
  // The measurement window's end-of-run word.
  virtual bool EndOfRun() const = 0;
  virtual void SetEndOfRun() = 0;
  // A short wait for the instrument (tests count it).
  virtual void Wait(int milliseconds) = 0;
};

class TNebulizerRun {
public:
  static constexpr unsigned short NebulizerOn = 0xEF7F;
  static constexpr unsigned short NebulizerOff = 0xAF7F;

  explicit TNebulizerRun(TProvocationModel& model) : Model(model) {}

  // The run takes the link of the open measurement window; none: no run.
  void SetLink(TNebulizerLink* link) { Link = link; }
  bool HasLink() const { return Link != nullptr; }

  // Starts a run unless one runs or there is no link.
  bool Start();

  struct TReady {
    bool Handled = false;
    // The countdown box's new text ("%3d s" of the seconds left, or "%5.3f"
    // of the dose still to give); nothing when it need not be redrawn.
    std::optional<std::string> Countdown;
    bool Stopped = false;  // the run ended with this sample
    bool StepDone = false; // ... complete: the program takes the next step
  };
  // One sample: hundredths of a second since the start and the mouth
  // pressure in Pa (negative while breathing in).
  TReady Ready(unsigned hundredths, long mouthPressurePa);

  enum class TStopped { NotRunning, ByUser, Complete };
  // Ends the run: the step's dose is what was counted when stopped early;
  // Complete asks the program for the next step (CM_PROVOCATION_STEP).
  TStopped Stop();

  float LastShown() const { return Shown; }

private:
  TProvocationModel& Model;
  TNebulizerLink* Link = nullptr;
  float Shown = 0.0f;
  bool Active = false;  // between Start and Stop
};
