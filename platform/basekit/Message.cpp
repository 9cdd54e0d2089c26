#include "platform/basekit/Message.h"

#include "platform/basekit/TextFormat.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

TMessage::TMessage(std::string_view language) : TMessage(language, DefaultFolder()) {}

TMessage::TMessage(std::string_view language, const std::filesystem::path& folder) : LanguageName(language) {
  Load(folder / (LanguageName + ".txt"));
}

TMessage TMessage::FromText(std::string_view language, std::string_view text) {
  TMessage texts;
  texts.LanguageName = std::string(language);
  std::istringstream in{std::string(text)};
  texts.Parse(in);
  return texts;
}

std::size_t TMessage::CountMissing(const TMessage& reference) const {
  return static_cast<std::size_t>(std::count_if(reference.Texts.begin(), reference.Texts.end(),
                                                [this](const auto& text) { return !Texts.contains(text.first); }));
}

std::filesystem::path TMessage::DefaultFolder() {
  std::vector<char> buffer(4096);
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0)
    return "lang";
  return std::filesystem::path(std::string(buffer.data(), static_cast<std::size_t>(length))).parent_path() / "lang";
}

void TMessage::Load(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) {
    LoadError = "The language file \"" + file.string() + "\" cannot be read.";
    return;
  }
  Parse(in);
}

void TMessage::Parse(std::istream& in) {
  std::string line;
  while (std::getline(in, line)) {
    const std::string_view text = line;
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.starts_with('#'))
      continue;
    const auto eq = text.find('=');
    if (eq == std::string_view::npos)
      continue;
    const std::string_view key = Trim(text.substr(0, eq));
    std::string_view value = text.substr(eq + 1);
    if (value.ends_with('\r'))
      value.remove_suffix(1);
    int number = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (ec == std::errc() && end == key.data() + key.size()) {
      Texts[number] = Unescape(value);
    } else if (key == "language") {
      const std::string_view digits = Trim(value);
      int languageNumber = 0;
      std::from_chars(digits.data(), digits.data() + digits.size(), languageNumber);
      Language = static_cast<short>(languageNumber);
    } else if (key == "help") {
      HelpFile = std::string(Trim(value));
    }
  }
  Loaded = true;
}

std::string TMessage::LoadStringA(int number) const {
  const auto found = Texts.find(number);
  return found != Texts.end() ? found->second : "#" + std::to_string(number);
}

std::string TMessage::Format(int number, std::initializer_list<std::string> arguments) const {
  const std::vector<std::string> values(arguments);
  if (const auto found = Texts.find(number); found != Texts.end())
    if (auto filled = TextFormat::Fill(found->second, values))
      return *filled;
  std::string fallback = "#" + std::to_string(number);
  for (const std::string& value : values)
    fallback += " " + value;
  return fallback;
}

TMessageSink& TMessage::GetSink() const { return Sink ? *Sink : FallbackSink; }

int TMessage::MessageBox(int textNumber, int captionNumber, TMessageIcon icon, TMessageButtons buttons) const {
  return MessageBoxText(LoadStringA(textNumber), captionNumber, icon, buttons);
}

int TMessage::MessageBoxText(std::string_view text, int captionNumber, TMessageIcon icon,
                             TMessageButtons buttons) const {
  return GetSink().Show({LoadStringA(captionNumber), std::string(text), icon, buttons});
}
