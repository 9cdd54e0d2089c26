#pragma once

// The one way out of the core for what the user must see. The program
// installs a sink that shows message boxes; tests install one that records
// what would have been shown and answers for the user.

#include <string>
#include <vector>

enum class TMessageIcon { Stop, Information, Warning, Question };
enum class TMessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

struct TUserMessage {
  std::string Caption;
  std::string Text;
  TMessageIcon Icon = TMessageIcon::Information;
  TMessageButtons Buttons = TMessageButtons::Ok;
  // The button that Enter presses, counted from 1: a question whose answer
  // destroys something makes its second button (No) the default.
  int DefaultButton = 1;
};

// The answers (IDOK, IDYES ...) of the buttons of a kind, in the order
// they stand, the order in which DefaultButton counts them.
std::vector<int> ButtonAnswers(TMessageButtons buttons);
// The answer of the button that Enter presses: the default button, or the
// first when DefaultButton names none.
int DefaultAnswer(const TUserMessage& message);

class TMessageSink {
public:
  virtual ~TMessageSink() = default;
  // Shows the message and answers with the button chosen (IDOK, IDYES ...).
  virtual int Show(const TUserMessage& message) = 0;
};

// Used until the program installs its own: writes to the standard error
// stream and answers as if Enter were pressed (the default button).
class TStandardErrorSink final : public TMessageSink {
public:
  int Show(const TUserMessage& message) override;
};
