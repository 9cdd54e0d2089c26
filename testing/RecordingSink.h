#pragma once

#include "platform/basekit/MessageSink.h"

#include <vector>

// Records every message that would have been shown and answers with a
// chosen button. Tests expect the messages they provoke and nothing else.
class TRecordingSink final : public TMessageSink {
public:
  int Show(const TUserMessage& message) override;

  std::vector<TUserMessage> Messages;
  int Answer = 1;  // IDOK
};
