#include "testing/RecordingSink.h"

#include <gtest/gtest.h>

#include <algorithm>

int TRecordingSink::Show(const TUserMessage& message) {
  Messages.push_back(message);
  return Answer;
}

std::vector<std::string> TRecordingSink::Texts() const {
  std::vector<std::string> texts;
  for (const TUserMessage& message : Messages)
    texts.push_back(message.Text);
  return texts;
}

bool TRecordingSink::Take(std::string_view text) {
  const auto found =
      std::find_if(Messages.begin(), Messages.end(), [&](const TUserMessage& message) { return message.Text == text; });
  if (found == Messages.end())
    return false;
  Messages.erase(found);
  return true;
}

void TRecordingSink::ExpectAllTaken() {
  for (const TUserMessage& message : Messages)
    ADD_FAILURE() << "Unexpected message: " << message.Text;
  Messages.clear();
}
