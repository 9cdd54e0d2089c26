#pragma once

// Fills the placeholders %1 to %9 of a translated text. A translated text
// is never used as a printf format: one whose placeholders differ from the
// arguments its caller brings is refused, so a wrong translation cannot
// read arguments that are not there.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace TextFormat {

// The filled text, or nothing when the text does not use exactly the
// placeholders %1 .. %n for n arguments ("%%" stands for a percent sign).
std::optional<std::string> Fill(std::string_view text, std::span<const std::string> arguments);

}  // namespace TextFormat
