#pragma once

// The automatic sequence as its set-up dialog edits it: the first ear, the
// iteration type, how many responses and equal levels a threshold needs,
// the tolerance between the basic and the control test, and up to twelve
// frequencies in order. The first frequency is the basic test; the one
// later item that repeats it is the control test.

#include <array>
#include <string>
#include <vector>

class TMessage;

class TSequenceSetup {
public:
  static constexpr std::size_t MaxItems = 12;
  static constexpr std::array<int, 11> Offered{125, 250, 500, 750, 1000, 1500, 2000, 3000, 4000, 6000, 8000};
  enum class TAdd { Added, NotTheBasicTest, RepeatedTwice, Full };

  int FirstEar = 0;       // 0 right, 1 left
  int IterationType = 0;  // 0 ascending, 1 descending
  int Repetitions = 5;
  int EqualLevels = 3;
  int Tolerance = 5;      // dB, 0 to 20 in steps of 5
  std::vector<int> Items;  // Hz
  std::array<int, MaxItems> Defaults{1000, 1500, 2000, 3000, 4000, 6000, 8000, 1000, 500, 250, 125, 0};

  static TSequenceSetup Read(const std::string& iniFile);
  // False when the file cannot be written.
  bool Write(const std::string& iniFile) const;

  // The item's text: the frequency, with the basic-test mark (text 530) on
  // the first and the control-test mark (text 529) on a repeat.
  std::string ItemText(std::size_t index, const TMessage* texts) const;
  bool IsControl(std::size_t index) const;
  bool HasControl() const;

  bool CanAdd() const { return Items.size() < MaxItems; }
  TAdd Add(int hz);
  // Moving keeps the basic test first.
  bool CanMoveUp(std::size_t index) const { return index >= 2 && index < Items.size(); }
  bool CanMoveDown(std::size_t index) const { return index >= 1 && index + 1 < Items.size(); }
  void MoveUp(std::size_t index);
  void MoveDown(std::size_t index);
  // Removes an item; answers the index to select (-1 when none is left).
  int Delete(std::size_t index);
  void Default();
  // 1 <= equal levels <= repetitions, as the edits are left.
  void KeepCountsInOrder();
  // One step of the tolerance's up-down control.
  void StepTolerance(int direction);
};
