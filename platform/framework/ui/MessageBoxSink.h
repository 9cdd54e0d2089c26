#pragma once

// Shows the messages of the language text store in message boxes over the
// active window and answers with the button the user chose.

#include "platform/basekit/MessageSink.h"

class TMessageBoxSink final : public TMessageSink {
public:
  int Show(const TUserMessage& message) override;
};
