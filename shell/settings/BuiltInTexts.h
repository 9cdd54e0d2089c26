#pragma once

// The English language file as the program was built with it, so that a
// damaged or missing language file still leaves a program with words.

#include <string_view>

namespace BuiltInTexts {

// The text of resources/lang/English.txt.
std::string_view English();

}  // namespace BuiltInTexts
