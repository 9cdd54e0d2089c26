#include "testing/RecordingSink.h"

int TRecordingSink::Show(const TUserMessage& message) {
  Messages.push_back(message);
  return Answer;
}
