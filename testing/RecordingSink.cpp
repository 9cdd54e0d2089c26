#include "testing/RecordingSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

// A text the language files lack comes out as "#" and its number: a user
// would read "#10". Whatever the message, that is a missing text.
bool ShowsBareTextNumber(std::string_view text) {
  for (std::size_t at = text.find('#'); at != std::string_view::npos; at = text.find('#', at + 1)) {
    const bool startsWord = at == 0 || std::isspace(static_cast<unsigned char>(text[at - 1]));
    std::size_t end = at + 1;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
      ++end;
    const bool endsWord = end == text.size() || std::isspace(static_cast<unsigned char>(text[end]));
    if (startsWord && end > at + 1 && endsWord)
      return true;
  }
  return false;
}

}  // namespace

int TRecordingSink::Show(const TUserMessage& message) {
  for (const std::string* text : {&message.Caption, &message.Text})
    if (ShowsBareTextNumber(*text))
      ADD_FAILURE() << "A message shows a text number, not a text: \"" << *text << "\"";
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
