#pragma once

// What the instrument choice dialog shows and answers, without the dialog:
// a question and up to three buttons, each shown only when it has a text.
// The answer is the id of the pressed button; closing the dialog any other
// way answers IDCANCEL, which is none of them.

#include <array>
#include <string>

class TInstrumentChoice {
public:
  static constexpr int QuestionId = 5880;
  static constexpr int FirstButtonId = 5881;
  static constexpr int ButtonCount = 3;
  static constexpr int CaptionText = 500;

  TInstrumentChoice(std::string question, std::string text1, std::string text2, std::string text3);

  const std::string& Question() const { return QuestionText; }
  // The text of button 5881, 5882 or 5883; empty for another id.
  const std::string& ButtonText(int id) const;
  bool IsShown(int id) const { return !ButtonText(id).empty(); }
  static bool IsButton(int id) { return id >= FirstButtonId && id < FirstButtonId + ButtonCount; }
  // The dialog's result when `id` ended it: a button's own id, else IDCANCEL.
  static int Result(int id);

private:
  std::string QuestionText;
  std::array<std::string, ButtonCount> Texts;
};
