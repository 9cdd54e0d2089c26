#include "platform/basekit/MessageSink.h"

#include "platform/framework/WindowMessages.h"

#include <iostream>

int TStandardErrorSink::Show(const TUserMessage& message) {
  std::cerr << "[" << message.Caption << "] " << message.Text << '\n';
  switch (message.Buttons) {
  case TMessageButtons::YesNo:
  case TMessageButtons::YesNoCancel:
    return IDYES;
  case TMessageButtons::RetryCancel:
    return IDRETRY;
  default:
    return IDOK;
  }
}
