#pragma once

#include "platform/basekit/MessageSink.h"

#include <string>
#include <string_view>
#include <vector>

// Records every message that would have been shown and answers with a
// chosen button. Tests take the messages they provoke, by their whole text;
// a message that no test took fails the test (ExpectAllTaken, which every
// fixture runs when its test ends). A message that shows a bare text number
// ("#10", a text the language files lack) fails the test at once.
class TRecordingSink final : public TMessageSink {
public:
  int Show(const TUserMessage& message) override;

  // The texts of the messages not yet taken, in the order shown.
  std::vector<std::string> Texts() const;
  // Takes the first message of exactly this text; false when none was shown.
  bool Take(std::string_view text);
  // Fails the running test once for every message not taken, and forgets them.
  void ExpectAllTaken();

  std::vector<TUserMessage> Messages;
  int Answer = 1;  // IDOK
};
