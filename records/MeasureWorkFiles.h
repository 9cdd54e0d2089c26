#pragma once

// The work files of the spirometric kinds: each holds the whole current
// result of its kind as the measurement window shows it (four trial slots
// with dates, times, parameters and curves, then the window's choice of
// actual trials, and for the plethysmograph the loop bounds), so that the
// window can leave a kind and come back to it, and the save can take the
// chosen trial from it. The three stage sets of a provocation examination
// have exactly the same layout.
//
// Layout (little-endian, no header): four blocks of date and time (six
// 32-bit words) and N actual, N reference and N residual-SD floats; four
// curve blocks of a 32-bit count and its samples (flow; SHUTTER then
// pressure; PLETHY then box and mouth pressure); three 16-bit actual-trial
// numbers; PLETHY: the four 32-bit loop bounds of slots 0 to 2.
//
// A file is checked whole before anything of it reaches the window; a
// short or damaged one is named in a message and read as missing.

#include "records/MeasureAccess.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TMessage;

// A work or stage file taken apart.
struct TWorkFileImage {
  struct TTrial {
    std::array<std::uint32_t, 3> Date{};  // year, month, day
    std::array<std::uint32_t, 3> Time{};  // hour, minute, second
    std::vector<float> Actual, Reference, Rsd;
  };
  struct TCurve {
    std::vector<float> Flow, Pressure, BoxPressure, MouthPressure;
    int Count() const { return static_cast<int>(Flow.size()); }
  };
  struct TLoops {
    std::int32_t ResistanceBegin = 0, ResistanceEnd = 0, TgvBegin = 0, TgvEnd = 0;
  };

  short Kind = 0;
  std::array<TTrial, 4> Trials;
  std::array<TCurve, 4> Curves;
  std::array<std::int16_t, 3> Selection{};
  std::array<TLoops, 3> Loops;  // PLETHY only

  // The slot of the first actual trial, 0 when none is chosen.
  int SelectedSlot() const { return Selection[0] > 0 ? Selection[0] - 1 : 0; }

  std::string ToBytes() const;
  // Nothing, with `error` naming the fault, when the bytes are not a whole
  // file of the kind.
  static std::optional<TWorkFileImage> FromBytes(short kind, std::string_view bytes, std::string& error);
  // The bytes of a trial section of the kind (1,008 for FVC).
  static std::size_t TrialSectionSize(short kind);
};

class TMeasureWorkFiles {
public:
  // The file names of a kind (FVC ... SHUTTER) and of a stage set (0-2).
  using TWorkName = std::function<std::filesystem::path(short kind)>;
  using TStageName = std::function<std::filesystem::path(int stage, short kind)>;

  TMeasureWorkFiles(TWorkName workName, TStageName stageName, TMessage* texts);

  // Writes the kind's file from the window; a kind without a result leaves
  // its file as it was (true). False, after a message, when the file cannot
  // be written: the older file is untouched.
  bool WriteMeasureFile(TMeasureAccess& window, short kind);
  // Every slot from the file; with `full` also the actual trials, FEV/IVC
  // of FVC and the window's kind (those also when the file is missing).
  void ReadMeasureFile(TMeasureAccess& window, short kind, bool full);
  // The window changed its kind: part 0 the parameters of every slot, part
  // 1 the curves of the actual trial and of the comparison.
  void ReadMeasureFileForMode(TMeasureAccess& window, short kind, short part);
  // The actual trial of the kind's file into slot 0 (its date stays).
  void ReadSelectedTrial(TMeasureAccess& window, short kind);
  // The actual trial of each stage file into slots 0, 1, 2.
  void ReadStageFiles(TMeasureAccess& window, short kind);

  // The actual-trial numbers last written for a kind; the first of them is
  // the trial the database keeps (WM_GET_STORED_TRIAL).
  const std::array<std::int16_t, 3>& GetSelection(short kind) const;
  short GetStoredTrial(short kind) const;

  std::filesystem::path WorkFile(short kind) const { return WorkName(kind); }
  std::filesystem::path StageFile(int stage, short kind) const { return StageName(stage, kind); }

private:
  // The file taken apart; nothing when it is missing, or damaged (then
  // after a message naming it).
  std::optional<TWorkFileImage> Load(const std::filesystem::path& file, short kind) const;
  void FevPerIvc(TMeasureAccess& window) const;

  TWorkName WorkName;
  TStageName StageName;
  TMessage* Texts;
  std::array<std::array<std::int16_t, 3>, MeasureLimits::SpiroKinds> Selections{};
};
