#include "platform/basekit/MessageSink.h"

#include "platform/framework/WindowMessages.h"

#include <iostream>

std::vector<int> ButtonAnswers(TMessageButtons buttons) {
  switch (buttons) {
  case TMessageButtons::OkCancel: return {IDOK, IDCANCEL};
  case TMessageButtons::YesNo: return {IDYES, IDNO};
  case TMessageButtons::YesNoCancel: return {IDYES, IDNO, IDCANCEL};
  case TMessageButtons::RetryCancel: return {IDRETRY, IDCANCEL};
  case TMessageButtons::AbortRetryIgnore: return {IDABORT, IDRETRY, IDIGNORE};
  case TMessageButtons::Ok: break;
  }
  return {IDOK};
}

int DefaultAnswer(const TUserMessage& message) {
  const std::vector<int> answers = ButtonAnswers(message.Buttons);
  const bool named = message.DefaultButton >= 1 && static_cast<std::size_t>(message.DefaultButton) <= answers.size();
  return answers[named ? static_cast<std::size_t>(message.DefaultButton) - 1 : 0];
}

int TStandardErrorSink::Show(const TUserMessage& message) {
  std::cerr << "[" << message.Caption << "] " << message.Text << '\n';
  return DefaultAnswer(message);
}
