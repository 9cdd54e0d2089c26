#pragma once

// What the start-up settings dialog offers and how it picks its entries:
// the languages of the user interface, the language drivers of the
// database ("description,name"), the kinds of patient data sheet and the
// unit systems.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace StartUpChoices {

inline constexpr std::array<std::string_view, 4> Languages = {"Magyar", "English", "Deutsch", "Español"};
// The languages whose text file <language>.txt is in the folder, in the
// order above. English is always offered: the program carries its texts.
std::vector<std::string> ShippedLanguages(const std::filesystem::path& languageFolder);

inline constexpr std::array<std::string_view, 2> Units = {"m - kg - sec", "foot - pound - sec"};

// The text numbers of the kinds of patient data sheet (small, medium,
// full), indexed as [StartUp] PageType counts them. The full sheet needs a
// system that can show its tabs; every system here can.
std::vector<int> SheetKindTexts(bool oldWindows);

// The entry equal to `text`, or -1.
int IndexOf(const std::vector<std::string>& entries, std::string_view text);

// The driver entry that shows a stored driver's name: the first that
// contains it, else the last; -1 for an empty list.
int DriverIndexForStored(const std::vector<std::string>& drivers, std::string_view stored);

// The driver entry that suits a language while no driver is stored: the
// first that contains the language's pattern; -1 when none does.
std::string_view DriverPattern(std::string_view language);
int DriverIndexForLanguage(const std::vector<std::string>& drivers, std::string_view language);

// The driver's name in an entry "description,name": the text after the
// first comma. Nothing for a text without a comma.
std::optional<std::string> DriverName(std::string_view entry);

}  // namespace StartUpChoices
