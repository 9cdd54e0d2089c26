#include "measure/core/InstrumentChoice.h"

#include "platform/framework/WindowMessages.h"

#include <utility>

TInstrumentChoice::TInstrumentChoice(std::string question, std::string text1, std::string text2, std::string text3)
    : QuestionText(std::move(question)), Texts{std::move(text1), std::move(text2), std::move(text3)} {}

const std::string& TInstrumentChoice::ButtonText(int id) const {
  static const std::string none;
  return IsButton(id) ? Texts[static_cast<std::size_t>(id - FirstButtonId)] : none;
}

int TInstrumentChoice::Result(int id) { return IsButton(id) ? id : IDCANCEL; }
