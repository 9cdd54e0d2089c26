#pragma once

// The language text store: every visible text of the system is a number
// here. The texts of one language are a file <Language>.txt of lines
// "number=text" (UTF-8, "\n" for a line break, "#" starts a comment); the
// file also names the language's number and its help pages:
//
//   language=0
//   help=help/English
//   1=Halvetra
//
// The object also carries the message sink through which every component
// that borrows it shows its messages.

#include "platform/basekit/MessageSink.h"

#include <filesystem>
#include <iosfwd>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

class TMessage {
public:
  // Loads <language>.txt from the language folder beside the program.
  explicit TMessage(std::string_view language);
  TMessage(std::string_view language, const std::filesystem::path& folder);

  // The texts of a language from the text of its file, for texts the
  // program carries within itself.
  static TMessage FromText(std::string_view language, std::string_view text);

  // The folder "lang" beside the running program.
  static std::filesystem::path DefaultFolder();

  // The text, or a visible "#<number>" when the store has none.
  std::string LoadStringA(int number) const;
  bool HasText(int number) const { return Texts.contains(number); }
  // How many of the texts of `reference` this store lacks.
  std::size_t CountMissing(const TMessage& reference) const;

  // The text with %1, %2 ... filled. A text whose placeholders do not match
  // the arguments is refused: the answer is then "#<number>" followed by the
  // arguments, so nothing is lost and the fault is visible.
  std::string Format(int number, std::initializer_list<std::string> arguments) const;

  const std::string& GetLanguageName() const { return LanguageName; }
  short GetLanguage() const { return Language; }
  const std::string& GetHelpFile() const { return HelpFile; }
  bool IsLoaded() const { return Loaded; }
  // Why the language file could not be read; empty when it was.
  const std::string& GetLoadError() const { return LoadError; }

  // Shows a message through the sink, text and caption by number.
  int MessageBox(int textNumber, int captionNumber, TMessageIcon icon,
                 TMessageButtons buttons = TMessageButtons::Ok) const;
  // The same with a text already made (for example by Format).
  int MessageBoxText(std::string_view text, int captionNumber, TMessageIcon icon,
                     TMessageButtons buttons = TMessageButtons::Ok) const;

  // The sink stays owned by the caller; null restores the default sink.
  void SetSink(TMessageSink* sink) { Sink = sink; }
  TMessageSink& GetSink() const;

private:
  TMessage() = default;
  void Load(const std::filesystem::path& file);
  void Parse(std::istream& in);

  std::string LanguageName;
  short Language = 0;
  std::string HelpFile;
  std::map<int, std::string> Texts;
  bool Loaded = false;
  std::string LoadError;
  TMessageSink* Sink = nullptr;
  mutable TStandardErrorSink FallbackSink;
};
