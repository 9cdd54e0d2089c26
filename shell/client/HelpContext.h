#pragma once

// Help is a folder of HTML pages, one per context number ("2147.html"),
// with "index.html" as the contents and "help.html" on using help. The
// language texts name the folder beside the program ("help/English").

#include <filesystem>
#include <optional>

namespace Help {

// The context number of a help request. Start, stop, zoom and the table
// buttons show the help of the open test; the commands of the help menu and
// printer set-up have no topic of their own (0); every other id is its own
// context. `measureType` is the test type of the open measurement window.
int ContextFor(unsigned id, std::optional<int> measureType);

// The pages of one help folder.
class TPages {
public:
  explicit TPages(std::filesystem::path folder) : Folder(std::move(folder)) {}

  // The help is there when its contents page is.
  bool Exists() const;
  std::filesystem::path Index() const { return Folder / "index.html"; }
  std::filesystem::path HelpOnHelp() const { return Folder / "help.html"; }
  // The page of a context; the contents when the context has none.
  std::filesystem::path ForContext(int context) const;

private:
  std::filesystem::path Folder;
};

}  // namespace Help
